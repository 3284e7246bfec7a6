// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Kestrana developers

#pragma once
// The history of one block: its recorded values over time cut into segments at maintenance, the
// fitted line of every segment, where maintenance happened, and the forecast of the current segment.

#include "core/history/history_settings.h"
#include "core/history/trend.h"
#include "core/library/run_library.h"

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace kestrana::history {

struct HistoryPoint {
    library::RunRecord run;
    std::int16_t value = 0; // never 0: runs where the block is not recorded are left out
    int segment = 1;        // numbered from 1
};

struct HistorySegment {
    std::size_t first = 0;      // index of its first point
    std::size_t last = 0;       // index of its last point
    std::optional<Trend> trend; // when it has two points on different days
};

struct BlockHistory {
    Series series;
    BlockKey block;
    HistorySettings settings;
    std::vector<HistoryPoint> points;      // run order
    std::vector<HistorySegment> segments;  // in order; empty when there is no point
    std::vector<std::size_t> maintenance;  // first point of every segment after the first
    std::optional<BlockForecast> forecast; // when there is at least one point
};

// From the values of the block in run order (0 = not recorded, left out).
BlockHistory blockHistoryOf(const Series& series, const BlockKey& block, const HistorySettings& settings,
                            const std::vector<library::RunValue>& values);
// The same read from the library.
BlockHistory blockHistory(const library::RunLibrary& library, const Series& series, const BlockKey& block,
                          const HistorySettings& settings);

// The chart's lines: the forecast line of the current segment from its last point to the threshold.
// Empty unless the status is crossing. Values as (day, value).
struct ForecastLine {
    Day fromDay = 0;
    double fromValue = 0.0;
    Day crossingDay = 0; // where the line ends: the crossing, or the chart's end when cut there
    double threshold = 0.0;
    double endValue = 0.0;        // the line's value where it ends (the threshold at the crossing)
    bool reachesThreshold = true; // false when cut at the chart's end before the crossing
};
std::optional<ForecastLine> forecastLineOf(const BlockHistory& history);

// The last day the chart's time axis reaches: the horizon's end or ten years past `latestDay`,
// whichever is later, so that a nearly flat line does not squash the runs to the left.
Day chartEndDay(Day latestDay, int horizonMonths);
// The forecast line cut at `endDay` when its crossing lies later; the crossing is then only written
// in the caption.
ForecastLine forecastLineUntil(const ForecastLine& line, Day endDay);

// A caption for the chart: "km 123 block 4, TGI: crossing 36 on 2027-03-01, -3.41 per year", "...:
// due now (the fitted line crossed on 2026-01-05), -3.41 per year" when the crossing is not after the
// latest run, "km 123
// block 4, TGI: below 36 since 2026-05-12", "... stable, 0.50 per year", "... too few runs",
// "... not recorded in any run".
std::string historyCaption(const BlockHistory& history);

} // namespace kestrana::history
