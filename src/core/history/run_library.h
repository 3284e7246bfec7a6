#pragma once
// The run library: every run of every line taken in over the years, so that the values of one block
// can be followed from run to run. Storage sits behind the abstract RunLibrary, so that a server
// database shared by a team can be added beside the embedded SQLite file (sqlite_run_library.h).
//
// One RunLibrary object is used from one thread at a time. A screen that imports on a worker thread
// opens a second RunLibrary on the same file for that thread; the storage lets two connections (or two
// programs) write one after the other without losing or doubling anything.

#include "core/defects/run_peaks.h"
#include "core/history/sha256.h"
#include "core/history/terms.h"
#include "core/platform/errors.h"

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace kestrana::history {

using RunId = std::int64_t;

// A run as the library lists it.
struct RunRecord {
    RunId id = 0;
    Series series;
    Day day = 0;           // the run date
    std::string dateText;  // the date as the run file writes it (DDMMYY)
    std::string runNumber; // header line position 4, as it stands
    long blocks = 0;       // block records of the run
    std::string file;      // the path the run was imported from
    bool operator==(const RunRecord&) const = default;
};

// The run order of one series: date, then run number, then the order of import.
bool runComesBefore(const RunRecord& a, const RunRecord& b);

// A block of a run as the library stores it: its key and its five indices.
struct StoredBlock {
    BlockKey key;
    std::array<std::int16_t, 5> values{}; // TGI, TGIU, TGIW, TGIG, TGIL
    std::int16_t value(BlockIndex index) const { return values[static_cast<std::size_t>(index)]; }
};

// A run loaded and ready to be stored (see run_import.h for how a file becomes one).
struct LoadedRun {
    Series series;
    Day day = 0;
    std::string dateText;
    std::string runNumber;
    std::string file;
    Sha256Digest contentHash{};
    std::vector<StoredBlock> blocks; // file order; a key met twice keeps its first block
    // Every peak of the run in file order; none when the peak extraction refused the run's peak lines,
    // and then `peaksRefusal` says why (with the line), for the import's outcome.
    std::optional<defects::RunPeaks> peaks;
    std::string peaksRefusal;
};

// The value of one block in one run.
struct BlockValue {
    BlockKey key;
    std::int16_t value = 0; // 0: not recorded
};

// The values of one run over a km range, in key order.
struct RunValues {
    RunRecord run;
    std::vector<BlockValue> values;
};

// The value of one block in one run, with the run it comes from.
struct RunValue {
    RunRecord run;
    std::int16_t value = 0;
};

// A library that cannot be opened or used: not a Kestrana library, damaged, written by a newer
// version, busy for too long, or a file that cannot be read or written. The message says which file
// and what is wrong; the file is left as it was.
class LibraryError : public platform::Error {
public:
    using platform::Error::Error;
};

enum class AddOutcome {
    Added,
    AlreadyThere, // a run of the same bytes is in the library
    SameRunThere, // another file of the same run (series, date and run number) is in the library
    PeaksAdded,   // the run was there without peaks (stored before the library kept them); now it has them
};

struct AddResult {
    AddOutcome outcome = AddOutcome::Added;
    std::optional<RunRecord> sameRun; // for SameRunThere: the run that is in the library
};

class RunLibrary {
public:
    virtual ~RunLibrary() = default;
    RunLibrary() = default;
    RunLibrary(const RunLibrary&) = delete;
    RunLibrary& operator=(const RunLibrary&) = delete;

    // Where the library lives (a path, or a server address), for messages.
    virtual std::string location() const = 0;

    // True when a run with these file bytes is in the library.
    virtual bool containsContent(const Sha256Digest& contentHash) const = 0;
    // Stores a run with all its blocks and its peaks as one unit: after a failure nothing of it is
    // there. A run is stored once: one whose bytes are already there, or another file of a run already
    // there (the same series, date and run number), is not stored, and the check is part of the
    // storing, so two programs storing the run at once store it once. The same bytes again with peaks,
    // for a run stored without them, add its peaks (PeaksAdded). Throws LibraryError; std::bad_alloc when
    // memory runs out (nothing is stored then either).
    virtual AddResult addRun(const LoadedRun& run) = 0;
    // Removes the runs with these ids and their blocks as one unit, or nothing at all when any of the ids
    // is not in the library. Returns the ids that were not there, in the order given (empty when every
    // run was removed). An id given twice is removed once. Throws LibraryError.
    virtual std::vector<RunId> removeRuns(std::span<const RunId> ids) = 0;
    // Removes one run and its blocks; false when there was no such run.
    bool removeRun(RunId run) { return removeRuns(std::span<const RunId>(&run, 1)).empty(); }

    // Every run, sorted by line, direction, then run order.
    virtual std::vector<RunRecord> runs() const = 0;
    // The runs of one series in run order.
    virtual std::vector<RunRecord> runsOf(const Series& series) const = 0;
    // Every series that has a run, sorted by line then direction.
    virtual std::vector<Series> series() const = 0;
    // The lowest and highest km of the blocks of a series; empty when it has no run.
    virtual std::optional<KmRange> kmRangeOf(const Series& series) const = 0;

    // The value of one block in every run of the series that has the block (0 included), in run order.
    virtual std::vector<RunValue> blockValues(const Series& series, const BlockKey& block,
                                              BlockIndex index) const = 0;
    // The values of every block with km in `range`, run by run in run order, each run's values in key
    // order. `onlyRuns` limits the runs (all runs of the series when empty); runs it names that are not
    // of the series are left out.
    virtual std::vector<RunValues> valuesInRange(const Series& series, const KmRange& range, BlockIndex index,
                                                 std::span<const RunId> onlyRuns = {}) const = 0;

    // The peaks of one run in file order: only those of a km from in `kms` when given, and only those
    // of the codes in `codes` when it is not empty. None when the run has no peaks stored (imported
    // before the library kept them, or refused by the peak extraction) or is not in the library.
    virtual std::optional<defects::RunPeaks> peaksOfRun(RunId run, const std::optional<KmRange>& kms,
                                                        std::span<const std::int16_t> codes) const = 0;
    // The value of one block in one run; none when the run has no such block.
    virtual std::optional<std::int16_t> blockValueOfRun(RunId run, const BlockKey& block,
                                                        BlockIndex index) const = 0;
};

} // namespace kestrana::history
