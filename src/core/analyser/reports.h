// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Kestrana developers

#pragma once
// The analyser's results on paper and on disk: the PRINT GRAPH page, the PRINT DETAILS listing (both
// as printer scripts the printing service plays) and the SAVE DETAILS report text.

#include "core/analyser/values.h"
#include "core/common/hard_copy.h"
#include "core/common/paths.h"
#include "core/runfile/run_reader.h"

#include <string>
#include <string_view>
#include <vector>

namespace kestrana::analyser {

// The title prompt of both hard copies; the prompt's default text is two blanks.
inline constexpr std::string_view kTitlePrompt = " Enter Title ( if any ) to be printed on the hard copy";
inline constexpr std::string_view kPrintGraphPromptTitle = "Print Graph";
inline constexpr std::string_view kPrintDetailsPromptTitle = "Print Details";
inline constexpr std::string_view kTitlePromptDefault = "  ";

// The run's identity as every report heads it.
struct ReportHeading {
    std::string section; // 20 characters from position 24 of the kept "91" line (fewer when shorter)
    std::string runDate; // 6 characters from position 6 of the kept "95" line
};
ReportHeading reportHeadingOf(const runfile::RunHeader& header);

// PRINT GRAPH: the chart picture, the title, the heading, the range as typed, the five shares as
// "00.00" and the average as "#00.00" ("not available" when no block in range was recorded), and the
// footer with the date and time the screen formats (short date and long time).
common::HardCopyScript printGraphScript(std::string_view title, const ReportHeading& heading,
                                        const AnalysisRange& range, const QualityDistribution& figures,
                                        std::string_view dateTimeText);

// What PRINT DETAILS and SAVE DETAILS read: the index name shown in indexCombo now, the bounds and
// entries of the listing shown, and the range as typed.
struct DetailsReport {
    ReportHeading heading;
    AnalysisRange range;
    std::string indexName;
    ListingBounds bounds;
    std::string header;                      // the listingHeaderList entry
    std::vector<std::string> listingEntries; // rows at even positions, " " separators at odd ones
};

// PRINT DETAILS: heading lines, the header, then every listingList entry (separators included).
common::HardCopyScript printDetailsScript(std::string_view title, const DetailsReport& report);

// SAVE DETAILS: section and date, " km   " with start and end km, the index and its bounds, an
// empty line, the header and the rows (separators skipped); every line ended by CR LF.
std::string savedReportText(const DetailsReport& report);

using common::reportFileName;

// Writes the report text to `path` as a whole (temporary file renamed into place).
// Throws common::Error; the screen shows kReportNotSavedMessage with the reason.
void saveReport(const std::string& path, std::string_view reportText);

} // namespace kestrana::analyser
