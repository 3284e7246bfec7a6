// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Kestrana developers

#pragma once
// What the Defects page of the track history screen shows, and its paper copy: the table of the
// listed defects (a text and, for the columns of numbers, the number it sorts by), the history of one
// defect as a chart shows it, the blocks of the condition map with an exceedance in their run, and the
// printed list with its settings and range repeated on every page.

#include "core/common/hard_copy.h"
#include "core/defects/defect_lists.h"
#include "core/history/condition_map.h"

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace kestrana::defects {

// The lower bound of the best TGI band: good track.
inline constexpr std::int16_t kGoodTrackTgi = 81;

inline constexpr std::array<std::string_view, 12> kDefectColumns = {
    "Parameter", "Km",           "Location", "Status",        "First", "Latest",
    "Runs",      "Latest value", "Largest",  "Growth / year", "Block", "TGI"};

struct DefectCell {
    std::string text;
    std::optional<double> number; // what a column of numbers sorts by; none for text and empty cells
};
// The cells of one defect in the order of kDefectColumns (the fields of the defects CSV).
std::array<DefectCell, kDefectColumns.size()> defectCells(const TrackedDefects& tracked,
                                                          std::uint32_t defect);

// One run of a defect's history chart: the run's day, what it is called, and the absolute value of
// the defect's exceedance in it, or none for a covering run without one.
struct DefectHistoryPoint {
    history::Day day = 0;
    std::string label; // "2025-04-11 run 2"
    std::optional<std::int32_t> value;
};
struct DefectHistory {
    std::string title;                      // "UN2L at km 436, location 251: repeat"
    std::int16_t limit = 0;                 // the parameter's limit
    std::vector<DefectHistoryPoint> points; // the runs with an exceedance and the covering runs, in run order
    std::optional<history::Trend> growth;   // the least-squares line over the exceedances
    std::string growthText;                 // "growth 3.52 per year", or "growth: too few days"
};
DefectHistory defectHistory(const TrackedDefects& tracked, std::uint32_t defect);

// For each cell of the map, whether its block has an exceedance in its run: `runIds` gives the library
// id of each run of `tracked` (in its order).
std::vector<bool> exceedanceCells(const history::ConditionMap& map, const TrackedDefects& tracked,
                                  std::span<const library::RunId> runIds);

// What the page and the paper copy say the list is of.
struct DefectsHeading {
    history::Series series;
    history::KmRange range;
    TrackingSettings settings;
    DefectFilter filter;
    history::Day today = 0;
};
// "Defects: LINE, falling km (-1), km A to B", the limits and tolerance, the filters and the day.
std::vector<std::string> defectsHeadingLines(const DefectsHeading& heading);
// "3 defects listed of 17 in the range (2 repeat, 1 new, 0 recurring, 0 gone)" for the listed ones.
std::string defectsSummary(const TrackedDefects& tracked, std::span<const std::uint32_t> listed);
// The column headings and one line per listed defect (fixed columns), or one line saying there is none.
std::vector<std::string> defectsTableLines(const TrackedDefects& tracked,
                                           std::span<const std::uint32_t> listed);
common::HardCopyScript defectsPrintScript(const DefectsHeading& heading, const TrackedDefects& tracked,
                                          std::span<const std::uint32_t> listed);

// The name a saved defect list is offered under: "defects LINE YYYY-MM-DD.csv" (the line's name made
// safe for a file name as for the maintenance list).
std::string defectsCsvName(const history::Series& series, history::Day today);
inline constexpr std::string_view kDefectsExportFailed = "Could not save the defect list.";
// A limit typed on the page that is not NAME=VALUE, or a tolerance that is not a number of metres: the
// setting's own message (defect_settings.h) is shown.

inline constexpr std::string_view kAllStatuses = "All statuses";
inline constexpr std::string_view kAllParameters = "All parameters";
inline constexpr std::string_view kNoDefectsNote = "No defect in this range with these settings.";

} // namespace kestrana::defects
