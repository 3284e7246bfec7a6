// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Kestrana developers

#pragma once
// The peaks of one run as defect tracking takes them: every (value, location) pair of every peak line
// ("67"), read exactly as the peak analyser's extraction reads them (one stream of numbers whose
// record width the first record fixes), each with the km from of its kilometre line, its parameter
// code and its order in the file. A run the extraction refuses has no peaks, and the refusal says
// which line of the run file is at fault.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/peaks/extraction.h"

namespace kestrana::defects {

// One peak in eight bytes: a run of 6,553 km carries about 630,000 of them.
struct Peak {
    std::int16_t km = 0;       // km from of the kilometre line the peak line belongs to
    std::int16_t code = 0;     // parameter code
    std::int16_t location = 0; // metres from km from, in the run direction
    std::int16_t value = 0;    // signed, as the file writes it
    bool operator==(const Peak&) const = default;
};

// The peaks of one run in file order: a peak's index is its order in the file.
using RunPeaks = std::vector<Peak>;

// The peaks of a run as its lines are read, so that a reader that goes through the file for other
// reasons (the blocks of an import) takes the peaks in the same pass: give it every kilometre line
// ("60") as it becomes current and every peak line as it comes, then finish(). Feeding lines never
// throws; a fault is kept and the later lines are only counted.
class RunPeakReader {
public:
    explicit RunPeakReader(std::string runPath);
    RunPeakReader(const RunPeakReader&) = delete;
    RunPeakReader& operator=(const RunPeakReader&) = delete;

    void kilometreLine(std::string_view kmLine);
    // `lineNumber` is the peak line's line in the run file (1-based).
    void peakLine(std::string_view kmLine, std::string_view peakLine, long lineNumber);
    // Any line of the run, for a reader that goes through all of them: its code (the first two
    // characters) decides, as for the run file reader; lines of other codes are passed over. A
    // kilometre or peak line the reader found too long (`tooLong`) is refused as readRunPeaks refuses it.
    void line(std::string_view text, long lineNumber, bool tooLong = false);

    // The run's peaks. Throws common::Error when the extraction refuses the peak lines: its message
    // (a bad number, a record of more than 26 numbers, records cut short) and, as file() and line(),
    // the run file and the peak line at fault. Call once.
    RunPeaks finish();

private:
    long lineOfRecordLine(long recordLine) const;

    std::string runPath_;
    std::string kmLine_; // the current kilometre line, for line()
    RunPeaks peaks_;
    // The run-file line of each peak line fed, so that a fault found in the n-th record line can name
    // the line of the run file it came from.
    std::vector<long> peakLines_;
    std::optional<common::Error> tooLong_;
    peaks::PeakRecordStream records_;
};

// The peaks of the run file at `path`. Throws common::Error: the file cannot be read (the reader's
// refusals), or the extraction refuses its peak lines (see RunPeakReader::finish).
RunPeaks readRunPeaks(const std::string& path);

} // namespace kestrana::defects
