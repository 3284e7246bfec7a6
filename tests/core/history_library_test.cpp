// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Kestrana developers

// The run library: import outcomes, what is stored and read back, refusals that leave a file as it
// was (foreign objects and damage included), removal, a new library made whole beside its name, and
// importers writing at the same time.

#include "core/history/block_history.h"
#include "core/history/condition_map.h"
#include "core/history/forecast_list.h"
#include "core/library/run_copy.h"
#include "core/library/run_import.h"
#include "core/library/sqlite_run_library.h"
#include "run_generator.h"
#include "support/test_support.h"
#include "support/version1_library.h"

#include <gtest/gtest.h>

#include <sqlite3.h>

#include <sys/stat.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <filesystem>
#include <mutex>
#include <set>
#include <thread>

using namespace kestrana::history;
using namespace kestrana::library;
using kestrana::generator::generateRun;
using kestrana::generator::generateRunWithValues;
using kestrana::generator::RunRecipe;
using kestrana::test::readFile;
using kestrana::test::TempFolder;
using kestrana::test::writeFile;

namespace {

RunRecipe recipeOf(unsigned seed, const char* date, int direction = 1) {
    RunRecipe recipe;
    recipe.startKm = direction > 0 ? 40 : 45;
    recipe.kmCount = 5;
    recipe.direction = direction;
    recipe.seed = seed;
    recipe.lineSeed = 7;
    recipe.date = date;
    recipe.section = "  ITARSI - NAGPUR UP   ";
    recipe.peakPairs = 0;
    return recipe;
}

void runSql(const std::string& path, const char* sql) {
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(path.c_str(), &db), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(db, sql, nullptr, nullptr, nullptr), SQLITE_OK) << sqlite3_errmsg(db);
    sqlite3_close(db);
}

std::string refusalOf(const std::string& path, LibraryAccess access) {
    try {
        openSqliteLibrary(path, access);
    } catch (const LibraryError& error) {
        return error.what_text();
    }
    return "opened";
}

const Series kLine{"ITARSI - NAGPUR UP", 1};

// The same run with other bytes: its line ends as a line feed alone.
std::string withLineFeedsOnly(std::string text) {
    std::erase(text, '\r');
    return text;
}

// A run's text without its section ("91") line.
std::string withoutSectionLine(const std::string& text) {
    const auto start = text.find("\r\n91,") + 2;
    return text.substr(0, start) + text.substr(text.find("\r\n", start) + 2);
}

std::string quickCheckOf(const std::string& path) {
    sqlite3* db = nullptr;
    sqlite3_open(path.c_str(), &db);
    sqlite3_stmt* stmt = nullptr;
    std::string result = "cannot check";
    if (sqlite3_prepare_v2(db, "PRAGMA quick_check(1)", -1, &stmt, nullptr) == SQLITE_OK) {
        result = sqlite3_step(stmt) == SQLITE_ROW
                     ? reinterpret_cast<const char*>(sqlite3_column_text(stmt, 0))
                     : sqlite3_errmsg(db);
    }
    sqlite3_finalize(stmt);
    sqlite3_close(db);
    return result;
}

std::vector<std::string> namesIn(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

} // namespace

