// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Kestrana developers

#pragma once
// Taking run files into the library: files as given, folders searched recursively for "*.run" in any
// case. Each file is loaded exactly as the analyser loads it (same reader, same refusals), then read
// as a run of the library: its line, direction and date. A file is read once, its hash taken from the
// same bytes as its blocks, in the memory the reader needs however large it is. Every path given or met
// in a search gets one outcome (a folder that cannot be read included); a refused file, for whatever
// reason, does not stop the others.

#include "core/library/run_library.h"

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace kestrana::library {

// Loads one run file for the library. Throws common::Error whose what_text() is the reason
// (with the run-file line where one applies): the analyser's refusals, a direction that is neither
// rising nor falling, a date that is not a calendar date (the reason names the date text), no line
// name (no section line, or a blank one).
LoadedRun loadRunForLibrary(const std::string& path);

// Updated: a run stored before the library kept peaks, given its peaks by the same bytes again.
enum class ImportStatus { Imported, Skipped, Refused, Updated };

// The reason a run whose bytes are in the library already is skipped.
inline constexpr std::string_view kAlreadyThereReason = "already in the library";

struct FileOutcome {
    std::string path;
    ImportStatus status = ImportStatus::Refused;
    // For Refused: what was wrong, e.g. "line 12: token \"4x\" is not a whole number". For Skipped:
    // "already in the library" (the same bytes), or "the same run as FILE (LINE, DATE, run N) is already
    // in the library" (another file of the same series, date and run number; DATE as YYYY-MM-DD). For
    // Imported: empty, or "peaks left out: REASON" when the peak extraction refused the run's peak lines
    // (its blocks are stored all the same). For Updated: "peaks added".
    std::string reason;
    bool operator==(const FileOutcome&) const = default;
};
// "imported PATH", "imported PATH: peaks left out: REASON", "updated PATH: peaks added", "skipped PATH:
// REASON", "refused PATH: REASON", with every control character of
// the path and the reason escaped (common::escapeControlCharacters), so each outcome is one line.
std::string outcomeLine(const FileOutcome& outcome);

// The paths an import of `paths` takes, in the order it takes them: a file as given (whatever its
// name), a folder's "*.run" entries (any case) at any depth and the folders that cannot be read, sorted
// by path. A path that is neither is kept as it is, so that the import reports it refused.
std::vector<std::string> collectRunFiles(const std::vector<std::string>& paths);

// Imports one file: Imported, Skipped (the run is already there) or Refused (with the reason: the
// file's own fault, one that cannot be read, a folder, or memory running out while it was read). A
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
    std::size_t updated = 0;
    std::size_t skipped = 0;
    std::size_t refused = 0;
    bool cancelled = false;
};

// Stores the run `load` gives, the outcome named by `path`: Imported, Skipped (the run is already there)
// or Refused (what `load` or the library refuses as the run's own fault, or memory running out). A
// library that fails while storing throws LibraryError, as importRunFile does.
FileOutcome storeRun(RunLibrary& library, const std::string& path, const std::function<LoadedRun()>& load);
// Counts an outcome into the summary and keeps it.
void record(ImportSummary& summary, FileOutcome outcome);

// collectRunFiles, then importRunFile for each file. Throws LibraryError as importRunFile does (the
// summary of what was done before is then lost to the caller; the runs stored stay stored).
ImportSummary importPaths(RunLibrary& library, const std::vector<std::string>& paths,
                          const ImportCallbacks& callbacks = {});
// "N imported, N skipped, N refused" ("N imported, N updated, ..." when runs were given their peaks;
// ", cancelled" when stopped).
std::string summaryText(const ImportSummary& summary);

} // namespace kestrana::library
