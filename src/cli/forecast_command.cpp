// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Kestrana developers

#include "command.h"
#include "core/history/forecast_list.h"
#include "core/history/history_csv.h"
#include "history_steps.h"

#include <ostream>

namespace kestrana::cli {
namespace {

// The forecast of every block of a km range, as CSV in the list's order.
int runForecast(const Arguments& args, Context& context) {
    const history::HistorySettings settings = history_steps::settingsOf(args);
    // A missing bound is the end of the 16-bit km scale: --from alone takes every km from there on.
    const std::int16_t from = history_steps::typedSetting(args, "from", "-32768", history::kmFromText);
    const std::int16_t to = history_steps::typedSetting(args, "to", "32767", history::kmFromText);
    const auto library = history_steps::openLibrary(args, library::LibraryAccess::OpenExisting);
    const history::Series series = history_steps::seriesOf(args, *library);
    try {
        const auto rows =
            history::forecastRows(*library, series, history::kmRangeBetween(from, to), settings);
        context.out << history::forecastCsv(rows);
    } catch (const common::Error& error) {
        throw common::Error::refused(error.reason());
    }
    return 0;
}

} // namespace

Command makeForecastCommand() {
    return {.name = "forecast",
            .synopsis =
                "forecast --line TEXT --direction D [--from KM] [--to KM] [--index NAME] [--below X] [--jump "
                "J] "
                "[--library LIB]",
            .summary = "Prints the trend and forecast of every block of a km range.",
            .description =
                "Prints one CSV row per block of the range recorded at least once: the points since the last "
                "maintenance, the latest date and value, the rate per year of the fitted line, the date it "
                "crosses the threshold and the status (below, crossing, stable, too few runs), sorted by "
                "status, crossing date, km in the run direction and block.",
            .options = {history_steps::kLineOption,
                        history_steps::kDirectionOption,
                        {"from", true, "KM", "The first km of the range, inclusive (default: every km)."},
                        {"to", true, "KM", "The last km of the range, inclusive (default: every km)."},
                        history_steps::kIndexOption,
                        {"below", true, "X", "The threshold the forecast looks for (default 36)."},
                        history_steps::kJumpOption,
                        history_steps::kLibraryOption},
            .minFiles = 0,
            .maxFiles = 0,
            .run = runForecast};
}

} // namespace kestrana::cli
