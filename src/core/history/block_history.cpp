// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Kestrana developers

#include "core/history/block_history.h"

#include "core/history/dates.h"

#include <algorithm>

namespace kestrana::history {

BlockHistory blockHistoryOf(const Series& series, const BlockKey& block, const HistorySettings& settings,
                            const std::vector<library::RunValue>& values) {
    BlockHistory history{series, block, settings, {}, {}, {}, std::nullopt};
    std::vector<TrendPoint> trendPoints;
    for (const library::RunValue& value : values) {
        if (value.value != 0) {
            history.points.push_back(HistoryPoint{value.run, value.value, 1});
            trendPoints.push_back(TrendPoint{value.run.day, value.value});
        }
    }
    if (trendPoints.empty()) {
        return history;
    }
    const std::vector<std::size_t> starts = segmentStarts(trendPoints, settings.jump);
    for (std::size_t s = 0; s < starts.size(); ++s) {
        const std::size_t first = starts[s];
        const std::size_t last = s + 1 < starts.size() ? starts[s + 1] - 1 : trendPoints.size() - 1;
        for (std::size_t i = first; i <= last; ++i) {
            history.points[i].segment = static_cast<int>(s + 1);
        }
        history.segments.push_back(
            HistorySegment{first, last, fitTrend(std::span(trendPoints).subspan(first, last - first + 1))});
        if (s > 0) {
            history.maintenance.push_back(first);
        }
    }
    history.forecast = forecastOf(trendPoints, settings.threshold, settings.jump);
    return history;
}

BlockHistory blockHistory(const library::RunLibrary& library, const Series& series, const BlockKey& block,
                          const HistorySettings& settings) {
    return blockHistoryOf(series, block, settings, library.blockValues(series, block, settings.index));
}

std::optional<ForecastLine> forecastLineOf(const BlockHistory& history) {
    if (!history.forecast || history.forecast->status != ForecastStatus::Crossing ||
        !history.forecast->trend) {
        return std::nullopt;
    }
    const BlockForecast& forecast = *history.forecast;
    const double threshold = history.settings.threshold;
    return ForecastLine{forecast.latestDay,
                        forecast.trend->valueAt(forecast.latestDay),
                        *forecast.crossingDay,
                        threshold,
                        threshold,
                        true};
}

Day chartEndDay(Day latestDay, int horizonMonths) {
    constexpr int kTenYears = 120;
    return addMonths(latestDay, std::max(horizonMonths, kTenYears));
}

ForecastLine forecastLineUntil(const ForecastLine& line, Day endDay) {
    if (line.crossingDay <= endDay || endDay <= line.fromDay) {
        return line;
    }
    ForecastLine cut = line;
    const double share = static_cast<double>(endDay - line.fromDay) / (line.crossingDay - line.fromDay);
    cut.crossingDay = endDay;
    cut.endValue = line.fromValue + (line.threshold - line.fromValue) * share;
    cut.reachesThreshold = false;
    return cut;
}

std::string historyCaption(const BlockHistory& history) {
    std::string caption = "km " + std::to_string(history.block.km) + " block " +
                          std::to_string(history.block.block) + ", " +
                          std::string(indexName(history.settings.index)) + ": ";
    if (!history.forecast) {
        return caption + "not recorded in any run";
    }
    const BlockForecast& forecast = *history.forecast;
    const std::string threshold = std::to_string(history.settings.threshold);
    const std::string rate =
        forecast.trend ? ", " + forecast.trend->ratePerYear + " per year" : std::string();
    switch (forecast.status) {
    case ForecastStatus::Below:
        return caption + "below " + threshold + " on " + isoDate(forecast.latestDay) + rate;
    case ForecastStatus::Crossing:
        if (*forecast.crossingDay <= forecast.latestDay) {
            return caption + "due now (the fitted line crossed on " + isoDate(*forecast.crossingDay) + ")" +
                   rate;
        }
        return caption + "crossing " + threshold + " on " + isoDate(*forecast.crossingDay) + rate;
    case ForecastStatus::Stable:
        return caption + "stable" + rate;
    case ForecastStatus::TooFewRuns:
        break;
    }
    return caption + "too few runs since the last maintenance";
}

} // namespace kestrana::history
