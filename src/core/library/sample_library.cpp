// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Kestrana developers

#include "core/library/sample_library.h"

#include "core/library/run_import.h"
#include "core/library/sqlite_run_library.h"

#include <filesystem>

namespace kestrana::library {

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
                throw common::Error("the sample run was refused: " + outcome.reason, file);
            }
        }
    });
    return made ? SampleLibraryOutcome::Created : SampleLibraryOutcome::AlreadyThere;
}

} // namespace kestrana::library
