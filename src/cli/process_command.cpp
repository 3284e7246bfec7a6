// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Kestrana developers

// kestrana-cli process RUN [--output FILE]: the analyser's PROCESS DATA without its screen. Prints
// the header data and kilometre range the screen shows; writes the SD output file only when asked.

#include "analyser_steps.h"
#include "command.h"

namespace kestrana::cli {
namespace {

int runProcess(const Arguments& args, Context& context) {
    const analyser::ProcessedRun run = analyser_steps::processRun(args.files.front(), args.value("output"));
    printLines(context.out, {"Date of Recording: " + run.runDate, "Run Number: " + run.runNumber,
                             "Section: " + run.section, "Recording Starts at KM: " + run.kmFrom,
                             "Recording Ends at KM: " + run.kmTo});
    return 0;
}

} // namespace

Command makeProcessCommand() {
    return {
        .name = "process",
        .synopsis = "process RUN [--output FILE]",
        .summary = "Reads a run file and prints its date, run number, section and km range.",
        .description =
            "Reads the run file RUN as the analyser's PROCESS DATA does and prints five lines: the date "
            "of recording, the run number, the section, and the km where the recording starts and "
            "ends. Nothing is written unless --output is given.",
        .options = {{"output", true, "FILE",
                     "Also writes the comma-separated SD output file to FILE; the file is written whole or "
                     "not at all."}},
        .readsRunFromStandardInput = true,
        .run = runProcess};
}

} // namespace kestrana::cli
