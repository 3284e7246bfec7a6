// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Kestrana developers

#pragma once
// What the track-history commands share: the library named by --library (or the default one), the
// series named by --line and --direction, and the typed settings. Each failure becomes a refusal with
// its message first, or a UsageError for an option that is missing or not of its form.

#include "command.h"
#include "core/history/history_settings.h"
#include "core/library/open_run_library.h"
#include "core/library/sqlite_run_library.h"

#include <filesystem>
#include <memory>
#include <string>

namespace kestrana::cli::history_steps {

// The --library option every history command takes.
inline const OptionInfo kLibraryOption{
    "library", true, "LIB",
    "The run library to use instead of library.sqlite in the home folder: a file, or a PostgreSQL "
    "library by libpq URI (postgresql://[user@]host[:port]/dbname) or service=NAME; a password comes from "
    "libpq's password file, service file or environment, never from LIB."};
inline const OptionInfo kLineOption{
    "line", true, "TEXT",
    "The line: the run's section as the analyser shows it, without surrounding "
    "blanks (required)."};
inline const OptionInfo kDirectionOption{
    "direction", true, "D",
    "The run direction: 1 for rising km, -1 for falling km (required; write "
    "--direction=-1)."};
inline const OptionInfo kIndexOption{"index",
                                     true,
                                     "NAME",
                                     "The index followed: TGI, TGIU, TGIW, TGIG or TGIL (default TGI).",
                                     {"TGI", "TGIU", "TGIW", "TGIG", "TGIL"}};
inline const OptionInfo kJumpOption{
    "jump", true, "J",
    "A rise of at least J points between two runs means maintenance and starts a "
    "new segment (default 15)."};

inline std::string libraryPathOf(const Arguments& args) {
    return args.valueOr("library", library::defaultLibraryPath());
}

// Opens the library; an import may create it (and, for the default library, the home folder).
inline std::unique_ptr<library::RunLibrary> openLibrary(const Arguments& args,
                                                        library::LibraryAccess access) {
    const std::string path = libraryPathOf(args);
    try {
        if (access == library::LibraryAccess::CreateIfMissing && !args.has("library")) {
            std::error_code ignored;
            std::filesystem::create_directories(std::filesystem::path(path).parent_path(), ignored);
        }
        return library::openRunLibrary(path, access);
    } catch (const common::Error& error) {
        throw common::Error::refused(error.reason());
    }
}

// A typed setting: its refusal message as the command's message.
template <typename Parse>
auto typedSetting(const Arguments& args, const std::string& name, const std::string& fallback, Parse parse) {
    try {
        return parse(args.valueOr(name, fallback));
    } catch (const history::SettingRefused& refusal) {
        throw common::Error::refused(refusal.what(),
                                     "option --" + name + " \"" + args.valueOr(name, fallback) + "\"");
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
inline history::Series seriesOf(const Arguments& args, const library::RunLibrary& library) {
    history::Series series;
    series.line = requiredValue(args, "line");
    try {
        series.direction = history::directionFromText(requiredValue(args, "direction"));
    } catch (const history::SettingRefused& refusal) {
        throw UsageError(refusal.what());
    }
    if (library.runsOf(series).empty()) {
        throw common::Error::refused("No run of line \"" + series.line + "\" in direction " +
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
