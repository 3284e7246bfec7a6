// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Kestrana developers

#include "core/history/maintenance_list.h"

#include "core/history/dates.h"

#include <algorithm>
#include <limits>

namespace kestrana::history {

namespace {
bool needsMaintenance(const BlockForecast& forecast, Day untilDay) {
    return forecast.status == ForecastStatus::Below ||
           (forecast.status == ForecastStatus::Crossing && *forecast.crossingDay <= untilDay);
}
} // namespace

std::vector<MaintenanceStretch> maintenanceList(std::span<const ForecastRow> rows, int direction,
                                                Day untilDay) {
    std::vector<const ForecastRow*> alongLine;
    alongLine.reserve(rows.size());
    for (const ForecastRow& row : rows) {
        alongLine.push_back(&row);
    }
    std::sort(alongLine.begin(), alongLine.end(), [direction](const ForecastRow* a, const ForecastRow* b) {
        return comesBefore(a->block, b->block, direction);
    });
    Day latestRunDay = std::numeric_limits<Day>::min();
    for (const ForecastRow& row : rows) {
        latestRunDay = std::max(latestRunDay, row.forecast.latestDay);
    }
    std::vector<MaintenanceStretch> stretches;
    bool extending = false; // the previous block along the line opened or extended the last stretch
    for (const ForecastRow* row : alongLine) {
        const BlockForecast& forecast = row->forecast;
        if (!needsMaintenance(forecast, untilDay)) {
            extending = false;
            continue;
        }
        if (extending && stretches.back().status == forecast.status &&
            blockFollows(stretches.back().to, row->block, direction)) {
            MaintenanceStretch& stretch = stretches.back();
            stretch.to = row->block;
            ++stretch.blocks;
            if (forecast.crossingDay) {
                stretch.earliestDay = std::min(*stretch.earliestDay, *forecast.crossingDay);
            }
        } else {
            stretches.push_back(
                MaintenanceStretch{forecast.status, row->block, row->block, 1, forecast.crossingDay});
        }
        extending = true;
    }
    for (MaintenanceStretch& stretch : stretches) {
        stretch.dueNow = stretch.earliestDay && *stretch.earliestDay <= latestRunDay;
    }
    std::stable_sort(stretches.begin(), stretches.end(),
                     [](const MaintenanceStretch& a, const MaintenanceStretch& b) {
                         if (a.status != b.status) {
                             return a.status < b.status;
                         }
                         return a.earliestDay < b.earliestDay;
                     });
    return stretches;
}

Day horizonEnd(Day today, int months) {
    return addMonths(today, months);
}

} // namespace kestrana::history
