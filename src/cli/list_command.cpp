// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Kestrana developers

#include "analyser_steps.h"
#include "command.h"
#include "core/analyser/listing.h"
#include "core/analyser/reports.h"

namespace kestrana::cli {
namespace {

// PROCESS DATA, PROCESS INFORMATION, then SHOW DETAILS: the listingHeaderList header and the listingList
// rows, or with
// --save the SAVE DETAILS report written to FILE as given.
int runList(const Arguments& args, Context& context) {
    const OutputFormat format = outputFormat(args, {"save"});
    const analyser::ProcessedRun run = analyser_steps::processRun(args.files.front());
    const analyser::QualityResult quality = analyser_steps::processInformation(run, args);
    const std::string indexName = args.valueOr("index", "TGI");
    analyser::Listing listing = analyser::showDetails(run.table, quality.range, args.valueOr("low", "1"),
                                                      args.valueOr("high", "35"), indexName);

    if (const auto savePath = args.value("save")) {
        analyser::DetailsReport report{analyser::reportHeadingOf(run.table.header),
                                       quality.range,
                                       indexName,
                                       listing.bounds,
                                       listing.header,
                                       std::move(listing.entries)};
        try {
            analyser::saveReport(*savePath, analyser::savedReportText(report));
        } catch (const common::Error& error) {
            throw error.withMessage(analyser::kReportNotSavedMessage);
        }
        return 0;
    }
    if (format == OutputFormat::Csv) {
        context.out << analyser::listingCsv(listing);
        return 0;
    }
    std::vector<std::string> lines = listing.rows();
    lines.insert(lines.begin(), listing.header);
    printLines(context.out, lines);
    return 0;
}

} // namespace

Command makeListCommand() {
    return {
        .name = "list",
        .synopsis = "list RUN [--from KM] [--to KM] [--index NAME] [--low X] [--high Y] [--save FILE]",
        .summary = "Lists the blocks of a run whose index lies between two values.",
        .description =
            "Processes RUN and lists the blocks of the km range whose index lies between the low and "
            "high values, as the analyser's SHOW DETAILS does: a header line, then one line per "
            "block. With --save the report is written to a file instead of being printed.",
        .options = {rangeFromOption(),
                    rangeToOption(),
                    {"index", true, "NAME",
                     "The index the blocks are selected on: " + oneOf(analyser::kIndexNames) +
                         " (default TGI).",
                     choicesOf(analyser::kIndexNames)},
                    {"low", true, "X", "The lowest index value listed (default 1)."},
                    {"high", true, "Y", "The highest index value listed (default 35)."},
                    {"save", true, "FILE",
                     "Writes the report to FILE exactly as the screen saves it (FILE as given, no \".txt\" "
                     "added) and prints nothing."},
                    formatOption("csv prints the same figures as CSV: a header row (" +
                                 csvColumnList(analyser::kListingCsvHeader) +
                                 ") and one row per listed block; not together with --save.")},
        .readsRunFromStandardInput = true,
        .run = runList};
}

} // namespace kestrana::cli
