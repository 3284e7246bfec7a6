// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Kestrana developers

#pragma once
// COMPARE: checks the km range and the directions of the runs, fills the comparison listing block by
// block from the run database, and reads the per-km averages of every run that feed the line chart.

#include "core/common/errors.h"
#include "core/comparator/session.h"

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kestrana::storage {
class RecordStore;
}

namespace kestrana::comparator {

// One block row of the listing as figures: the km and the next km of its label, the block number and
// the value of each compared run (slots 0 to n), none where the list shows "NA".
struct ComparedBlock {
    std::int16_t km = 0;
    std::int16_t nextKm = 0;
    std::int16_t block = 0;
    std::vector<std::optional<std::int16_t>> values;
};

// The list boxes of the listing, line by line, exactly as the screen shows them.
struct ComparisonListing {
    std::vector<std::string> heading;                            // the heading line
    std::array<std::vector<std::string>, kSlotCount> runDates{}; // runDateLists(k): the run date of slot k
    std::vector<std::string> blocks;                             // block label, empty line, ...
    std::array<std::vector<std::string>, kSlotCount>
        values{};                                // valueLists(k): value or "NA", empty line, ...
    std::vector<ComparedBlock> comparedBlocks{}; // the block rows again, as figures
};

// The km walk of the listing: from firstKm to lastKm by step (the current direction).
struct ListingBounds {
    std::int16_t firstKm = 0;
    std::int16_t lastKm = 0;
    std::int16_t step = 1;
};

// The km boxes read for COMPARE: the typed values and the listing walk, or a refusal.
struct CompareRange {
    std::optional<std::string> refusal; // set: show it; nothing else changes
    std::int16_t fromKm = 0;
    std::int16_t toKm = 0;
    ListingBounds bounds;
};
// Reads the texts of kmRangeEdits(0) and kmRangeEdits(1) (rounded to whole numbers, halves to even). Refuses
// a text that is no number of the 16-bit range, a range of more than 100 km (exactly 100 is accepted) and
// bounds that would leave 16 bits. With lo the smaller and hi the larger km, the listing walks lo to
// hi - 1 upwards unless the current direction is -1, then hi down to lo + 1.
CompareRange readCompareRange(std::string_view fromText, std::string_view toText,
                              std::int16_t currentDirection);

// The direction check of slots 0 to n: a mismatch with slot 0 gives the message for two, three or four
// recordings; directions that all agree but are not 1 or -1 (or a current direction that is not) are
// refused too. nullopt when the runs may be compared; always nullopt for n outside 1 to 3.
std::optional<std::string> directionRefusal(int olderRuns,
                                            const std::array<std::int16_t, kSlotCount>& directions,
                                            std::int16_t currentDirection);

// "0120    -   0121        3": km and next km by the pattern "0000", then the block number.
std::string blockLabel(std::int16_t km, std::int16_t nextKm, int block);

// The value of a run at (km, next km, block): the tgi4 of the first row found, nullopt when none.
using CellLookup = std::function<std::optional<std::int16_t>(int slot, std::int16_t km, std::int16_t nextKm,
                                                             std::int16_t block)>;

// Fills blockList and valueLists(0) to valueLists(n) for blocks 1 to 5 of every km of the walk. `listing`
// keeps its heading and dates.
void fillListing(ComparisonListing& listing, const ListingBounds& bounds, int olderRuns,
                 const CellLookup& lookup);

// The rows of one run table whose km from lies in [kmLow, kmHigh], read once, keeping for every
// (km from, km to, block) the first row in stored order: the same answers as one query per cell.
class RunTableCells {
public:
    static RunTableCells read(storage::RecordStore& store, int slot, std::int16_t kmLow, std::int16_t kmHigh);
    std::optional<std::int16_t> find(std::int16_t km, std::int16_t nextKm, std::int16_t block) const;

private:
    std::vector<std::pair<std::uint64_t, std::int16_t>> cells_; // sorted by key, keys unique
};

// One query per cell on the table as it stands: "select * from trcK where tgi1=km and tgi2=next and
// tgi3=block", the first result row's tgi4. Kept for the benchmark that measures what reading each
// table once saves.
std::optional<std::int16_t> lookupCellByQuery(storage::RecordStore& store, int slot, std::int16_t km,
                                              std::int16_t nextKm, std::int16_t block);

// The per-km averages that feed the chart: the rows of slot 0 joined with the rows of every other
// compared slot of the same km from and block, km from between the two typed kms inclusive (either
// order), one row per km in ascending order with the mean of tgi4 of each slot over the joined rows.
// A value of 0 was not recorded: each run's mean leaves its own 0 values out, as the analyser's
// figures do, so an unrecorded block neither pulls the km down nor shows as a dip.
struct KmAverageRow {
    std::int16_t km = 0;
    // One per slot 0 to n; none where the run recorded no block of the km (no point on the chart).
    std::vector<std::optional<double>> means;
};
struct KmAverageTable {
    std::vector<std::string> seriesNames; // the run dates of slots 0 to n, as they stand
    std::vector<KmAverageRow> rows;
};
// The legend of the chart: the run dates of slots 0 to n; a date that two runs share is followed by
// each one's run number (" Run No.k", as the slot headings name them), so no two lines share a name.
std::vector<std::string> chartLegendNames(const std::vector<std::string>& runDates);
// The chart's category label of a km: the number with a leading blank, or its minus sign (" 120").
std::string kmCategoryLabel(std::int16_t km);
// Throws Error for n outside 1 to 3 and for any failure of the query. The run dates name the
// series only; they never become part of the SQL text.
KmAverageTable readKmAverages(storage::RecordStore& store, int olderRuns, std::int16_t fromKm,
                              std::int16_t toKm, const std::array<std::string, kSlotCount>& runDates);

// The whole of COMPARE over the database at `databaseBase`.
struct CompareResult {
    enum class Outcome {
        RangeRefused, // show `message`; nothing has changed
        Refused,      // show `message`; the lists hold `listing` (heading only); buttons stay
        Compared      // the lists hold `listing`; PRINT DETAILS becomes usable
    };
    Outcome outcome = Outcome::Compared;
    // Refused: the message to show and its reason. Compared without a chart: why the chart query
    // failed (no message; the screen shows none).
    std::optional<common::Error> failure;
    ComparisonListing listing;
    // Set when the per-km query succeeded: the chart shows it and PRINT GRAPH and SAVE DETAILS become
    // usable. Unset, the screen leaves the chart and those buttons as they are, without a message.
    std::optional<KmAverageTable> chart;
};
CompareResult compareRuns(std::string_view fromText, std::string_view toText,
                          const ComparatorSession& session, const std::string& databaseBase);

} // namespace kestrana::comparator
