// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Kestrana developers

// kestrana-cli peaks RUN --from KM --to KM [--param NAME] [--limit VALUE]: the peak analyser without
// its screen. PROCESS DATA, the parameter choice, the limit box, SHOW DETAILS; prints the two summary
// lines and the row of every listed kilometre as PRINT DETAILS prints it.

#include "command.h"
#include "core/peaks/parameters.h"
#include "core/peaks/peak_database.h"
#include "core/peaks/print.h"
#include "core/peaks/query.h"
#include "core/peaks/texts.h"

namespace kestrana::cli {
namespace {

int runPeaks(const Arguments& args, Context& context) {
    const auto from = args.value("from");
    const auto to = args.value("to");
    if (!from || !to) {
        throw UsageError("--from and --to are needed");
    }
    const OutputFormat format = outputFormat(args);
    peaks::PeakSession session;
    auto files = peaks::PeakFiles::in(context.workFolder);
    files.writeScratchFiles = false; // nobody looks into the call's private folder
    // The rows stay in memory: the call's private folder is removed when it ends.
    peaks::PeakRowsInMemory rows;
    peaks::processPeakDataInMemory(args.files.front(), files, session, rows);

    // The combo shows the chosen name; a known name puts its default limit into the box.
    const std::string parameter = args.valueOr("param", std::string(peaks::kDefaultParameter));
    std::string limit(peaks::kDefaultLimit);
    if (auto defaultLimit = peaks::chooseParameter(parameter, session)) {
        limit = *defaultLimit;
    }
    limit = args.valueOr("limit", limit);

    const auto summary = peaks::showDetails({parameter, limit, *from, *to}, session, rows);
    if (format == OutputFormat::Csv) {
        context.out << peaks::peakRowsCsv(summary.lists);
        return 0;
    }
    std::vector<std::string> lines{summary.kmCountText, summary.peakCountText};
    // Every listed kilometre fills two entries: its values, then an empty separator.
    for (std::size_t entry = 0; entry < summary.lists[0].size(); entry += 2) {
        lines.push_back(peaks::printedRow(summary.lists, entry));
    }
    printLines(context.out, lines);
    return 0;
}

} // namespace

Command makePeaksCommand() {
    return {
        .name = "peaks",
        .synopsis = "peaks RUN --from KM --to KM [--param NAME] [--limit VALUE]",
        .summary = "Lists the kilometres of a run where the first peak of a parameter exceeds a limit.",
        .description =
            "Processes RUN as the peak analyser does and lists the kilometres of the km range where "
            "the first peak of the parameter exceeds the limiting value: the count and the share of "
            "such kilometres, then each kilometre's row as printed (km from, km to and eight "
            "location and peak pairs).",
        .options = {{"from", true, "KM", "The first km of the range (required)."},
                    {"to", true, "KM", "The last km of the range (required)."},
                    {"param", true, "NAME",
                     "The parameter: " + oneOf(peaks::comboParameterNames()) +
                         " (default UN2L); choosing it sets the limit to the parameter's own.",
                     peaks::comboParameterNames()},
                    {"limit", true, "VALUE", "The limiting value, instead of the parameter's own."},
                    formatOption("csv prints the same figures as CSV: a header row (" +
                                 csvColumnList(peaks::kPeakRowsCsvHeader) +
                                 ") and one row per listed kilometre, empty where the printed row is "
                                 "blank. The count of kilometres is the count of rows, the count of peaks "
                                 "that of filled peaks, and the share is the kilometres against the "
                                 "range.")},
        .readsRunFromStandardInput = true,
        .run = runPeaks};
}

} // namespace kestrana::cli
