// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Kestrana developers

#pragma once
// The texts of the track history screen that are not the computations' own: how a series is named in
// the line chooser, the import's progress line, the condition map's and the maintenance list's
// summaries, the legend's order, and today's day number.

#include "core/history/condition_map.h"
#include "core/history/maintenance_list.h"
#include "core/library/run_import.h"

#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace kestrana::history {

// "SHEGAON - BADNERA UP LINE  (rising km)" or "...  (falling km)".
std::string seriesName(const Series& series);

// "Importing 3 of 12: /data/run3.run", "Looking for run files ..." before the count is known, and
// "Import finished: 12 files" at the end.
std::string importProgressText(const library::ImportProgress& progress);

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
// A failure as failureMessage shows it: what failed, and why.
struct Failure {
    std::string what;
    std::string reason;
    bool operator==(const Failure&) const = default;
};
// Several failures of one operation in one message, in the order they happened, a blank line between.
std::string failureMessage(std::span<const Failure> failures);
// What an import that the library stopped says: kImportFailed, then how many runs were taken in before
// it stopped, as those stay in the library: "... 3 runs were imported before it stopped." ("1 run
// was", "No run was").
std::string importStoppedText(std::size_t imported);
// "Maintenance list saved to PATH"
std::string savedText(std::string_view path);
// Asked before a saved file replaces one that is there: "PATH already exists. Replace it?"
std::string replaceQuestion(std::string_view path);

// The library choice: the user's own library, the bundled samples' library, another file, or a library
// on a PostgreSQL server shared by a team (its address typed in a prompt).
inline constexpr std::string_view kYourLibraryChoice = "Your library";
inline constexpr std::string_view kSamplesChoice = "Samples";
inline constexpr std::string_view kOtherLibraryChoice = "Another file...";
inline constexpr std::string_view kServerLibraryChoice = "A server library...";
inline constexpr std::string_view kServerLibraryTitle = "Server library";
inline constexpr std::string_view kServerLibraryPrompt =
    "The server library's address: postgresql://[user@]host[:port]/dbname or service=NAME.\n"
    "A password never goes here: libpq takes it from its password file (~/.pgpass), a service file or "
    "the environment.";
// Said when the text typed for a server library is no address of one.
inline constexpr std::string_view kNotAServerAddress =
    "This is not the address of a server library: it begins with postgresql:// or service=.";
// "Another file: NAME" once one is chosen.
std::string otherLibraryChoice(std::string_view fileName);
// Said when an import is asked for while the samples are shown: the runs go to the user's library.
inline constexpr std::string_view kImportGoesToYourLibrary =
    "The samples' library takes no runs of yours: the import goes into your library.";

// The run list: one row per run of the line chosen, in run order: date, run, blocks, when it was
// imported (UTC, as `library runs` prints it; empty for a run taken in before libraries kept it), by
// whom, file.
std::vector<std::string> runListRow(const library::RunRecord& run);
// The question asked before runs are removed, naming each: "Remove these 2 runs from the library?"
// and a line per run: "2024-01-01 run 1, 512 blocks, /data/a.run".
std::string removalQuestion(std::span<const library::RunRecord> runs);
// "2 runs removed from the library."
std::string removedText(std::size_t runs);
inline constexpr std::string_view kRemoveFailed = "Could not remove the runs from the run library.";
inline constexpr std::string_view kRunGoneReason =
    "a run chosen is no longer in the library (another program removed it); nothing was removed";

// Today on this computer's clock (UTC), as a day number.
Day todayDay();

} // namespace kestrana::history
