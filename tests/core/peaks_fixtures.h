#pragma once
// Small run files for the peak analyser's tests, written line by line: kilometre lines ended by a
// comma as the car writes them, and peak lines of chosen values and locations.

#include "peaks/extraction.h"
#include "platform/record_store.h"

#include <string>
#include <vector>

namespace kestrana::test {

struct Peak {
    int value;
    int location;
};

inline std::string kmLine(int from, int to) {
    std::string line = "60,";
    line += std::to_string(from);
    line += ",";
    line += std::to_string(to);
    return line + ",";
}

// "67", the parameter code, the pairs (value, location) and one trailing number.
inline std::string peakLine(int code, const std::vector<Peak>& peaks, int trailing = 0) {
    std::string line = "67,";
    line += std::to_string(code);
    for (const Peak& peak : peaks) {
        line += ",";
        line += std::to_string(peak.value);
        line += ",";
        line += std::to_string(peak.location);
    }
    line += ",";
    return line + std::to_string(trailing);
}

// Eight pairs whose values are `first`, then `rest` for the other seven, at locations 100, 200, ...
inline std::vector<Peak> eightPeaks(int first, int rest) {
    std::vector<Peak> peaks{{first, 100}};
    for (int m = 2; m <= 8; ++m) {
        peaks.push_back({rest, 100 * m});
    }
    return peaks;
}

inline std::string runText(const std::vector<std::string>& lines) {
    std::string text;
    for (const auto& line : lines) {
        text += line + "\r\n";
    }
    return text;
}

// Every row of the "peaks" table in stored order.
inline std::vector<peaks::PeakRow> storedRows(const std::string& databaseBase) {
    auto store = platform::RecordStore::open(databaseBase);
    platform::RecordStore::RowSet rows(store,
                                       "SELECT fild0, fild1, fild2, fild3, fild4 FROM peaks ORDER BY rowid");
    std::vector<peaks::PeakRow> result;
    for (; rows.hasCurrent(); rows.moveNext()) {
        result.push_back({rows.field(0), rows.field(1), rows.field(2), rows.field(3), rows.field(4)});
    }
    return result;
}

} // namespace kestrana::test
