// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Kestrana developers

#pragma once
// The analyser's PROCESS DATA: the run file in, the block table and the SD output file out, and the
// run's header data and kilometre range as the screen shows them.

#include "core/runfile/block_table.h"

#include <optional>
#include <string>
#include <string_view>

namespace kestrana::analyser {

// The one message of a failed PROCESS DATA, whatever went wrong (with its leading blank).
inline constexpr std::string_view kProcessFailedMessage =
    " Could not open file. Please type file name correctly.";

struct ProcessedRun {
    runfile::BlockTable table;
    std::string runDate;   // runDateEdit: header line positions 6 to 11
    std::string runNumber; // runNumberEdit: header line position 4
    std::string section;   // sectionLabel: section line positions 15 to 44
    std::string kmFrom;    // kmFromEdit and startKmEdit: km from of the first block, plain decimal
    std::string kmTo;      // kmToEdit and endKmEdit: km to of the last block, plain decimal
};

// Reads the run at `inputPath` and writes the SD output file to `outputPath` when one is given.
// Nothing is written to the output path unless the whole run loaded. Throws
// common::Error with the precise reason.
ProcessedRun processData(const std::string& inputPath, const std::optional<std::string>& outputPath);

} // namespace kestrana::analyser
