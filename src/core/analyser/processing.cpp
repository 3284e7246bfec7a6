// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Kestrana developers

#include "core/analyser/processing.h"

#include "core/common/errors.h"
#include "core/common/paths.h"
#include "core/common/text.h"
#include "core/runfile/output_files.h"

namespace kestrana::analyser {

ProcessedRun processData(const std::string& inputPath, const std::optional<std::string>& outputPath) {
    // The output must not replace the run, under whatever name or link it is given; it is refused
    // before anything is written. Later outputs of this program (reports, prints) may not replace it either.
    common::protectRunFile(inputPath);
    if (outputPath) {
        common::refuseProtectedRunFile(*outputPath);
    }
    ProcessedRun run;
    run.table = runfile::loadBlockTable(inputPath);
    if (outputPath) {
        runfile::writeSdOutputFile(*outputPath, run.table);
    }
    const runfile::RunHeader& header = run.table.header;
    run.runDate = header.date();
    run.runNumber = header.runNumber();
    run.section = header.section();
    run.kmFrom = common::plainInt(run.table.kmFrom());
    run.kmTo = common::plainInt(run.table.kmTo());
    return run;
}

} // namespace kestrana::analyser
