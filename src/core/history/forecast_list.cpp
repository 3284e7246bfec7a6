// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Kestrana developers

#include "core/history/forecast_list.h"

#include <algorithm>
#include <map>

namespace kestrana::history {

std::vector<ForecastRow> forecastRowsOf(std::span<const library::RunValues> runs, int direction,
                                        const HistorySettings& settings) {
    // Each block's recorded points in run order: the runs come in run order, so appending keeps it.
    std::map<BlockKey, std::vector<TrendPoint>> pointsByBlock;
    for (const library::RunValues& run : runs) {
        for (const library::BlockValue& value : run.values) {
            if (value.value != 0) {
                pointsByBlock[value.key].push_back(TrendPoint{run.run.day, value.value});
            }
        }
    }
    std::vector<ForecastRow> rows;
    rows.reserve(pointsByBlock.size());
    for (const auto& [key, points] : pointsByBlock) {
        rows.push_back(ForecastRow{key, forecastOf(points, settings.threshold, settings.jump)});
    }
    sortForecastRows(rows, direction);
    return rows;
}

std::vector<ForecastRow> forecastRowsOf(const ConditionMap& map, const HistorySettings& settings) {
    std::vector<ForecastRow> rows;
    rows.reserve(map.columns.size());
    std::vector<TrendPoint> points;
    points.reserve(map.rows.size());
    for (std::size_t column = 0; column < map.columns.size(); ++column) {
        points.clear();
        for (std::size_t row = 0; row < map.rows.size(); ++row) {
            const ConditionCell& cell = map.cell(row, column);
            if (cell.band != ValueBand::Absent && cell.value != 0) {
                points.push_back(TrendPoint{map.rows[row].day, cell.value});
            }
        }
        if (!points.empty()) {
            rows.push_back(
                ForecastRow{map.columns[column], forecastOf(points, settings.threshold, settings.jump)});
        }
    }
    sortForecastRows(rows, map.series.direction);
    return rows;
}

std::vector<ForecastRow> forecastRows(const library::RunLibrary& library, const Series& series,
                                      const std::optional<KmRange>& range, const HistorySettings& settings) {
    const KmRange wanted = range ? *range : KmRange{-32768, 32767};
    const std::vector<library::RunValues> runs = library.valuesInRange(series, wanted, settings.index);
    return forecastRowsOf(runs, series.direction, settings);
}

void sortForecastRows(std::vector<ForecastRow>& rows, int direction) {
    std::stable_sort(rows.begin(), rows.end(), [direction](const ForecastRow& a, const ForecastRow& b) {
        if (a.forecast.status != b.forecast.status) {
            return a.forecast.status < b.forecast.status;
        }
        if (a.forecast.crossingDay != b.forecast.crossingDay) {
            return a.forecast.crossingDay < b.forecast.crossingDay;
        }
        return comesBefore(a.block, b.block, direction);
    });
}

} // namespace kestrana::history
