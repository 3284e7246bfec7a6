// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Kestrana developers

#include "analyser_steps.h"
#include "command.h"

namespace kestrana::cli {
namespace {

// PROCESS DATA, then PROCESS INFORMATION: the captions of band1Label to nonRecordedLabel and averageLabel.
int runQuality(const Arguments& args, Context& context) {
    const OutputFormat format = outputFormat(args);
    const analyser::ProcessedRun run = analyser_steps::processRun(args.files.front());
    const analyser::QualityResult quality = analyser_steps::processInformation(run, args);
    if (format == OutputFormat::Csv) {
        context.out << analyser::qualityCsv(quality);
        return 0;
    }
    std::vector<std::string> lines(quality.bandCaptions.begin(), quality.bandCaptions.end());
    lines.push_back(quality.nonRecordedCaption);
    lines.push_back(quality.averageCaption);
    printLines(context.out, lines);
    return 0;
}

} // namespace

Command makeQualityCommand() {
    return {.name = "quality",
            .synopsis = "quality RUN [--from KM] [--to KM]",
            .summary = "Prints the quality bands and the average TGI of a run over a km range.",
            .description = "Processes RUN, then its information for the km range as the analyser's PROCESS "
                           "INFORMATION does, and prints six lines: the four quality bands, the non-recorded "
                           "track and the average TGI, worded as the screen shows them.",
            .options = {rangeFromOption(), rangeToOption(),
                        formatOption("csv prints the same figures as CSV: a header row (" +
                                     csvColumnList(analyser::kQualityCsvHeader) +
                                     ") and one row, the range's lower km first, the shares in per cent and "
                                     "the average empty when there is none.")},
            .readsRunFromStandardInput = true,
            .run = runQuality};
}

} // namespace kestrana::cli
