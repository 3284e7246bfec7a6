#pragma once
// The first half of the peak analyser's PROCESS DATA: the peak lines ("67") of a run file, each with
// its kilometre line, go to the scratch file "temp_peak.txt"; the count of numbers in its first line
// fixes the record width; each record read back becomes one PeakRow per peak pair.

#include "core/runfile/field_stream.h"
#include "core/runfile/run_reader.h"

#include <array>
#include <cstdint>
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

// Reads the run at `runPath` with the pairing reader on "67" lines (no limit on their number) and
// writes one record line per peak line to `scratchPath`: the kilometre line, blanks to the next
// print zone, the peak line. `header` receives the "95" and "91" lines of this run only (it is
// cleared first). Returns the number of records.
// Throws PeakError: kRunFileFailedMessage, kScratchFailedMessage, kRecordTooLongMessage (a record of
// more than 26 numbers, anywhere in the run).
long scanPeaks(const std::string& runPath, const std::string& scratchPath, runfile::RunHeader& header);

// Copies the first line of the scratch file to `firstLinePath` (followed by CR LF; an empty scratch
// file gives an empty copy), reads the copy back and returns the count of its numbers.
// Throws PeakError: kScratchFailedMessage, kBadNumberMessage.
std::int16_t measureRecordWidth(const std::string& scratchPath, const std::string& firstLinePath);

// Pairs stored per record of n numbers: (n - 6) / 2 rounded down, none when n is below 8.
int rowsPerRecord(int itemsPerRecord);

// Slots 1 to 26 hold the items of a record; slot 0 is never used.
using RecordSlots = std::array<std::int16_t, kMaxRecordItems + 1>;

// Reads the records of a scratch text as one stream of numbers, `itemsPerRecord` to a record, with
// no re-synchronisation at line ends. The slots are not cleared between records.
class PeakRecordReader {
public:
    // `text` must outlive the reader; `fileName` names it in error reasons. Throws
    // PeakError(kRecordTooLongMessage) for a width above 26.
    PeakRecordReader(std::string_view text, std::string fileName, int itemsPerRecord);

    // Reads the next record into the slots; false when only separators are left (tested only before
    // a record). Throws PeakError: kBadNumberMessage, kRecordCutShortMessage.
    bool next();
    const RecordSlots& record() const { return record_; }

private:
    runfile::RecordFieldStream stream_;
    std::string fileName_;
    int itemsPerRecord_;
    RecordSlots record_{};
};

// Appends the rows of one record, pairs m = 1 to rowsPerRecord(n) in order: fild0 = slot 2,
// fild1 = slot 3, fild2 = slot 5, fild3 = slot 2m + 5, fild4 = slot 2m + 4.
void expandRecord(const RecordSlots& record, int itemsPerRecord, std::vector<PeakRow>& rows);

} // namespace kestrana::peaks
