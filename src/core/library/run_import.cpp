// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Kestrana developers

#include "core/library/run_import.h"

#include "core/common/paths.h"
#include "core/common/text.h"
#include "core/defects/run_peaks.h"
#include "core/history/dates.h"
#include "core/runfile/block_table.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <new>
#include <sys/stat.h>
#include <unordered_set>

namespace kestrana::library {

namespace fs = std::filesystem;

namespace {

std::string reasonOf(const common::Error& error) {
    return error.line() > 0 ? "line " + std::to_string(error.line()) + ": " + error.what_text()
                            : error.what_text();
}

// Reads the file once: the bytes the blocks are taken from are the bytes hashed, so the hash always
// stands for the run stored under it, even when the file is replaced while it is read or is a pipe.
LoadedRun loadRun(const std::string& path) {
    Sha256Stream hash;
    defects::RunPeakReader peakReader(path);
    const runfile::BlockTable table = runfile::loadBlockTable(
        path, [&hash](std::string_view bytes) { hash.add(bytes); },
        [&peakReader](std::string_view text, long number, bool tooLong) {
            peakReader.line(text, number, tooLong);
        });
    if (table.runDirection != 1 && table.runDirection != -1) {
        throw common::Error("the first block's km to minus km from is " + std::to_string(table.runDirection) +
                                ", so the run is neither over rising (1) nor falling (-1) km",
                            path);
    }
    const std::string dateText = table.header.date();
    const auto day = history::dayOfRunDate(dateText);
    if (!day) {
        throw common::Error("the run date \"" + dateText + "\" is not a calendar date (DDMMYY)", path);
    }
    LoadedRun run;
    run.series = Series{std::string(common::trimBlanks(table.header.section())), table.runDirection};
    // The line is what the library files a run under; a run without one could be no line's history.
    if (run.series.line.empty()) {
        throw common::Error(table.header.sectionLine.empty()
                                ? "the run has no section line (\"91\"), so its line is not known"
                                : "the run's section line (\"91\") names no line",
                            path);
    }
    run.day = *day;
    run.dateText = dateText;
    run.runNumber = table.header.runNumber();
    // The library is read from other folders later; the file is kept by its absolute path.
    std::error_code pathError;
    const fs::path absolute = fs::absolute(path, pathError);
    run.file = pathError ? path : absolute.lexically_normal().string();
    run.contentHash = hash.finish();
    // Peak lines the extraction refuses cost the run its peaks, not its blocks.
    try {
        run.peaks = peakReader.finish();
    } catch (const common::Error& refusal) {
        run.peaksRefusal = reasonOf(refusal);
    }
    run.blocks.reserve(table.rows.size());
    std::unordered_set<std::uint32_t> seen;
    seen.reserve(table.rows.size());
    namespace field = runfile::field;
    for (const runfile::BlockResult& row : table.rows) {
        const BlockKey key{row.field(field::KmFrom), row.field(field::BlockNumber)};
        const auto packed = (static_cast<std::uint32_t>(static_cast<std::uint16_t>(key.km)) << 16) |
                            static_cast<std::uint16_t>(key.block);
        if (!seen.insert(packed).second) {
            continue;
        }
        run.blocks.push_back(
            StoredBlock{key,
                        {row.field(field::TGI), row.field(field::TGIU), row.field(field::TGIW),
                         row.field(field::TGIG), row.field(field::TGIL)}});
    }
    return run;
}

bool hasRunExtension(const fs::path& path) {
    const std::string extension = path.extension().string();
    return extension.size() == 4 && extension[0] == '.' &&
           std::tolower(static_cast<unsigned char>(extension[1])) == 'r' &&
           std::tolower(static_cast<unsigned char>(extension[2])) == 'u' &&
           std::tolower(static_cast<unsigned char>(extension[3])) == 'n';
}

std::string unreadableFolder(int errorNumber) {
    return "the folder cannot be read: " + common::fileProblemText(errorNumber);
}

// A path an import takes, with the reason it is refused when that is known before it is read.
struct FoundPath {
    std::string path;
    std::string refusal; // empty: to be read
};

// Why a "*.run" entry met in a folder search is not read; empty for a file to read. A search takes
// regular files (through links) only: reading a pipe there could wait for ever, a device never end.
std::string refusalOfEntry(const fs::directory_entry& entry) {
    std::error_code error;
    const fs::file_status status = entry.status(error);
    if (error) {
        return common::fileProblemText(error.value());
    }
    if (fs::is_regular_file(status)) {
        return {};
    }
    if (fs::is_directory(status)) {
        return "it is a link to a folder, which a folder search does not follow";
    }
    return "it is not a regular file; a folder search takes regular files only";
}

// Every "*.run" entry under `folder` at any depth (links to folders are not followed, so a search
// always ends), and every folder that could not be read, each once.
void searchFolder(const fs::path& folder, std::vector<FoundPath>& found) {
    std::error_code error;
    fs::directory_iterator entries(folder, error);
    for (; !error && entries != fs::directory_iterator(); entries.increment(error)) {
        const fs::directory_entry& entry = *entries;
        std::error_code typeError;
        if (fs::is_directory(entry.symlink_status(typeError))) {
            searchFolder(entry.path(), found);
        } else if (hasRunExtension(entry.path())) {
            found.push_back({entry.path().string(), refusalOfEntry(entry)});
        }
    }
    if (error) {
        found.push_back({folder.string(), unreadableFolder(error.value())});
    }
}

std::vector<FoundPath> findRunFiles(const std::vector<std::string>& paths) {
    std::vector<FoundPath> files;
    for (const std::string& path : paths) {
        std::error_code error;
        if (!fs::is_directory(path, error)) {
            files.push_back({path, {}});
            continue;
        }
        std::vector<FoundPath> found;
        searchFolder(path, found);
        std::sort(found.begin(), found.end(),
                  [](const FoundPath& a, const FoundPath& b) { return a.path < b.path; });
        files.insert(files.end(), found.begin(), found.end());
    }
    return files;
}

// The reason a file of a run already in the library is skipped.
std::string sameRunReason(const RunRecord& stored) {
    return "the same run as " + stored.file + " (" + stored.series.line + ", " +
           history::isoDate(stored.day) + ", run " + stored.runNumber + ") is already in the library";
}

} // namespace

LoadedRun loadRunForLibrary(const std::string& path) {
    return loadRun(path);
}

std::string outcomeLine(const FileOutcome& outcome) {
    const std::string path = common::escapeControlCharacters(outcome.path);
    switch (outcome.status) {
    case ImportStatus::Imported:
        return "imported " + path +
               (outcome.reason.empty() ? "" : ": " + common::escapeControlCharacters(outcome.reason));
    case ImportStatus::Updated:
        return "updated " + path + ": " + common::escapeControlCharacters(outcome.reason);
    case ImportStatus::Skipped:
        return "skipped " + path + ": " +
               common::escapeControlCharacters(outcome.reason.empty() ? kAlreadyThereReason : outcome.reason);
    case ImportStatus::Refused:
        break;
    }
    return "refused " + path + ": " + common::escapeControlCharacters(outcome.reason);
}

std::vector<std::string> collectRunFiles(const std::vector<std::string>& paths) {
    std::vector<std::string> files;
    for (FoundPath& found : findRunFiles(paths)) {
        files.push_back(std::move(found.path));
    }
    return files;
}

FileOutcome importRunFile(RunLibrary& library, const std::string& path) {
    FileOutcome outcome{path, ImportStatus::Refused, {}};
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) {
        outcome.reason = common::fileProblemText(errno);
        return outcome;
    }
    if (S_ISDIR(info.st_mode)) {
        std::error_code error;
        fs::directory_iterator probe(path, error);
        outcome.reason = error ? unreadableFolder(error.value()) : "it is a folder, not a run file";
        return outcome;
    }
    return storeRun(library, path, [&path] { return loadRun(path); });
}

