// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Kestrana developers

#include "core/comparator/comparison.h"
#include "core/comparator/messages.h"
#include "core/comparator/run_database.h"
#include "core/comparator_test_runs.h"
#include "core/storage/record_store.h"

#include <gtest/gtest.h>

#include <random>

using namespace kestrana::comparator;
using namespace kestrana::test;
using kestrana::storage::RecordStore;
using Lines = std::vector<std::string>;

namespace {

// Builds the database from the runs; the session holds what the build left.
ComparatorSession build(const TempFolder& folder, const std::vector<std::string>& runs) {
    ComparatorSession session;
    session.olderRuns = static_cast<std::int16_t>(runs.size() - 1);
    BuildResult result = buildRunDatabase(buildRequestIn(folder, runs), session);
    EXPECT_EQ(result.outcome, BuildResult::Outcome::Built);
    return session;
}

using Row = std::array<std::int16_t, 4>;

void fillTable(RecordStore& store, int slot, const std::vector<Row>& rows) {
    store.defineTable(runTableName(slot), runTableFields());
    RecordStore::Inserter inserter(store, runTableName(slot), 4);
    for (const auto& row : rows) {
        inserter.add(row);
    }
    inserter.commit();
}

} // namespace

TEST(CompareRange, AtMostOneHundredKmWhoseBoundsFollowTheCurrentDirection) {
    struct Case {
        const char* from;
        const char* to;
        std::int16_t direction;
        std::string_view refusal; // empty: accepted with these bounds
        int first = 0, last = 0;
    };
    const std::vector<Case> cases{
        {"100", "200", 1, {}, 100, 199},
        {"200", "100", 1, {}, 100, 199},
        {"120", "170", -1, {}, 170, 121},
        {"120.5", " 169.5 ", 1, {}, 120, 169}, // halves to the even neighbour: 120 to 170
        {"32767", "32667", 1, {}, 32667, 32766},
        {"100", "201", 1, kRangeTooWideMessage},
        {"201", "100", -1, kRangeTooWideMessage},
        {"-30000", "30000", 1, kRangeTooWideMessage}, // a difference beyond 16 bits is still too wide
        {"", "10", 1, kKmNotNumberMessage},
        {"abc", "10", 1, kKmNotNumberMessage},
        {"10", "40000", 1, kKmNotNumberMessage},
        // At the very ends of the 16-bit range the bounds themselves would not fit.
        {"-32768", "-32768", 1, kKmOutOfLimitsMessage},
        {"32767", "32767", -1, kKmOutOfLimitsMessage},
    };
    for (const Case& c : cases) {
        const CompareRange range = readCompareRange(c.from, c.to, c.direction);
        EXPECT_EQ(range.refusal.value_or(""), c.refusal) << c.from << " " << c.to;
        if (c.refusal.empty()) {
            EXPECT_EQ(range.bounds.firstKm, c.first) << c.from << " " << c.to;
            EXPECT_EQ(range.bounds.lastKm, c.last) << c.from << " " << c.to;
            EXPECT_EQ(range.bounds.step, c.direction);
        }
    }
}

TEST(CompareDirections, MismatchMessagesCountTheRecordings) {
    using D = std::array<std::int16_t, 4>;
    EXPECT_EQ(directionRefusal(1, D{1, 1, 0, 0}, 1), std::nullopt);
    EXPECT_EQ(directionRefusal(1, D{1, -1, 1, 1}, -1), kNotSameDirection2Message);
    EXPECT_EQ(directionRefusal(2, D{-1, -1, 1, 1}, 1), kNotSameDirection3Message);
    EXPECT_EQ(directionRefusal(3, D{-1, -1, -1, 1}, 1), kNotSameDirection4Message);
    EXPECT_EQ(directionRefusal(3, D{-1, -1, -1, -1}, -1), std::nullopt);
    EXPECT_EQ(directionRefusal(2, D{1, 1, 1, -1}, 1), std::nullopt); // slots above n do not count
    // Runs that agree on a direction the listing cannot walk.
    EXPECT_EQ(directionRefusal(1, D{0, 0, 0, 0}, 0), kUnknownDirectionMessage);
    EXPECT_EQ(directionRefusal(2, D{2, 2, 2, 0}, 2), kUnknownDirectionMessage);
    EXPECT_EQ(directionRefusal(1, D{1, 1, 0, 0}, 0), kUnknownDirectionMessage);
    EXPECT_EQ(directionRefusal(5, D{1, -1, 0, 2}, 0), std::nullopt); // no check for n outside 1 to 3
}

TEST(ComparisonListing, BlockLabelsUseFourDigitKms) {
    EXPECT_EQ(blockLabel(120, 121, 3), "0120    -   0121        3");
    EXPECT_EQ(blockLabel(7, 6, 5), "0007    -   0006        5");
    EXPECT_EQ(blockLabel(-7, -6, 1), "-0007    -   -0006        1");
    EXPECT_EQ(blockLabel(12345, 12346, 2), "12345    -   12346        2");
}

