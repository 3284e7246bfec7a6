// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Kestrana developers

#include "command.h"
#include "core/defects/defect_lists.h"
#include "core/defects/defect_settings.h"
#include "core/defects/library_defects.h"
#include "history_steps.h"

#include <ostream>
#ifdef __GLIBC__
#include <malloc.h> // malloc_trim
#endif

namespace kestrana::cli {
namespace {

// A typed value of defect tracking refused: its message and what was typed, exit 2, as for any value
// the command cannot take.
class SettingRefusedExit : public std::exception {
public:
    explicit SettingRefusedExit(common::Error error) : error_(std::move(error)) {}
    const common::Error& error() const { return error_; }
    const char* what() const noexcept override { return error_.what(); }

private:
    common::Error error_;
};

template <typename Parse> auto defectSetting(Parse parse) {
    try {
        return parse();
    } catch (const common::Error& refusal) {
        throw SettingRefusedExit(refusal);
    }
}

// --limit NAME=VALUE (each given) and --tolerance.
defects::TrackingSettings trackingSettingsOf(const Arguments& args) {
    defects::TrackingSettings settings;
    for (const std::string& text : args.valuesOf("limit")) {
        const defects::LimitSetting limit = defectSetting([&] { return defects::limitFromText(text); });
        settings.limits.set(limit.code, limit.limit);
    }
    if (const auto tolerance = args.value("tolerance")) {
        settings.tolerance = defectSetting([&] { return defects::toleranceFromText(*tolerance); });
    }
    return settings;
}

// Runs a defects command: a refused setting is its message and the typed text on standard error, exit 2.
int withSettingsRefusedAsUsage(const Arguments& args, Context& context,
                               int (*run)(const Arguments&, Context&)) {
    try {
        return run(args, context);
    } catch (const SettingRefusedExit& refused) {
        context.err << refused.error().what() << "\n";
        if (!refused.error().message().empty() && !refused.error().reason().empty()) {
            context.err << refused.error().reason() << "\n";
        }
        return 2;
    }
}

int listDefects(const Arguments& args, Context& context) {
    const defects::TrackingSettings settings = trackingSettingsOf(args);
    defects::DefectFilter filter;
    for (const std::string& name : args.valuesOf("param")) {
        filter.codes.push_back(defectSetting([&] { return defects::parameterFromText(name); }));
    }
    if (const auto statuses = args.value("status")) {
        filter.statuses = defectSetting([&] { return defects::statusesFromText(*statuses); });
    }
    if (const auto tgi = args.value("tgi-at-least")) {
        filter.tgiAtLeast = defectSetting([&] { return defects::tgiAtLeastFromText(*tgi); });
    }
    if (args.has("from") || args.has("to")) {
        // A missing bound is the end of the 16-bit km scale: --from alone takes every km from there on.
        const std::int16_t from = history_steps::typedSetting(args, "from", "-32768", history::kmFromText);
        const std::int16_t to = history_steps::typedSetting(args, "to", "32767", history::kmFromText);
        filter.kms = history::kmRangeBetween(from, to);
    }
    const auto library = history_steps::openLibrary(args, library::LibraryAccess::OpenExisting);
    const history::Series series = history_steps::seriesOf(args, *library);
    try {
        const defects::TrackedDefects tracked =
            defects::trackLibraryDefects(*library, series, settings, filter.kms, filter.codes);
#ifdef __GLIBC__
        // What only the matching needed is freed by now but scattered through the heap: its pages are
        // given back before the list is made, so that the two never count together (a whole line's
        // matching leaves some 60 MB so).
        malloc_trim(0);
#endif
        defects::writeDefectsCsv(context.out, tracked, defects::listDefects(tracked, filter));
    } catch (const common::Error& error) {
        throw common::Error::refused(error.reason());
    }
    return 0;
}

int showDefect(const Arguments& args, Context& context) {
    const defects::TrackingSettings settings = trackingSettingsOf(args);
    const std::int16_t code = defectSetting(
        [&] { return defects::parameterFromText(history_steps::requiredValue(args, "param")); });
    const std::int16_t km = history_steps::typedSetting(args, "km", history_steps::requiredValue(args, "km"),
                                                        history::kmFromText);
    const std::int16_t location = history_steps::typedSetting(
        args, "location", history_steps::requiredValue(args, "location"), history::kmFromText);
    const auto library = history_steps::openLibrary(args, library::LibraryAccess::OpenExisting);
    const history::Series series = history_steps::seriesOf(args, *library);
    const std::int16_t only[] = {code};
    try {
        const defects::TrackedDefects tracked =
            defects::trackLibraryDefects(*library, series, settings, history::KmRange{km, km}, only);
        context.out << defects::defectCsvAt(tracked, code, km, location);
    } catch (const library::LibraryError& error) {
        throw common::Error::refused(error.reason());
    }
    return 0;
}

const OptionInfo kLimitOption{"limit", true, "NAME=VALUE",
                              "The limit of a parameter, replacing its default (may be given for several "
                              "parameters; VACC and LACC are tracked only when given one)."};
const OptionInfo kToleranceOption{"tolerance", true, "M",
                                  "How far, in whole metres, a defect's exceedance may lie from its latest "
                                  "one in the run before (default 10)."};

} // namespace

Command makeDefectsCommand() {
    return {
        .name = "defects",
        .synopsis = "defects --line TEXT --direction D [--from KM] [--to KM] [--param NAME]... [--limit "
                    "NAME=VALUE]... [--tolerance M] [--status S[,S...]] [--tgi-at-least X] [--library LIB]",
        .summary = "Prints the isolated defects of a line followed from run to run.",
        .description =
            "Matches the exceedances of every run of the line and direction into defects and prints one CSV "
            "row per defect: its parameter, the km and location of its latest exceedance, its status "
            "(repeat, new, recurring, gone), the dates of its first and latest exceedance, how many there "
            "are, the latest and largest value, the growth per year, its block and the block's TGI. Rows "
            "are sorted by status, then by how far the latest value is over its limit, then along the run "
            "direction. The options choose which rows are printed; matching always takes the whole line.",
        .options = {history_steps::kLineOption,
                    history_steps::kDirectionOption,
                    {"from", true, "KM", "The first km of the rows printed, inclusive (default: every km)."},
                    {"to", true, "KM", "The last km of the rows printed, inclusive (default: every km)."},
                    {"param", true, "NAME",
                     "Only the defects of this parameter (may be given several times; default: all)."},
                    kLimitOption,
                    kToleranceOption,
                    {"status", true, "S[,S...]",
                     "Only the defects of these statuses: repeat, new, recurring, gone (default: all)."},
                    {"tgi-at-least", true, "X",
                     "Only the defects in blocks whose TGI is at least X: defects in good track."},
                    history_steps::kLibraryOption},
        .minFiles = 0,
        .maxFiles = 0,
        .run = [](const Arguments& args, Context& context) {
            return withSettingsRefusedAsUsage(args, context, listDefects);
        }};
}

Command makeDefectCommand() {
    return {.name = "defect",
            .synopsis =
                "defect --line TEXT --direction D --param NAME --km K --location L [--limit NAME=VALUE]... "
                "[--tolerance M] [--library LIB]",
            .summary = "Prints the history of one isolated defect.",
            .description =
                "Prints one CSV row per exceedance of the defect of the parameter whose latest exceedance "
                "is at the km and location given (the one that started first, if several), in run "
                "order: the run's date and number, the km, the location and the value.",
            .options = {history_steps::kLineOption,
                        history_steps::kDirectionOption,
                        {"param", true, "NAME", "The defect's parameter (required)."},
                        {"km", true, "K", "The km from of the defect's latest exceedance (required)."},
                        {"location", true, "L",
                         "The location of the defect's latest exceedance in metres (required)."},
                        kLimitOption,
                        kToleranceOption,
                        history_steps::kLibraryOption},
            .minFiles = 0,
            .maxFiles = 0,
            .run = [](const Arguments& args, Context& context) {
                return withSettingsRefusedAsUsage(args, context, showDefect);
            }};
}

} // namespace kestrana::cli
