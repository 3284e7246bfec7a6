// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Kestrana developers

// Track history's small definitions and texts: run dates, day numbers, months, the content hash,
// the value bands, the refusals of typed settings, segments, the least-squares trend and the
// forecast of one block on points worked out by hand, and the screen's own texts.

#include "core/history/dates.h"
#include "core/history/history_screen_texts.h"
#include "core/history/history_settings.h"
#include "core/history/terms.h"
#include "core/history/trend.h"
#include "core/library/sha256.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace kestrana::history;
using namespace kestrana::library;

TEST(HistoryDates, RunDatesAreDdmmyyWithTheCenturyWindowAndDayNumbersFollowTheCalendar) {
    struct Case {
        const char* text;
        const char* iso; // nullptr: refused
    };
    const Case cases[] = {
        {"010170", "1970-01-01"}, {"311269", "2069-12-31"}, {"311299", "1999-12-31"},
        {"010100", "2000-01-01"}, {"290224", "2024-02-29"}, {"290200", "2000-02-29"},
        {"290223", nullptr},      {"310424", nullptr},      {"000124", nullptr},
        {"011324", nullptr},      {"01012", nullptr},       {"0101245", nullptr},
        {" 10124", nullptr},      {"01-124", nullptr},      {"", nullptr},
    };
    for (const Case& c : cases) {
        const auto day = dayOfRunDate(c.text);
        if (c.iso == nullptr) {
            EXPECT_FALSE(day) << c.text;
        } else {
            ASSERT_TRUE(day) << c.text;
            EXPECT_EQ(isoDate(*day), c.iso) << c.text;
        }
    }
    EXPECT_EQ(*dayOfRunDate("010170"), 0);
    EXPECT_EQ(*dayOfRunDate("020170"), 1);
    // Walking day by day from 0001-01-01 to 9999-12-31, each day is the next calendar date.
    CivilDate expected{1, 1, 1};
    for (Day day = dayOf(expected); day <= dayOf({9999, 12, 31}); ++day) {
        const CivilDate date = civilDateOf(day);
        ASSERT_EQ(date, expected) << day;
        ASSERT_EQ(dayOf(date), day);
        expected.day += 1;
        if (!isCalendarDate(expected)) {
            expected = {expected.year + (expected.month == 12 ? 1 : 0), expected.month % 12 + 1, 1};
        }
    }
}

