#include "analyser_steps.h"
#include "command.h"

namespace kestrana::cli {
namespace {

// PROCESS DATA, then PROCESS INFORMATION: the captions of band1Label to nonRecordedLabel and averageLabel.
class QualityCommand : public Command {
public:
    std::string name() const override { return "quality"; }
    std::string synopsis() const override { return "quality RUN [--from KM] [--to KM]"; }
    std::vector<OptionInfo> options() const override { return {{"from"}, {"to"}}; }
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