TEST(HistoryLibrary, ImportGivesOneOutcomePerPathAndStoresWhatTheRunHolds) {
    TempFolder folder;
    const auto first = generateRunWithValues(recipeOf(1, "150124"));
    RunRecipe secondRecipe = recipeOf(2, "150724");
    secondRecipe.missingBlocks = {{41, 3}};
    const auto second = generateRunWithValues(secondRecipe);
    RunRecipe blankRecipe = recipeOf(4, "150824");
    blankRecipe.section = "";
    std::filesystem::create_directories(folder.file("runs/deeper"));
    writeFile(folder.file("runs/a.run"), first.text);
    writeFile(folder.file("runs/deeper/B.RUN"), second.text);
    writeFile(folder.file("runs/deeper/copy.Run"), first.text);                  // same bytes
    writeFile(folder.file("runs/deeper/lf.run"), withLineFeedsOnly(first.text)); // same run
    writeFile(folder.file("runs/notes.txt"), "not a run");                       // not searched
    writeFile(folder.file("runs/z_bad_date.run"), generateRunWithValues(recipeOf(3, "310224")).text);
    writeFile(folder.file("runs/nosection.run"), withoutSectionLine(generateRun(recipeOf(5, "150924"))));
    writeFile(folder.file("runs/blank.run"), generateRun(blankRecipe));
    std::filesystem::create_symlink(folder.file("moved away.run"), folder.file("runs/gone.run"));
    ASSERT_EQ(::mkfifo(folder.file("runs/pipe.run").c_str(), 0600), 0); // a search never waits on one
    // A run date of control characters: the outcome still prints as one line.
    RunRecipe controlRecipe = recipeOf(7, "");
    controlRecipe.date = std::string("0\x1b\0\t14", 6);
    writeFile(folder.file("runs/z_control_date.run"), generateRun(controlRecipe));
    writeFile(folder.file("plain.dat"), "68,1,2\r\n"); // named, so taken whatever its name
    const std::string tooLong = folder.file(std::string(300, 'r') + ".run");
    const auto library = openSqliteLibrary(folder.file("lib.sqlite"), LibraryAccess::CreateIfMissing);

    std::vector<ImportProgress> progress;
    ImportCallbacks callbacks;
    callbacks.onProgress = [&](const ImportProgress& p) { progress.push_back({p.done, p.total, {}}); };
    const ImportSummary summary = importPaths(
        *library, {folder.file("runs"), folder.file("plain.dat"), folder.file("missing.run"), tooLong},
        callbacks);

    std::vector<std::string> lines;
    for (const FileOutcome& outcome : summary.outcomes) {
        lines.push_back(outcomeLine(outcome));
    }
    const std::string runs = folder.file("runs");
    const std::vector<std::string> expected = {
        "imported " + runs + "/a.run",
        "refused " + runs + "/blank.run: the run's section line (\"91\") names no line",
        "imported " + runs + "/deeper/B.RUN",
        "skipped " + runs + "/deeper/copy.Run: already in the library",
        "skipped " + runs + "/deeper/lf.run: the same run as " + runs +
            "/a.run (ITARSI - NAGPUR UP, 2024-01-15, run 1) is already in the library",
        "refused " + runs + "/gone.run: no such file or folder",
        "refused " + runs + "/nosection.run: the run has no section line (\"91\"), so its line is not known",
        "refused " + runs + "/pipe.run: it is not a regular file; a folder search takes regular files only",
        "refused " + runs + "/z_bad_date.run: the run date \"310224\" is not a calendar date (DDMMYY)",
        "refused " + runs +
            "/z_control_date.run: the run date \"0\\x1b\\x00\\t14\" is not a calendar date (DDMMYY)",
        "refused " + folder.file("plain.dat") + ": line 1: the numbers end inside a record",
        "refused " + folder.file("missing.run") + ": no such file or folder",
        "refused " + tooLong + ": the path is too long",
    };
    EXPECT_EQ(lines, expected);
    EXPECT_EQ(summaryText(summary), "2 imported, 2 skipped, 9 refused");
    ASSERT_EQ(progress.size(), 14U);
    EXPECT_EQ(progress.front().total, 13U);
    EXPECT_EQ(progress.back().done, 13U);

    const std::vector<RunRecord> stored = library->runs();
    ASSERT_EQ(stored.size(), 2U);
    EXPECT_EQ(stored[0].series, kLine); // the section without its surrounding blanks
    EXPECT_EQ(stored[0].dateText, "150124");
    EXPECT_EQ(stored[0].blocks, 25);
    EXPECT_EQ(stored[1].blocks, 24);
    EXPECT_EQ(stored[0].file, runs + "/a.run");
    EXPECT_EQ(library->series(), std::vector<Series>{kLine});
    EXPECT_EQ(library->kmRangeOf(kLine), (KmRange{40, 44}));

    // Every index of every block as the generator wrote it; the block missing from run 2 is absent.
    const auto values = library->valuesInRange(kLine, {40, 44}, BlockIndex::TGIG);
    ASSERT_EQ(values.size(), 2U);
    const std::pair<const RunValues*, const kestrana::generator::GeneratedRun*> pairs[] = {
        {&values[0], &first}, {&values[1], &second}};
    for (const auto& [run, generated] : pairs) {
        ASSERT_EQ(run->values.size(), generated->blocks.size());
        for (std::size_t i = 0; i < generated->blocks.size(); ++i) {
            const auto& block = generated->blocks[i]; // fields 1 to 26 as block[n - 1]
            EXPECT_EQ(run->values[i].key,
                      (BlockKey{static_cast<std::int16_t>(block[1]), static_cast<std::int16_t>(block[4])}));
            EXPECT_EQ(run->values[i].value, block[23]); // TGIG, field 24
        }
    }
    const auto history = library->blockValues(kLine, {41, 3}, BlockIndex::TGI);
    ASSERT_EQ(history.size(), 1U);
    EXPECT_EQ(history[0].value, first.blocks[7][16]);
}

