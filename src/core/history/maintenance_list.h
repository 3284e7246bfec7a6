// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Kestrana developers

#pragma once
// The maintenance list: the blocks that are below the threshold now, or whose forecast crosses it
// before a horizon, merged into stretches of neighbouring blocks of the same status.
//
// Neighbouring means following each other on the track (blockFollows): a block never recorded, a
// block of another status, or one crossing after the horizon ends a stretch. The stretches are sorted by
// status (below first), then earliest crossing day, then where they begin in the run direction.

#include "core/history/forecast_list.h"

#include <optional>
#include <span>
#include <vector>

namespace kestrana::history {

struct MaintenanceStretch {
    ForecastStatus status = ForecastStatus::Below; // Below or Crossing
    BlockKey from;                                 // first block in the run direction
    BlockKey to;                                   // last block in the run direction
    std::size_t blocks = 0;
    std::optional<Day> earliestDay; // crossing: the earliest crossing day; below: none
    // A crossing whose fitted line met the threshold on or before the latest run of the list: the
    // blocks are due now although their latest values are still above it.
    bool dueNow = false;
};

// `rows` in any order (forecastRows gives them in list order). Crossings after `untilDay` are left out.
std::vector<MaintenanceStretch> maintenanceList(std::span<const ForecastRow> rows, int direction,
                                                Day untilDay);

// The horizon's last day: `months` calendar months after `today`.
Day horizonEnd(Day today, int months);

} // namespace kestrana::history
