// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Kestrana developers

#include "analyser_steps.h"
#include "command.h"
#include "core/analyser/raw_view.h"
#include "core/common/text.h"

namespace kestrana::cli {
namespace {

// A whole number typed for --km or --block, read as the view reads the key of a clicked row.
std::int16_t keyOption(const Arguments& args, const std::string& name) {
    const auto text = args.value(name);
    if (!text) {
        throw UsageError("option --" + name + " is required");
    }
    const auto key = common::textToInt16(*text);
    if (!key) {
        throw UsageError("option --" + name + " needs a whole number between -32768 and 32767");
    }
    return *key;
}

// PROCESS DATA, then the raw-data view of the blocks with this km from and block number: the column
// names, then every value row.
int runBlock(const Arguments& args, Context& context) {
    const std::int16_t km = keyOption(args, "km");
    const std::int16_t block = keyOption(args, "block");
    const OutputFormat format = outputFormat(args);
    const analyser::ProcessedRun run = analyser_steps::processRun(args.files.front());
    if (format == OutputFormat::Csv) {
        context.out << analyser::rawViewCsv(run.table, km, block);
        return 0;
    }
    const analyser::RawView view = analyser::rawViewOfBlock(run.table, km, block);
    std::vector<std::string> lines = view.header;
    lines.insert(lines.end(), view.rows.begin(), view.rows.end());
    printLines(context.out, lines);
    return 0;
}

} // namespace

Command makeBlockCommand() {
    return {.name = "block",
            .synopsis = "block RUN --km KM --block BK",
            .summary = "Prints the recorded values of one block of a run.",
            .description =
                "Processes RUN and prints the values recorded for the block with the given km from and "
                "block number, as a click on a listing row shows them: a header line, then one line "
                "per matching block (the header alone when no block matches).",
            .options = {{"km", true, "KM", "The km from of the block (required)."},
                        {"block", true, "BK", "The number of the block within its km (required)."},
                        formatOption("csv prints the same figures as CSV: a header row (" +
                                     csvColumnList(analyser::kRawViewCsvHeader) +
                                     ") and one row per matching block, SDs in mm and the speed as whole "
                                     "numbers.")},
            .readsRunFromStandardInput = true,
            .run = runBlock};
}

} // namespace kestrana::cli
