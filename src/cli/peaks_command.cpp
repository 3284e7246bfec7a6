#include "command.h"

namespace kestrana::cli {
namespace {

// Placeholder until this command is built: refuses every call.
class PeaksCommand : public Command {
public:
    std::string name() const override { return "peaks"; }
    std::string synopsis() const override { return "peaks RUN"; }
    std::vector<OptionSpec> options() const override { return {}; }
    std::size_t minFiles() const override { return 1; }
    std::size_t maxFiles() const override { return 1; }
    int run(const Arguments&, Context&) override { throw Refusal("not available yet"); }
};

} // namespace

std::unique_ptr<Command> makePeaksCommand() { return std::make_unique<PeaksCommand>(); }

} // namespace kestrana::cli
