// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Kestrana developers

#include "command.h"
#include "core/history/history_csv.h"
#include "core/library/open_run_library.h"
#include "core/library/run_copy.h"
#include "core/library/run_import.h"
#include "core/library/run_removal.h"
#include "history_steps.h"

#include <charconv>
#include <ostream>

namespace kestrana::cli {
namespace {

// One outcome line per file or run, written as it comes so that a long import shows its progress.
library::ImportCallbacks printingOutcomes(Context& context) {
    library::ImportCallbacks callbacks;
    callbacks.onOutcome = [&context](const library::FileOutcome& outcome) {
        context.out << library::outcomeLine(outcome) << '\n' << std::flush;
    };
    return callbacks;
}

// Exit status 1 when anything was refused, the others having been taken in all the same.
int statusOf(const library::ImportSummary& summary, std::string_view what, std::string_view done) {
    if (summary.refused > 0) {
        throw common::Error::refused(std::to_string(summary.refused) + " of " +
                                     std::to_string(summary.outcomes.size()) + " " + std::string(what) +
                                     " were refused; the others were " + std::string(done) + ".");
    }
    return 0;
}

// Takes the files and folders into the library (made when missing), one line per file as it goes.
int importPaths(const Arguments& args, const std::vector<std::string>& paths, Context& context) {
    const auto library = history_steps::openLibrary(args, library::LibraryAccess::CreateIfMissing);
    library::ImportSummary summary;
    try {
        summary = library::importPaths(*library, paths, printingOutcomes(context));
    } catch (const common::Error& error) {
        throw common::Error::refused(error.reason());
    }
    return statusOf(summary, "files", "taken in");
}

// Copies the runs the target lacks, one line per run of the source as it goes; a target that does not
// exist is made (a file).
int copyRuns(const Arguments& args, Context& context) {
    const std::string from = history_steps::requiredValue(args, "from");
    const std::string to = history_steps::requiredValue(args, "to");
    library::ImportSummary summary;
    try {
        const auto source = library::openRunLibrary(from, library::LibraryAccess::OpenExisting);
        const auto target = library::openRunLibrary(to, library::LibraryAccess::CreateIfMissing);
        summary = library::copyRuns(*source, *target, printingOutcomes(context));
    } catch (const common::Error& error) {
        throw common::Error::refused(error.reason());
    }
    return statusOf(summary, "runs", "copied");
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
// library runs: the library's runs as CSV. library remove ID...: takes runs out. library log: the
// imports and removals as CSV. library copy: runs from one library into another. library init: makes
// the library.
int runLibrary(const Arguments& args, Context& context) {
    if (args.files.empty()) {
        throw UsageError("library needs an action: import, runs, remove, log, copy or init");
    }
    const std::string& action = args.files.front();
    const std::vector<std::string> paths(args.files.begin() + 1, args.files.end());
    if (action == "import") {
        if (paths.empty()) {
            throw UsageError("library import needs at least one file or folder");
        }
        return importPaths(args, paths, context);
    }
    if (action == "runs" || action == "log" || action == "copy" || action == "init") {
        if (!paths.empty()) {
            throw UsageError("library " + action + " takes no file");
        }
    }
    if (action != "copy" && (args.has("from") || args.has("to"))) {
        throw UsageError("options --from and --to belong to library copy");
    }
    if (action == "runs" || action == "log") {
        const auto library = history_steps::openLibrary(args, library::LibraryAccess::OpenExisting);
        try {
            context.out << (action == "runs" ? history::runsCsv(library->runs())
                                             : history::logCsv(library->log()));
        } catch (const common::Error& error) {
            throw common::Error::refused(error.reason());
        }
        return 0;
    }
    if (action == "copy") {
        if (args.has("library")) {
            throw UsageError("library copy names its libraries with --from and --to");
        }
        return copyRuns(args, context);
    }
    if (action == "init") {
        try {
            library::initRunLibrary(history_steps::libraryPathOf(args));
        } catch (const common::Error& error) {
            throw common::Error::refused(error.reason());
        }
        return 0;
    }
    if (action == "remove") {
        if (paths.empty()) {
            throw UsageError("library remove needs at least one run id");
        }
        return removeRuns(args, paths, context);
    }
    throw UsageError("unknown library action " + action + " (import, runs, remove, log, copy or init)");
}

} // namespace

Command makeLibraryCommand() {
    return {
        .name = "library",
        .synopsis = "library {import PATH... | runs | remove ID... | log | copy --from LIB --to LIB | init} "
                    "[--library LIB]",
        .summary = "Takes run files into the run library, lists, removes or copies its runs, shows its log.",
        .description =
            "library import takes each run file, and the .run files (any case) of each folder at any "
            "depth, into the run library and prints one line per path: imported; skipped when the same "
            "bytes, or another file of the same run (line, direction, date and run number), are already "
            "there; or refused with the reason, folders that cannot be read included. It ends with "
            "status 1 when any path was refused, the others being taken in all the same. library runs "
            "prints the runs as CSV (id, line, direction, date, run, blocks, imported_at, imported_by, "
            "file), sorted by line, direction, date and run; imported_at is UTC. library remove takes the "
            "runs with the given ids out of the library in one step and prints one line per run removed; "
            "when any id is not in the library, nothing is removed and the status is 1. To replace a run, "
            "remove it, then import the new file. library log prints every import and removal as CSV "
            "(time, user, action, line, direction, date, run, file) in time order; the user is the "
            "database user on a server, the system user for a file. library copy copies every run of "
            "--from that --to lacks, judged by its bytes, with who imported it and when, and prints one "
            "line per run as import does; a --to file that does not exist is made. library init makes "
            "the library: on a PostgreSQL server the schema kestrana and the roles kestrana_reader (may "
            "read) and kestrana_importer (may also import and remove), for the database's owner; a file "
            "as an empty library. It leaves a library that is there as it is.",
        .options = {history_steps::kLibraryOption,
                    {"from", true, "LIB", "library copy: the library the runs come from (required)."},
                    {"to", true, "LIB", "library copy: the library the runs go to (required)."}},
        .minFiles = 0,
        .maxFiles = static_cast<std::size_t>(-1),
        .run = runLibrary};
}

} // namespace kestrana::cli