TEST(HistoryLibrary, RefusedLibrariesAreLeftByteForByte) {
    TempFolder folder;
    const std::string text = folder.file("text.sqlite");
    writeFile(text, "line,direction\n");
    const std::string empty = folder.file("empty.sqlite");
    writeFile(empty, "");
    const std::string foreign = folder.file("foreign.sqlite");
    runSql(foreign, "CREATE TABLE t (x); INSERT INTO t VALUES (1);");
    const std::string newer = folder.file("newer.sqlite");
    openSqliteLibrary(newer, LibraryAccess::CreateIfMissing);
    runSql(newer, ("PRAGMA user_version = " + std::to_string(kLibrarySchemaVersion + 1) + ";").c_str());
    const std::string damaged = folder.file("damaged.sqlite");
    openSqliteLibrary(damaged, LibraryAccess::CreateIfMissing);
    std::string bytes = readFile(damaged);
    bytes.replace(100, 200, std::string(200, '\xff')); // the schema page
    writeFile(damaged, bytes);
    // A library with one object more than a library has, of each kind: a trigger would run its SQL
    // on every import, a view on a question.
    const std::pair<const char*, const char*> planted[] = {
        {"trigger", "CREATE TABLE seen (x); CREATE TRIGGER spy AFTER INSERT ON runs BEGIN "
                    "INSERT INTO seen VALUES (new.file); END;"},
        {"view", "CREATE VIEW everything AS SELECT * FROM runs;"},
        {"index", "CREATE INDEX runs_by_file ON runs (file);"},
        {"table", "CREATE TABLE notes (text);"},
        {"changed", "DROP INDEX runs_of_series; CREATE INDEX runs_of_series ON runs (series);"},
    };
    std::vector<std::string> foreignObjects;
    for (const auto& [name, sql] : planted) {
        foreignObjects.push_back(folder.file(std::string(name) + ".sqlite"));
        openSqliteLibrary(foreignObjects.back(), LibraryAccess::CreateIfMissing);
        runSql(foreignObjects.back(), sql);
    }

    const std::pair<std::string, std::string> cases[] = {
        {text, std::string(kNotALibraryMessage)},
        {empty, std::string(kNotALibraryMessage)},
        {foreign, std::string(kNotALibraryMessage)},
        {newer, std::string(kNewerLibraryMessage) + " (library version " +
                    std::to_string(kLibrarySchemaVersion + 1) + ", this program writes version " +
                    std::to_string(kLibrarySchemaVersion) + ")"},
        {damaged, std::string(kDamagedLibraryMessage)},
        {folder.path(), std::string(kNotALibraryMessage)},
    };
    std::vector<std::pair<std::string, std::string>> allCases(std::begin(cases), std::end(cases));
    for (const std::string& path : foreignObjects) {
        allCases.emplace_back(path, std::string(kNotALibraryMessage));
    }
    for (const auto& [path, message] : allCases) {
        const std::string before = std::filesystem::is_directory(path) ? "" : readFile(path);
        const std::string refusal = refusalOf(path, LibraryAccess::CreateIfMissing);
        EXPECT_EQ(refusal.substr(0, message.size()), message) << path << ": " << refusal;
        if (!std::filesystem::is_directory(path)) {
            EXPECT_EQ(readFile(path), before) << path;
        }
    }
    EXPECT_EQ(refusalOf(folder.file("none.sqlite"), LibraryAccess::OpenExisting), kNoLibraryMessage);
    EXPECT_FALSE(std::filesystem::exists(folder.file("none.sqlite")));
    EXPECT_EQ(refusalOf(folder.file("no/folder/lib.sqlite"), LibraryAccess::CreateIfMissing),
              kLibraryNoFolderMessage);
    EXPECT_EQ(refusalOf(folder.file(std::string(300, 'x') + ".sqlite"), LibraryAccess::CreateIfMissing),
              "the run library cannot be opened: the path is too long");
    EXPECT_EQ(namesIn(folder.path()).size(), allCases.size() - 1) << "nothing was made beside them";
}

