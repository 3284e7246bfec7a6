#pragma once
// The maintenance list on paper: a title, the line, direction, index, threshold, jump and horizon,
// the column headings and one line per stretch, as a printer script the printing service plays (the
// service continues a long list at the top of the next page).

#include "core/history/history_settings.h"
#include "core/history/maintenance_list.h"
#include "core/platform/hard_copy.h"

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
};

// The heading lines of the page (title line only when a title was given).
std::vector<std::string> maintenanceHeadingLines(const MaintenanceHeading& heading);
// The column heading and one line per stretch (fixed columns), or one line saying the list is empty.
std::vector<std::string> maintenanceTableLines(std::span<const MaintenanceStretch> stretches);

platform::HardCopyScript maintenancePrintScript(const MaintenanceHeading& heading,
                                                std::span<const MaintenanceStretch> stretches);

} // namespace kestrana::history
