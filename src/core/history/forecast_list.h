// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Kestrana developers

#pragma once
// The forecast of every block of a km range: one row per block with at least one recorded value,
// sorted by status (below, crossing, stable, too few runs), then crossing day (where there is one),
// then km in the run direction, then block number.

#include "core/history/condition_map.h"
#include "core/history/history_settings.h"
#include "core/history/trend.h"
#include "core/library/run_library.h"

#include <optional>
#include <span>
#include <vector>

namespace kestrana::history {

struct ForecastRow {
    BlockKey block;
    BlockForecast forecast;
};

// From the values of the runs in run order (as library::RunLibrary::valuesInRange gives them).
std::vector<ForecastRow> forecastRowsOf(std::span<const library::RunValues> runs, int direction,
                                        const HistorySettings& settings);
// The same from a condition map of the runs (its rows in run order), so that one reading of the
// library serves both the map and the forecast.
std::vector<ForecastRow> forecastRowsOf(const ConditionMap& map, const HistorySettings& settings);
// The same read from the library; `range` empty = every km of the series.
std::vector<ForecastRow> forecastRows(const library::RunLibrary& library, const Series& series,
                                      const std::optional<KmRange>& range, const HistorySettings& settings);

// Sorts rows in the list order above.
void sortForecastRows(std::vector<ForecastRow>& rows, int direction);

} // namespace kestrana::history
