// The run library: import outcomes, what is stored and read back, refusals that leave a file as it
// was, removal, and two importers writing at the same time.

#include "core/history/block_history.h"
#include "core/history/condition_map.h"
#include "core/history/forecast_list.h"
#include "core/history/run_import.h"
#include "core/history/sqlite_run_library.h"
#include "run_generator.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <sqlite3.h>

#include <algorithm>
#include <filesystem>
#include <set>
#include <thread>

using namespace kestrana::history;
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

} // namespace

TEST(HistoryLibrary, ImportGivesOneOutcomePerFileAndStoresWhatTheRunHolds) {
    TempFolder folder;
    const auto first = generateRunWithValues(recipeOf(1, "150124"));
    RunRecipe secondRecipe = recipeOf(2, "150724");
    secondRecipe.missingBlocks = {{41, 3}};
    const auto second = generateRunWithValues(secondRecipe);
    std::filesystem::create_directories(folder.file("runs/deeper"));
    writeFile(folder.file("runs/a.run"), first.text);
    writeFile(folder.file("runs/deeper/B.RUN"), second.text);
    writeFile(folder.file("runs/deeper/copy.Run"), first.text); // same bytes
    writeFile(folder.file("runs/notes.txt"), "not a run");      // not searched
    writeFile(folder.file("runs/z_bad_date.run"), generateRunWithValues(recipeOf(3, "310224")).text);
    writeFile(folder.file("plain.dat"), "68,1,2\r\n"); // named, so taken whatever its name
    const auto library = openSqliteLibrary(folder.file("lib.sqlite"), LibraryAccess::CreateIfMissing);

    std::vector<ImportProgress> progress;
    ImportCallbacks callbacks;
    callbacks.onProgress = [&](const ImportProgress& p) { progress.push_back({p.done, p.total, {}}); };
    const ImportSummary summary = importPaths(
        *library, {folder.file("runs"), folder.file("plain.dat"), folder.file("missing.run")}, callbacks);

    std::vector<std::string> lines;
    for (const FileOutcome& outcome : summary.outcomes) {
        lines.push_back(outcomeLine(outcome));
    }
    const std::string runs = folder.file("runs");
    const std::vector<std::string> expected = {
        "imported " + runs + "/a.run",
        "imported " + runs + "/deeper/B.RUN",
        "skipped " + runs + "/deeper/copy.Run: already in the library",
        "refused " + runs + "/z_bad_date.run: the run date \"310224\" is not a calendar date (DDMMYY)",
        "refused " + folder.file("plain.dat") + ": line 1: the numbers end inside a record",
        "refused " + folder.file("missing.run") + ": no such file or folder",
    };
    EXPECT_EQ(lines, expected);
    EXPECT_EQ(summaryText(summary), "2 imported, 1 skipped, 3 refused");
    ASSERT_EQ(progress.size(), 7U);
    EXPECT_EQ(progress.front().total, 6U);
    EXPECT_EQ(progress.back().done, 6U);

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
    runSql(newer, "PRAGMA user_version = 2;");
    const std::string damaged = folder.file("damaged.sqlite");
    openSqliteLibrary(damaged, LibraryAccess::CreateIfMissing);
    std::string bytes = readFile(damaged);
    bytes.replace(100, 200, std::string(200, '\xff')); // the schema page
    writeFile(damaged, bytes);

    const std::pair<std::string, std::string> cases[] = {
        {text, std::string(kNotALibraryMessage)},
        {empty, std::string(kNotALibraryMessage)},
        {foreign, std::string(kNotALibraryMessage)},
        {newer, std::string(kNewerLibraryMessage) + " (library version 2, this program writes version 1)"},
        {damaged, std::string(kDamagedLibraryMessage)},
        {folder.path(), std::string(kNotALibraryMessage)},
    };
    for (const auto& [path, message] : cases) {
        const std::string before = std::filesystem::is_directory(path) ? "" : readFile(path);
        const std::string refusal = refusalOf(path, LibraryAccess::CreateIfMissing);
        EXPECT_EQ(refusal.substr(0, message.size()), message) << path << ": " << refusal;
        if (!std::filesystem::is_directory(path)) {
            EXPECT_EQ(readFile(path), before) << path;
        }
    }
    EXPECT_EQ(refusalOf(folder.file("none.sqlite"), LibraryAccess::OpenExisting), kNoLibraryMessage);
    EXPECT_FALSE(std::filesystem::exists(folder.file("none.sqlite")));
    EXPECT_EQ(refusalOf(folder.file("no/folder/lib.sqlite"), LibraryAccess::CreateIfMissing).substr(0, 30),
              "cannot create the run library ");
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

TEST(HistoryLibrary, RemovingARunTakesItsValuesAndAnEmptyLineWithIt) {
    TempFolder folder;
    const auto library = openSqliteLibrary(folder.file("lib.sqlite"), LibraryAccess::CreateIfMissing);
    for (unsigned seed : {1U, 2U}) {
        const std::string path = folder.file(std::to_string(seed) + ".run");
        writeFile(path, generateRunWithValues(recipeOf(seed, seed == 1 ? "010124" : "010224")).text);
        importRunFile(*library, path);
    }
    const RunId firstId = library->runsOf(kLine).front().id;
    EXPECT_TRUE(library->removeRun(firstId));
    EXPECT_FALSE(library->removeRun(firstId));
    EXPECT_EQ(library->blockValues(kLine, {40, 1}, BlockIndex::TGI).size(), 1U);
    // Its bytes may come back in.
    EXPECT_EQ(importRunFile(*library, folder.file("1.run")).status, ImportStatus::Imported);
    for (const RunRecord& run : library->runs()) {
        library->removeRun(run.id);
    }
    EXPECT_TRUE(library->series().empty());
    EXPECT_FALSE(library->kmRangeOf(kLine));
}

TEST(HistoryLibrary, TwoImportersAtOnceStoreEveryRunExactlyOnce) {
    TempFolder folder;
    std::vector<std::string> files;
    for (unsigned seed = 1; seed <= 8; ++seed) {
        files.push_back(folder.file(std::to_string(seed) + ".run"));
        writeFile(files.back(), generateRunWithValues(recipeOf(seed, "010124")).text);
    }
    const std::string path = folder.file("lib.sqlite");
    openSqliteLibrary(path, LibraryAccess::CreateIfMissing);
    ImportSummary summaries[2];
    std::thread importers[2];
    for (int i = 0; i < 2; ++i) {
        importers[i] = std::thread([&, i] {
            const auto library = openSqliteLibrary(path, LibraryAccess::OpenExisting);
            summaries[i] = importPaths(*library, files);
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
