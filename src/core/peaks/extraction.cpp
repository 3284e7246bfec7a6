#include "core/peaks/extraction.h"

#include "core/peaks/texts.h"
#include "core/platform/errors.h"
#include "core/platform/paths.h"

#include <fstream>
#include <limits>

namespace kestrana::peaks {

namespace {

std::string reasonAt(const std::string& what, const std::string& fileName, long line) {
    return platform::KestranaError(what, fileName, line).reason();
}

// The numbers of a line: runs of characters between commas and blanks.
int numbersIn(std::string_view text) {
    int count = 0;
    bool inNumber = false;
    for (const char c : text) {
        const bool separator = c == ',' || c == ' ' || c == '\t';
        count += !separator && !inNumber ? 1 : 0;
        inNumber = !separator;
    }
    return count;
}

// The count of numbers in the copied first line. The scan has refused records of more than 26.
std::int16_t countRecordItems(std::string_view text, const std::string& fileName) {
    runfile::RecordFieldStream stream(text, fileName);
    std::int16_t count = 0;
    while (!stream.atEnd() && count < std::numeric_limits<std::int16_t>::max()) {
        try {
            stream.next();
        } catch (const platform::KestranaError& error) {
            throw PeakError(kBadNumberMessage, error.reason());
        }
        ++count;
    }
    return count;
}

} // namespace

long scanPeaks(const std::string& runPath, const std::string& scratchPath, runfile::RunHeader& header) {
    header = runfile::RunHeader{};
    std::string scratch;
    long records = 0;
    try {
        runfile::PairingOptions options;
        options.pairCode = "67";
        // The peak analyser counts its records without the 16-bit limit of the other readers.
        options.maxPairs = std::numeric_limits<long>::max();
        records = runfile::readPairs(
            runPath, options, header,
            [&](std::string_view kmLine, std::string_view peakLine, long lineNumber) {
                // Records are read back as one stream of numbers, so a longer record would shift
                // every later one silently: refuse it here, where its line is known.
                if (numbersIn(kmLine) + numbersIn(peakLine) > kMaxRecordItems) {
                    throw PeakError(kRecordTooLongMessage,
                                    reasonAt("the peak line and its kilometre line hold more than 26 numbers",
                                             runPath, lineNumber));
                }
                runfile::appendScratchLine(scratch, kmLine, peakLine);
            });
    } catch (const platform::KestranaError& error) {
        throw PeakError(kRunFileFailedMessage, error.reason());
    }
    try {
        platform::writeFileAtomically(scratchPath, scratch);
    } catch (const platform::KestranaError& error) {
        throw PeakError(kScratchFailedMessage, error.reason());
    }
    return records;
}

std::int16_t measureRecordWidth(const std::string& scratchPath, const std::string& firstLinePath) {
    std::ifstream scratch(scratchPath, std::ios::binary);
    if (!scratch) {
        throw PeakError(kScratchFailedMessage, reasonAt("cannot open the scratch file", scratchPath, 0));
    }
    // The first line ends at its CR LF (or a lone CR or LF).
    std::string firstLine;
    char c = 0;
    bool any = false;
    while (scratch.get(c)) {
        any = true;
        if (c == '\r' || c == '\n') {
            break;
        }
        firstLine += c;
    }
    if (scratch.bad()) {
        throw PeakError(kScratchFailedMessage, reasonAt("cannot read the scratch file", scratchPath, 0));
    }
    std::string copy = any ? firstLine + "\r\n" : std::string();
    std::string readBack;
    try {
        platform::writeFileAtomically(firstLinePath, copy);
        readBack = platform::readWholeFile(firstLinePath);
    } catch (const platform::KestranaError& error) {
        throw PeakError(kScratchFailedMessage, error.reason());
    }
    return countRecordItems(readBack, firstLinePath);
}

int rowsPerRecord(int itemsPerRecord) {
    return itemsPerRecord < 8 ? 0 : (itemsPerRecord - 6) / 2;
}

PeakRecordReader::PeakRecordReader(std::string_view text, std::string fileName, int itemsPerRecord)
    : stream_(text, fileName), fileName_(std::move(fileName)), itemsPerRecord_(itemsPerRecord) {
    if (itemsPerRecord > kMaxRecordItems) {
        throw PeakError(
            kRecordTooLongMessage,
            reasonAt("a record width of " + std::to_string(itemsPerRecord) + " numbers is more than 26",
                     fileName_, 0));
    }
}

bool PeakRecordReader::next() {
    // A width of 0 comes only from an empty scratch file; it must never read a record.
    if (itemsPerRecord_ <= 0 || stream_.atEnd()) {
        return false;
    }
    for (int item = 1; item <= itemsPerRecord_; ++item) {
        if (item > 1 && stream_.atEnd()) {
            throw PeakError(kRecordCutShortMessage, reasonAt("the numbers end inside a record of " +
                                                                 std::to_string(itemsPerRecord_) + " numbers",
                                                             fileName_, stream_.line()));
        }
        try {
            record_[static_cast<std::size_t>(item)] = stream_.next();
        } catch (const platform::KestranaError& error) {
            throw PeakError(kBadNumberMessage, error.reason());
        }
    }
    return true;
}

void expandRecord(const RecordSlots& record, int itemsPerRecord, std::vector<PeakRow>& rows) {
    const int pairs = rowsPerRecord(itemsPerRecord);
    for (int m = 1; m <= pairs; ++m) {
        rows.push_back(PeakRow{record[2], record[3], record[5], record[static_cast<std::size_t>(2 * m + 5)],
                               record[static_cast<std::size_t>(2 * m + 4)]});
    }
}

} // namespace kestrana::peaks
