// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Kestrana developers

#pragma once
// What every kind of run library does alike with the rows its storage gives back, so that a file and a
// server answer every question the same way, byte for byte in what is printed from them.

#include "core/library/run_library.h"

#include <span>
#include <unordered_map>
#include <vector>

namespace kestrana::library {

// Sorts runs as RunLibrary::runs() lists them: by line, direction, then run order.
void sortForListing(std::vector<RunRecord>& runs);

// The lowest and highest km of a run's blocks; {0, 0} for a run without blocks.
KmRange kmSpanOf(std::span<const StoredBlock> blocks);

// The ids in the order given, each once.
std::vector<RunId> distinctIds(std::span<const RunId> ids);

// The current time, and the operating-system user this program runs as (for a file's audit trail).
UtcMicroseconds utcNow();
std::string operatingSystemUser();

// Rows of a library's storage, read the same way by every kind of library. A Row gives integer(c),
// text(c), isNull(c) and digest(c) of its columns (c from 0).

// id, line, direction, day, date_text, run_number, blocks, file, content hash, imported_at, imported_by
template <typename Row> RunRecord listedRunOf(const Row& row) {
    RunRecord record;
    record.id = row.integer(0);
    record.series = Series{row.text(1), static_cast<int>(row.integer(2))};
    record.day = static_cast<Day>(row.integer(3));
    record.dateText = row.text(4);
    record.runNumber = row.text(5);
    record.blocks = static_cast<long>(row.integer(6));
    record.file = row.text(7);
    record.contentHash = row.digest(8);
    if (!row.isNull(9)) {
        record.imported.at = row.integer(9);
    }
    record.imported.by = row.text(10);
    return record;
}

// km, block, then the five indices
template <typename Row> StoredBlock storedBlockOf(const Row& row) {
    StoredBlock block;
    block.key =
        BlockKey{static_cast<std::int16_t>(row.integer(0)), static_cast<std::int16_t>(row.integer(1))};
    for (std::size_t i = 0; i < block.values.size(); ++i) {
        block.values[i] = static_cast<std::int16_t>(row.integer(static_cast<int>(i) + 2));
    }
    return block;
}

// time, user, action (0 imported, 1 removed), run, line, direction, day, run_number, file
template <typename Row> LogEntry logEntryOf(const Row& row) {
    LogEntry entry;
    if (!row.isNull(0)) {
        entry.time = row.integer(0);
    }
    entry.user = row.text(1);
    entry.action = row.integer(2) == 0 ? LogEntry::Action::Imported : LogEntry::Action::Removed;
    entry.run = row.integer(3);
    entry.series = Series{row.text(4), static_cast<int>(row.integer(5))};
    entry.day = static_cast<Day>(row.integer(6));
    entry.runNumber = row.text(7);
    entry.file = row.text(8);
    return entry;
}

// A block's value in one run of `series`: id, day, date_text, run_number, blocks, file, value
template <typename Row> RunValue runValueOf(const Row& row, const Series& series) {
    RunRecord run;
    run.id = row.integer(0);
    run.series = series;
    run.day = static_cast<Day>(row.integer(1));
    run.dateText = row.text(2);
    run.runNumber = row.text(3);
    run.blocks = static_cast<long>(row.integer(4));
    run.file = row.text(5);
    return RunValue{std::move(run), static_cast<std::int16_t>(row.integer(6))};
}

// RunLibrary::blockValues' order: the runs' order.
void sortInRunOrder(std::vector<RunValue>& values);

// Gathers the values of RunLibrary::valuesInRange as the storage gives them, in any order.
class RangeValues {
public:
    // The runs of the series in run order; `onlyRuns` limits them (none: every run).
    RangeValues(std::vector<RunRecord> runsInOrder, std::span<const RunId> onlyRuns);
    // The runs asked about, in run order.
    const std::vector<RunValues>& runs() const { return result_; }
    // A value of a block of one of those runs; values of other runs are left out.
    void add(RunId run, BlockKey key, std::int16_t value);
    // Every run's values in key order.
    std::vector<RunValues> take();

private:
    std::vector<RunValues> result_;
    std::unordered_map<RunId, std::size_t> rowOfRun_;
};

} // namespace kestrana::library