TEST(ComparisonListing, NoIterationWhenTheFirstKmIsPastTheLast) {
    ComparisonListing listing;
    int calls = 0;
    const auto lookup = [&](int, std::int16_t, std::int16_t, std::int16_t) -> std::optional<std::int16_t> {
        ++calls;
        return 1;
    };
    fillListing(listing, ListingBounds{120, 119, 1}, 1, lookup);  // from = to = 120, rising
    fillListing(listing, ListingBounds{120, 121, -1}, 1, lookup); // from = to = 120, falling
    fillListing(listing, ListingBounds{120, 130, 1}, 0, lookup);  // n outside 1 to 3
    EXPECT_EQ(calls, 0);
    EXPECT_TRUE(listing.blocks.empty());
    EXPECT_THROW(fillListing(listing, ListingBounds{120, 130, 0}, 1, lookup), kestrana::common::Error);
}

TEST(ComparisonListing, ReadingEachTableOnceAnswersLikeOneQueryPerCell) {
    TempFolder folder;
    RecordStore store = RecordStore::create(folder.file("db"));
    std::mt19937 random(42);
    std::vector<Row> rows;
    for (int i = 0; i < 600; ++i) {
        // Few distinct keys, so many duplicates with different values; km to sometimes odd.
        const auto km = static_cast<std::int16_t>(100 + random() % 12);
        const auto next = static_cast<std::int16_t>(km + (random() % 5 == 0 ? -1 : 1));
        const auto block = static_cast<std::int16_t>(random() % 7);
        rows.push_back({km, next, block, static_cast<std::int16_t>(i)});
    }
    fillTable(store, 0, rows);
    store.execute("CREATE INDEX ix ON trc0 (tgi1, tgi3, tgi2)");
    RunTableCells cells = RunTableCells::read(store, 0, 98, 113);
    for (std::int16_t km = 98; km <= 113; ++km) {
        for (int step : {1, -1}) {
            for (std::int16_t block = 0; block <= 7; ++block) {
                const auto next = static_cast<std::int16_t>(km + step);
                EXPECT_EQ(cells.find(km, next, block), lookupCellByQuery(store, 0, km, next, block))
                    << km << " " << next << " " << block;
            }
        }
    }
    EXPECT_EQ(RunTableCells::read(store, 0, 100, 100).find(101, 102, 1), std::nullopt); // not read
}

TEST(ComparisonListing, NaWhereARunLacksABlockTheFirstOfDuplicatesNoBlockAboveFiveInEitherDirection) {
    TempFolder folder;
    const std::string current = headerLines("111111") + kmLine(10, 11) + "\r\n" + blockLine(1, 40) + "\r\n" +
                                blockLine(1, 41) + "\r\n" + blockLine(6, 99) + "\r\n" + blockLine(2, 42) +
                                "\r\n";
    const std::string older = headerLines("222222") + kmLine(10, 11) + "\r\n" + blockLine(1, 50) + "\r\n" +
                              blockLine(1, 51) + "\r\n";
    ComparatorSession session = build(folder, {current, older});
    CompareResult result = compareRuns("10", "11", session, folder.file("trcdbase"));
    ASSERT_EQ(result.outcome, CompareResult::Outcome::Compared);
    const auto& listing = result.listing;
    EXPECT_EQ(listing.heading, Lines{"From  -  To       Blk"});
    EXPECT_EQ(listing.runDates[0], Lines{"111111"});
    EXPECT_EQ(listing.runDates[1], Lines{"222222"});
    EXPECT_TRUE(listing.runDates[2].empty());
    EXPECT_EQ(listing.blocks, (Lines{"0010    -   0011        1", "", "0010    -   0011        2", "",
                                     "0010    -   0011        3", "", "0010    -   0011        4", "",
                                     "0010    -   0011        5", ""}));
    EXPECT_EQ(listing.values[0], (Lines{"40", "", "42", "", "NA", "", "NA", "", "NA", ""}));
    EXPECT_EQ(listing.values[1], (Lines{"50", "", "NA", "", "NA", "", "NA", "", "NA", ""}));
    EXPECT_TRUE(listing.values[2].empty() && listing.values[3].empty());
    // Falling runs list downwards, with the km below.
    TempFolder fallingFolder;
    ComparatorSession fallingSession =
        build(fallingFolder, {simpleRun("010101", 170, 50, -1), simpleRun("020202", 170, 50, -1, 500)});
    CompareResult falling = compareRuns("170", "120", fallingSession, fallingFolder.file("trcdbase"));
    ASSERT_EQ(falling.outcome, CompareResult::Outcome::Compared);
    const auto& blocks = falling.listing.blocks;
    ASSERT_EQ(blocks.size(), 50u * 5 * 2); // km 170 down to 121
    EXPECT_EQ(blocks.front(), "0170    -   0169        1");
    EXPECT_EQ(blocks[blocks.size() - 2], "0121    -   0120        5");
    // simpleRun: TGI = base + 10 * (km offset) + block; km 170 is offset 0, km 121 offset 49.
    EXPECT_EQ(falling.listing.values[0].front(), "1");
    EXPECT_EQ(falling.listing.values[1].front(), "501");
    EXPECT_EQ(falling.listing.values[0][blocks.size() - 2], "495");
    // The chart still runs in ascending km order; km 120 has no row (no block starts at km 120 in a
    // run that ends there).
    ASSERT_TRUE(falling.chart.has_value());
    ASSERT_EQ(falling.chart->rows.size(), 50u);
    EXPECT_EQ(falling.chart->rows.front().km, 121);
    EXPECT_EQ(falling.chart->rows.back().km, 170);
}

