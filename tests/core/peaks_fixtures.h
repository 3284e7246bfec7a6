// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Kestrana developers

#pragma once
// Run files for the peak analyser's tests (shared by the core and command-line tests).

#include "core/peaks/peak_database.h"
#include "core/peaks/query.h"
#include "core/peaks/texts.h"
#include "core/storage/record_store.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

namespace kestrana::test {

struct Peak {
    int value;
    int location;
};

// A kilometre line ended by a comma, as the car writes it.
inline std::string kmLine(int from, int to) {
    return "60," + std::to_string(from) + "," + std::to_string(to) + ",";
}

// "67", the parameter code, the pairs (value, location) and one trailing number.
inline std::string peakLine(int code, const std::vector<Peak>& peaks, int trailing = 0) {
    std::string line = "67," + std::to_string(code);
    for (const Peak& peak : peaks) {
        line += "," + std::to_string(peak.value) + "," + std::to_string(peak.location);
    }
    return line + "," + std::to_string(trailing);
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

template <typename F> void expectRefusal(F&& action, std::string_view message) {
    try {
        action();
        ADD_FAILURE() << "no failure, expected: " << message;
    } catch (const kestrana::common::Error& error) {
        EXPECT_EQ(error.message(), message);
    }
}

// A folder with the peak analyser's files and a session of its own.
class PeakRunTest : public ::testing::Test {
protected:
    peaks::PeakProcessResult process(const std::vector<std::string>& lines) {
        writeFile(folder.file("run.txt"), runText(lines));
        return peaks::processPeakData(folder.file("run.txt"), files, session);
    }
    // Every row of the "peaks" table in stored order.
    std::vector<peaks::PeakRow> rows() const {
        auto store = storage::RecordStore::open(files.databaseBase);
        storage::RecordStore::RowSet set(
            store, "SELECT fild0, fild1, fild2, fild3, fild4 FROM peaks ORDER BY rowid");
        std::vector<peaks::PeakRow> result;
        for (; set.hasCurrent(); set.moveNext()) {
            result.push_back({set.field(0), set.field(1), set.field(2), set.field(3), set.field(4)});
        }
        return result;
    }

    TempFolder folder;
    peaks::PeakFiles files = peaks::PeakFiles::in(folder.path());
    peaks::PeakSession session;
};

} // namespace kestrana::test
