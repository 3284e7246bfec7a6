// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Kestrana developers

#include "command.h"
#include "core/history/block_history.h"
#include "core/history/history_csv.h"
#include "history_steps.h"

#include <ostream>

namespace kestrana::cli {
namespace {

// A whole number typed for --km or --block, as the block command reads them.
std::int16_t keyOption(const Arguments& args, const std::string& name) {
    const std::string text = history_steps::requiredValue(args, name);
    try {
        return name == "km" ? history::kmFromText(text) : history::blockFromText(text);
    } catch (const history::SettingRefused& refusal) {
        throw UsageError(refusal.what());
    }
}

// The history of one block: date,run,value,segment for every run where it is recorded.
int runHistory(const Arguments& args, Context& context) {
    const history::BlockKey block{keyOption(args, "km"), keyOption(args, "block")};
    const history::HistorySettings settings = history_steps::settingsOf(args);
    const auto library = history_steps::openLibrary(args, library::LibraryAccess::OpenExisting);
    const history::Series series = history_steps::seriesOf(args, *library);
    try {
        context.out << history::historyCsv(history::blockHistory(*library, series, block, settings));
    } catch (const common::Error& error) {
        throw common::Error::refused(error.reason());
    }
    return 0;
}

} // namespace

Command makeHistoryCommand() {
    return {.name = "history",
            .synopsis =
                "history --line TEXT --direction D --km K --block B [--index NAME] [--jump J] [--library "
                "LIB]",
            .summary = "Prints the values of one block in every run of the library.",
            .description =
                "Prints the block's value in every run of the line and direction that recorded it, in date "
                "and run order, as CSV: date, run, value and segment (segments numbered from 1, a new one "
                "after each maintenance).",
            .options = {history_steps::kLineOption,
                        history_steps::kDirectionOption,
                        {"km", true, "K", "The km from of the block (required)."},
                        {"block", true, "B", "The number of the block within its km (required)."},
                        history_steps::kIndexOption,
                        history_steps::kJumpOption,
                        history_steps::kLibraryOption},
            .minFiles = 0,
            .maxFiles = 0,
            .run = runHistory};
}

} // namespace kestrana::cli
