#include "core/peaks/extraction.h"

#include "core/platform/errors.h"

namespace kestrana::peaks {

namespace {

std::string reasonAt(const std::string& what, const std::string& fileName, long line) {
    return platform::Error(what, fileName, line).reason();
}

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
        throw platform::Error::refused(
            kRecordTooLongMessage,
            reasonAt("the peak line and its kilometre line hold more than 26 numbers", runPath, lineNumber));
    }
    if (!numbers_) {
        const runfile::PairNumbers first = runfile::numbersOfPair(kmLine, peakLine);
        width_ = static_cast<std::int16_t>(first.count);
        if (first.problem) {
            widthFailure_ =
                platform::Error::refused(kBadNumberMessage, reasonAt(*first.problem, firstLineName_, 1));
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

std::optional<platform::Error> PeakRecordStream::recordFailure() const {
    if (!numbers_) {
        return std::nullopt;
    }
    if (const auto& bad = numbers_->badNumber()) {
        return platform::Error::refused(kBadNumberMessage, reasonAt(bad->problem, scratchName_, bad->pair));
    }
    if (numbers_->pendingNumbers() > 0) {
        return platform::Error::refused(
            kRecordCutShortMessage,
            reasonAt("the numbers end inside a record of " + std::to_string(width_) + " numbers",
                     scratchName_, numbers_->pairs() + 1));
    }
    return std::nullopt;
}

} // namespace kestrana::peaks
