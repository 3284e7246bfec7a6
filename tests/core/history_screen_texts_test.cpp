// The track history screen's own texts: the line chooser, the import's progress line, the map's and the
// maintenance list's summaries, and today's day number.

#include "core/history/dates.h"
#include "core/history/history_screen_texts.h"

#include <gtest/gtest.h>

#include <chrono>
#include <ctime>

using namespace kestrana::history;

namespace {

TEST(HistoryScreenTexts, SeriesNameSaysTheDirectionInWords) {
    EXPECT_EQ(seriesName({"AKOLA - BHUSAWAL UP", 1}), "AKOLA - BHUSAWAL UP  (rising km)");
    EXPECT_EQ(seriesName({"AKOLA - BHUSAWAL UP", -1}), "AKOLA - BHUSAWAL UP  (falling km)");
}

TEST(HistoryScreenTexts, ImportProgressBeforeDuringAndAfter) {
    const struct {
        ImportProgress progress;
        const char* text;
    } cases[] = {
        {{0, 0, ""}, "Looking for run files ..."},
        {{0, 12, "/data/a.run"}, "Importing 1 of 12: /data/a.run"},
        {{11, 12, "/data/l.run"}, "Importing 12 of 12: /data/l.run"},
        {{12, 12, ""}, "Import finished: 12 files"},
        {{1, 1, ""}, "Import finished: 1 file"},
    };
    for (const auto& [progress, text] : cases)
        EXPECT_EQ(importProgressText(progress), text);
}

TEST(HistoryScreenTexts, MapSummaryCountsRowsAndColumnsOrSaysTheRangeIsEmpty) {
    ConditionMap map;
    const KmRange range{100, 200};
    EXPECT_EQ(mapSummary(map, range), "No run of this line has a block in km 100 to 200.");
    map.rows.resize(1);
    EXPECT_EQ(mapSummary(map, range), "No run of this line has a block in km 100 to 200.");
    map.columns.resize(1);
    EXPECT_EQ(mapSummary(map, range), "1 run x 1 block, km 100 to 200");
    map.rows.resize(40);
    map.columns.resize(512);
    EXPECT_EQ(mapSummary(map, range), "40 runs x 512 blocks, km 100 to 200");
}

TEST(HistoryScreenTexts, MaintenanceSummaryAddsTheBlocksOfEveryStretch) {
    const Day until = dayOf({2027, 12, 6});
    std::vector<MaintenanceStretch> stretches;
    EXPECT_EQ(maintenanceSummary(stretches, until), "Nothing is due before 2027-12-06.");
    stretches.push_back({ForecastStatus::Below, {1, 1}, {1, 1}, 1, std::nullopt});
    EXPECT_EQ(maintenanceSummary(stretches, until), "1 stretch, 1 block, due before 2027-12-06");
    stretches.push_back({ForecastStatus::Crossing, {2, 1}, {3, 4}, 16, until});
    EXPECT_EQ(maintenanceSummary(stretches, until), "2 stretches, 17 blocks, due before 2027-12-06");
}

TEST(HistoryScreenTexts, TodayIsTheClocksDateCountedFrom1970) {
    const std::time_t now = std::time(nullptr);
    std::tm utc{};
    gmtime_r(&now, &utc);
    const Day expected = dayOf({utc.tm_year + 1900, utc.tm_mon + 1, utc.tm_mday});
    const Day today = todayDay();
    EXPECT_TRUE(today == expected || today == expected + 1) << "midnight may pass between the two readings";
}

} // namespace