TEST(HistoryLibrary, ADamagedLibraryIsRefusedUnchangedBeforeAWriteAndWhenAQuestionMeetsTheDamage) {
    TempFolder folder;
    const std::string sound = folder.file("sound.sqlite");
    {
        const auto library = openSqliteLibrary(sound, LibraryAccess::CreateIfMissing);
        for (unsigned seed : {1U, 2U, 3U}) {
            const std::string path = folder.file(std::to_string(seed) + ".run");
            RunRecipe recipe = recipeOf(seed, ("01012" + std::to_string(seed)).c_str());
            recipe.kmCount = 200; // block values over some twenty pages
            writeFile(path, generateRun(recipe));
            ASSERT_EQ(importRunFile(*library, path).status, ImportStatus::Imported);
        }
    }
    // A page of block values in the middle of the file overwritten: the schema is whole, so the file
    // opens, but SQLite's own check finds it malformed.
    std::string bytes = readFile(sound);
    const std::size_t pageSize = 4096;
    const std::size_t page = bytes.size() / pageSize / 2;
    bytes.replace(page * pageSize, pageSize, std::string(pageSize, '\x5a'));
    const std::string damaged = folder.file("damaged.sqlite");
    writeFile(damaged, bytes);
    ASSERT_NE(quickCheckOf(damaged), "ok");
    writeFile(folder.file("4.run"), generateRun(recipeOf(4, "010124")));

    const auto writer = openSqliteLibrary(damaged, LibraryAccess::CreateIfMissing);
    const std::string message(kDamagedLibraryMessage);
    try {
        importRunFile(*writer, folder.file("4.run"));
        ADD_FAILURE() << "a run was stored into a damaged library";
    } catch (const LibraryError& error) {
        EXPECT_EQ(error.what_text(), message);
        EXPECT_EQ(error.file(), damaged);
    }
    EXPECT_THROW(writer->removeRun(writer->runs().front().id), LibraryError);
    EXPECT_EQ(readFile(damaged), bytes);

    // A reader asks questions without checking the whole file first; one that meets the damage says so
    // instead of answering without the part it could not read.
    const auto reader = openSqliteLibrary(damaged, LibraryAccess::OpenExisting);
    try {
        for (BlockIndex index : {BlockIndex::TGI, BlockIndex::TGIU, BlockIndex::TGIL}) {
            reader->valuesInRange(kLine, {40, 239}, index);
        }
        ADD_FAILURE() << "every question was answered";
    } catch (const LibraryError& error) {
        EXPECT_EQ(error.what_text(), message);
    }
    EXPECT_EQ(readFile(damaged), bytes);

    // What can still be read is copied into a new library; the run the damage is in is refused.
    const auto rescued = openSqliteLibrary(folder.file("rescued.sqlite"), LibraryAccess::CreateIfMissing);
    const ImportSummary copied = copyRuns(*reader, *rescued);
    EXPECT_GE(copied.refused, 1U);
    EXPECT_GE(copied.imported, 1U);
    EXPECT_EQ(copied.imported + copied.refused, 3U);
    for (const FileOutcome& outcome : copied.outcomes) {
        if (outcome.status == ImportStatus::Refused) {
            EXPECT_EQ(outcome.reason, "it cannot be read from " + damaged + ": " + message);
        }
    }
    EXPECT_EQ(rescued->runs().size(), copied.imported);
    EXPECT_EQ(readFile(damaged), bytes);
}

