#include "analyser_steps.h"
#include "command.h"
#include "core/analyser/listing.h"

namespace kestrana::cli {
namespace {

// PROCESS DATA, PROCESS INFORMATION, then CALC TRACK % BETWEEN TGIs: the caption of trackShareLabel.
class ShareCommand : public Command {
public:
    std::string name() const override { return "share"; }
    std::string synopsis() const override { return "share RUN [--from KM] [--to KM] [--low X] [--high Y]"; }
    std::string summary() const override {
        return "Prints the share of a run's track whose TGI lies between two values.";
    }
    std::string description() const override {
        return "Processes RUN and its information for the km range, then prints the share of the "
               "track whose TGI lies between the low and high values, as the analyser's CALC TRACK % "
               "BETWEEN TGIs shows it.";
    }
    std::vector<OptionInfo> options() const override {
        return {rangeFromOption(),
                rangeToOption(),
                {"low", true, "X", "The lowest TGI value counted (default 1)."},
                {"high", true, "Y", "The highest TGI value counted (default 100)."}};
    }
    std::size_t minFiles() const override { return 1; }
    std::size_t maxFiles() const override { return 1; }

    int run(const Arguments& args, Context& context) override {
        const analyser::ProcessedRun run = analyser_steps::processRun(args.files.front());
        const analyser::QualityResult quality = analyser_steps::processInformation(run, args);
        const analyser::TrackShare share = analyser::calcTrackShare(
            run.table, quality.range, args.valueOr("low", "1"), args.valueOr("high", "100"));
        printLines(context.out, {share.caption});
        return 0;
    }
};

} // namespace

std::unique_ptr<Command> makeShareCommand() {
    return std::make_unique<ShareCommand>();
}

} // namespace kestrana::cli
