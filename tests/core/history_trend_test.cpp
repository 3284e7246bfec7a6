// Segments, the least-squares trend and the forecast of one block, on points worked out by hand.

#include "core/history/trend.h"

#include <gtest/gtest.h>

#include <vector>

using namespace kestrana::history;

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

TEST(HistoryTrend, ForecastFollowsTheRulesInOrder) {
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
}

TEST(HistoryTrend, AnAlmostFlatLineCrossesOnTheLastWritableDay) {
    // A fall of one point over 10000 years of days meets X = -32768 far beyond year 9999.
    const std::vector<TrendPoint> points = {{0, 32767}, {3000000, 32766}};
    const BlockForecast forecast = forecastOf(points, -32768, 15);
    ASSERT_EQ(forecast.status, ForecastStatus::Crossing);
    EXPECT_EQ(*forecast.crossingDay, 2932896); // 9999-12-31
}

TEST(HistoryTrend, FittedLinePassesThroughTheMeans) {
    const std::vector<TrendPoint> points = {{100, 70}, {200, 66}, {300, 59}, {400, 57}};
    const auto trend = fitTrend(points);
    ASSERT_TRUE(trend);
    EXPECT_NEAR(trend->valueAt(250), 63.0, 1e-9);
    EXPECT_NEAR(trend->slope, -0.046, 1e-12); // centred covariance -2300 / variance 50000, per day
    EXPECT_EQ(trend->ratePerYear, "-16.80");  // -16.8015
}
