#include "analyser_steps.h"
#include "command.h"
#include "core/analyser/listing.h"
#include "core/analyser/reports.h"

namespace kestrana::cli {
namespace {

// PROCESS DATA, PROCESS INFORMATION, then SHOW DETAILS: the listingHeaderList header and the listingList
// rows, or with
// --save the SAVE DETAILS report written to FILE as given.
class ListCommand : public Command {
public:
    std::string name() const override { return "list"; }
    std::string synopsis() const override {
        return "list RUN [--from KM] [--to KM] [--index NAME] [--low X] [--high Y] [--save FILE]";
    }
    std::vector<OptionInfo> options() const override {
        return {{"from"}, {"to"}, {"index"}, {"low"}, {"high"}, {"save"}};
    }
    std::size_t minFiles() const override { return 1; }
    std::size_t maxFiles() const override { return 1; }

    int run(const Arguments& args, Context& context) override {
        const analyser::ProcessedRun run = analyser_steps::processRun(args.files.front());
        const analyser::QualityResult quality = analyser_steps::processInformation(run, args);
        const std::string indexName = args.valueOr("index", "TGI");
        analyser::Listing listing = analyser_steps::refusing([&] {
            return analyser::showDetails(run.table, quality.range, args.valueOr("low", "1"),
                                         args.valueOr("high", "35"), indexName);
        });

        if (const auto savePath = args.value("save")) {
            analyser::DetailsReport report{analyser::reportHeadingOf(run.table.header),
                                           quality.range,
                                           indexName,
                                           listing.bounds,
                                           listing.header,
                                           std::move(listing.entries)};
            try {
                analyser::saveReport(*savePath, analyser::savedReportText(report));
            } catch (const platform::KestranaError& error) {
                throw Refusal(std::string(analyser::kReportNotSavedMessage), error.reason());
            }
            return 0;
        }
        std::vector<std::string> lines = listing.rows();
        lines.insert(lines.begin(), listing.header);
        printLines(context.out, lines);
        return 0;
    }
};

} // namespace

std::unique_ptr<Command> makeListCommand() {
    return std::make_unique<ListCommand>();
}

} // namespace kestrana::cli
