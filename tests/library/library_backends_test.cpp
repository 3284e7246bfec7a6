// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Kestrana developers

// The run library on both of its kinds, a SQLite file and a PostgreSQL database, through the one
// interface and through kestrana-cli: run ids, the audit trail, copying, a newer library refused, and
// importers at once. run_with_server.sh runs this program inside a throw-away PostgreSQL cluster.

#include "core/library/open_run_library.h"
#include "core/library/run_copy.h"
#include "core/library/run_import.h"
#include "core/library/server_run_library.h"
#include "library/backends.h"

#include <gtest/gtest.h>

#include <sqlite3.h>

#include <pwd.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <map>
#include <sstream>

namespace kestrana::test {
namespace {

using library::ImportStatus;
using library::LibraryAccess;
using library::LogEntry;
using library::RunId;
using library::RunRecord;

class LibraryBackends : public ::testing::TestWithParam<Backend> {
protected:
    void SetUp() override {
        if (GetParam() == Backend::Postgresql && !serverAvailable()) {
            GTEST_SKIP() << "no PostgreSQL server: run through tests/library/run_with_server.sh";
        }
        location_ = freshLibrary(GetParam(), folder_);
    }
    std::unique_ptr<library::RunLibrary> open() const {
        return library::openRunLibrary(location_, LibraryAccess::OpenExisting);
    }
    // Who a library says took a run in: the system user for a file, the database user on a server.
    std::string expectedUser() const {
        return GetParam() == Backend::Sqlite ? ::getpwuid(::geteuid())->pw_name : std::getenv("PGUSER");
    }

