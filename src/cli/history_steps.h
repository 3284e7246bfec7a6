#pragma once
// What the track-history commands share: the library named by --library (or the default one), the
// series named by --line and --direction, and the typed settings. Each failure becomes a Refusal with
// its message first, or a UsageError for an option that is missing or not of its form.

#include "command.h"
#include "core/history/history_settings.h"
#include "core/history/sqlite_run_library.h"

#include <filesystem>
#include <memory>
#include <string>

namespace kestrana::cli::history_steps {

// The --library option every history command takes.
inline const OptionInfo kLibraryOption{"library"};

inline std::string libraryPathOf(const Arguments& args) {
    return args.valueOr("library", history::defaultLibraryPath());
}

// Opens the library; an import may create it (and, for the default library, the home folder).
inline std::unique_ptr<history::RunLibrary> openLibrary(const Arguments& args,
                                                        history::LibraryAccess access) {
    const std::string path = libraryPathOf(args);
    try {
        if (access == history::LibraryAccess::CreateIfMissing && !args.has("library")) {
            std::error_code ignored;
            std::filesystem::create_directories(std::filesystem::path(path).parent_path(), ignored);
        }
        return history::openSqliteLibrary(path, access);
    } catch (const platform::KestranaError& error) {
        throw Refusal(error.reason());
    }
}

// A typed setting: its refusal message as the command's message.
template <typename Parse>
auto typedSetting(const Arguments& args, const std::string& name, const std::string& fallback, Parse parse) {
    try {
        return parse(args.valueOr(name, fallback));
    } catch (const history::SettingRefused& refusal) {
        throw Refusal(refusal.what(), "option --" + name + " \"" + args.valueOr(name, fallback) + "\"");
    }
}

inline std::string requiredValue(const Arguments& args, const std::string& name) {
    const auto value = args.value(name);
    if (!value) {
        throw UsageError("option --" + name + " is required");
    }
    return *value;
}

// --line and --direction; a series with no run in the library is refused.
inline history::Series seriesOf(const Arguments& args, const history::RunLibrary& library) {
    history::Series series;
    series.line = requiredValue(args, "line");
    try {
        series.direction = history::directionFromText(requiredValue(args, "direction"));
    } catch (const history::SettingRefused& refusal) {
        throw UsageError(refusal.what());
    }
    if (library.runsOf(series).empty()) {
        throw Refusal("No run of line \"" + series.line + "\" in direction " +
                      std::to_string(series.direction) + " is in the library.");
    }
    return series;
}

// --index, --below and --jump with their defaults.
inline history::HistorySettings settingsOf(const Arguments& args) {
    history::HistorySettings settings;
    settings.index = typedSetting(args, "index", "TGI", history::indexFromText);
    settings.threshold =
        typedSetting(args, "below", std::to_string(history::kDefaultThreshold), history::thresholdFromText);
    settings.jump = typedSetting(args, "jump", std::to_string(history::kDefaultJump), history::jumpFromText);
    return settings;
}

} // namespace kestrana::cli::history_steps
