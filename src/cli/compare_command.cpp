#include "command.h"

namespace kestrana::cli {
namespace {

// Placeholder until this command is built: refuses every call.
class CompareCommand : public Command {
public:
    std::string name() const override { return "compare"; }
    std::string synopsis() const override { return "compare RUN"; }
    std::vector<OptionSpec> options() const override { return {}; }
    std::size_t minFiles() const override { return 1; }
    std::size_t maxFiles() const override { return 1; }
    int run(const Arguments&, Context&) override { throw Refusal("not available yet"); }
};

} // namespace

std::unique_ptr<Command> makeCompareCommand() { return std::make_unique<CompareCommand>(); }

} // namespace kestrana::cli
