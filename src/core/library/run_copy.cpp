// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Kestrana developers

#include "core/library/run_copy.h"

namespace kestrana::library {

ImportSummary copyRuns(const RunLibrary& from, RunLibrary& to, const ImportCallbacks& callbacks) {
    const std::vector<RunRecord> runs = from.runs();
    ImportSummary summary;
    for (std::size_t i = 0; i < runs.size(); ++i) {
        const RunRecord& run = runs[i];
        if (callbacks.cancelRequested && callbacks.cancelRequested()) {
            summary.cancelled = true;
            break;
        }
        if (callbacks.onProgress) {
            callbacks.onProgress(ImportProgress{i, runs.size(), run.file});
        }
        FileOutcome outcome{run.file, ImportStatus::Skipped, std::string(kAlreadyThereReason)};
        if (!to.containsContent(run.contentHash)) {
            std::vector<StoredBlock> blocks;
            try {
                blocks = from.blocksOf(run.id);
            } catch (const LibraryError& error) {
                // A run the source cannot give (damage in its part of a file) is that run's refusal. A
                // source that no longer answers at all, a server gone away, would refuse every run after
                // it: the copy ends there, as an import ends when its library fails.
                (void)from.containsContent(run.contentHash);
                outcome = FileOutcome{run.file, ImportStatus::Refused,
                                      "it cannot be read from " + from.location() + ": " + error.what_text()};
            }
            if (outcome.status != ImportStatus::Refused) {
                outcome = storeRun(to, run.file, [&from, &run, &blocks] {
                    LoadedRun loaded{run.series,
                                     run.day,
                                     run.dateText,
                                     run.runNumber,
                                     run.file,
                                     run.contentHash,
                                     std::move(blocks),
                                     run.imported,
                                     {},
                                     {}};
                    loaded.peaks = from.peaksOfRun(run.id, std::nullopt, {});
                    if (!loaded.peaks) {
                        loaded.peaksRefusal = "the library it is copied from keeps none";
                    }
                    return loaded;
                });
            }
        }
        if (callbacks.onOutcome) {
            callbacks.onOutcome(outcome);
        }
        record(summary, std::move(outcome));
    }
    if (callbacks.onProgress) {
        callbacks.onProgress(ImportProgress{summary.outcomes.size(), runs.size(), {}});
    }
    return summary;
}

} // namespace kestrana::library
