// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Kestrana developers

#include "analyser_steps.h"
#include "command.h"
#include "core/analyser/listing.h"

namespace kestrana::cli {
namespace {

// PROCESS DATA, PROCESS INFORMATION, then CALC TRACK % BETWEEN TGIs: the caption of trackShareLabel.
int runShare(const Arguments& args, Context& context) {
    const OutputFormat format = outputFormat(args);
    const analyser::ProcessedRun run = analyser_steps::processRun(args.files.front());
    const analyser::QualityResult quality = analyser_steps::processInformation(run, args);
    const analyser::TrackShare share = analyser::calcTrackShare(
        run.table, quality.range, args.valueOr("low", "1"), args.valueOr("high", "100"));
    if (format == OutputFormat::Csv) {
        context.out << analyser::trackShareCsv(share);
        return 0;
    }
    printLines(context.out, {share.caption});
    return 0;
}

} // namespace

Command makeShareCommand() {
    return {.name = "share",
            .synopsis = "share RUN [--from KM] [--to KM] [--low X] [--high Y]",
            .summary = "Prints the share of a run's track whose TGI lies between two values.",
            .description =
                "Processes RUN and its information for the km range, then prints the share of the "
                "track whose TGI lies between the low and high values, as the analyser's CALC TRACK % "
                "BETWEEN TGIs shows it.",
            .options = {rangeFromOption(),
                        rangeToOption(),
                        {"low", true, "X", "The lowest TGI value counted (default 1)."},
                        {"high", true, "Y", "The highest TGI value counted (default 100)."},
                        formatOption("csv prints the same figures as CSV: a header row (" +
                                     csvColumnList(analyser::kTrackShareCsvHeader) +
                                     ") and one row, the range's lower km first and the share in per cent.")},
            .readsRunFromStandardInput = true,
            .run = runShare};
}

} // namespace kestrana::cli
