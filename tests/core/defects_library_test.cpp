// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Kestrana developers

// The peaks of each run in the run library: stored with the run and read back exactly (by km range and
// by parameter), a run whose peak lines are refused stored without them, and a library written before
// peaks were kept upgraded in place by the first write, or left exactly as it was when that fails.

#include "core/defects/peak_packing.h"
#include "core/defects/run_peaks.h"
#include "core/library/run_import.h"
#include "core/library/sqlite_run_library.h"
#include "run_generator.h"
#include "support/test_support.h"
#include "support/version1_library.h"

#include <gtest/gtest.h>

#include <sqlite3.h>

#include <sys/resource.h>

#include <algorithm>
#include <csignal>
#include <filesystem>

namespace kestrana::library {
namespace {

using defects::Peak;
using defects::RunPeaks;
using test::readFile;
using test::TempFolder;
using test::writeFile;

generator::RunRecipe recipeOf(unsigned seed, const char* date, int direction = 1) {
    generator::RunRecipe recipe;
    recipe.startKm = direction > 0 ? 40 : 45;
    recipe.kmCount = 5;
    recipe.direction = direction;
    recipe.seed = seed;
    recipe.lineSeed = 7;
    recipe.date = date;
    recipe.section = "  ITARSI - NAGPUR UP   ";
    return recipe;
}

Series lineOf(int direction) {
    return Series{"ITARSI - NAGPUR UP", direction};
}

// A library as the earlier program leaves it after importing `run`: its rows written the way it wrote
// them, from the run as it loads it.
void writeVersion1Library(const std::string& path, const LoadedRun& run) {
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(path.c_str(), &db), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(db, test::kVersion1LibrarySchema, nullptr, nullptr, nullptr), SQLITE_OK)
        << sqlite3_errmsg(db);
    std::string sql = "BEGIN; INSERT INTO series VALUES (1, '" + run.series.line + "', " +
                      std::to_string(run.series.direction) + "); INSERT INTO runs VALUES (1, 1, " +
                      std::to_string(run.day) + ", '" + run.dateText + "', '" + run.runNumber + "', " +
                      std::to_string(run.blocks.size()) + ", 40, 44, '" + run.file + "', x'";
    for (unsigned char byte : run.contentHash) {
        static const char* hex = "0123456789abcdef";
        sql += hex[byte >> 4];
        sql += hex[byte & 15];
    }
    sql += "');";
    for (const StoredBlock& block : run.blocks) {
        sql += "INSERT INTO block_values VALUES (1, " + std::to_string(block.key.km) + ", " +
               std::to_string(block.key.block);
        for (std::int16_t value : block.values) {
            sql += ", " + std::to_string(value);
        }
        sql += ");";
    }
    sql += "COMMIT;";
    ASSERT_EQ(sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr), SQLITE_OK) << sqlite3_errmsg(db);
    sqlite3_close(db);
}

long long userVersionOf(const std::string& path) {
    sqlite3* db = nullptr;
    sqlite3_open(path.c_str(), &db);
    sqlite3_stmt* stmt = nullptr;
    long long version = -1;
    if (sqlite3_prepare_v2(db, "PRAGMA user_version", -1, &stmt, nullptr) == SQLITE_OK &&
        sqlite3_step(stmt) == SQLITE_ROW) {
        version = sqlite3_column_int64(stmt, 0);
    }
    sqlite3_finalize(stmt);
    sqlite3_close(db);
    return version;
}

RunPeaks only(const RunPeaks& peaks, const std::function<bool(const Peak&)>& keep) {
    RunPeaks kept;
    std::copy_if(peaks.begin(), peaks.end(), std::back_inserter(kept), keep);
    return kept;
}