TEST(HistoryDates, MonthsLaterKeepTheDayOrTakeTheMonthsLast) {
    struct Case {
        CivilDate from;
        int months;
        CivilDate to;
    };
    const Case cases[] = {
        {{2024, 1, 31}, 1, {2024, 2, 29}},    {{2023, 1, 31}, 1, {2023, 2, 28}},
        {{2024, 12, 15}, 12, {2025, 12, 15}}, {{2024, 3, 31}, -1, {2024, 2, 29}},
        {{2024, 11, 30}, 3, {2025, 2, 28}},   {{2026, 12, 6}, 0, {2026, 12, 6}},
        {{2000, 1, 1}, -13, {1998, 12, 1}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(civilDateOf(addMonths(dayOf(c.from), c.months)), c.to)
            << c.from.year << "-" << c.from.month;
    }
}

TEST(HistoryHash, Sha256MatchesTheStandardsVectors) {
    const std::pair<std::string, const char*> cases[] = {
        {"", "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"},
        {"abc", "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"},
        {"abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq",
         "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1"},
    };
    for (const auto& [bytes, hex] : cases) {
        EXPECT_EQ(hexText(sha256(bytes)), hex) << bytes;
    }
}

TEST(HistoryTerms, ValueBandsAreTheAnalysersQualityBands) {
    const std::pair<int, ValueBand> cases[] = {
        {0, ValueBand::NotRecorded}, {-1, ValueBand::NoBand},  {1, ValueBand::Band1},  {35, ValueBand::Band1},
        {36, ValueBand::Band2},      {50, ValueBand::Band2},   {51, ValueBand::Band3}, {80, ValueBand::Band3},
        {81, ValueBand::Band4},      {32767, ValueBand::Band4}};
    for (const auto& [value, band] : cases) {
        EXPECT_EQ(valueBandOf(static_cast<std::int16_t>(value)), band) << value;
    }
}

TEST(HistorySettings, TypedValuesAreReadAsTheScreensReadNumbers) {
    struct Case {
        std::int16_t (*parse)(std::string_view);
        const char* text;
        int expected; // -99999: refused
    };
    constexpr int kRefused = -99999;
    const Case cases[] = {
        {jumpFromText, "15", 15},          {jumpFromText, "1.5", 2},
        {jumpFromText, "0.4", kRefused},   {jumpFromText, "0", kRefused},
        {jumpFromText, "-3", kRefused},    {jumpFromText, "x", kRefused},
        {thresholdFromText, "36", 36},     {thresholdFromText, "-5", -5},
        {thresholdFromText, "35.5", 36},   {thresholdFromText, "32768", kRefused},
        {thresholdFromText, "", kRefused}, {kmFromText, "-32768", -32768},
        {kmFromText, "12abc", kRefused},   {blockFromText, "4", 4},
    };
    for (const Case& c : cases) {
        if (c.expected == kRefused) {
            EXPECT_THROW(c.parse(c.text), SettingRefused) << c.text;
        } else {
            EXPECT_EQ(c.parse(c.text), c.expected) << c.text;
        }
    }
    EXPECT_EQ(directionFromText("-1"), -1);
    EXPECT_THROW(directionFromText("2"), SettingRefused);
    EXPECT_THROW(directionFromText("0"), SettingRefused);
    EXPECT_EQ(indexFromText("TGIL"), BlockIndex::TGIL);
    EXPECT_THROW(indexFromText("tgi"), SettingRefused);
    EXPECT_EQ(horizonMonthsFromText("12"), 12);
    EXPECT_THROW(horizonMonthsFromText("-1"), SettingRefused);
}

TEST(HistoryTrend, SegmentsAreCutAfterARiseOfAtLeastTheJump) {
    struct Case {
        std::vector<std::int16_t> values;
        int jump;
        std::vector<std::size_t> starts;
    };
    const Case cases[] = {
        {{}, 15, {}},
        {{50}, 15, {0}},
        {{50, 40, 55}, 15, {0, 2}}, // a rise of exactly J is maintenance
        {{50, 40, 54}, 15, {0}},    // J - 1 is not
        {{80, 20, 10}, 15, {0}},    // falls never cut
        {{30, 50, 45, 70, 60}, 20, {0, 1, 3}},
        {{-20, -4, -3}, 16, {0, 1}}, // negative values are kept and compared alike
        {{10, 11, 12}, 1, {0, 1, 2}},
    };
    for (const Case& c : cases) {
        std::vector<TrendPoint> points;
        for (std::size_t i = 0; i < c.values.size(); ++i) {
            points.push_back({static_cast<Day>(i * 30), c.values[i]});
        }
        EXPECT_EQ(segmentStarts(points, c.jump), c.starts) << "case with " << c.values.size() << " values";
    }
}

TEST(HistoryTrend, ForecastFollowsTheRulesInOrderToTheLastWritableDay) {
    struct Case {
        const char* what;
        std::vector<TrendPoint> points;
        std::int16_t threshold;
        ForecastStatus status;
        std::size_t points_;
        const char* rate; // "" when there is no trend
        std::optional<Day> crossing;
    };
    const Case cases[] = {
        {"one point above", {{5, 60}}, 36, ForecastStatus::TooFewRuns, 1, "", {}},
        {"one point below", {{5, 20}}, 36, ForecastStatus::Below, 1, "", {}},
        {"below wins over a rising line", {{0, 10}, {10, 20}}, 36, ForecastStatus::Below, 2, "365.25", {}},
        {"latest equal to X is not below",
         {{0, 40}, {10, 36}},
         36,
         ForecastStatus::Crossing,
         2,
         "-146.10",
         10},
        {"two points on one day", {{7, 60}, {7, 50}}, 36, ForecastStatus::TooFewRuns, 2, "", {}},
        // 50 - d = 36 at d = 14 exactly: the exact arithmetic gives 14, not 13.
        {"whole crossing day", {{0, 50}, {10, 40}}, 36, ForecastStatus::Crossing, 2, "-365.25", 14},
        // 50 - 10/3 d = 36 at d = 4.2: rounded down.
        {"fractional crossing day", {{0, 50}, {3, 40}}, 36, ForecastStatus::Crossing, 2, "-1217.50", 4},
        // Fitted: mean 47.2 at day 2, slope -6.4; it meets 36 at 3.75, before the latest run (day 4).
        {"crossing in the past",
         {{0, 80}, {1, 36}, {2, 36}, {3, 36}, {4, 48}},
         36,
         ForecastStatus::Crossing,
         5,
         "-2337.60",
         3},
        // 365.25 / 50 = 7.305 exactly: halves round away from zero, in both directions.
        {"rate at a half, rising", {{0, 40}, {50, 41}}, 36, ForecastStatus::Stable, 2, "7.31", {}},
        {"rate at a half, falling", {{0, 41}, {50, 40}}, 36, ForecastStatus::Crossing, 2, "-7.31", 250},
        {"flat line is stable", {{0, 60}, {100, 60}, {200, 60}}, 36, ForecastStatus::Stable, 3, "0.00", {}},
        // The rise of 16 starts a new segment of one point: too few runs, though the old one fell.
        {"segment restarts",
         {{0, 50}, {30, 40}, {60, 30}, {90, 46}},
         36,
         ForecastStatus::TooFewRuns,
         1,
         "",
         {}},
        {"crossing before 1970", {{-400, 60}, {-300, 50}}, 36, ForecastStatus::Crossing, 2, "-36.53", -160},
    };
    for (const Case& c : cases) {
        const BlockForecast forecast = forecastOf(c.points, c.threshold, 15);
        EXPECT_EQ(forecast.status, c.status) << c.what;
        EXPECT_EQ(forecast.points, c.points_) << c.what;
        EXPECT_EQ(forecast.trend ? forecast.trend->ratePerYear : std::string(), c.rate) << c.what;
        EXPECT_EQ(forecast.crossingDay, c.crossing) << c.what;
        EXPECT_EQ(forecast.latestDay, c.points.back().day) << c.what;
        EXPECT_EQ(forecast.latestValue, c.points.back().value) << c.what;
    }
    // A fall of one point over 10000 years of days meets X = -32768 far beyond year 9999.
    const std::vector<TrendPoint> points = {{0, 32767}, {3000000, 32766}};
    const BlockForecast forecast = forecastOf(points, -32768, 15);
    ASSERT_EQ(forecast.status, ForecastStatus::Crossing);
    EXPECT_EQ(*forecast.crossingDay, 2932896); // 9999-12-31
}

TEST(HistoryScreenTexts, SeriesNameAndImportProgressInWords) {
    EXPECT_EQ(seriesName({"AKOLA - BHUSAWAL UP", 1}), "AKOLA - BHUSAWAL UP  (rising km)");
    EXPECT_EQ(seriesName({"AKOLA - BHUSAWAL UP", -1}), "AKOLA - BHUSAWAL UP  (falling km)");
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

TEST(HistoryScreenTexts, AStoppedImportSaysHowManyRunsItTookInBeforeAndEachFailureInTurn) {
    const struct {
        std::size_t imported;
        const char* added;
    } cases[] = {{0, " No run was imported before it stopped."},
                 {1, " 1 run was imported before it stopped."},
                 {12, " 12 runs were imported before it stopped."}};
    for (const auto& [imported, added] : cases)
        EXPECT_EQ(importStoppedText(imported), std::string(kImportFailed) + added);
    // One failure reads as failureMessage writes it; a second follows after a blank line.
    const std::vector<Failure> failures = {{importStoppedText(2), "server went away"},
                                           {std::string(kReadFailed), "lib.sqlite: damaged"}};
    EXPECT_EQ(failureMessage(std::span(failures).first(1)),
              failureMessage(importStoppedText(2), "server went away"));
    EXPECT_EQ(failureMessage(failures), importStoppedText(2) + "\nserver went away\n\n" +
                                            std::string(kReadFailed) + "\nlib.sqlite: damaged");
    EXPECT_EQ(failureMessage(std::span<const Failure>()), "");
}
