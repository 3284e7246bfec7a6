#pragma once
// Run files for the peak analyser's tests, and what SHOW DETAILS must list for a run worked out
// from the run's own lines (shared by the core, command-line and screen tests).

#include "core/peaks/peak_database.h"
#include "core/peaks/query.h"
#include "core/peaks/texts.h"
#include "core/platform/record_store.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <map>
#include <sstream>
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
    } catch (const kestrana::platform::Error& error) {
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
        auto store = platform::RecordStore::open(files.databaseBase);
        platform::RecordStore::RowSet set(
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

struct ExpectedListing {
    peaks::ColumnLists lists;
    int kmCount = 0;
    int peakCount = 0;
};

// SHOW DETAILS over lo..hi (lo < hi) of parameter `code` against `limit`, with eight peak columns,
// from the run's lines read here: the direction from its first kilometre line; per kilometre in
// that direction, the first peak line of the parameter; its first pair decides whether the
// kilometre is listed, and every pair above the limit is shown and counted.
inline ExpectedListing expectedListing(const std::string& run, int code, int limit, int lo, int hi) {
    std::map<int, std::pair<int, std::vector<int>>> kms; // km from -> (km to, numbers of the peak line)
    int kmFrom = 0, direction = 0;
    std::istringstream lines(run);
    for (std::string line; std::getline(lines, line);) {
        if (line.rfind("60", 0) != 0 && line.rfind("67", 0) != 0) {
            continue;
        }
        std::vector<int> numbers;
        std::istringstream fields(line);
        for (std::string field; std::getline(fields, field, ',');) {
            if (field.find_first_not_of(" \r") != std::string::npos) {
                numbers.push_back(std::stoi(field));
            }
        }
        if (numbers.at(0) == 60) {
            kmFrom = numbers.at(1);
            direction = direction == 0 ? numbers.at(2) - kmFrom : direction;
            kms.try_emplace(kmFrom, numbers.at(2), std::vector<int>{});
        } else if (numbers.at(1) == code && kms[kmFrom].second.empty()) {
            kms[kmFrom].second = numbers;
        }
    }
    ExpectedListing expected;
    auto add = [&](int list, const std::string& text) {
        expected.lists[static_cast<std::size_t>(list)].push_back(text);
        expected.lists[static_cast<std::size_t>(list)].emplace_back();
    };
    for (int step = 0; step < hi - lo; ++step) {
        const int km = direction > 0 ? lo + step : hi - step;
        const auto found = kms.find(km);
        if (found == kms.end() || found->second.second.size() < 4 || found->second.second[2] <= limit) {
            continue;
        }
        const std::vector<int>& numbers = found->second.second;
        ++expected.kmCount;
        add(0, std::to_string(km));
        add(1, std::to_string(found->second.first));
        for (std::size_t m = 1; m <= 8; ++m) {
            const bool above = 2 * m + 1 < numbers.size() - 1 && numbers[2 * m] > limit;
            expected.peakCount += above ? 1 : 0;
            add(static_cast<int>(2 * m), above ? std::to_string(numbers[2 * m + 1]) : "");
            add(static_cast<int>(2 * m + 1), above ? std::to_string(numbers[2 * m]) : "");
        }
    }
    return expected;
}

} // namespace kestrana::test