TEST(DefectsLibrary, PackedPeaksComeBackInFileOrderAndDamagedBytesAreRefused) {
    // Two parts of one km (another km between them), a code run longer than one group holds, the
    // extremes of 16 bits.
    RunPeaks peaks;
    for (int i = 0; i < 70000; ++i) {
        peaks.push_back(Peak{7, 3, static_cast<std::int16_t>(i % 1000), static_cast<std::int16_t>(i % 50)});
    }
    peaks.push_back(Peak{8, 0, -32768, 32767});
    peaks.push_back(Peak{7, 13, 32767, -32768});
    const auto parts = defects::packPeaks(peaks);
    ASSERT_EQ(parts.size(), 3u);
    RunPeaks back;
    for (const auto& part : parts) {
        ASSERT_TRUE(defects::unpackPeaks(part.km, part.bytes, {}, back));
    }
    EXPECT_EQ(back, peaks);
    const std::int16_t code13[] = {13};
    RunPeaks of13;
    ASSERT_TRUE(defects::unpackPeaks(parts[2].km, parts[2].bytes, code13, of13));
    EXPECT_EQ(of13, (RunPeaks{Peak{7, 13, 32767, -32768}}));

    for (const std::string& damaged :
         {parts[1].bytes.substr(0, 6), parts[1].bytes + "x", std::string(4, '\0')}) {
        RunPeaks out{Peak{}};
        EXPECT_FALSE(defects::unpackPeaks(8, damaged, {}, out));
        EXPECT_EQ(out.size(), 1u);
    }
    EXPECT_TRUE(defects::packPeaks({}).empty());
}

TEST(DefectsLibrary, AnImportStoresEveryPeakAndAKmRangeOrParameterReadsPartOfThem) {
    TempFolder folder;
    const std::string runPath = folder.file("run.run");
    writeFile(runPath, generator::generateRun(recipeOf(3, "010124", -1)));
    const auto library = openSqliteLibrary(folder.file("lib.sqlite"), LibraryAccess::CreateIfMissing);
    ASSERT_EQ(outcomeLine(importRunFile(*library, runPath)), "imported " + runPath);
    const RunId id = library->runs().at(0).id;
    const RunPeaks all = defects::readRunPeaks(runPath);
    ASSERT_GT(all.size(), 400u);
    EXPECT_EQ(library->peaksOfRun(id, std::nullopt, {}), all);
    const std::int16_t codes[] = {2, 12};
    EXPECT_EQ(library->peaksOfRun(id, KmRange{42, 43}, codes), only(all, [](const Peak& peak) {
                  return peak.km >= 42 && peak.km <= 43 && (peak.code == 2 || peak.code == 12);
              }));
    EXPECT_EQ(library->peaksOfRun(id + 1, std::nullopt, {}), std::nullopt);
    // The TGI lookup reads the stored block.
    EXPECT_EQ(library->blockValueOfRun(id, BlockKey{44, 2}, BlockIndex::TGI),
              library->blockValues(lineOf(-1), BlockKey{44, 2}, BlockIndex::TGI).at(0).value);
    EXPECT_EQ(library->blockValueOfRun(id, BlockKey{44, 6}, BlockIndex::TGI), std::nullopt);

    // The same bytes again: nothing to add.
    EXPECT_EQ(importRunFile(*library, runPath).status, ImportStatus::Skipped);
    // Removing the run takes its peaks with it.
    ASSERT_TRUE(library->removeRun(id));
    sqlite3* db = nullptr;
    sqlite3_open(folder.file("lib.sqlite").c_str(), &db);
    sqlite3_stmt* stmt = nullptr;
    sqlite3_prepare_v2(db, "SELECT count(*) FROM run_peaks", -1, &stmt, nullptr);
    ASSERT_EQ(sqlite3_step(stmt), SQLITE_ROW);
    EXPECT_EQ(sqlite3_column_int64(stmt, 0), 0);
    sqlite3_finalize(stmt);
    sqlite3_close(db);
}

