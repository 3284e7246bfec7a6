#include "command.h"

namespace kestrana::cli {
namespace {

// Placeholder until this command is built: refuses every call.
class ProcessCommand : public Command {
public:
    std::string name() const override { return "process"; }
    std::string synopsis() const override { return "process RUN"; }
    std::vector<OptionSpec> options() const override { return {}; }
    std::size_t minFiles() const override { return 1; }
    std::size_t maxFiles() const override { return 1; }
    int run(const Arguments&, Context&) override { throw Refusal("not available yet"); }
};

} // namespace

std::unique_ptr<Command> makeProcessCommand() { return std::make_unique<ProcessCommand>(); }

} // namespace kestrana::cli