    TempFolder folder_;
    std::string location_;
};

// The runs as listed, without their ids (which a copy gives anew).
std::vector<RunRecord> withoutIds(std::vector<RunRecord> runs) {
    for (RunRecord& run : runs) {
        run.id = 0;
    }
    return runs;
}
std::vector<LogEntry> withoutIds(std::vector<LogEntry> entries) {
    for (LogEntry& entry : entries) {
        entry.run = 0;
    }
    return entries;
}

TEST_P(LibraryBackends, RunIdsAreNeverGivenTwiceAndEachImportAndRemovalIsLoggedWithWhoAndWhen) {
    const std::vector<std::string> files = writeRuns(folder_.file("runs"), 4);
    const auto library = open();
    const std::time_t started = std::time(nullptr);
    for (int i = 0; i < 3; ++i) {
        ASSERT_EQ(library::importRunFile(*library, files[static_cast<std::size_t>(i)]).status,
                  ImportStatus::Imported);
    }
    std::vector<RunRecord> runs = library->runs();
    ASSERT_EQ(runs.size(), 3U);
    RunId highest = 0;
    for (const RunRecord& run : runs) {
        highest = std::max(highest, run.id);
        ASSERT_TRUE(run.imported.at.has_value());
        EXPECT_GE(*run.imported.at / 1000000, started);
        EXPECT_LE(*run.imported.at / 1000000, std::time(nullptr));
        EXPECT_EQ(run.imported.by, expectedUser());
    }
    // An id that is not there removes nothing and records nothing.
    const std::vector<RunId> unknown = {highest, highest + 100};
    EXPECT_EQ(library->removeRuns(unknown), std::vector<RunId>{highest + 100});
    EXPECT_EQ(library->log().size(), 3U);

    ASSERT_TRUE(library->removeRun(highest));
    EXPECT_TRUE(library->blocksOf(highest).empty()) << "a removed run's blocks go with it";
    ASSERT_EQ(library::importRunFile(*library, files[3]).status, ImportStatus::Imported);
    ASSERT_EQ(library::importRunFile(*library, files[2]).status, ImportStatus::Imported); // the removed one
    RunId newest = 0;
    for (const RunRecord& run : library->runs()) {
        EXPECT_NE(run.id, highest) << "an id is never given twice";
        newest = std::max(newest, run.id);
    }
    EXPECT_EQ(newest, highest + 2);

    // Five imports (the removed run's among them) and the removal, which names the run as it was.
    const std::vector<LogEntry> log = library->log();
    ASSERT_EQ(log.size(), 6U);
    const auto removal = std::find_if(
        log.begin(), log.end(), [](const LogEntry& e) { return e.action == LogEntry::Action::Removed; });
    ASSERT_NE(removal, log.end());
    EXPECT_EQ(removal->run, highest);
    EXPECT_EQ(removal->file, files[2]);
    EXPECT_EQ(removal->user, expectedUser());
    EXPECT_TRUE(std::is_sorted(log.begin(), log.end(), library::logComesBefore));
    EXPECT_EQ(std::count_if(log.begin(), log.end(), [&](const LogEntry& e) { return e.file == files[2]; }),
              3);
}

TEST_P(LibraryBackends, CopyTakesEveryRunWithItsStampAndBlocksAndSkipsWhatIsThere) {
    // The source is a file, imported a while ago by someone else: its stamps must survive the copy.
    const std::vector<std::string> files = writeRuns(folder_.file("runs"), 6);
    const std::string source = folder_.file("source.sqlite");
    {
        const auto library = library::openRunLibrary(source, LibraryAccess::CreateIfMissing);
        library::importPaths(*library, {folder_.file("runs")});
    }
    {
        sqlite3* db = nullptr;
        ASSERT_EQ(sqlite3_open(source.c_str(), &db), SQLITE_OK);
        ASSERT_EQ(sqlite3_exec(db,
                               "UPDATE runs SET imported_at = 1000000000123456 + id, imported_by = 'j.smith'",
                               nullptr, nullptr, nullptr),
                  SQLITE_OK);
        sqlite3_close(db);
    }
    const auto from = library::openRunLibrary(source, LibraryAccess::OpenExisting);
    const auto to = open();
    // One run is in the target already, as another file of it.
    std::string lineFeedsOnly = readFile(files[0]);
    std::erase(lineFeedsOnly, '\r');
    writeFile(folder_.file("first again.run"), lineFeedsOnly);
    ASSERT_EQ(library::importRunFile(*to, folder_.file("first again.run")).status, ImportStatus::Imported);

    const library::ImportSummary copied = library::copyRuns(*from, *to);
    EXPECT_EQ(copied.imported, 5U);
    EXPECT_EQ(copied.skipped, 1U);
    EXPECT_EQ(copied.refused, 0U);
    for (const library::FileOutcome& outcome : copied.outcomes) {
        if (outcome.status == ImportStatus::Skipped) {
            EXPECT_EQ(outcome.path, files[0]);
            EXPECT_TRUE(outcome.reason.starts_with("the same run as " + folder_.file("first again.run")))
                << outcome.reason;
        }
    }
    std::vector<RunRecord> expected = from->runs();
    std::vector<RunRecord> got = to->runs();
    ASSERT_EQ(got.size(), expected.size());
    for (std::size_t i = 0; i < got.size(); ++i) {
        if (got[i].file != folder_.file("first again.run")) {
            EXPECT_EQ(got[i].imported, (library::ImportStamp{1000000000123456 + expected[i].id, "j.smith"}));
            EXPECT_EQ(to->blocksOf(got[i].id), from->blocksOf(expected[i].id)) << got[i].file;
        }
    }

    // Everything is there now; and back into a new file, the runs and the log are the target's.
    EXPECT_EQ(library::copyRuns(*from, *to).imported, 0U);
    const std::string back = folder_.file("back.sqlite");
    const auto returned = library::openRunLibrary(back, LibraryAccess::CreateIfMissing);
    EXPECT_EQ(library::copyRuns(*to, *returned).imported, 6U);
    EXPECT_EQ(withoutIds(returned->runs()), withoutIds(to->runs()));
    EXPECT_EQ(withoutIds(returned->log()), withoutIds(to->log()));
}

TEST_P(LibraryBackends, FourImporterProcessesAtOnceStoreFortyRunsEachOnce) {
    const std::vector<std::string> files = writeRuns(folder_.file("runs"), 40, 2);
    // Two of the importers have each run in other bytes (line feeds only): the same runs.
    std::filesystem::create_directories(folder_.file("lf"));
    for (const std::string& file : files) {
        std::string text = readFile(file);
        std::erase(text, '\r');
        writeFile(folder_.file("lf/" + std::filesystem::path(file).filename().string()), text);
    }
    std::string script = "(";
    for (int i = 0; i < 4; ++i) {
        script += shellQuote(KESTRANA_CLI_PATH) + " library import " +
                  shellQuote(folder_.file(i % 2 ? "lf" : "runs")) + " --library " + shellQuote(location_) +
                  " > " + shellQuote(folder_.file("out" + std::to_string(i))) + " 2>&1 & ";
    }
    script += "wait)";
    ASSERT_EQ(runCommand(script).status, 0);
    std::map<std::string, int> outcomes;
    for (int i = 0; i < 4; ++i) {
        std::istringstream lines(readFile(folder_.file("out" + std::to_string(i))));
        for (std::string line; std::getline(lines, line);) {
            ++outcomes[line.substr(0, line.find(' '))];
        }
    }
    EXPECT_EQ(outcomes, (std::map<std::string, int>{{"imported", 40}, {"skipped", 120}}));
    const std::vector<RunRecord> runs = open()->runs();
    ASSERT_EQ(runs.size(), 40U);
    for (std::size_t i = 1; i < runs.size(); ++i) {
        EXPECT_FALSE(runs[i].series == runs[i - 1].series && runs[i].day == runs[i - 1].day) << runs[i].file;
    }
}

TEST_P(LibraryBackends, ALibraryOfANewerVersionIsRefusedAndLeftAsItIs) {
    if (GetParam() == Backend::Sqlite) {
        sqlite3* db = nullptr;
        ASSERT_EQ(sqlite3_open(location_.c_str(), &db), SQLITE_OK);
        sqlite3_exec(db, "PRAGMA user_version = 99", nullptr, nullptr, nullptr);
        sqlite3_close(db);
    } else {
        serverSql(databaseOf(location_), "UPDATE kestrana.schema_version SET version = 99");
    }
    const std::string before = GetParam() == Backend::Sqlite ? readFile(location_) : std::string();
    const std::string run = writeRuns(folder_.file("runs"), 1)[0];
    for (const std::string& action :
         {std::string("runs"), std::string("init"), "import " + shellQuote(run)}) {
        const CommandResult result = cli("library " + action + " --library " + shellQuote(location_));
        EXPECT_EQ(result.status, 1) << action;
        EXPECT_TRUE(
            firstErrorLine(result).starts_with(location_ + ": " + std::string(library::kNewerLibraryMessage)))
            << action << ": " << result.err;
    }
    if (GetParam() == Backend::Sqlite) {
        EXPECT_EQ(readFile(location_), before);
    } else {
        serverSql(databaseOf(location_),
                  "DO $$ BEGIN IF (SELECT version FROM kestrana.schema_version) <> 99 OR "
                  "EXISTS (SELECT FROM kestrana.runs) THEN RAISE 'changed'; END IF; END $$");
    }
}

INSTANTIATE_TEST_SUITE_P(, LibraryBackends, ::testing::Values(Backend::Sqlite, Backend::Postgresql),
                         backendName);

} // namespace
} // namespace kestrana::test
