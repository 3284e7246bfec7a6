// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Kestrana developers

#pragma once
// SHOW DETAILS of the peak analyser: over at most 50 km, walked in the run's direction, the
// kilometres whose first-listed peak of the chosen parameter is above the limit, with their peaks
// above the limit, the count of such kilometres, their share and the count of peaks listed.

#include "core/peaks/extraction.h"
#include "core/peaks/session.h"

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace kestrana::peaks {

inline constexpr int kColumnListCount = 22;
inline constexpr int kMaxRangeKms = 50;

// resultLists(0) km from, resultLists(1) km to, resultLists(2i) location and resultLists(2i + 1) value of the
// i-th peak. A listed kilometre adds two entries to every list in use: its values, then an empty entry.
using ColumnLists = std::array<std::vector<std::string>, kColumnListCount>;

struct ShowDetailsInput {
    std::string parameterText; // parameterCombo
    std::string limitText;     // limitEdit
    std::string kmFromText;    // kmRangeEdits(0)
    std::string kmToText;      // kmRangeEdits(1)
};

struct PeakSummary {
    ColumnLists lists;
    std::int16_t kmCount = 0;
    std::int16_t peakCount = 0;
    std::string shareText; // the share of listed kilometres under "00.00"
    std::string kmCountText;
    std::string peakCountText;
};

// Peak columns shown per kilometre: (itemsPerRecord - 6) / 2 rounded to nearest, halves to even
// (8 for 21, 22 or 23 numbers); never below 0 nor above 10.
int pairColumns(int itemsPerRecord);

// The kilometres visited for the range lo to hi (lo < hi), each named by the km at which it starts
// in the run's direction: lo up to hi - 1 when rising, hi down to lo + 1 when falling.
std::vector<int> walkOrder(int lo, int hi, int direction);

// Lists one kilometre from its rows in stored order when its first row's value is above the limit
// (strictly): adds the km entries and, for i = 1 to `columns`, the i-th row's location and value when
// that row exists and is above the limit (counted in peakCount), else empty entries. Returns whether
// the kilometre was listed.
bool listKilometre(std::span<const PeakRow> rows, std::int16_t limit, int columns, ColumnLists& lists,
                   std::int16_t& peakCount);

// kmCount * 100 / kms as a double, under "00.00" (30.00, 33.33, 00.00, 100.00).
std::string shareText(int kmCount, int kms);
// The share text read back as a single-precision number (30, 33.33, 0, 100).
float kmShareOf(const std::string& shareText);

// kmCountLabel and peakCountLabel, with the parameter and limit texts as typed.
std::string kmCountCaption(std::string_view parameterText, std::string_view limitText, int kmCount,
                           std::string_view shareText);
std::string peakCountCaption(std::string_view parameterText, std::string_view limitText, int peakCount);

// The rows SHOW DETAILS reads: those of one kilometre and parameter at a time, in stored order.
class PeakRowSource {
public:
    virtual ~PeakRowSource() = default;
    // Up to `wanted` rows with fild0 = km and fild2 = code, in stored order. Throws
    // common::Error when they cannot be read.
    virtual std::vector<PeakRow> kilometreRows(int km, std::int16_t code, int wanted) = 0;
};

// Peak rows kept in memory in stored order, found by kilometre and parameter: the store of a caller
// that keeps no database file (the command line, whose private folder nobody opens again).
class PeakRowsInMemory : public PeakRowSource {
public:
    void add(const PeakRow& row);
    const std::vector<PeakRow>& rows() const { return rows_; }
    std::vector<PeakRow> kilometreRows(int km, std::int16_t code, int wanted) override;

private:
    static std::uint32_t keyOf(int km, std::int16_t code);
    std::vector<PeakRow> rows_;
    std::unordered_map<std::uint32_t, std::vector<std::uint32_t>> rowsByKmAndCode_;
};

// SHOW DETAILS over rows kept in memory by processPeakDataInMemory (the session has its direction
// and record width from that PROCESS DATA). Refuses as the other form does, but never for a missing
// database.
PeakSummary showDetails(const ShowDetailsInput& input, PeakSession& session, PeakRowSource& rows);

// SHOW DETAILS against the database at `databaseBase`. The parameter is looked up from its text
// every time (and becomes the session's parameter code). Sets the session's kmShare and totalPeaks.
// A session without PROCESS DATA takes its direction from the stored rows first.
// Throws common::Error, in this order of checks: kUnknownParameterMessage, kBadKmMessage,
// kRangeTooWideMessage, kEmptyRangeMessage, kBadLimitMessage, kNoDatabaseMessage. The screen clears
// its lists before calling and keeps its summary labels on a refusal.
PeakSummary showDetails(const ShowDetailsInput& input, PeakSession& session, const std::string& databaseBase);

} // namespace kestrana::peaks
