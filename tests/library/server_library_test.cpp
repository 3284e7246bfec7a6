// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Kestrana developers

// What only a server library has: the same outputs as a file holding the same runs, byte for byte; the
// roles kestrana_reader and kestrana_importer; and a server that cannot be reached, refuses the password,
// or drops the connection half-way through an import, each said in words that name the server and never
// a password.

#include "core/library/open_run_library.h"
#include "core/library/run_copy.h"
#include "core/library/run_import.h"
#include "core/library/server_run_library.h"
#include "library/backends.h"

#include <gtest/gtest.h>

#include <libpq-fe.h>

#include <algorithm>
#include <cstdlib>
#include <sstream>

namespace kestrana::test {
namespace {

class ServerLibrary : public ::testing::Test {
protected:
    void SetUp() override {
        if (!serverAvailable()) {
            GTEST_SKIP() << "no PostgreSQL server: run through tests/library/run_with_server.sh";
        }
        server_ = freshLibrary(Backend::Postgresql, folder_);
    }
    CommandResult onServer(const std::string& arguments, const std::string& location = {}) const {
        return cli(arguments + " --library " + shellQuote(location.empty() ? server_ : location));
    }

    TempFolder folder_;
    std::string server_;
};

// A CSV text with the columns `dropped` (0 first) left out; none of its fields hold a comma.
std::string withoutColumns(const std::string& csv, std::initializer_list<std::size_t> dropped) {
    std::istringstream lines(csv);
    std::string result;
    for (std::string line; std::getline(lines, line);) {
        std::istringstream split(line);
        std::size_t column = 0;
        std::string kept;
        for (std::string field; std::getline(split, field, ','); ++column) {
            if (std::find(dropped.begin(), dropped.end(), column) == dropped.end()) {
                kept += (kept.empty() ? "" : ",") + field;
            }
        }
        result += kept + "\n";
    }
    return result;
}

std::vector<std::string> sortedLines(const std::string& text) {
    std::istringstream lines(text);
    std::vector<std::string> sorted;
    for (std::string line; std::getline(lines, line);) {
        sorted.push_back(line);
    }
    std::sort(sorted.begin(), sorted.end());
    return sorted;
}

TEST_F(ServerLibrary, EveryHistoryCommandPrintsWhatAFileOfTheSameRunsPrints) {
    writeRuns(folder_.file("runs"), 12);
    const std::string file = folder_.file("same.sqlite");
    const auto both = [&](const std::string& arguments) {
        const CommandResult onFile = cli(arguments + " --library " + shellQuote(file));
        const CommandResult onServer = this->onServer(arguments);
        EXPECT_EQ(onServer.status, onFile.status) << arguments;
        EXPECT_EQ(onServer.err, onFile.err) << arguments;
        return std::pair{onFile.out, onServer.out};
    };
    const auto [importedFile, importedServer] = both("library import " + shellQuote(folder_.file("runs")));
    EXPECT_EQ(importedServer, importedFile);
    const std::string up = "--line 'KATNI - BINA UP' --direction 1";
    const std::string down = "--line '=KATNI \xC9 BINA DN' --direction 1";
    long removedRuns = 0;
    const auto compareAll = [&] {
        for (const std::string& arguments :
             {"forecast " + up, "forecast " + down + " --from 202 --to 204 --index TGIW --below 70 --jump 5",
              "forecast " + up + " --index TGIL --below 60", "history " + up + " --km 203 --block 4",
              "history " + down + " --km 205 --block 1 --index TGIG --jump 3",
              "history " + up + " --km 999 --block 1", std::string("forecast --line NONE --direction 1")}) {
            const auto [onFile, onServer] = both(arguments);
            EXPECT_EQ(onServer, onFile) << arguments;
        }
        // The runs and the log, but for the time and the user of each import (the file's is the system
        // user, the server's the database user), which also order the log.
        const auto [runsFile, runsServer] = both("library runs");
        EXPECT_EQ(withoutColumns(runsServer, {6, 7}), withoutColumns(runsFile, {6, 7}));
        EXPECT_EQ(std::count(runsFile.begin(), runsFile.end(), '\n'), 13 - removedRuns);
        const auto [logFile, logServer] = both("library log");
        EXPECT_EQ(sortedLines(withoutColumns(logServer, {0, 1})),
                  sortedLines(withoutColumns(logFile, {0, 1})));
    };
    compareAll();

    // A file copied to the server is the same library, import stamps and all: only the ids are new.
    const std::string copy = freshLibrary(Backend::Postgresql, folder_);
    ASSERT_EQ(cli("library copy --from " + shellQuote(file) + " --to " + shellQuote(copy)).status, 0);
    EXPECT_EQ(onServer("library log", copy).out, cli("library log --library " + shellQuote(file)).out);
    EXPECT_EQ(withoutColumns(onServer("library runs", copy).out, {0}),
              withoutColumns(cli("library runs --library " + shellQuote(file)).out, {0}));

    const auto [removedFile, removedServer] = both("library remove 3 8");
    EXPECT_EQ(removedServer, removedFile);
    removedRuns = 2;
    compareAll();
}

// The defects of runs with their peaks, read from the server as from a file: every defect, one defect's
// history, and the same again in a server library made by copying the file, which carries the peaks.
TEST_F(ServerLibrary, DefectsAndADefectsHistoryArePrintedAlikeAndCopyCarriesThePeaks) {
    const std::string file = folder_.file("defects.sqlite");
    std::string runs;
    for (int run = 1; run <= 6; ++run) {
        runs +=
            " " + shellQuote(std::string(KESTRANA_SAMPLES_DIR) + "/defects0" + std::to_string(run) + ".run");
    }
    ASSERT_EQ(cli("library import" + runs + " --library " + shellQuote(file)).status, 0);
    ASSERT_EQ(onServer("library import" + runs).status, 0);
    const std::string copy = freshLibrary(Backend::Postgresql, folder_);
    ASSERT_EQ(cli("library copy --from " + shellQuote(file) + " --to " + shellQuote(copy)).status, 0);
    const std::string line = "--line 'WARDHA - BALHARSHAH DN LINE' --direction -1";
    for (const std::string& arguments :
         {"defects " + line, "defects " + line + " --from 425 --to 426 --param UN2R --tolerance 3",
          "defects " + line + " --status new,gone --limit UN1L=6", "defects " + line + " --tgi-at-least 60",
          "defect " + line + " --param UN2R --km 426 --location 923",
          "defect " + line + " --param UN2R --km 426 --location 10"}) {
        const CommandResult onFile = cli(arguments + " --library " + shellQuote(file));
        EXPECT_GT(std::count(onFile.out.begin(), onFile.out.end(), '\n'),
                  arguments.starts_with("defects ") ? 1 : -1)
            << arguments;
        for (const std::string& server : {server_, copy}) {
            const CommandResult there = onServer(arguments, server);
            EXPECT_EQ(there.status, onFile.status) << arguments;
            EXPECT_EQ(there.out, onFile.out) << arguments;
            EXPECT_EQ(there.err, onFile.err) << arguments;
        }
    }
    // Importing the same bytes again stores nothing twice on either kind of library.
    EXPECT_EQ(onServer("library import" + runs).out,
              cli("library import" + runs + " --library " + shellQuote(file)).out);
}

TEST_F(ServerLibrary, AReaderMayReadButNotChangeAndAnImporterMayDoBoth) {
    const std::string database = databaseOf(server_);
    const std::string password = serverPassword();
    serverSql(database, "DROP ROLE IF EXISTS reader_ann; DROP ROLE IF EXISTS importer_bob; "
                        "CREATE ROLE reader_ann LOGIN PASSWORD '" +
                            password +
                            "' IN ROLE kestrana_reader; "
                            "CREATE ROLE importer_bob LOGIN PASSWORD '" +
                            password + "' IN ROLE kestrana_importer;");
    const std::string ann = serverLocation(database, "reader_ann");
    const std::string bob = serverLocation(database, "importer_bob");
    const std::vector<std::string> files = writeRuns(folder_.file("runs"), 3);

    const CommandResult imported =
        onServer("library import " + shellQuote(files[0]) + " " + shellQuote(files[1]), bob);
    EXPECT_EQ(imported.status, 0) << imported.err;
    const std::string runs = onServer("library runs", ann).out;
    EXPECT_NE(runs.find(",importer_bob," + files[1]), std::string::npos) << runs;

    for (const std::string& action : {"import " + shellQuote(files[2]), std::string("remove 1")}) {
        const CommandResult refused = onServer("library " + action, ann);
        EXPECT_EQ(refused.status, 1) << action;
        EXPECT_EQ(firstErrorLine(refused), ann + ": you may read this library but not change it") << action;
        EXPECT_EQ(refused.out, "") << action;
    }
    EXPECT_EQ(onServer("library runs", ann).out, runs);
    // Making the library is for its owner alone.
    EXPECT_EQ(onServer("library init", bob).status, 1);

    EXPECT_EQ(onServer("library remove 1", bob).status, 0);
    const std::string log = onServer("library log", ann).out;
    EXPECT_NE(log.find(",importer_bob,removed,KATNI - BINA UP,1,2020-01-15,1," + files[0]), std::string::npos)
        << log;
    // Someone with neither role is told how to get one.
    serverSql(database,
              "DROP ROLE IF EXISTS nobody_carl; CREATE ROLE nobody_carl LOGIN PASSWORD '" + password + "'");
    const CommandResult stranger = onServer("library runs", serverLocation(database, "nobody_carl"));
    EXPECT_EQ(firstErrorLine(stranger),
              serverLocation(database, "nobody_carl") + ": " + std::string(library::kMayNotReadMessage));

    // A database's owner who may not make roles makes its library once the roles are there (as now),
    // and the readers read it.
    const std::string own = database + "_olga";
    serverSql("postgres",
              "DROP ROLE IF EXISTS owner_olga; CREATE ROLE owner_olga LOGIN PASSWORD '" + password + "'");
    serverSql("postgres", "CREATE DATABASE " + own + " OWNER owner_olga");
    const CommandResult made = onServer("library init", serverLocation(own, "owner_olga"));
    EXPECT_EQ(made.status, 0) << made.err;
    EXPECT_EQ(onServer("library runs", serverLocation(own, "reader_ann")).out,
              "id,line,direction,date,run,blocks,imported_at,imported_by,file\n");
}

TEST_F(ServerLibrary, AServerThatCannotBeReachedOrRefusesIsNamedAndNoPasswordIsEverShown) {
    const std::string password = serverPassword();
    const std::string unreachable =
        "postgresql://" + std::string(std::getenv("PGUSER")) + "@127.0.0.1:1/nowhere";
    const std::string empty = serverLocation("postgres");
    struct Case {
        std::string location;
        std::string environment;
        std::string message; // the start of the first line of standard error
    };
    const Case cases[] = {
        {unreachable, "", unreachable + ": the run library's server cannot be reached: "},
        {server_, "PGPASSWORD=not-" + password,
         server_ + ": the run library's server refused the connection: "},
        {"postgresql://ann:" + password + "@localhost:5432/lines?sslmode=require", "",
         "postgresql://ann@localhost:5432/lines: " + std::string(library::kPasswordInLocationMessage)},
        {"service=kestrana_none", "", "service=kestrana_none: the run library's server "},
        // libpq's reason would quote the whole address, password and all.
        {"postgresql://ann:" + password + "@[::1/lines", "",
         std::string(library::kUnreadableLocationMessage)},
        {empty, "", empty + ": " + std::string(library::kNoServerLibraryMessage)},
        // The TLS options of the address are libpq's own: a server certificate checked against a root
        // certificate that is not there fails whether or not this server speaks TLS.
        {server_ + "?sslmode=verify-full&sslrootcert=/nonexistent", "",
         server_ + "?sslmode=verify-full&sslrootcert=/nonexistent: the run library's server cannot be "
                   "reached: connection to server at"},
    };
    for (const Case& c : cases) {
        for (const std::string& action : {std::string("runs"), "import " + shellQuote(folder_.path())}) {
            const CommandResult result =
                cli("library " + action + " --library " + shellQuote(c.location), c.environment);
            EXPECT_EQ(result.status, 1) << c.location;
            EXPECT_TRUE(firstErrorLine(result).starts_with(c.message)) << result.err;
            EXPECT_EQ(result.err.find(password), std::string::npos) << result.err;
        }
    }
    EXPECT_EQ(cli("library runs --library " + shellQuote(server_ + "?sslmode=disable")).status, 0);
}

TEST_F(ServerLibrary, ALibraryKeptOpenReadsAndImportsAgainAfterItsConnectionIsDropped) {
    const std::vector<std::string> files = writeRuns(folder_.file("runs"), 3);
    const std::string kept = server_ + "?application_name=kestrana_kept";
    const auto library = library::openRunLibrary(kept, library::LibraryAccess::OpenExisting);
    ASSERT_EQ(library::importRunFile(*library, files[0]).status, library::ImportStatus::Imported);
    ASSERT_EQ(library::importRunFile(*library, files[1]).status, library::ImportStatus::Imported);
    const std::vector<library::Series> before = library->series();
    // As a server restart does to every program that has the library open.
    const auto drop = [] {
        serverSql("postgres", "SELECT pg_terminate_backend(pid, 10000) FROM pg_stat_activity "
                              "WHERE application_name = 'kestrana_kept'");
    };
    drop();
    // The line whose name holds a byte above 127 reads back the same: the new connection is set up as
    // the first one was.
    EXPECT_EQ(library->series(), before);
    drop();
    EXPECT_EQ(library::importRunFile(*library, files[2]).status, library::ImportStatus::Imported);
    drop();
    EXPECT_EQ(library->runs().size(), 3U);
}

TEST_F(ServerLibrary, ACopyFromAServerThatGoesAwayEndsThereInsteadOfRefusingEveryRunAfter) {
    writeRuns(folder_.file("runs"), 5);
    ASSERT_EQ(onServer("library import " + shellQuote(folder_.file("runs"))).status, 0);
    const std::string database = databaseOf(server_);
    const auto from = library::openRunLibrary(server_, library::LibraryAccess::OpenExisting);
    const auto to =
        library::openRunLibrary(folder_.file("laptop.sqlite"), library::LibraryAccess::CreateIfMissing);
    library::ImportCallbacks callbacks;
    std::vector<library::FileOutcome> outcomes;
    callbacks.onOutcome = [&](const library::FileOutcome& outcome) {
        outcomes.push_back(outcome);
        if (outcomes.size() == 2) {
            // The database closes its doors and drops everyone, as a server taken down does.
            serverSql("postgres", "ALTER DATABASE " + database + " ALLOW_CONNECTIONS false");
            serverSql("postgres",
                      "SELECT pg_terminate_backend(pid, 10000) FROM pg_stat_activity WHERE datname = '" +
                          database + "'");
        }
    };
    std::string failure;
    try {
        library::copyRuns(*from, *to, callbacks);
    } catch (const library::LibraryError& error) {
        failure = error.reason();
    }
    serverSql("postgres", "ALTER DATABASE " + database + " ALLOW_CONNECTIONS true");
    EXPECT_TRUE(failure.starts_with(server_ + ": ")) << failure;
    ASSERT_EQ(outcomes.size(), 2U);
    EXPECT_EQ(to->runs().size(), 2U);
}

TEST_F(ServerLibrary, AConnectionLostMidImportKeepsTheRunsBeforeAndNothingOfTheRunBeingStored) {
    const std::vector<std::string> files = writeRuns(folder_.file("runs"), 4);
    const std::string victim = server_ + "?application_name=kestrana_victim";
    int stored = 0;
    library::setBeforeServerCommit([&](const std::string&) {
        if (++stored == 3) {
            serverSql("postgres", "SELECT pg_terminate_backend(pid, 10000) FROM pg_stat_activity "
                                  "WHERE application_name = 'kestrana_victim'");
        }
    });
    std::string failure;
    std::vector<library::FileOutcome> outcomes;
    try {
        const auto library = library::openRunLibrary(victim, library::LibraryAccess::OpenExisting);
        library::ImportCallbacks callbacks;
        callbacks.onOutcome = [&](const library::FileOutcome& outcome) { outcomes.push_back(outcome); };
        library::importPaths(*library, {folder_.file("runs")}, callbacks);
    } catch (const library::LibraryError& error) {
        failure = error.reason();
    }
    library::setBeforeServerCommit({});
    EXPECT_TRUE(failure.starts_with(victim + ": the connection to the run library's server was lost"))
        << failure;
    EXPECT_EQ(failure.find(serverPassword()), std::string::npos);
    EXPECT_EQ(outcomes.size(), 2U);
    const auto runs = library::openRunLibrary(server_, library::LibraryAccess::OpenExisting)->runs();
    ASSERT_EQ(runs.size(), 2U);
    std::vector<std::string> kept = {runs[0].file, runs[1].file};
    std::sort(kept.begin(), kept.end());
    EXPECT_EQ(kept, (std::vector<std::string>{files[0], files[1]}));
    // What the lost connection left is nothing at all: the run goes in whole on the next import.
    const auto library = library::openRunLibrary(server_, library::LibraryAccess::OpenExisting);
    EXPECT_EQ(library::importRunFile(*library, files[2]).status, library::ImportStatus::Imported);
}

} // namespace
} // namespace kestrana::test
