// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Kestrana developers

#pragma once
// The run library: every run of every line taken in over the years, so that the values of one block
// can be followed from run to run. Storage sits behind the abstract RunLibrary: an embedded SQLite file
// of one engineer (sqlite_run_library.h), or a PostgreSQL database a team shares
// (server_run_library.h); openRunLibrary (open_run_library.h) chooses between them by the location.
//
// One RunLibrary object is used from one thread at a time. A screen that imports on a worker thread
// opens a second RunLibrary on the same file for that thread; the storage lets two connections (or two
// programs) write one after the other without losing or doubling anything.

#include "core/common/errors.h"
#include "core/defects/run_peaks.h"
#include "core/history/terms.h"
#include "core/library/sha256.h"

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace kestrana::library {

// A run is stored and read back in the words of track history: its series, its day, its blocks and
// their five indices.
using history::BlockIndex;
using history::BlockKey;
using history::Day;
using history::KmRange;
using history::Series;

// Run ids are never given twice in one library: a run removed keeps its id to itself, so that an id
// held by a screen or a script never names a later run.
using RunId = std::int64_t;

// Microseconds since 1970-01-01 00:00:00 UTC: fine enough that a library's log keeps the order of
// imports and removals made within one second.
using UtcMicroseconds = std::int64_t;

// When and by whom a run was taken into a library: the database user for a server library, the
// operating-system user for a file. Runs taken in before libraries kept this have neither.
struct ImportStamp {
    std::optional<UtcMicroseconds> at;
    std::string by;
    bool operator==(const ImportStamp&) const = default;
};

// A run as the library lists it.
struct RunRecord {
    RunId id = 0;
    Series series;
    Day day = 0;           // the run date
    std::string dateText;  // the date as the run file writes it (DDMMYY)
    std::string runNumber; // header line position 4, as it stands
    long blocks = 0;       // block records of the run
    std::string file;      // the path the run was imported from
    // Filled by runs() and runsOf() only.
    Sha256Digest contentHash{};
    ImportStamp imported;
    bool operator==(const RunRecord&) const = default;
};

// The run order of one series: date, then run number, then the order of import.
bool runComesBefore(const RunRecord& a, const RunRecord& b);

// A block of a run as the library stores it: its key and its five indices.
struct StoredBlock {
    BlockKey key;
    std::array<std::int16_t, 5> values{}; // TGI, TGIU, TGIW, TGIG, TGIL
    std::int16_t value(BlockIndex index) const { return values[static_cast<std::size_t>(index)]; }
    bool operator==(const StoredBlock&) const = default;
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
    // Empty: taken in now by the user storing it. A run copied from another library keeps its stamp.
    std::optional<ImportStamp> imported;
    // Every peak of the run in file order; none when the peak extraction refused the run's peak lines,
    // and then `peaksRefusal` says why (with the line), for the import's outcome.
    std::optional<defects::RunPeaks> peaks;
    std::string peaksRefusal;
};

// One line of a library's log: a run taken in or taken out, by whom and when.
struct LogEntry {
    enum class Action { Imported, Removed };
    std::optional<UtcMicroseconds> time; // empty for a run taken in before libraries kept the time
    std::string user;
    Action action = Action::Imported;
    RunId run = 0;
    Series series;
    Day day = 0;
    std::string runNumber;
    std::string file;
    bool operator==(const LogEntry&) const = default;
};

// The log's order: by time (runs without one first), then an import before a removal, then by line,
// direction, date, run number, file and id, so that two libraries holding the same runs give the same
// order.
bool logComesBefore(const LogEntry& a, const LogEntry& b);

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
// version, busy for too long, a file that cannot be read or written, a server that cannot be reached or
// refuses, or a user who may not do what was asked. The message says which library (its file: the path
// or the server address) and what is wrong; the library is left as it was.
class LibraryError : public common::Error {
public:
    using common::Error::Error;
};

// What a library's failure says, whatever it is stored in.
inline constexpr std::string_view kDamagedLibraryMessage =
    "this run library is damaged; it is left unchanged: restore a copy of it, or copy the runs that can "
    "still be read into a new library";
inline constexpr std::string_view kNewerLibraryMessage =
    "this run library was written by a newer version of Kestrana; it is left unchanged";
inline constexpr std::string_view kLibraryBusyMessage =
    "this run library is busy in another program; try again when it has finished";
inline constexpr std::string_view kReadOnlyLibraryMessage = "you may read this library but not change it";

enum class LibraryAccess {
    OpenExisting,    // a missing library is refused
    CreateIfMissing, // a missing library is created empty (a file's folder must exist)
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
    // is not in the library, and records each removal with who and when. Returns the ids that were not
    // there, in the order given (empty when every run was removed). An id given twice is removed once.
    // Throws LibraryError.
    virtual std::vector<RunId> removeRuns(std::span<const RunId> ids) = 0;
    // Removes one run and its blocks; false when there was no such run.
    bool removeRun(RunId run) { return removeRuns(std::span<const RunId>(&run, 1)).empty(); }

    // Every run, sorted by line, direction, then run order.
    virtual std::vector<RunRecord> runs() const = 0;
    // Every block of one run in key order; empty when there is no such run.
    virtual std::vector<StoredBlock> blocksOf(RunId run) const = 0;
    // Every import and removal the library has recorded, in log order (logComesBefore).
    virtual std::vector<LogEntry> log() const = 0;
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

} // namespace kestrana::library
