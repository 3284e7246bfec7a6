#pragma once
// Taking run files into the library: files as given, folders searched recursively for "*.run" in any
// case. Each file is loaded exactly as the analyser loads it (same reader, same refusals), then read
// as a run of the library: its line, direction and date. Every file gets one outcome; a refused file
// does not stop the others.

#include "core/history/run_library.h"

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace kestrana::history {

// Loads one run file for the library. Throws platform::Error whose what_text() is the reason
// (with the run-file line where one applies): the analyser's refusals, a direction that is neither
// rising nor falling, a date that is not a calendar date (the reason names the date text).
LoadedRun loadRunForLibrary(const std::string& path);

enum class ImportStatus { Imported, Skipped, Refused };

struct FileOutcome {
    std::string path;
    ImportStatus status = ImportStatus::Refused;
    std::string reason; // for Refused: what was wrong, e.g. "line 12: token \"4x\" is not a whole number"
    bool operator==(const FileOutcome&) const = default;
};
// "imported PATH", "skipped PATH: already in the library", "refused PATH: REASON".
std::string outcomeLine(const FileOutcome& outcome);

// The files an import of `paths` takes, in the order it takes them: a file as given (whatever its
// name), a folder's "*.run" files (any case) at any depth, sorted by path. A path that is neither is
// kept as it is, so that the import reports it refused.
std::vector<std::string> collectRunFiles(const std::vector<std::string>& paths);

// Imports one file: Imported, Skipped (same bytes already there) or Refused (with the reason). A
// library that fails while storing (damaged, busy too long, disk full) is not the file's fault and
// throws LibraryError, which ends the import.
FileOutcome importRunFile(RunLibrary& library, const std::string& path);

struct ImportProgress {
    std::size_t done = 0;     // files finished
    std::size_t total = 0;    // files found
    std::string_view current; // the file being taken in now (empty when done == total)
};

struct ImportCallbacks {
    // Before each file and once at the end.
    std::function<void(const ImportProgress&)> onProgress;
    // After each file, with its outcome.
    std::function<void(const FileOutcome&)> onOutcome;
    // Asked before each file; true stops the import there (the files taken in so far stay).
    std::function<bool()> cancelRequested;
};

struct ImportSummary {
    std::vector<FileOutcome> outcomes; // in the order the files were taken
    std::size_t imported = 0;
    std::size_t skipped = 0;
    std::size_t refused = 0;
    bool cancelled = false;
};

// collectRunFiles, then importRunFile for each file. Throws LibraryError as importRunFile does (the
// summary of what was done before is then lost to the caller; the runs stored stay stored).
ImportSummary importPaths(RunLibrary& library, const std::vector<std::string>& paths,
                          const ImportCallbacks& callbacks = {});
// "N imported, N skipped, N refused" (", cancelled" when stopped).
std::string summaryText(const ImportSummary& summary);

} // namespace kestrana::history