TEST(HistoryLibrary, ANewLibraryAppearsOnlyWholeAndImportersStartingTogetherAllUseIt) {
    TempFolder folder;
    const std::string path = folder.file("lib.sqlite");
    constexpr int kImporters = 4;
    std::vector<std::string> files;
    for (int i = 0; i < kImporters; ++i) {
        files.push_back(folder.file("run" + std::to_string(i) + ".run"));
        writeFile(files.back(), generateRun(recipeOf(10 + i, ("0101" + std::to_string(20 + i)).c_str())));
    }
    // Each importer builds its library beside the name and waits there until all have, so that all of
    // them find no library when they start and race to put theirs in place.
    std::mutex mutex;
    std::condition_variable allThere;
    int wholeBesideTheName = 0;
    setBeforeNewLibraryInPlace([&](const std::string& finalPath) {
        std::unique_lock<std::mutex> lock(mutex);
        if (finalPath == path && !std::filesystem::exists(path)) {
            ++wholeBesideTheName;
        }
        allThere.notify_all();
        // A time limit only so that a fault fails the test instead of hanging it.
        allThere.wait_for(lock, std::chrono::seconds(20), [&] { return wholeBesideTheName == kImporters; });
    });
    std::vector<std::string> failures(kImporters);
    std::vector<ImportStatus> statuses(kImporters, ImportStatus::Refused);
    std::vector<std::thread> importers;
    for (int i = 0; i < kImporters; ++i) {
        importers.emplace_back([&, i] {
            try {
                const auto library = openSqliteLibrary(path, LibraryAccess::CreateIfMissing);
                statuses[i] = importRunFile(*library, files[i]).status;
            } catch (const LibraryError& error) {
                failures[i] = error.reason();
            }
        });
    }
    for (auto& importer : importers) {
        importer.join();
    }
    setBeforeNewLibraryInPlace({});
    EXPECT_EQ(wholeBesideTheName, kImporters);
    EXPECT_EQ(failures, std::vector<std::string>(kImporters));
    EXPECT_EQ(statuses, std::vector<ImportStatus>(kImporters, ImportStatus::Imported));
    EXPECT_EQ(openSqliteLibrary(path, LibraryAccess::OpenExisting)->runs().size(), std::size_t{kImporters});

    // A build that fails leaves neither the library nor anything beside it.
    const std::string failed = folder.file("failed.sqlite");
    EXPECT_THROW(
        buildLibraryInPlace(failed, [](RunLibrary&) { throw kestrana::common::Error("no room for it"); }),
        kestrana::common::Error);
    std::vector<std::string> expected = {"lib.sqlite"};
    for (const std::string& file : files) {
        expected.push_back(std::filesystem::path(file).filename().string());
    }
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(namesIn(folder.path()), expected);
}

