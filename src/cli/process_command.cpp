// kestrana-cli process RUN [--output FILE]: the analyser's PROCESS DATA without its screen. Prints
// the header data and kilometre range the screen shows; writes the SD output file only when asked.

#include "analyser_steps.h"
#include "command.h"

namespace kestrana::cli {
namespace {

class ProcessCommand : public Command {
public:
    std::string name() const override { return "process"; }
    std::string synopsis() const override { return "process RUN [--output FILE]"; }
    std::vector<OptionInfo> options() const override { return {{"output", true}}; }
    std::size_t minFiles() const override { return 1; }
    std::size_t maxFiles() const override { return 1; }

    int run(const Arguments& args, Context& context) override {
        const analyser::ProcessedRun run =
            analyser_steps::processRun(args.files.front(), args.value("output"));
        printLines(context.out, {"Date of Recording: " + run.runDate, "Run Number: " + run.runNumber,
                                 "Section: " + run.section, "Recording Starts at KM: " + run.kmFrom,
                                 "Recording Ends at KM: " + run.kmTo});
        return 0;
    }
};

} // namespace

std::unique_ptr<Command> makeProcessCommand() {
    return std::make_unique<ProcessCommand>();
}

} // namespace kestrana::cli
