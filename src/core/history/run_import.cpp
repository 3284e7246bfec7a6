#include "core/history/run_import.h"

#include "core/history/dates.h"
#include "core/platform/paths.h"
#include "core/platform/text.h"
#include "core/runfile/block_table.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <unordered_set>

namespace kestrana::history {

namespace fs = std::filesystem;

namespace {

std::string reasonOf(const platform::Error& error) {
    return error.line() > 0 ? "line " + std::to_string(error.line()) + ": " + error.what_text()
                            : error.what_text();
}

LoadedRun loadRun(const std::string& path, const Sha256Digest& contentHash) {
    const runfile::BlockTable table = runfile::loadBlockTable(path);
    if (table.runDirection != 1 && table.runDirection != -1) {
        throw platform::Error("the first block's km to minus km from is " +
                                  std::to_string(table.runDirection) +
                                  ", so the run is neither over rising (1) nor falling (-1) km",
                              path);
    }
    const std::string dateText = table.header.date();
    const auto day = dayOfRunDate(dateText);
    if (!day) {
        throw platform::Error("the run date \"" + dateText + "\" is not a calendar date (DDMMYY)", path);
    }
    LoadedRun run;
    run.series = Series{std::string(platform::trimBlanks(table.header.section())), table.runDirection};
    run.day = *day;
    run.dateText = dateText;
    run.runNumber = table.header.runNumber();
    // The library is read from other folders later; the file is kept by its absolute path.
    std::error_code pathError;
    const fs::path absolute = fs::absolute(path, pathError);
    run.file = pathError ? path : absolute.lexically_normal().string();
    run.contentHash = contentHash;
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

} // namespace

LoadedRun loadRunForLibrary(const std::string& path) {
    return loadRun(path, sha256(platform::readWholeFile(path)));
}

std::string outcomeLine(const FileOutcome& outcome) {
    switch (outcome.status) {
    case ImportStatus::Imported:
        return "imported " + outcome.path;
    case ImportStatus::Skipped:
        return "skipped " + outcome.path + ": already in the library";
    case ImportStatus::Refused:
        break;
    }
    return "refused " + outcome.path + ": " + outcome.reason;
}

std::vector<std::string> collectRunFiles(const std::vector<std::string>& paths) {
    std::vector<std::string> files;
    for (const std::string& path : paths) {
        std::error_code error;
        if (!fs::is_directory(path, error)) {
            files.push_back(path);
            continue;
        }
        std::vector<std::string> found;
        fs::recursive_directory_iterator walk(path, fs::directory_options::skip_permission_denied, error);
        for (; !error && walk != fs::recursive_directory_iterator(); walk.increment(error)) {
            std::error_code typeError;
            if (hasRunExtension(walk->path()) && walk->is_regular_file(typeError)) {
                found.push_back(walk->path().string());
            }
        }
        if (error) {
            // A folder that cannot be read is reported as refused, with what could be read before.
            found.push_back(path);
        }
        std::sort(found.begin(), found.end());
        files.insert(files.end(), found.begin(), found.end());
    }
    return files;
}

FileOutcome importRunFile(RunLibrary& library, const std::string& path) {
    FileOutcome outcome{path, ImportStatus::Refused, {}};
    std::error_code error;
    const fs::file_status status = fs::status(path, error);
    if (!fs::exists(status)) {
        outcome.reason = "no such file or folder";
        return outcome;
    }
    if (fs::is_directory(status)) {
        outcome.reason = "the folder cannot be read";
        return outcome;
    }
    LoadedRun run;
    try {
        const Sha256Digest contentHash = sha256(platform::readWholeFile(path));
        if (library.containsContent(contentHash)) {
            outcome.status = ImportStatus::Skipped;
            return outcome;
        }
        run = loadRun(path, contentHash);
    } catch (const LibraryError&) {
        throw;
    } catch (const platform::Error& refusal) {
        outcome.reason = reasonOf(refusal);
        return outcome;
    }
    outcome.status =
        library.addRun(run) == AddOutcome::Added ? ImportStatus::Imported : ImportStatus::Skipped;
    return outcome;
}

ImportSummary importPaths(RunLibrary& library, const std::vector<std::string>& paths,
                          const ImportCallbacks& callbacks) {
    const std::vector<std::string> files = collectRunFiles(paths);
    ImportSummary summary;
    for (std::size_t i = 0; i < files.size(); ++i) {
        if (callbacks.cancelRequested && callbacks.cancelRequested()) {
            summary.cancelled = true;
            break;
        }
        if (callbacks.onProgress) {
            callbacks.onProgress(ImportProgress{i, files.size(), files[i]});
        }
        FileOutcome outcome = importRunFile(library, files[i]);
        switch (outcome.status) {
        case ImportStatus::Imported:
            ++summary.imported;
            break;
        case ImportStatus::Skipped:
            ++summary.skipped;
            break;
        case ImportStatus::Refused:
            ++summary.refused;
            break;
        }
        if (callbacks.onOutcome) {
            callbacks.onOutcome(outcome);
        }
        summary.outcomes.push_back(std::move(outcome));
    }
    if (callbacks.onProgress) {
        callbacks.onProgress(ImportProgress{summary.outcomes.size(), files.size(), {}});
    }
    return summary;
}

std::string summaryText(const ImportSummary& summary) {
    return std::to_string(summary.imported) + " imported, " + std::to_string(summary.skipped) + " skipped, " +
           std::to_string(summary.refused) + " refused" + (summary.cancelled ? ", cancelled" : "");
}

} // namespace kestrana::history
