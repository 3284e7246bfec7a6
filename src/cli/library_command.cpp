#include "command.h"
#include "core/history/history_csv.h"
#include "core/library/run_import.h"
#include "core/library/run_removal.h"
#include "history_steps.h"

#include <charconv>
#include <ostream>

namespace kestrana::cli {
namespace {

// Takes the files and folders into the library (made when missing), one line per file as it goes.
int importPaths(const Arguments& args, const std::vector<std::string>& paths, Context& context) {
    const auto library = history_steps::openLibrary(args, library::LibraryAccess::CreateIfMissing);
    library::ImportCallbacks callbacks;
    callbacks.onOutcome = [&](const library::FileOutcome& outcome) {
        context.out << library::outcomeLine(outcome) << '\n' << std::flush;
    };
    library::ImportSummary summary;
    try {
        summary = library::importPaths(*library, paths, callbacks);
    } catch (const common::Error& error) {
        throw common::Error::refused(error.reason());
    }
    if (summary.refused > 0) {
        throw common::Error::refused(std::to_string(summary.refused) + " of " +
                                     std::to_string(summary.outcomes.size()) +
                                     " files were refused; the others were taken in.");
    }
    return 0;
}

library::RunId runIdOf(const std::string& word) {
    library::RunId id = 0;
    const char* end = word.data() + word.size();
    const auto [stop, error] = std::from_chars(word.data(), end, id);
    if (word.empty() || error != std::errc() || stop != end) {
        throw UsageError("\"" + word + "\" is not a run id (a whole number, as library runs lists them)");
    }
    return id;
}

// Removes the runs in one transaction, one line per run removed; an id not in the library removes
// nothing.
int removeRuns(const Arguments& args, const std::vector<std::string>& words, Context& context) {
    std::vector<library::RunId> ids;
    for (const std::string& word : words) {
        ids.push_back(runIdOf(word));
    }
    const auto library = history_steps::openLibrary(args, library::LibraryAccess::OpenExisting);
    library::RemovalResult result;
    try {
        result = library::removeRunsById(*library, ids);
    } catch (const common::Error& error) {
        throw common::Error::refused(error.reason());
    }
    if (!result.missing.empty()) {
        std::string others;
        for (std::size_t i = 1; i < result.missing.size(); ++i) {
            others += (i == 1 ? "" : ", ") + std::to_string(result.missing[i]);
        }
        throw common::Error::refused(library::noSuchRunMessage(result.missing.front()),
                                     others.empty() ? std::string() : "nor are the runs with ids " + others);
    }
    for (const library::RunRecord& run : result.removed) {
        context.out << library::removedRunLine(run) << '\n';
    }
    return 0;
}

// library import PATH...: takes run files and folders into the library, one line per file as it goes.
// library runs: the library's runs as CSV. library remove ID...: takes runs out.
int runLibrary(const Arguments& args, Context& context) {
    if (args.files.empty()) {
        throw UsageError("library needs an action: import, runs or remove");
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
        const auto library = history_steps::openLibrary(args, library::LibraryAccess::OpenExisting);
        context.out << history::runsCsv(library->runs());
        return 0;
    }
    if (action == "remove") {
        if (paths.empty()) {
            throw UsageError("library remove needs at least one run id");
        }
        return removeRuns(args, paths, context);
    }
    throw UsageError("unknown library action " + action + " (import, runs or remove)");
}

} // namespace

Command makeLibraryCommand() {
    return {.name = "library",
            .synopsis = "library {import PATH... | runs | remove ID...} [--library FILE]",
            .summary = "Takes run files into the run library, lists its runs, or removes runs.",
            .description =
                "library import takes each run file, and the .run files (any case) of each folder at any "
                "depth, into the run library and prints one line per path: imported; skipped when the same "
                "bytes, or another file of the same run (line, direction, date and run number), are already "
                "there; or refused with the reason, folders that cannot be read included. It ends with "
                "status 1 when any path was refused, the others being taken in all the same. library runs "
                "prints the runs as CSV (id, line, direction, date, run, blocks, file), sorted by line, "
                "direction, date and run. library remove takes the runs with the given ids out of the "
                "library in one step and prints one line per run removed; when any id is not in the "
                "library, nothing is removed and the status is 1. To replace a run, remove it, then "
                "import the new file.",
            .options = {history_steps::kLibraryOption},
            .minFiles = 0,
            .maxFiles = static_cast<std::size_t>(-1),
            .run = runLibrary};
}

} // namespace kestrana::cli
