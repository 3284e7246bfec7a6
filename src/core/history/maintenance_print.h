// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Kestrana developers

#pragma once
// The maintenance list on paper: a title, the line, direction, km range, index, threshold, jump,
// horizon and the day it was made, the column headings and one line per stretch, as a printer script
// the printing service plays. A long list goes on over several pages, and every page opens with the
// same heading and column headings, so that a loose page still says what it covers.

#include "core/common/hard_copy.h"
#include "core/history/history_settings.h"
#include "core/history/maintenance_list.h"

#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace kestrana::history {

struct MaintenanceHeading {
    std::string title; // typed by the user; may be empty
    Series series;
    HistorySettings settings;
    Day today = 0;
    Day untilDay = 0;
    KmRange range;
    int horizonMonths = kDefaultHorizonMonths;
};

// The heading lines of the page (title line only when a title was given).
std::vector<std::string> maintenanceHeadingLines(const MaintenanceHeading& heading);
// The column heading and one line per stretch (fixed columns), or one line saying the list is empty.
// A stretch due now reads "due now (the fitted line crossed on DATE)" in the date column.
std::vector<std::string> maintenanceTableLines(std::span<const MaintenanceStretch> stretches);

common::HardCopyScript maintenancePrintScript(const MaintenanceHeading& heading,
                                              std::span<const MaintenanceStretch> stretches);

} // namespace kestrana::history
