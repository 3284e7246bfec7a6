#include "command.h"

namespace kestrana::cli {
namespace {

// Placeholder until this command is built: refuses every call.
class BlockCommand : public Command {
public:
    std::string name() const override { return "block"; }
    std::string synopsis() const override { return "block RUN"; }
    std::vector<OptionSpec> options() const override { return {}; }
    std::size_t minFiles() const override { return 1; }
    std::size_t maxFiles() const override { return 1; }
    int run(const Arguments&, Context&) override { throw Refusal("not available yet"); }
};

} // namespace

std::unique_ptr<Command> makeBlockCommand() { return std::make_unique<BlockCommand>(); }

} // namespace kestrana::cli
