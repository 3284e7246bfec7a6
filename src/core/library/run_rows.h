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
