#include "core/history/sample_library.h"

#include "core/history/run_import.h"
#include "core/history/sqlite_run_library.h"

#include <filesystem>

namespace kestrana::history {

SampleLibraryOutcome installSampleLibrary(const std::string& libraryPath,
                                          const std::vector<std::string>& runFiles) {
    std::error_code ignored;
    if (std::filesystem::exists(std::filesystem::symlink_status(libraryPath, ignored))) {
        return SampleLibraryOutcome::AlreadyThere;
    }
    const bool made = buildLibraryInPlace(libraryPath, [&runFiles](RunLibrary& library) {
        for (const std::string& file : runFiles) {
            const FileOutcome outcome = importRunFile(library, file);
            if (outcome.status == ImportStatus::Refused) {
                throw platform::Error("the sample run was refused: " + outcome.reason, file);
            }
        }
    });
    return made ? SampleLibraryOutcome::Created : SampleLibraryOutcome::AlreadyThere;
}

} // namespace kestrana::history
