#include "command.h"
#include "core/history/history_csv.h"
#include "core/history/run_import.h"
#include "history_steps.h"

#include <ostream>

namespace kestrana::cli {
namespace {

// library import PATH...: takes run files and folders into the library, one line per file as it goes.
// library runs: the library's runs as CSV.
class LibraryCommand : public Command {
public:
    std::string name() const override { return "library"; }
    std::string synopsis() const override { return "library {import PATH... | runs} [--library FILE]"; }
    std::vector<OptionInfo> options() const override { return {history_steps::kLibraryOption}; }
    std::size_t minFiles() const override { return 0; }
    std::size_t maxFiles() const override { return static_cast<std::size_t>(-1); }

    int run(const Arguments& args, Context& context) override {
        if (args.files.empty()) {
            throw UsageError("library needs an action: import or runs");
        }
        const std::string& action = args.files.front();
        const std::vector<std::string> paths(args.files.begin() + 1, args.files.end());
        if (action == "import") {
            if (paths.empty()) {
                throw UsageError("library import needs at least one file or folder");
            }
            return importPaths(args, paths, context);
        }
        if (action == "runs") {
            if (!paths.empty()) {
                throw UsageError("library runs takes no file");
            }
            const auto library = history_steps::openLibrary(args, history::LibraryAccess::OpenExisting);
            context.out << history::runsCsv(library->runs());
            return 0;
        }
        throw UsageError("unknown library action " + action + " (import or runs)");
    }

private:
    static int importPaths(const Arguments& args, const std::vector<std::string>& paths, Context& context) {
        const auto library = history_steps::openLibrary(args, history::LibraryAccess::CreateIfMissing);
        history::ImportCallbacks callbacks;
        callbacks.onOutcome = [&](const history::FileOutcome& outcome) {
            context.out << history::outcomeLine(outcome) << '\n' << std::flush;
        };
        history::ImportSummary summary;
        try {
            summary = history::importPaths(*library, paths, callbacks);
        } catch (const platform::KestranaError& error) {
            throw Refusal(error.reason());
        }
        if (summary.refused > 0) {
            throw Refusal(std::to_string(summary.refused) + " of " + std::to_string(summary.outcomes.size()) +
                          " files were refused; the others were taken in.");
        }
        return 0;
    }
};

} // namespace

std::unique_ptr<Command> makeLibraryCommand() {
    return std::make_unique<LibraryCommand>();
}

} // namespace kestrana::cli