TEST(HistoryLibrary, AFifoIsReadOnceAndItsRunStoredUnderTheHashOfTheBytesRead) {
    TempFolder folder;
    const std::string pipe = folder.file("pipe.run");
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    const auto generated = generateRunWithValues(recipeOf(6, "010324"));
    std::thread writer([&] { writeFile(pipe, generated.text); });
    const auto library = openSqliteLibrary(folder.file("lib.sqlite"), LibraryAccess::CreateIfMissing);
    const FileOutcome outcome = importRunFile(*library, pipe);
    writer.join();
    EXPECT_EQ(outcome.status, ImportStatus::Imported) << outcome.reason;
    ASSERT_EQ(library->runs().size(), 1U);
    EXPECT_EQ(library->runs().front().blocks, static_cast<long>(generated.blocks.size()));
    EXPECT_TRUE(library->containsContent(kestrana::library::sha256(generated.text)));
    // The same bytes from a plain file are the run already stored.
    writeFile(folder.file("plain.run"), generated.text);
    EXPECT_EQ(outcomeLine(importRunFile(*library, folder.file("plain.run"))),
              "skipped " + folder.file("plain.run") + ": already in the library");
}

TEST(HistoryLibrary, ARunOverNeitherRisingNorFallingKmIsRefused) {
    TempFolder folder;
    const auto library = openSqliteLibrary(folder.file("lib.sqlite"), LibraryAccess::CreateIfMissing);
    writeFile(folder.file("two.run"),
              "60,10,12,\r\n68,1,1,2,3,4,5,6,7,8,9,10,11,50,60,0,1,1,50,50,50,50,0\r\n");
    const FileOutcome outcome = importRunFile(*library, folder.file("two.run"));
    EXPECT_EQ(outcome.status, ImportStatus::Refused);
    EXPECT_TRUE(outcome.reason.starts_with("the first block's km to minus km from is 2,")) << outcome.reason;
    EXPECT_TRUE(library->runs().empty());
}

TEST(HistoryLibrary, APathIsNeverReadAsAnSqliteUri) {
    TempFolder folder;
    const auto before = std::filesystem::current_path();
    std::filesystem::current_path(folder.path());
    openSqliteLibrary("file:lib.sqlite?mode=memory", LibraryAccess::CreateIfMissing);
    std::filesystem::current_path(before);
    EXPECT_TRUE(std::filesystem::exists(folder.file("file:lib.sqlite?mode=memory")));
}

TEST(HistoryLibrary, RemovingRunsIsAllOrNothingAndTakesTheirValuesAndEmptyLinesWithThem) {
    TempFolder folder;
    const auto library = openSqliteLibrary(folder.file("lib.sqlite"), LibraryAccess::CreateIfMissing);
    const Series falling{kLine.line, -1};
    for (unsigned seed : {1U, 2U, 3U}) {
        const std::string path = folder.file(std::to_string(seed) + ".run");
        writeFile(path, generateRun(recipeOf(seed, seed == 1 ? "010124" : "010224", seed == 3 ? -1 : 1)));
        ASSERT_EQ(importRunFile(*library, path).status, ImportStatus::Imported);
    }
    const std::vector<RunRecord> before = library->runs();
    ASSERT_EQ(before.size(), 3U);
    const RunId first = library->runsOf(kLine).front().id;
    const RunId fallingRun = library->runsOf(falling).front().id;
    const RunId unknown = 1000;

    const std::vector<RunId> notThere = {first, unknown, fallingRun, unknown + 1};
    EXPECT_EQ(library->removeRuns(notThere), (std::vector<RunId>{unknown, unknown + 1}));
    EXPECT_EQ(library->runs(), before) << "nothing is removed when an id is not there";

    const std::vector<RunId> twice = {first, fallingRun, first};
    EXPECT_TRUE(library->removeRuns(twice).empty());
    EXPECT_FALSE(library->removeRun(first));
    EXPECT_EQ(library->runs().size(), 1U);
    EXPECT_EQ(library->blockValues(kLine, {40, 1}, BlockIndex::TGI).size(), 1U);
    EXPECT_EQ(library->series(), std::vector<Series>{kLine});
    // Its bytes may come back in, and so may its run.
    EXPECT_EQ(importRunFile(*library, folder.file("1.run")).status, ImportStatus::Imported);
    for (const RunRecord& run : library->runs()) {
        EXPECT_TRUE(library->removeRun(run.id));
    }
    EXPECT_TRUE(library->series().empty());
    EXPECT_FALSE(library->kmRangeOf(kLine));
}