FileOutcome storeRun(RunLibrary& library, const std::string& path, const std::function<LoadedRun()>& load) {
    FileOutcome outcome{path, ImportStatus::Refused, {}};
    // Whatever goes wrong with one run is that run's refusal, and the import goes on with the next;
    // only the library failing ends it, as it would fail for every run after.
    try {
        const LoadedRun run = load();
        const AddResult added = library.addRun(run);
        switch (added.outcome) {
        case AddOutcome::Added:
            outcome.status = ImportStatus::Imported;
            if (!run.peaks) {
                outcome.reason = "peaks left out: " + run.peaksRefusal;
            }
            break;
        case AddOutcome::PeaksAdded:
            outcome.status = ImportStatus::Updated;
            outcome.reason = "peaks added";
            break;
        case AddOutcome::AlreadyThere:
            outcome.status = ImportStatus::Skipped;
            outcome.reason = kAlreadyThereReason;
            break;
        case AddOutcome::SameRunThere:
            outcome.status = ImportStatus::Skipped;
            outcome.reason = sameRunReason(*added.sameRun);
            break;
        }
    } catch (const LibraryError&) {
        throw;
    } catch (const common::Error& refusal) {
        outcome.reason = reasonOf(refusal);
    } catch (const std::bad_alloc&) {
        outcome.reason = "there was not enough memory to read it";
    } catch (const std::exception& failure) {
        outcome.reason = failure.what();
    }
    return outcome;
}

void record(ImportSummary& summary, FileOutcome outcome) {
    switch (outcome.status) {
    case ImportStatus::Imported:
        ++summary.imported;
        break;
    case ImportStatus::Updated:
        ++summary.updated;
        break;
    case ImportStatus::Skipped:
        ++summary.skipped;
        break;
    case ImportStatus::Refused:
        ++summary.refused;
        break;
    }
    summary.outcomes.push_back(std::move(outcome));
}

ImportSummary importPaths(RunLibrary& library, const std::vector<std::string>& paths,
                          const ImportCallbacks& callbacks) {
    const std::vector<FoundPath> files = findRunFiles(paths);
    ImportSummary summary;
    for (std::size_t i = 0; i < files.size(); ++i) {
        if (callbacks.cancelRequested && callbacks.cancelRequested()) {
            summary.cancelled = true;
            break;
        }
        if (callbacks.onProgress) {
            callbacks.onProgress(ImportProgress{i, files.size(), files[i].path});
        }
        FileOutcome outcome = files[i].refusal.empty()
                                  ? importRunFile(library, files[i].path)
                                  : FileOutcome{files[i].path, ImportStatus::Refused, files[i].refusal};
        if (callbacks.onOutcome) {
            callbacks.onOutcome(outcome);
        }
        record(summary, std::move(outcome));
    }
    if (callbacks.onProgress) {
        callbacks.onProgress(ImportProgress{summary.outcomes.size(), files.size(), {}});
    }
    return summary;
}

std::string summaryText(const ImportSummary& summary) {
    return std::to_string(summary.imported) + " imported, " +
           (summary.updated > 0 ? std::to_string(summary.updated) + " updated, " : std::string()) +
           std::to_string(summary.skipped) + " skipped, " + std::to_string(summary.refused) + " refused" +
           (summary.cancelled ? ", cancelled" : "");
}

} // namespace kestrana::library
