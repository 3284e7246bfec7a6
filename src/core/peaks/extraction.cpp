// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Kestrana developers

#include "core/peaks/extraction.h"

#include "core/common/errors.h"

namespace kestrana::peaks {

namespace {

// The numbers of a line: runs of characters between commas and blanks.
int numbersIn(std::string_view text) {
    int count = 0;
    bool inNumber = false;
    for (const char c : text) {
        const bool separator = runfile::isNumberSeparator(c);
        count += !separator && !inNumber ? 1 : 0;
        inNumber = !separator;
    }
    return count;
}

} // namespace

int rowsPerRecord(int itemsPerRecord) {
    return itemsPerRecord < 8 ? 0 : (itemsPerRecord - 6) / 2;
}

void expandRecord(const RecordSlots& record, int itemsPerRecord, std::vector<PeakRow>& rows) {
    const int pairs = rowsPerRecord(itemsPerRecord);
    for (int m = 1; m <= pairs; ++m) {
        rows.push_back(PeakRow{record[2], record[3], record[5], record[static_cast<std::size_t>(2 * m + 5)],
                               record[static_cast<std::size_t>(2 * m + 4)]});
    }
}

PeakRecordStream::PeakRecordStream(std::string scratchName, std::string firstLineName, RowsHandler onRows)
    : scratchName_(std::move(scratchName)), firstLineName_(std::move(firstLineName)),
      onRows_(std::move(onRows)) {}

void PeakRecordStream::setKilometreLine(std::string_view kmLine) {
    kmLineNumbers_ = numbersIn(kmLine);
    if (numbers_) {
        numbers_->setKilometreLine(kmLine);
    }
}

void PeakRecordStream::stop() {
    stopped_ = true;
    if (numbers_) {
        numbers_->stop();
    }
}

void PeakRecordStream::addPeakLine(std::string_view kmLine, std::string_view peakLine,
                                   const std::string& runPath, long lineNumber) {
    if (kmLineNumbers_ + numbersIn(peakLine) > kMaxRecordItems) {
        throw common::Error("the peak line and its kilometre line hold more than 26 numbers", runPath,
                            lineNumber)
            .withMessage(kRecordTooLongMessage);
    }
    if (!numbers_) {
        const runfile::PairNumbers first = runfile::numbersOfPair(kmLine, peakLine);
        width_ = static_cast<std::int16_t>(first.count);
        if (first.problem) {
            widthFault_ = Fault{kBadNumberMessage, *first.problem, 1};
        }
        numbers_.emplace(width_, [this](const RecordSlots& record, long) {
            rows_.clear();
            expandRecord(record, width_, rows_);
            onRows_(rows_);
        });
        numbers_->setKilometreLine(kmLine);
        // A first record of no numbers (possible only for a line that is not a "67" line) makes
        // records of no numbers: nothing to read, and the stream's slots must not be overrun.
        if (first.problem || stopped_ || width_ == 0) {
            numbers_->stop();
        }
    }
    numbers_->addPair(peakLine);
}

std::optional<PeakRecordStream::Fault> PeakRecordStream::recordFault() const {
    if (!numbers_) {
        return std::nullopt;
    }
    if (const auto& bad = numbers_->badNumber()) {
        return Fault{kBadNumberMessage, bad->problem, bad->pair};
    }
    if (numbers_->pendingNumbers() > 0) {
        return Fault{kRecordCutShortMessage,
                     "the numbers end inside a record of " + std::to_string(width_) + " numbers",
                     numbers_->pairs() + 1};
    }
    return std::nullopt;
}

namespace {
std::optional<common::Error> failureIn(const std::optional<PeakRecordStream::Fault>& fault,
                                       const std::string& fileName) {
    if (!fault) {
        return std::nullopt;
    }
    return common::Error::refused(fault->message,
                                  common::Error(fault->problem, fileName, fault->line).reason());
}
} // namespace

std::optional<common::Error> PeakRecordStream::widthFailure() const {
    return failureIn(widthFault_, firstLineName_);
}

std::optional<common::Error> PeakRecordStream::recordFailure() const {
    return failureIn(recordFault(), scratchName_);
}

} // namespace kestrana::peaks
