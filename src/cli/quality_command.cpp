#include "analyser_steps.h"
#include "command.h"

namespace kestrana::cli {
namespace {

// PROCESS DATA, then PROCESS INFORMATION: the captions of band1Label to nonRecordedLabel and averageLabel.
class QualityCommand : public Command {
public:
    std::string name() const override { return "quality"; }
    std::string synopsis() const override { return "quality RUN [--from KM] [--to KM]"; }
    std::string summary() const override {
        return "Prints the quality bands and the average TGI of a run over a km range.";
    }
    std::string description() const override {
        return "Processes RUN, then its information for the km range as the analyser's PROCESS "
               "INFORMATION does, and prints six lines: the four quality bands, the non-recorded "
               "track and the average TGI, worded as the screen shows them.";
    }
    std::vector<OptionInfo> options() const override { return {rangeFromOption(), rangeToOption()}; }
    std::size_t minFiles() const override { return 1; }
    std::size_t maxFiles() const override { return 1; }

    int run(const Arguments& args, Context& context) override {
        const analyser::ProcessedRun run = analyser_steps::processRun(args.files.front());
        const analyser::QualityResult quality = analyser_steps::processInformation(run, args);
        std::vector<std::string> lines(quality.bandCaptions.begin(), quality.bandCaptions.end());
        lines.push_back(quality.nonRecordedCaption);
        lines.push_back(quality.averageCaption);
        printLines(context.out, lines);
        return 0;
    }
};

} // namespace

std::unique_ptr<Command> makeQualityCommand() {
    return std::make_unique<QualityCommand>();
}

} // namespace kestrana::cli