TEST(HistoryLibrary, TwoImportersAtOnceStoreEveryRunExactlyOnce) {
    TempFolder folder;
    // Each importer has its own file of each run: the same bytes for half of them, the same run in
    // other bytes for the other half.
    std::vector<std::string> files[2];
    for (unsigned seed = 1; seed <= 8; ++seed) {
        const std::string text = generateRun(recipeOf(seed, ("0101" + std::to_string(16 + seed)).c_str()));
        for (int i = 0; i < 2; ++i) {
            files[i].push_back(folder.file(std::to_string(seed) + "-" + std::to_string(i) + ".run"));
            writeFile(files[i].back(), seed % 2 == 0 && i == 1 ? withLineFeedsOnly(text) : text);
        }
    }
    const std::string path = folder.file("lib.sqlite");
    openSqliteLibrary(path, LibraryAccess::CreateIfMissing);
    ImportSummary summaries[2];
    std::thread importers[2];
    for (int i = 0; i < 2; ++i) {
        importers[i] = std::thread([&, i] {
            const auto library = openSqliteLibrary(path, LibraryAccess::OpenExisting);
            summaries[i] = importPaths(*library, files[i]);
        });
    }
    for (auto& importer : importers) {
        importer.join();
    }
    EXPECT_EQ(summaries[0].imported + summaries[1].imported, 8U);
    EXPECT_EQ(summaries[0].skipped + summaries[1].skipped, 8U);
    EXPECT_EQ(summaries[0].refused + summaries[1].refused, 0U);
    const auto library = openSqliteLibrary(path, LibraryAccess::OpenExisting);
    EXPECT_EQ(library->runs().size(), 8U);
    EXPECT_EQ(library->blockValues(kLine, {42, 2}, BlockIndex::TGI).size(), 8U);
}

TEST(HistoryLibrary, TheBundledSampleShowsEveryStatusAndAMaintainedStretch) {
    TempFolder folder;
    const auto library = openSqliteLibrary(folder.file("lib.sqlite"), LibraryAccess::CreateIfMissing);
    for (const auto& run : kestrana::generator::historySampleRecipes()) {
        const std::string bundled = std::string(KESTRANA_SAMPLES_DIR) + "/" + run.fileName;
        EXPECT_EQ(readFile(bundled), kestrana::generator::generateRun(run.recipe))
            << "make_samples writes " << run.fileName;
        ASSERT_EQ(importRunFile(*library, bundled).status, ImportStatus::Imported);
    }
    const auto series = library->series();
    ASSERT_EQ(series.size(), 1U);
    const auto runs = library->runsOf(series.front());
    ASSERT_EQ(runs.size(), 12U);
    EXPECT_GE(runs.back().day - runs.front().day, 2 * 365);
    std::set<ForecastStatus> statuses;
    for (const ForecastRow& row : forecastRows(*library, series.front(), std::nullopt, HistorySettings{})) {
        statuses.insert(row.forecast.status);
    }
    EXPECT_EQ(statuses.size(), 4U);
    EXPECT_EQ(blockHistory(*library, series.front(), {308, 2}, HistorySettings{}).segments.size(), 2U);
    const auto map = conditionMap(*library, series.front(), {300, 319}, BlockIndex::TGI);
    EXPECT_NE(std::count_if(map.cells.begin(), map.cells.end(),
                            [](const ConditionCell& cell) { return cell.band == ValueBand::NotRecorded; }),
              0);
}

