#include "analyser_steps.h"
#include "command.h"
#include "core/analyser/raw_view.h"
#include "core/platform/text.h"

namespace kestrana::cli {
namespace {

// A whole number typed for --km or --block, read as the view reads the key of a clicked row.
std::int16_t keyOption(const Arguments& args, const std::string& name) {
    const auto text = args.value(name);
    if (!text) {
        throw UsageError("option --" + name + " is required");
    }
    const auto key = platform::textToInt16(*text);
    if (!key) {
        throw UsageError("option --" + name + " needs a whole number between -32768 and 32767");
    }
    return *key;
}

// PROCESS DATA, then the raw-data view of the blocks with this km from and block number: the rawHeaderList
// header, then every rawValuesList row.
class BlockCommand : public Command {
public:
    std::string name() const override { return "block"; }
    std::string synopsis() const override { return "block RUN --km KM --block BK"; }
    std::vector<OptionInfo> options() const override { return {{"km"}, {"block"}}; }
    std::size_t minFiles() const override { return 1; }
    std::size_t maxFiles() const override { return 1; }

    int run(const Arguments& args, Context& context) override {
        const std::int16_t km = keyOption(args, "km");
        const std::int16_t block = keyOption(args, "block");
        const analyser::ProcessedRun run = analyser_steps::processRun(args.files.front());
        const analyser::RawView view = analyser::rawViewOfBlock(run.table, km, block);
        std::vector<std::string> lines = view.header;
        lines.insert(lines.end(), view.rows.begin(), view.rows.end());
        printLines(context.out, lines);
        return 0;
    }
};

} // namespace

std::unique_ptr<Command> makeBlockCommand() {
    return std::make_unique<BlockCommand>();
}

} // namespace kestrana::cli
