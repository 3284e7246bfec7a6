// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Kestrana developers

#pragma once
// The words of track history, used the same way by the library, the computations, the screen and the
// command line: a series of runs (one line recorded in one direction), a block of it, the index read
// from each block, days as whole numbers and the quality band of a value.

#include <array>
#include <compare>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace kestrana::history {

// Days since 1970-01-01 (that day is 0); every date of a run is held this way.
using Day = std::int32_t;

// The defaults of the history settings.
inline constexpr std::int16_t kDefaultThreshold = 36; // the lower bound of the second quality band
inline constexpr std::int16_t kDefaultJump = 15;      // a rise this large between runs means maintenance
inline constexpr int kDefaultHorizonMonths = 12;      // the maintenance list looks this far ahead

// The five block indices a history can follow, in the order the analyser lists them.
enum class BlockIndex { TGI, TGIU, TGIW, TGIG, TGIL };
inline constexpr std::array<BlockIndex, 5> kBlockIndices = {
    BlockIndex::TGI, BlockIndex::TGIU, BlockIndex::TGIW, BlockIndex::TGIG, BlockIndex::TGIL};
std::string_view indexName(BlockIndex index);
// The index of a name, compared exactly ("TGI", "TGIU", "TGIW", "TGIG", "TGIL"); empty otherwise.
std::optional<BlockIndex> indexFromName(std::string_view name);

// One line recorded in one direction: the runs whose blocks can be followed over time.
struct Series {
    std::string line;  // the run's section with surrounding blanks removed
    int direction = 1; // 1 rising km, -1 falling km
    auto operator<=>(const Series&) const = default;
};

// A block of a series: the km-from field of its block record and its block number.
struct BlockKey {
    std::int16_t km = 0;
    std::int16_t block = 0;
    auto operator<=>(const BlockKey&) const = default;
};

// Inclusive km range (on the km-from field); low <= high.
struct KmRange {
    std::int16_t low = 0;
    std::int16_t high = 0;
    bool contains(std::int16_t km) const { return low <= km && km <= high; }
    bool operator==(const KmRange&) const = default;
};
// The range between two typed bounds, whichever is written first.
KmRange kmRangeBetween(std::int16_t first, std::int16_t second);

// Blocks in the run direction: rising km for direction 1, falling km for -1; within one km by block
// number. True when a comes before b.
bool comesBefore(const BlockKey& a, const BlockKey& b, int direction);
// True when b is the block right after a on the track in the run direction: the next block of the
// same km, or block 1 of the next km after block 5.
bool blockFollows(const BlockKey& a, const BlockKey& b, int direction);

// The state of one block value as the condition map colours it: the analyser's quality bands of the
// value (1 to 35, 36 to 50, 51 to 80, 81 and above), 0 as not recorded, a negative value as recorded
// but in no band, and Absent where the run has no such block at all.
enum class ValueBand : std::uint8_t { Absent, NotRecorded, Band1, Band2, Band3, Band4, NoBand };
ValueBand valueBandOf(std::int16_t value);
// Legend texts: "1 to 35", "36 to 50", "51 to 80", "81 and above", "not recorded", "below 0",
// "no such block".
std::string_view valueBandLegend(ValueBand band);

} // namespace kestrana::history
