// kestrana-cli compare RUN0 RUN1 [RUN2 [RUN3]]: the run comparator without its screen. PROCESS DATA
// loads RUN0 as the current run and the others as older runs 1 to 3; COMPARE then lists and averages
// them. Prints the saved report, or writes it with --save, or prints the chart's table with --chart.

#include "command.h"
#include "core/comparator/comparison.h"
#include "core/comparator/messages.h"
#include "core/comparator/reports.h"
#include "core/comparator/run_database.h"
#include "core/comparator/session.h"
#include "core/platform/errors.h"
#include "core/platform/paths.h"
#include "core/platform/text.h"

namespace kestrana::cli {
namespace {

using namespace kestrana::comparator;

// The chart's table as CSV: a header of the run dates, then per km the plain km and each run's mean.
std::vector<std::string> chartLines(const KmAverageTable& table) {
    std::string header = "km";
    for (const auto& name : table.seriesNames) {
        header += "," + name;
    }
    std::vector<std::string> lines{header};
    for (const auto& row : table.rows) {
        std::string line = platform::plainInt(row.km);
        for (double mean : row.means) {
            line += "," + platform::shortestDouble(mean);
        }
        lines.push_back(line);
    }
    return lines;
}

class CompareCommand : public Command {
public:
    std::string name() const override { return "compare"; }
    std::string synopsis() const override {
        return "compare RUN0 RUN1 [RUN2 [RUN3]] [--param NAME] [--from KM] [--to KM] [--save FILE] [--chart]";
    }
    std::vector<OptionInfo> options() const override {
        return {{"param", true}, {"from", true}, {"to", true}, {"save", true}, {"chart", false}};
    }
    std::size_t minFiles() const override { return 2; }
    std::size_t maxFiles() const override { return 4; }

    int run(const Arguments& args, Context& context) override {
        if (args.has("chart") && args.has("save")) {
            throw UsageError("--chart and --save cannot be used together");
        }
        ComparatorSession session;
        session.olderRuns = static_cast<std::int16_t>(args.files.size() - 1);
        BuildRequest request;
        for (std::size_t k = 0; k < args.files.size(); ++k) {
            request.slotPaths[k] = args.files[k];
        }
        request.olderRuns = session.olderRuns;
        request.parameter = args.valueOr("param", "TGI");
        request.databaseBase = platform::joinPath(context.workFolder, "trcdbase");
        request.scratchPath = platform::joinPath(context.workFolder, "temp_1.txt");

        const BuildResult built = buildRunDatabase(request, session);
        if (built.outcome != BuildResult::Outcome::Built) {
            throw Refusal(built.message, built.reason);
        }
        const std::string fromText = args.valueOr("from", built.kmFromText.value_or(""));
        const std::string toText = args.valueOr("to", built.kmToText.value_or(""));
        const CompareResult compared = compareRuns(fromText, toText, session, request.databaseBase);
        if (compared.outcome != CompareResult::Outcome::Compared) {
            throw Refusal(compared.message, compared.reason);
        }
        // The screen offers SAVE DETAILS only once the chart query has worked.
        if (!compared.chart) {
            throw Refusal(std::string(kChartFailedMessage), compared.reason);
        }

        if (args.has("chart")) {
            printLines(context.out, chartLines(*compared.chart));
            return 0;
        }
        const auto lines = savedReportLines(session.section, compared.listing);
        if (auto path = args.value("save")) {
            try {
                platform::writeFileAtomically(*path, savedReportText(lines, "\r\n"));
            } catch (const platform::KestranaError& error) {
                throw Refusal(std::string(kReportNotSavedMessage), error.reason());
            }
            return 0;
        }
        printLines(context.out, lines);
        return 0;
    }
};

} // namespace

std::unique_ptr<Command> makeCompareCommand() {
    return std::make_unique<CompareCommand>();
}

} // namespace kestrana::cli
