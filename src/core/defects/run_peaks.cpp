// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Kestrana developers

#include "core/defects/run_peaks.h"

#include "core/common/errors.h"
#include "core/runfile/line_reader.h"
#include "core/runfile/run_reader.h"

#include <algorithm>
#include <limits>
#include <span>

namespace kestrana::defects {

RunPeakReader::RunPeakReader(std::string runPath)
    : runPath_(std::move(runPath)),
      // The scratch names are never shown: faults are reported against the run file itself.
      records_(runPath_, runPath_, [this](std::span<const peaks::PeakRow> rows) {
          for (const peaks::PeakRow& row : rows) {
              peaks_.push_back(Peak{row.fild0, row.fild2, row.fild3, row.fild4});
          }
      }) {}

void RunPeakReader::kilometreLine(std::string_view kmLine) {
    records_.setKilometreLine(kmLine);
}

void RunPeakReader::peakLine(std::string_view kmLine, std::string_view peakLine, long lineNumber) {
    if (tooLong_) {
        return;
    }
    try {
        records_.addPeakLine(kmLine, peakLine, runPath_, lineNumber);
    } catch (const common::Error& error) {
        // The extraction stops reading here; so do the peaks.
        tooLong_ = error;
        records_.stop();
        return;
    }
    peakLines_.push_back(lineNumber);
}

void RunPeakReader::line(std::string_view text, long lineNumber, bool tooLong) {
    if (tooLong && (text.starts_with("60") || text.starts_with("67"))) {
        if (!tooLong_) {
            tooLong_ = common::Error("the line is longer than " + std::to_string(runfile::kMaxLineLength) +
                                         " characters, more than any run file line can be",
                                     runPath_, lineNumber);
            records_.stop();
        }
        return;
    }
    if (text.starts_with("60")) {
        kmLine_.assign(text);
        kilometreLine(kmLine_);
    } else if (text.starts_with("67")) {
        peakLine(kmLine_, text, lineNumber);
    }
}

long RunPeakReader::lineOfRecordLine(long recordLine) const {
    if (peakLines_.empty()) {
        return 0;
    }
    // Numbers that end inside a record are found past the last record line: at the last peak line.
    const auto index = std::clamp<long>(recordLine, 1, static_cast<long>(peakLines_.size())) - 1;
    return peakLines_[static_cast<std::size_t>(index)];
}

RunPeaks RunPeakReader::finish() {
    // The faults in the order the extraction ranks them: a record too long stops the reading at once,
    // then the first record, then the later ones.
    if (tooLong_) {
        peaks_ = {};
        throw *tooLong_;
    }
    auto fault = records_.widthFault();
    if (!fault) {
        fault = records_.recordFault();
    }
    if (fault) {
        peaks_ = {};
        throw common::Error(fault->problem, runPath_, lineOfRecordLine(fault->line))
            .withMessage(fault->message);
    }
    peaks_.shrink_to_fit();
    return std::move(peaks_);
}

RunPeaks readRunPeaks(const std::string& path) {
    RunPeakReader reader(path);
    runfile::RunHeader header;
    runfile::PairingOptions options;
    options.pairCode = "67";
    // As the peak analyser: peak lines are not limited to the 16-bit count of the other readers.
    options.maxPairs = std::numeric_limits<long>::max();
    options.onKilometreLine = [&](std::string_view kmLine) { reader.kilometreLine(kmLine); };
    runfile::readPairs(path, options, header,
                       [&](std::string_view kmLine, std::string_view line, long number) {
                           reader.peakLine(kmLine, line, number);
                       });
    return reader.finish();
}

} // namespace kestrana::defects
