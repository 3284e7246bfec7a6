#include "command.h"
#include "core/history/history_csv.h"
#include "core/history/run_import.h"
#include "history_steps.h"

#include <ostream>

namespace kestrana::cli {
namespace {

// Takes the files and folders into the library (made when missing), one line per file as it goes.
int importPaths(const Arguments& args, const std::vector<std::string>& paths, Context& context) {
    const auto library = history_steps::openLibrary(args, history::LibraryAccess::CreateIfMissing);
    history::ImportCallbacks callbacks;
    callbacks.onOutcome = [&](const history::FileOutcome& outcome) {
        context.out << history::outcomeLine(outcome) << '\n' << std::flush;
    };
    history::ImportSummary summary;
    try {
        summary = history::importPaths(*library, paths, callbacks);
    } catch (const platform::Error& error) {
        throw platform::Error::refused(error.reason());
    }
    if (summary.refused > 0) {
        throw platform::Error::refused(std::to_string(summary.refused) + " of " +
                                       std::to_string(summary.outcomes.size()) +
                                       " files were refused; the others were taken in.");
    }
    return 0;
}

// library import PATH...: takes run files and folders into the library, one line per file as it goes.
// library runs: the library's runs as CSV.
int runLibrary(const Arguments& args, Context& context) {
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

} // namespace

Command makeLibraryCommand() {
    return {.name = "library",
            .synopsis = "library {import PATH... | runs} [--library FILE]",
            .summary = "Takes run files into the run library, or lists its runs.",
            .description =
                "library import takes each run file, and the .run files (any case) of each folder at any "
                "depth, into the run library and prints one line per file: imported, skipped (the same "
                "bytes are already there) or refused with the reason; it ends with status 1 when any file "
                "was refused, the others being taken in all the same. library runs prints the runs as CSV "
                "(line, direction, date, run, blocks, file), sorted by line, direction, date and run.",
            .options = {history_steps::kLibraryOption},
            .minFiles = 0,
            .maxFiles = static_cast<std::size_t>(-1),
            .run = runLibrary};
}

} // namespace kestrana::cli
