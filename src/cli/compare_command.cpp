// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Kestrana developers

// kestrana-cli compare RUN0 RUN1 [RUN2 [RUN3]]: the run comparator without its screen. PROCESS DATA
// loads RUN0 as the current run and the others as older runs 1 to 3; COMPARE then lists and averages
// them. Prints the saved report, or writes it with --save, or prints the chart's table with --chart.

#include "command.h"
#include "core/common/errors.h"
#include "core/common/paths.h"
#include "core/common/text.h"
#include "core/comparator/comparison.h"
#include "core/comparator/messages.h"
#include "core/comparator/reports.h"
#include "core/comparator/run_database.h"
#include "core/comparator/session.h"

namespace kestrana::cli {
namespace {

using namespace kestrana::comparator;

// The chart's table as CSV: a header of the run dates, then per km the plain km and each run's mean,
// an empty field where the run recorded no block of the km. A run date is text from the run file and
// may hold a comma or a quote: such a field is quoted.
std::vector<std::string> chartLines(const KmAverageTable& table) {
    std::string header = "km";
    for (const auto& name : table.seriesNames) {
        header += "," + common::csvField(name);
    }
    std::vector<std::string> lines{header};
    for (const auto& row : table.rows) {
        std::string line = common::plainInt(row.km);
        for (const std::optional<double>& mean : row.means) {
            line += "," + (mean ? common::shortestDouble(*mean) : std::string());
        }
        lines.push_back(line);
    }
    return lines;
}

int runCompare(const Arguments& args, Context& context) {
    if (args.has("chart") && args.has("save")) {
        throw UsageError("--chart and --save cannot be used together");
    }
    const OutputFormat format = outputFormat(args, {"save", "chart"});
    ComparatorSession session;
    session.olderRuns = static_cast<std::int16_t>(args.files.size() - 1);
    BuildRequest request;
    for (std::size_t k = 0; k < args.files.size(); ++k) {
        request.slotPaths[k] = args.files[k];
    }
    request.olderRuns = session.olderRuns;
    request.parameter = args.valueOr("param", "TGI");
    request.databaseBase = common::joinPath(context.workFolder, "trcdbase");
    request.scratchPath = common::joinPath(context.workFolder, "temp_1.txt");

    const BuildResult built = buildRunDatabase(request, session);
    if (built.outcome != BuildResult::Outcome::Built) {
        throw *built.failure;
    }
    const std::string fromText = args.valueOr("from", built.kmFromText.value_or(""));
    const std::string toText = args.valueOr("to", built.kmToText.value_or(""));
    const CompareResult compared = compareRuns(fromText, toText, session, request.databaseBase);
    if (compared.outcome != CompareResult::Outcome::Compared) {
        throw *compared.failure;
    }
    // The screen offers SAVE DETAILS only once the chart query has worked.
    if (!compared.chart) {
        throw compared.failure ? compared.failure->withMessage(kChartFailedMessage)
                               : common::Error::refused(kChartFailedMessage);
    }

    if (args.has("chart")) {
        printLines(context.out, chartLines(*compared.chart));
        return 0;
    }
    if (format == OutputFormat::Csv) {
        context.out << comparisonCsv(compared.listing);
        return 0;
    }
    const auto lines = savedReportLines(session.section, compared.listing);
    if (auto path = args.value("save")) {
        try {
            common::writeFileAtomically(*path, savedReportText(lines, "\r\n"));
        } catch (const common::Error& error) {
            throw error.withMessage(kReportNotSavedMessage);
        }
        return 0;
    }
    printLines(context.out, lines);
    return 0;
}

} // namespace

Command makeCompareCommand() {
    return {
        .name = "compare",
        .synopsis =
            "compare RUN0 RUN1 [RUN2 [RUN3]] [--param NAME] [--from KM] [--to KM] [--save FILE] [--chart]",
        .summary = "Compares one index of up to four runs of a line, block by block.",
        .description =
            "Loads RUN0 as the current run and RUN1 to RUN3 as older runs of the same line, "
            "compares them as the run comparator's COMPARE does and prints the report: the section, "
            "a heading and one line per block. --chart prints the chart's per-km averages instead; "
            "--save writes the report to a file.",
        .options = {{"param", true, "NAME",
                     "The index compared: " + oneOf(comparator::kCompareParameterNames) + " (default TGI).",
                     choicesOf(comparator::kCompareParameterNames)},
                    {"from", true, "KM", "The first km compared (default: the first km of the current run)."},
                    {"to", true, "KM", "The last km compared (default: the last km of the current run)."},
                    {"save", true, "FILE",
                     "Writes the report to FILE exactly as the screen saves it (FILE as given, no \".txt\" "
                     "added) and prints nothing."},
                    {"chart", false, "",
                     "Prints the table behind the chart as CSV instead of the report: the km, then each "
                     "run's mean of its recorded (non-zero) values, empty where it recorded none; not "
                     "together with --save."},
                    formatOption("csv prints the report's figures as CSV: a header row (" +
                                 csvColumnList(kComparisonCsvHeader) +
                                 ") and, for each block of the report, one row per run: 0 for RUN0, 1 to 3 "
                                 "for the older runs, the run's date as YYYY-MM-DD (empty when it is no "
                                 "date) and its value (empty for NA); not together with --save or --chart.")},
        .minFiles = 2,
        .maxFiles = 4,
        .readsRunFromStandardInput = true,
        .run = runCompare};
}

} // namespace kestrana::cli