// A block recorded as 0 was not recorded: each run's km mean leaves its own such blocks out, and a run
// that recorded none of a km's blocks has no mean there. The listing still shows the 0.
TEST(KmAverages, EachRunsMeanLeavesOutItsUnrecordedBlocksAndTheLegendNamesTheRuns) {
    TempFolder folder;
    const auto run = [](const std::string& date, const std::vector<std::vector<int>>& kms) {
        std::string text = headerLines(date);
        for (std::size_t i = 0; i < kms.size(); ++i) {
            text += kmLine(130 + static_cast<int>(i), 131 + static_cast<int>(i)) + "\r\n";
            for (std::size_t block = 0; block < kms[i].size(); ++block)
                text += blockLine(static_cast<int>(block) + 1, kms[i][block]) + "\r\n";
        }
        return text;
    };
    // km 130 of the current run: 82, not recorded, 77, 76, 83; the older run lacks block 5 of km 132,
    // which leaves that block out of both runs' means, as before.
    const std::string current =
        run("111111", {{82, 0, 77, 76, 83}, {50, 52, 54, 56, 58}, {10, 20, 30, 40, 90}, {0, 0, 0, 0, 0}});
    const std::string older =
        run("222222", {{0, 0, 0, 0, 0}, {0, 40, 0, 0, 0}, {0, 21, 31, 41}, {5, 0, 0, 0, 7}});
    ComparatorSession session = build(folder, {current, older});
    const CompareResult result = compareRuns("130", "133", session, folder.file("trcdbase"));
    ASSERT_EQ(result.outcome, CompareResult::Outcome::Compared);
    ASSERT_TRUE(result.chart.has_value());
    using Means = std::vector<std::optional<double>>;
    std::vector<Means> means;
    std::vector<int> kms;
    for (const KmAverageRow& row : result.chart->rows) {
        kms.push_back(row.km);
        means.push_back(row.means);
    }
    EXPECT_EQ(kms, (std::vector<int>{130, 131, 132, 133}));
    EXPECT_EQ(means,
              (std::vector<Means>{{79.5, std::nullopt}, {54.0, 40.0}, {25.0, 31.0}, {std::nullopt, 6.0}}));
    EXPECT_EQ(result.listing.values[0][2], "0"); // km 130, block 2
    EXPECT_EQ(result.listing.values[1][0], "0");
    using Names = std::vector<std::string>;
    EXPECT_EQ(chartLegendNames({"120326", "110325"}), (Names{"120326", "110325"}));
    EXPECT_EQ(chartLegendNames({"120326", "110325", "120326", "120326"}),
              (Names{"120326 Run No.0", "110325", "120326 Run No.2", "120326 Run No.3"}));
}

TEST(CompareRuns, RefusalsSayWhyAndLeaveOnlyTheHeading) {
    TempFolder folder;
    ComparatorSession session =
        build(folder, {simpleRun("1", 10, 5, 1), simpleRun("2", 10, 5, 1), simpleRun("3", 15, 5, -1)});
    const std::string db = folder.file("trcdbase");

    CompareResult wide = compareRuns("10", "111", session, db);
    EXPECT_EQ(wide.outcome, CompareResult::Outcome::RangeRefused);
    EXPECT_EQ(wide.failure->message(), kRangeTooWideMessage);
    EXPECT_TRUE(wide.listing.heading.empty()); // nothing changed

    CompareResult mixed = compareRuns("10", "15", session, db);
    EXPECT_EQ(mixed.outcome, CompareResult::Outcome::Refused);
    EXPECT_EQ(mixed.failure->message(), "Can not compare as the three recordings not in same direction");
    EXPECT_EQ(mixed.listing.heading, Lines{"From  -  To       Blk"});
    EXPECT_TRUE(mixed.listing.runDates[0].empty() && mixed.listing.blocks.empty());
    EXPECT_FALSE(mixed.chart.has_value());

    CompareResult missing = compareRuns("10", "15", session, folder.file("nothing here"));
    EXPECT_EQ(missing.outcome, CompareResult::Outcome::Refused);
    EXPECT_EQ(missing.failure->message(), kDatabaseUnreadableMessage);

    // A table the session expects but the database lacks is refused too, not listed as "NA".
    session.olderRuns = 3;
    session.runSlots[3].direction = 1;
    session.runSlots[2].direction = 1;
    CompareResult noTable = compareRuns("10", "15", session, db);
    EXPECT_EQ(noTable.outcome, CompareResult::Outcome::Refused);
    EXPECT_EQ(noTable.failure->message(), kDatabaseUnreadableMessage);
}
