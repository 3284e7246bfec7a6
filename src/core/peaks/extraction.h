// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Kestrana developers

#pragma once
// The first half of the peak analyser's PROCESS DATA: the peak lines ("67") of a run file, each with
// its kilometre line, make one record each; the count of numbers in the first record fixes the record
// width; the records, read as one stream of numbers of that width, become one PeakRow per peak pair.

#include "core/peaks/texts.h"
#include "core/runfile/field_stream.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace kestrana::peaks {

// A record holds at most this many numbers (so at most 10 peak pairs).
inline constexpr int kMaxRecordItems = 26;

// One peak pair of one record, as the peak database stores it.
struct PeakRow {
    std::int16_t fild0 = 0; // km from
    std::int16_t fild1 = 0; // km to
    std::int16_t fild2 = 0; // parameter code
    std::int16_t fild3 = 0; // location of the peak
    std::int16_t fild4 = 0; // peak value
    bool operator==(const PeakRow&) const = default;
};

// Pairs stored per record of n numbers: (n - 6) / 2 rounded down, none when n is below 8.
int rowsPerRecord(int itemsPerRecord);

// Slots 1 to 26 hold the items of a record; slot 0 is never used.
using RecordSlots = runfile::RecordSlots;

// Appends the rows of one record, pairs m = 1 to rowsPerRecord(n) in order: fild0 = slot 2,
// fild1 = slot 3, fild2 = slot 5, fild3 = slot 2m + 5, fild4 = slot 2m + 4.
void expandRecord(const RecordSlots& record, int itemsPerRecord, std::vector<PeakRow>& rows);

// The peak records of a run as its lines are read: give it every kilometre line as it becomes
// current and every peak line as it comes. The first record fixes the width; from then on the
// numbers of all records are one stream, `width` to a record, with no re-synchronisation at record
// ends, and the rows of each record are handed on as it completes.
//
// Faults in the numbers stop the stream and are kept, so that the caller can rank them against the
// faults of its own steps; they are described as the design's scratch files would show them: the
// first record as line 1 of its copy (`firstLineName`), record n as line n of `scratchName`.
class PeakRecordStream {
public:
    using RowsHandler = std::function<void(std::span<const PeakRow> rows)>;
    PeakRecordStream(std::string scratchName, std::string firstLineName, RowsHandler onRows);

    void setKilometreLine(std::string_view kmLine);
    // Throws kestrana::common::Error(kRecordTooLongMessage) at `lineNumber` of `runPath` (its file and
    // line() say where) for a record of more than 26 numbers: records are one stream of numbers, so a
    // longer one would shift every later one.
    void addPeakLine(std::string_view kmLine, std::string_view peakLine, const std::string& runPath,
                     long lineNumber);
    // No more rows are wanted (the caller met a fault of its own).
    void stop();

    long recordCount() const { return numbers_ ? numbers_->pairs() : 0; }
    // The count of numbers of the first record; 0 without records.
    std::int16_t itemsPerRecord() const { return width_; }

    // A fault in the numbers: its designed message, what is wrong, and the line of the scratch copy
    // that shows it (line n holds the numbers of the n-th peak line; numbers that end inside a record
    // are found on the line after the last). A reader of the run file itself maps that line to the
    // peak line it came from.
    struct Fault {
        std::string_view message;
        std::string problem;
        long line = 0;
    };
    // The first record's first bad number (line 1 of the first record's copy).
    const std::optional<Fault>& widthFault() const { return widthFault_; }
    // A bad number later in the stream, or numbers that end inside a record.
    std::optional<Fault> recordFault() const;
    // The same faults as the peak analyser reports them, against its two scratch files.
    std::optional<common::Error> widthFailure() const;
    std::optional<common::Error> recordFailure() const;

private:
    std::string scratchName_;
    std::string firstLineName_;
    RowsHandler onRows_;
    int kmLineNumbers_ = 0;
    std::int16_t width_ = 0;
    std::optional<Fault> widthFault_;
    std::vector<PeakRow> rows_;
    // Made at the first record, once the width is known.
    std::optional<runfile::PairNumberStream> numbers_;
    bool stopped_ = false;
};

} // namespace kestrana::peaks
