// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Kestrana developers

// SHOW DETAILS of the peak analyser: the walk in the run's direction, the first-peak rule, the column
// lists, the counts, the share and the summary captions, and the refusals.

#include "core/peaks/parameters.h"
#include "peaks_fixtures.h"

namespace kestrana::peaks {
namespace {

using test::kmLine;
using test::peakLine;
using test::runText;
using Entries = std::vector<std::string>;

// Values of the eight peaks of parameter 6 (UN2L) for kilometres 120 to 129, locations 100 to 800.
// With the limit 15: km 121 (first 20), 125 (first 16) and 129 (first 30) are listed; a first peak
// of 15 equals the limit; km 123 has a 40 behind a first peak of 10, which is never seen.
const std::map<int, std::vector<int>> kUn2lValues = {
    {120, {15, 30, 30, 30, 30, 30, 30, 30}}, {121, {20, 18, 16, 15, 14, 17, 3, 2}},
    {122, {15, 9, 9, 9, 9, 9, 9, 9}},        {123, {10, 40, 40, 40, 40, 40, 40, 40}},
    {124, {15, 5, 5, 5, 5, 5, 5, 5}},        {125, {16, 15, 15, 15, 15, 15, 15, 15}},
    {126, {15, 5, 5, 5, 5, 5, 5, 5}},        {127, {15, 5, 5, 5, 5, 5, 5, 5}},
    {128, {15, 5, 5, 5, 5, 5, 5, 5}},        {129, {30, 5, 5, 5, 5, 5, 5, 5}},
};

class PeakQueryTest : public test::PeakRunTest {
protected:
    // Kilometres 120 to 129 of kUn2lValues and km 130 with a high first peak, in the run's direction;
    // every kilometre also has GAUGE (code 3) peaks of 50 that a UN2L query must not see.
    void processRun(int direction) {
        std::vector<std::string> lines;
        auto values = kUn2lValues;
        values[130] = std::vector<int>(8, 40);
        auto addKm = [&](int km, const std::vector<int>& peaks) {
            // A falling run names each kilometre by its upper end: km + 1 down to km.
            lines.push_back(direction > 0 ? kmLine(km, km + 1) : kmLine(km + 1, km));
            lines.push_back(peakLine(3, test::eightPeaks(50, 50)));
            std::vector<test::Peak> pairs;
            for (std::size_t m = 0; m < peaks.size(); ++m) {
                pairs.push_back({peaks[m], static_cast<int>(100 * (m + 1))});
            }
            lines.push_back(peakLine(6, pairs));
        };
        if (direction > 0) {
            for (const auto& [km, peaks] : values) {
                addKm(km, peaks);
            }
        } else {
            for (auto it = values.rbegin(); it != values.rend(); ++it) {
                addKm(it->first, it->second);
            }
        }
        process(lines);
    }