TEST(HistoryLibrary, ALibraryOfTheFirstVersionIsReadAsItIsAndUpgradedWholeAtTheFirstWrite) {
    TempFolder folder;
    const std::string path = folder.file("old.sqlite");
    // A library as the first version wrote it, holding two runs (the second's id the highest ever).
    runSql(path, kestrana::test::kVersion1LibrarySchema);
    runSql(path, R"sql(
INSERT INTO series VALUES (1, 'ITARSI - NAGPUR UP', 1);
INSERT INTO runs VALUES (1, 1, 19000, '080122', '1', 1, 40, 40, '/old/a.run', x'01'),
                        (2, 1, 19100, '180422', '1', 1, 40, 40, '/old/b.run', x'02');
INSERT INTO block_values VALUES (1, 40, 1, 61, 62, 63, 64, 65), (2, 40, 1, 51, 52, 53, 54, 55);
)sql");
    const std::string original = readFile(path);
    {
        const auto library = openSqliteLibrary(path, LibraryAccess::OpenExisting);
        const std::vector<RunRecord> runs = library->runs();
        ASSERT_EQ(runs.size(), 2U);
        EXPECT_EQ(runs[1].id, 2);
        EXPECT_EQ(runs[1].imported, ImportStamp{}); // neither who nor when is known
        EXPECT_EQ(library->log().size(), 2U);
        EXPECT_EQ(library->blockValues(kLine, {40, 1}, BlockIndex::TGIW).back().value, 53);
    }
    EXPECT_EQ(readFile(path), original) << "reading leaves an older library as it is";

    // An upgrade that cannot be written (the file may not grow) leaves the library exactly as it was.
    writeFile(folder.file("new.run"), generateRun(recipeOf(9, "010623")));
    const auto limited = kestrana::test::runCommand(
        "bash -c " +
        kestrana::test::shellQuote("ulimit -f " + std::to_string(original.size() / 1024) + "; " +
                                   kestrana::test::shellQuote(KESTRANA_CLI_PATH) + " library import " +
                                   folder.file("new.run") + " --library " + path));
    EXPECT_EQ(limited.status, 1);
    EXPECT_NE(limited.err.find("file too large"), std::string::npos) << limited.err;
    EXPECT_EQ(readFile(path), original);

    const auto library = openSqliteLibrary(path, LibraryAccess::OpenExisting);
    ASSERT_EQ(importRunFile(*library, folder.file("new.run")).status, ImportStatus::Imported);
    const std::vector<RunRecord> runs = library->runs();
    ASSERT_EQ(runs.size(), 3U);
    EXPECT_EQ(runs[2].id, 3);
    EXPECT_TRUE(runs[2].imported.at.has_value());
    EXPECT_EQ(runs[0].imported, ImportStamp{});
    // What the first version stored is all there, and the file is now a library of this version.
    EXPECT_EQ(library->blockValues(kLine, {40, 1}, BlockIndex::TGIW).front().value, 63);
    EXPECT_TRUE(library->removeRun(3));
    ASSERT_EQ(importRunFile(*library, folder.file("new.run")).status, ImportStatus::Imported);
    EXPECT_EQ(library->runs().back().id, 4) << "a removed run's id is not given again";
    EXPECT_EQ(refusalOf(path, LibraryAccess::OpenExisting), "opened");
    // The two imports from before first, then in the order they happened, within a second as well.
    const std::vector<LogEntry> log = library->log();
    ASSERT_EQ(log.size(), 5U);
    EXPECT_FALSE(log[1].time.has_value());
    const std::pair<LogEntry::Action, RunId> known[] = {
        {LogEntry::Action::Imported, 3}, {LogEntry::Action::Removed, 3}, {LogEntry::Action::Imported, 4}};
    for (std::size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(std::pair(log[i + 2].action, log[i + 2].run), known[i]) << i;
    }
}
