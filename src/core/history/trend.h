// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Kestrana developers

#pragma once
// The trend of one block: its recorded values in run order cut into segments at maintenance, the
// least-squares line of the current segment and the forecast against a threshold.
//
// - Segment: cut after every rise of at least J points (the maintenance jump) between consecutive
//   values; the current segment is the last one.
// - Trend: ordinary least squares of value against day number over a segment, which needs at least
//   two points on different days. Rate per year = slope x 365.25.
// - Forecast for a threshold X, the first rule that holds: below (latest value < X), too few runs
//   (the current segment has fewer than two points on different days), crossing (slope < 0; the
//   crossing day is where the fitted line equals X, rounded down, and may lie in the past), stable.

#include "core/history/terms.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace kestrana::history {

// One recorded value (never 0) of a block, on its run's day.
struct TrendPoint {
    Day day = 0;
    std::int16_t value = 0;
    bool operator==(const TrendPoint&) const = default;
};

// The index of the first point of every segment (the first is always 0); empty for no points.
std::vector<std::size_t> segmentStarts(std::span<const TrendPoint> points, int jump);

struct Trend {
    double slope = 0.0;     // value points per day
    double intercept = 0.0; // value at day 0
    // The rate per year, slope x 365.25 rounded exactly to 2 decimals (halves away from zero), as text
    // ("-3.41", "0.00", "12.50").
    std::string ratePerYear;
    double valueAt(double day) const { return intercept + slope * day; }
};

// The least-squares line of the points; empty with fewer than two different days.
std::optional<Trend> fitTrend(std::span<const TrendPoint> points);

// A point whose value may need more than 16 bits (the size of a peak of -32768 is 32768).
struct RatePoint {
    Day day = 0;
    std::int32_t value = 0;
};
// The rate per year of the least-squares line of the points, as Trend::ratePerYear writes it; empty
// with fewer than two different days.
std::optional<std::string> ratePerYear(std::span<const RatePoint> points);

// Statuses in the order lists are sorted by.
enum class ForecastStatus { Below, Crossing, Stable, TooFewRuns };
// "below", "crossing", "stable", "too few runs".
std::string_view statusName(ForecastStatus status);

struct BlockForecast {
    ForecastStatus status = ForecastStatus::TooFewRuns;
    std::size_t points = 0; // points of the current segment
    Day latestDay = 0;      // of the latest point
    std::int16_t latestValue = 0;
    std::optional<Trend> trend;     // of the current segment, when it has two different days
    std::optional<Day> crossingDay; // only for Crossing
};

// The forecast of a block from its recorded points in run order (at least one point).
BlockForecast forecastOf(std::span<const TrendPoint> points, std::int16_t threshold, int jump);

} // namespace kestrana::history
