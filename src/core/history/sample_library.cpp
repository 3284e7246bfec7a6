#include "core/history/sample_library.h"

#include "core/history/run_import.h"
#include "core/history/sqlite_run_library.h"

#include <unistd.h>

#include <filesystem>

namespace kestrana::history {

namespace fs = std::filesystem;

namespace {
bool somethingStandsAt(const std::string& path) {
    std::error_code ignored;
    return fs::exists(fs::symlink_status(path, ignored));
}

// Removes the library being built (and its journal) unless it was moved into place.
class BuildingFile {
public:
    explicit BuildingFile(std::string path) : path_(std::move(path)) {}
    ~BuildingFile() {
        std::error_code ignored;
        fs::remove(path_, ignored);
        fs::remove(path_ + "-journal", ignored);
    }
    BuildingFile(const BuildingFile&) = delete;
    BuildingFile& operator=(const BuildingFile&) = delete;
    const std::string& path() const { return path_; }

private:
    std::string path_;
};
} // namespace

SampleLibraryOutcome installSampleLibrary(const std::string& libraryPath,
                                          const std::vector<std::string>& runFiles) {
    if (somethingStandsAt(libraryPath)) {
        return SampleLibraryOutcome::AlreadyThere;
    }
    BuildingFile building(libraryPath + ".building-" + std::to_string(::getpid()));
    {
        std::error_code ignored;
        fs::remove(building.path(), ignored);
        const auto library = openSqliteLibrary(building.path(), LibraryAccess::CreateIfMissing);
        for (const std::string& file : runFiles) {
            const FileOutcome outcome = importRunFile(*library, file);
            if (outcome.status == ImportStatus::Refused) {
                throw platform::Error("the sample run was refused: " + outcome.reason, file);
            }
        }
    }
    // A hard link puts the finished file in place only if the name is still free (unlike a rename,
    // which would replace a library made meanwhile).
    if (::link(building.path().c_str(), libraryPath.c_str()) != 0) {
        if (somethingStandsAt(libraryPath)) {
            return SampleLibraryOutcome::AlreadyThere;
        }
        throw platform::Error("cannot put the sample library in place", libraryPath);
    }
    return SampleLibraryOutcome::Created;
}

} // namespace kestrana::history
