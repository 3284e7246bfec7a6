// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Kestrana developers

#pragma once
// The comparator's documents, made from what the screen shows after COMPARE: the printed listing
// (PRINT DETAILS), the printed chart page (PRINT GRAPH) and the saved text report (SAVE DETAILS).

#include "core/common/hard_copy.h"
#include "core/common/paths.h"
#include "core/comparator/comparison.h"

#include <string>
#include <string_view>
#include <vector>

namespace kestrana::comparator {

// What the hard copies and the report read from the screen.
struct ReportInputs {
    std::string section;   // the section text of the build (trimmed "91" line of slot 0)
    std::string fromText;  // kmRangeEdits(0) as it stands
    std::string toText;    // kmRangeEdits(1) as it stands
    std::string parameter; // the text of parameterCombo
    int olderRuns = 0;     // n
};

// PRINT DETAILS with the title from the prompt. Bold 11 pt underlined title, section line and
// " Comparision of TRC runs ( P )" at x 1400 from y 600; the column heading line; then 9 pt one row
// per line of blockList (block rows and the blank rows between them) with the values of valueLists(0) to
// valueLists(n) right-aligned in 3 characters. For n outside 1 to 3 the document ends after the heading
// block, without the column heading and table.
common::HardCopyScript printDetailsScript(const ReportInputs& inputs, const ComparisonListing& listing,
                                          std::string_view title);

// PRINT GRAPH with the title from the prompt and today's date in the system's short form: a one-blank
// line, the chart picture at (10, 1850), the 14 pt bold underlined heading at (4500, 6000), the section
// line, the title ending near x 6900, and the italic 10 pt credit line at x 200.
common::HardCopyScript printGraphScript(const ReportInputs& inputs, std::string_view title,
                                        std::string_view shortDate);
// x of the title on the graph page: 6900 - 100 per character (a 13-character title starts at 5600).
int graphTitleX(std::string_view title);

// SAVE DETAILS: the section line, the heading line (headingList heading, L0 to L3 in print zones of 14),
// then one line per block (blockList label and the values of valueLists(0) to valueLists(3)); five zone items
// on every line, empty ones included. Lines without their line ends.
std::vector<std::string> savedReportLines(const std::string& section, const ComparisonListing& listing);
// The CSV header of the comparison: which run (0 for the current run, 1 to 3 for the older runs), its
// date, the block's km, next km and number, and the run's value there.
inline constexpr std::string_view kComparisonCsvHeader = "run_index,run_date,km_from,km_to,block,value";
// The figures of the report as CSV: for every block row of the listing, in its order, one row per
// compared run. The run date is the run's DDMMYY date as YYYY-MM-DD (years 00-69 are 2000-2069, as the
// track history reads them), empty when it is no calendar date; the value is empty where the report
// shows "NA".
std::string comparisonCsv(const ComparisonListing& listing);

// The lines joined, each followed by `lineEnd` ("\r\n" for the file, "\n" for the command line).
std::string savedReportText(const std::vector<std::string>& lines, std::string_view lineEnd);
using common::reportFileName;
// Writes the report (CR LF lines) to `path` as a whole, through a temporary file renamed into place.
// Throws common::Error; the screen shows kReportNotSavedMessage with the reason.
void saveReport(const std::string& path, const std::string& section, const ComparisonListing& listing);

} // namespace kestrana::comparator
