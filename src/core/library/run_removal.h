// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Kestrana developers

#pragma once
// Taking runs out of the library by id, as the command line and the screen do it: every id must name a
// run of the library, and the runs go together in one transaction or not at all. A run is taken out to
// be replaced (the library keeps one file of a run) or because it should never have been taken in.

#include "core/library/run_library.h"

#include <span>
#include <string>
#include <vector>

namespace kestrana::library {

struct RemovalResult {
    std::vector<RunRecord> removed; // the runs removed, in the order their ids were given
    std::vector<RunId> missing;     // ids not in the library (nothing was removed then), in given order
};

// Removes the runs with these ids (an id given twice counts once). Throws LibraryError.
RemovalResult removeRunsById(RunLibrary& library, std::span<const RunId> ids);

// "removed ID (LINE, DATE, run N, FILE)", DATE as YYYY-MM-DD, control characters of the line and the
// file escaped so that the line is one line.
std::string removedRunLine(const RunRecord& run);
// "No run with id N is in the library; nothing was removed."
std::string noSuchRunMessage(RunId id);

} // namespace kestrana::library