    PeakSummary show(const std::string& from, const std::string& to, const std::string& limit = "15",
                     const std::string& parameter = "UN2L") {
        return showDetails({parameter, limit, from, to}, session, files.databaseBase);
    }
};

TEST_F(PeakQueryTest, ListsKilometresWhoseFirstPeakIsAboveTheLimitOfTheParameterTypedEachTime) {
    processRun(1);
    const auto summary = show("120", "130");
    EXPECT_EQ(summary.kmCount, 3);
    EXPECT_EQ(summary.peakCount, 6); // 20, 18, 16, 17 of km 121; 16 of km 125; 30 of km 129
    EXPECT_EQ(summary.lists[0], (Entries{"121", "", "125", "", "129", ""}));
    EXPECT_EQ(summary.lists[1], (Entries{"122", "", "126", "", "130", ""}));
    EXPECT_EQ(summary.lists[2], (Entries{"100", "", "100", "", "100", ""}));
    EXPECT_EQ(summary.lists[3], (Entries{"20", "", "16", "", "30", ""}));
    EXPECT_EQ(summary.lists[8], (Entries{"", "", "", "", "", ""})); // the fourth peak of km 121 is 15
    EXPECT_EQ(summary.lists[12], (Entries{"600", "", "", "", "", ""}));
    EXPECT_EQ(summary.lists[13], (Entries{"17", "", "", "", "", ""}));
    EXPECT_TRUE(summary.lists[18].empty());
    EXPECT_EQ(summary.kmCountText, " Number of Kms having UN2L peaks more than 15 mm = 3 ( 30.00% )");
    EXPECT_EQ(summary.peakCountText, " Total number of UN2L peaks more than 15 mm = 6");
    EXPECT_EQ(session.kmShare, 30.0f);
    EXPECT_EQ(session.totalPeaks, 6);
    EXPECT_EQ(session.parameterCode, 6);
    EXPECT_EQ(show("130", "120").lists, summary.lists); // the ends in either order
}

TEST_F(PeakQueryTest, SharesAndLimitsRoundedHalvesToEvenButShownAsTyped) {
    processRun(1);
    struct Case {
        std::string from, to, limit;
        int kmCount;
        std::string share;
        float kmShare;
    };
    for (const Case& c : std::vector<Case>{
             {"120", "123", "15", 1, "33.33", 33.33f},
             {"120", "130", "99", 0, "00.00", 0.0f},
             {"120", "130", "5", 10, "100.00", 100.0f},
             {"100", "122", "15", 1, "04.55", 4.55f},   // kilometres missing from the database add nothing
             {"120", "130", "14.5", 9, "90.00", 90.0f}, // 14: first peaks of 15 count too
             {"120", "130", "15.5", 2, "20.00", 20.0f}, // 16: km 125's first peak equals it
             {"120", "130", "0.20", 10, "100.00", 100.0f},
         }) {
        const auto summary = show(c.from, c.to, c.limit);
        EXPECT_EQ(summary.kmCount, c.kmCount) << c.limit;
        EXPECT_EQ(summary.shareText, c.share);
        EXPECT_EQ(session.kmShare, c.kmShare);
        EXPECT_EQ(summary.kmCountText, " Number of Kms having UN2L peaks more than " + c.limit +
                                           " mm = " + std::to_string(c.kmCount) + " ( " + c.share + "% )");
    }
    // The parameter is taken from its text every time, whatever was chosen before.
    chooseParameter("UN1L", session);
    const auto gauge = show("120", "123", "49", "GAUGE");
    EXPECT_EQ(session.parameterCode, 3);
    EXPECT_EQ(gauge.kmCount, 3); // the GAUGE peaks of 50
    EXPECT_EQ(gauge.peakCountText, " Total number of GAUGE peaks more than 49 mm = 24");
    EXPECT_EQ(show("120", "123", "49", "UN2L").kmCount, 0);
    EXPECT_EQ(session.parameterCode, 6);
}

TEST_F(PeakQueryTest, RefusalsKeepTheLastShareAndTotal) {
    test::expectRefusal([&] { show("120", "130"); }, kNoDatabaseMessage);
    processRun(1);
    EXPECT_NO_THROW(show("100", "150")); // exactly 50 km
    show("120", "130");
    const std::vector<std::pair<ShowDetailsInput, std::string_view>> refusals{
        {{"UN2L", "15", "100", "151"}, kRangeTooWideMessage},
        {{"UN2L", "15", "125", "125"}, kEmptyRangeMessage},
        {{"UN2L", "15", "abc", "130"}, kBadKmMessage},
        {{"UN2L", "15", "120", "40000"}, kBadKmMessage},
        {{"UN2L", "", "120", "130"}, kBadLimitMessage},
        {{"UN2L", "1e6", "120", "130"}, kBadLimitMessage},
        {{"un2l", "15", "120", "130"}, kUnknownParameterMessage},
        {{"", "15", "120", "130"}, kUnknownParameterMessage},
    };
    for (const auto& [input, message] : refusals) {
        test::expectRefusal([&] { showDetails(input, session, files.databaseBase); }, message);
    }
    EXPECT_EQ(session.kmShare, 30.0f);
    EXPECT_EQ(session.totalPeaks, 6);
}

TEST_F(PeakQueryTest, WithoutProcessDataTheStoredRowsGiveTheDirection) {
    processRun(-1);
    PeakSession fresh; // the program started again with the database left on disk
    const auto summary = showDetails({"UN2L", "15", "120", "130"}, fresh, files.databaseBase);
    EXPECT_EQ(fresh.direction, -1);
    EXPECT_EQ(summary.lists[0], (Entries{"130", "", "126", "", "122", ""}));
    EXPECT_EQ(summary.lists[17].size(), 6u); // eight peak columns, as PROCESS DATA would give
}

TEST_F(PeakQueryTest, OddRecordWidthsShowColumnsRoundedHalvesToEven) {
    // 7 pairs and two trailing numbers: 21 numbers, 7 stored rows, 8 columns; the eighth stays empty.
    process({kmLine(120, 121), peakLine(6, std::vector<test::Peak>(7, {20, 5})) + ",0"});
    ASSERT_EQ(session.itemsPerRecord, 21);
    auto summary = show("120", "121");
    EXPECT_EQ(summary.peakCount, 7);
    EXPECT_EQ(summary.lists[14], (Entries{"5", ""}));
    EXPECT_EQ(summary.lists[16], (Entries{"", ""}));
    EXPECT_EQ(summary.lists[17], (Entries{"", ""}));
    EXPECT_TRUE(summary.lists[18].empty());
    // 8 pairs and two trailing numbers: 23 numbers, 8 columns.
    process({kmLine(120, 121), peakLine(6, std::vector<test::Peak>(8, {20, 5})) + ",0"});
    EXPECT_EQ(show("120", "121").lists[17], (Entries{"20", ""}));
    for (const auto& [width, columns] : {std::pair{22, 8}, {26, 10}, {7, 0}, {5, 0}, {0, 0}}) {
        EXPECT_EQ(pairColumns(width), columns) << width;
    }
}

} // namespace
} // namespace kestrana::peaks
