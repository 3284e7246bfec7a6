// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Kestrana developers

#include "gui/app/first_start.h"

#include "core/common/errors.h"
#include "core/common/paths.h"
#include "core/library/sample_library.h"
#include "core/library/sqlite_run_library.h"

#include <QFile>
#include <QString>

#include <array>
#include <filesystem>
#include <optional>
#include <system_error>
#include <vector>

// The samples are compiled into this static library; their resource must be registered by hand.
static void registerSampleResource() {
    Q_INIT_RESOURCE(samples);
}

namespace kestrana::gui::app {

namespace {

namespace fs = std::filesystem;
using kestrana::common::joinPath;

// Where each bundled sample goes under the home folder; the sample keeps its file name.
constexpr std::array<const char*, 6> kSamplePlaces = {"TRCDATA/trcdata.run",  "TRCDATA/trcdata0.run",
                                                      "TRCDATA/trcdata1.run", "TRCDATA/trcdata2.run",
                                                      "TRCDATA/trcdata3.run", "bbb/shtd0201.run"};
// The track history sample: a dozen runs of one line and six of a line with isolated defects, and the
// library made from them beside them.
constexpr int kHistorySampleRuns = 12;
constexpr int kDefectSampleRuns = 6;

std::vector<std::string> historySamplePlaces() {
    std::vector<std::string> places;
    for (int i = 1; i <= kHistorySampleRuns; ++i) {
        places.push_back(std::string(kestrana::library::kSampleFolderName) + "/history" +
                         (i < 10 ? "0" : "") + std::to_string(i) + ".run");
    }
    for (int i = 1; i <= kDefectSampleRuns; ++i) {
        places.push_back(std::string(kestrana::library::kSampleFolderName) + "/defects0" + std::to_string(i) +
                         ".run");
    }
    return places;
}

std::optional<std::string> readSample(const std::string& name) {
    QFile bundled(QStringLiteral(":/samples/") + QString::fromStdString(name));
    if (!bundled.open(QIODevice::ReadOnly))
        return std::nullopt;
    return bundled.readAll().toStdString();
}

void noteError(FirstStartResult& result, const std::string& what) {
    if (result.error.empty())
        result.error = what;
}

// The sample library from the history runs, in their folder, unless a library is there already.
void installHistorySample(const std::string& home, const std::vector<std::string>& historyPlaces,
                          FirstStartResult& result) {
    const std::string library = kestrana::library::sampleLibraryPath(home);
    std::vector<std::string> runs;
    for (const std::string& place : historyPlaces) {
        runs.push_back(joinPath(home, place));
    }
    try {
        if (kestrana::library::installSampleLibrary(library, runs) ==
            kestrana::library::SampleLibraryOutcome::Created) {
            result.copied.push_back(library);
        } else {
            result.kept.push_back(library);
        }
    } catch (const kestrana::common::Error& error) {
        noteError(result, error.reason());
    }
}

} // namespace

FirstStartResult prepareHomeFolder(const std::string& home) {
    registerSampleResource();
    FirstStartResult result;
    std::error_code failure;
    fs::create_directories(home, failure);
    if (failure) {
        result.error = "cannot create the folder " + home + ": " + failure.message();
        return result;
    }
    // The sample library is made only with the samples' folder itself: one the user has already had
    // keeps what the user left in it, a deleted sample library included.
    const bool historyFolderExisted =
        fs::exists(fs::symlink_status(joinPath(home, kestrana::library::kSampleFolderName), failure));
    std::vector<std::string> places(kSamplePlaces.begin(), kSamplePlaces.end());
    const std::vector<std::string> historyPlaces = historySamplePlaces();
    places.insert(places.end(), historyPlaces.begin(), historyPlaces.end());
    for (const std::string& place : places) {
        const std::string target = joinPath(home, place);
        const std::string sample = fs::path(place).filename().string();
        // Whatever stands there is the user's, a link to a run on a drive not mounted now included.
        if (fs::exists(fs::symlink_status(target, failure))) {
            result.kept.push_back(target);
            continue;
        }
        fs::create_directories(fs::path(target).parent_path(), failure);
        if (failure) {
            noteError(result, "cannot create the folder of " + target + ": " + failure.message());
            continue;
        }
        const std::optional<std::string> content = readSample(sample);
        if (!content) {
            noteError(result, "the sample run " + sample + " is missing from this program");
            continue;
        }
        try {
            kestrana::common::writeFileAtomically(target, *content);
            result.copied.push_back(target);
        } catch (const kestrana::common::Error& error) {
            noteError(result, error.reason());
        }
    }
    if (!historyFolderExisted) {
        installHistorySample(home, historyPlaces, result);
    }
    return result;
}

FirstStartResult prepareHomeFolder() {
    return prepareHomeFolder(kestrana::common::homeFolder());
}

} // namespace kestrana::gui::app
