#pragma once
// The texts of the track history screen that are not the computations' own: how a series is named in
// the line chooser, the import's progress line, the condition map's and the maintenance list's
// summaries, the legend's order, and today's day number.

#include "core/history/condition_map.h"
#include "core/history/maintenance_list.h"
#include "core/history/run_import.h"

#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace kestrana::history {

// "SHEGAON - BADNERA UP LINE  (rising km)" or "...  (falling km)".
std::string seriesName(const Series& series);

// "Importing 3 of 12: /data/run3.run", "Looking for run files ..." before the count is known, and
// "Import finished: 12 files" at the end.
std::string importProgressText(const ImportProgress& progress);

// "40 runs x 512 blocks, km 100 to 200" ("No run of this line has a block in km 100 to 200." when
// the map is empty).
std::string mapSummary(const ConditionMap& map, const KmRange& range);

// "km 100 to 200: 3 stretches, 17 blocks, due by 2027-12-06" or "km 100 to 200: nothing is due by
// 2027-12-06." (the horizon's last day is included).
std::string maintenanceSummary(std::span<const MaintenanceStretch> stretches, const KmRange& range,
                               Day untilDay);

// The bands in the order the legend shows them: the four quality bands, not recorded, below 0,
// no such block.
std::vector<ValueBand> legendBands();

inline constexpr std::string_view kScreenTitle = "TRACK HISTORY";

// What the screen says where it has nothing to show, and the first line of its failure messages.
inline constexpr std::string_view kEmptyLibraryNote =
    "The run library holds no run yet. Import run files, or a folder of them.";
inline constexpr std::string_view kPressShowNote = "Press SHOW to draw the map for the settings above.";
inline constexpr std::string_view kDrawingNote = "Reading the runs ...";
inline constexpr std::string_view kPickBlockNote =
    "Click a cell of the condition map (or press Enter on it) to see the history of its block.";
inline constexpr std::string_view kLibraryOpenFailed = "Could not open the run library.";
inline constexpr std::string_view kImportFailed =
    "The import stopped: the run library could not store a run.";
inline constexpr std::string_view kReadFailed = "Could not read the runs from the run library.";
inline constexpr std::string_view kExportFailed = "Could not save the maintenance list.";

// The first line, then the reason (which file, what was wrong) on the next.
std::string failureMessage(std::string_view what, std::string_view reason);
// "Maintenance list saved to PATH"
std::string savedText(std::string_view path);
// Asked before a saved file replaces one that is there: "PATH already exists. Replace it?"
std::string replaceQuestion(std::string_view path);

// Today on this computer's clock (UTC), as a day number.
Day todayDay();

} // namespace kestrana::history