TEST(DefectsLibrary, ARunWhosePeakLinesAreRefusedKeepsItsBlocksAndHasNoPeaks) {
    TempFolder folder;
    std::string text = generator::generateRun(recipeOf(4, "020224"));
    // A token that is not a whole number in the third peak line.
    std::size_t at = 0;
    for (int i = 0; i < 3; ++i) {
        at = text.find("\r\n67", at + 1);
    }
    const long line =
        static_cast<long>(std::count(text.begin(), text.begin() + static_cast<long>(at), '\n')) + 2;
    text.insert(text.find("\r\n", at + 2), ",4x");
    const std::string runPath = folder.file("bad.run");
    writeFile(runPath, text);
    const auto library = openSqliteLibrary(folder.file("lib.sqlite"), LibraryAccess::CreateIfMissing);
    const FileOutcome outcome = importRunFile(*library, runPath);
    EXPECT_EQ(outcome.status, ImportStatus::Imported);
    EXPECT_TRUE(outcomeLine(outcome).starts_with("imported " + runPath + ": peaks left out: line " +
                                                 std::to_string(line) + ": "))
        << outcomeLine(outcome);
    ASSERT_EQ(library->runs().size(), 1u);
    EXPECT_GT(library->runs()[0].blocks, 0);
    EXPECT_EQ(library->peaksOfRun(library->runs()[0].id, std::nullopt, {}), std::nullopt);
    // Its peaks are as refused the next time: the run is simply there.
    EXPECT_EQ(importRunFile(*library, runPath).status, ImportStatus::Skipped);
}

TEST(DefectsLibrary, AnOlderLibraryIsReadAsItIsAndUpgradedWholeByTheFirstWriteOrNotAtAll) {
    TempFolder folder;
    const std::string runPath = folder.file("old.run");
    const std::string otherPath = folder.file("other.run");
    writeFile(runPath, generator::generateRun(recipeOf(5, "030324")));
    writeFile(otherPath, generator::generateRun(recipeOf(6, "040424")));
    const std::string path = folder.file("old.sqlite");
    writeVersion1Library(path, loadRunForLibrary(runPath));
    const std::string before = readFile(path);

    {
        // Reading leaves it as it is: its runs, no peaks.
        const auto library = openSqliteLibrary(path, LibraryAccess::OpenExisting);
        ASSERT_EQ(library->runs().size(), 1u);
        EXPECT_EQ(library->peaksOfRun(library->runs()[0].id, std::nullopt, {}), std::nullopt);
        EXPECT_EQ(library->blockValues(lineOf(1), BlockKey{41, 3}, BlockIndex::TGI).size(), 1u);

        // A write that fails half-way (the file may not grow) leaves the file byte for byte.
        struct rlimit saved {};
        ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
        const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        struct rlimit tight = saved;
        tight.rlim_cur = static_cast<rlim_t>(before.size());
        ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &tight), 0);
        EXPECT_THROW(importRunFile(*library, otherPath), LibraryError);
        ::setrlimit(RLIMIT_FSIZE, &saved);
        std::signal(SIGXFSZ, oldHandler);
    }
    EXPECT_EQ(readFile(path), before);
    EXPECT_FALSE(std::filesystem::exists(path + "-journal"));

    const auto library = openSqliteLibrary(path, LibraryAccess::OpenExisting);
    // A second program that opened the old library before the upgrade reads the peaks after it too.
    const auto opener = openSqliteLibrary(path, LibraryAccess::OpenExisting);
    // The same bytes again give the stored run its peaks, and the library is of this version now.
    EXPECT_EQ(outcomeLine(importRunFile(*library, runPath)), "updated " + runPath + ": peaks added");
    EXPECT_EQ(userVersionOf(path), kLibrarySchemaVersion);
    EXPECT_EQ(library->peaksOfRun(library->runs()[0].id, std::nullopt, {}), defects::readRunPeaks(runPath));
    EXPECT_EQ(opener->peaksOfRun(library->runs()[0].id, std::nullopt, {}), defects::readRunPeaks(runPath));
    EXPECT_EQ(outcomeLine(importRunFile(*library, runPath)),
              "skipped " + runPath + ": already in the library");
    EXPECT_EQ(importRunFile(*library, otherPath).status, ImportStatus::Imported);
    // ... and the stamp of a run taken in since, which only the upgraded library keeps.
    const std::vector<RunRecord> seen = opener->runs();
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_FALSE(seen[0].imported.at);
    EXPECT_TRUE(seen[1].imported.at);
    EXPECT_EQ(opener->log().size(), 2u);
    // An upgraded library is one this program knows in every object: it opens again.
    EXPECT_NO_THROW(openSqliteLibrary(path, LibraryAccess::OpenExisting));
    ImportSummary summary;
    summary.imported = 1;
    summary.updated = 2;
    EXPECT_EQ(summaryText(summary), "1 imported, 2 updated, 0 skipped, 0 refused");
}

} // namespace
} // namespace kestrana::library
