// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Kestrana developers

#include "core/library/run_removal.h"

#include "core/common/text.h"
#include "core/history/dates.h"

#include <algorithm>

namespace kestrana::library {

RemovalResult removeRunsById(RunLibrary& library, std::span<const RunId> ids) {
    RemovalResult result;
    // What the runs were, for the caller to say what went; read before they go.
    const std::vector<RunRecord> runs = library.runs();
    for (RunId id : ids) {
        const auto run =
            std::find_if(runs.begin(), runs.end(), [id](const RunRecord& r) { return r.id == id; });
        const bool listed = std::any_of(result.removed.begin(), result.removed.end(),
                                        [id](const RunRecord& r) { return r.id == id; });
        if (run != runs.end() && !listed) {
            result.removed.push_back(*run);
        }
    }
    result.missing = library.removeRuns(ids);
    if (!result.missing.empty()) {
        result.removed.clear();
    }
    return result;
}

std::string removedRunLine(const RunRecord& run) {
    return "removed " + std::to_string(run.id) + " (" + common::escapeControlCharacters(run.series.line) +
           ", " + history::isoDate(run.day) + ", run " + common::escapeControlCharacters(run.runNumber) +
           ", " + common::escapeControlCharacters(run.file) + ")";
}

std::string noSuchRunMessage(RunId id) {
    return "No run with id " + std::to_string(id) + " is in the library; nothing was removed.";
}

} // namespace kestrana::library
