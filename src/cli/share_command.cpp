#include "command.h"

namespace kestrana::cli {
namespace {

// Placeholder until this command is built: refuses every call.
class ShareCommand : public Command {
public:
    std::string name() const override { return "share"; }
    std::string synopsis() const override { return "share RUN"; }
    std::vector<OptionSpec> options() const override { return {}; }
    std::size_t minFiles() const override { return 1; }
    std::size_t maxFiles() const override { return 1; }
    int run(const Arguments&, Context&) override { throw Refusal("not available yet"); }
};

} // namespace

std::unique_ptr<Command> makeShareCommand() { return std::make_unique<ShareCommand>(); }

} // namespace kestrana::cli
