// SHOW DETAILS of the peak analyser: the walk in the run's direction, the first-peak rule, the column
// lists, the counts, the share and the summary captions, and the refusals.

#include "peaks/parameters.h"
#include "peaks/peak_database.h"
#include "peaks/query.h"
#include "peaks/texts.h"
#include "peaks_fixtures.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <map>

namespace kestrana::peaks {
namespace {

using test::kmLine;
using test::peakLine;
using test::runText;

// Values of the eight peaks of parameter 6 (UN2L) for kilometres 120 to 129, locations 100 to 800.
// With the default limit 15: km 121 (first 20), 125 (first 16) and 129 (first 30) are listed; a first
// peak of 15 equals the limit; km 123 has a 40 behind a first peak of 10, which is never seen.
const std::map<int, std::vector<int>> kUn2lValues = {
    {120, {15, 30, 30, 30, 30, 30, 30, 30}}, {121, {20, 18, 16, 15, 14, 17, 3, 2}},
    {122, {15, 9, 9, 9, 9, 9, 9, 9}},        {123, {10, 40, 40, 40, 40, 40, 40, 40}},
    {124, {15, 5, 5, 5, 5, 5, 5, 5}},        {125, {16, 15, 15, 15, 15, 15, 15, 15}},
    {126, {15, 5, 5, 5, 5, 5, 5, 5}},        {127, {15, 5, 5, 5, 5, 5, 5, 5}},
    {128, {15, 5, 5, 5, 5, 5, 5, 5}},        {129, {30, 5, 5, 5, 5, 5, 5, 5}},
};

std::vector<test::Peak> peaksOf(const std::vector<int>& values) {
    std::vector<test::Peak> peaks;
    for (std::size_t m = 0; m < values.size(); ++m) {
        peaks.push_back({values[m], static_cast<int>(100 * (m + 1))});
    }
    return peaks;
}

class PeakQueryTest : public ::testing::Test {
protected:
    // Kilometres 120 to 129 of kUn2lValues, and km 130 with a high first peak, in the run's direction;
    // every kilometre also has GAUGE (code 3) peaks of 50 that a UN2L query must not see.
    void processRun(int direction) {
        std::vector<std::string> lines{"95,1,120326,0815,TRC", "91,0034,NR,KM,NAGPUR - WARDHA UP MAIN LINE"};
        auto addKm = [&](int km, const std::vector<int>& values) {
            // A falling run names each kilometre by its upper end: km + 1 down to km.
            lines.push_back(direction > 0 ? kmLine(km, km + 1) : kmLine(km + 1, km));
            lines.push_back(peakLine(3, peaksOf({50, 50, 50, 50, 50, 50, 50, 50})));
            lines.push_back(peakLine(6, peaksOf(values)));
        };
        if (direction > 0) {
            for (const auto& [km, values] : kUn2lValues) {
                addKm(km, values);
            }
            addKm(130, {40, 40, 40, 40, 40, 40, 40, 40});
        } else {
            addKm(130, {40, 40, 40, 40, 40, 40, 40, 40});
            for (auto it = kUn2lValues.rbegin(); it != kUn2lValues.rend(); ++it) {
                addKm(it->first, it->second);
            }
        }
        test::writeFile(folder.file("run.txt"), runText(lines));
        processPeakData(folder.file("run.txt"), files, session);
    }

    PeakSummary show(const std::string& from, const std::string& to, const std::string& limit = "15",
                     const std::string& parameter = "UN2L") {
        return showDetails({parameter, limit, from, to}, session, files.databaseBase);
    }

    void expectRefused(const ShowDetailsInput& input, std::string_view message) {
        try {
            showDetails(input, session, files.databaseBase);
            ADD_FAILURE() << "not refused, expected: " << message;
        } catch (const PeakError& error) {
            EXPECT_EQ(error.message(), message);
        }
    }

    test::TempFolder folder;
    PeakFiles files = PeakFiles::in(folder.path());
    PeakSession session;
};

using Entries = std::vector<std::string>;

TEST(PeakListing, OnlyTheFirstPeakDecidesWhetherAKilometreIsListed) {
    ColumnLists lists;
    std::int16_t peaks = 0;
    const std::vector<PeakRow> equal{{120, 121, 6, 350, 15}, {120, 121, 6, 12, 40}};
    EXPECT_FALSE(listKilometre(equal, 15, 8, lists, peaks));
    EXPECT_TRUE(lists[0].empty());
    EXPECT_EQ(peaks, 0);

    const std::vector<PeakRow> above{{120, 121, 6, 350, 16}, {120, 121, 6, 12, 7}, {120, 121, 6, 13, 17}};
    EXPECT_TRUE(listKilometre(above, 15, 4, lists, peaks));
    EXPECT_EQ(peaks, 2);
    EXPECT_EQ(lists[0], (Entries{"120", ""}));
    EXPECT_EQ(lists[1], (Entries{"121", ""}));
    EXPECT_EQ(lists[2], (Entries{"350", ""}));
    EXPECT_EQ(lists[3], (Entries{"16", ""}));
    EXPECT_EQ(lists[4], (Entries{"", ""})); // 7 is not above the limit
    EXPECT_EQ(lists[6], (Entries{"13", ""}));
    EXPECT_EQ(lists[8], (Entries{"", ""})); // there is no fourth row
    EXPECT_TRUE(lists[10].empty());         // beyond the four columns in use
}

TEST_F(PeakQueryTest, RisingRunListsKilometresAboveTheLimitWithCountsAndShare) {
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
    EXPECT_EQ(summary.label5, " Number of Kms having UN2L peaks more than 15 mm = 3 ( 30.00% )");
    EXPECT_EQ(summary.label6, " Total number of UN2L peaks more than 15 mm = 6");
    EXPECT_EQ(session.kmShare, 30.0f);
    EXPECT_EQ(session.totalPeaks, 6);
    EXPECT_EQ(session.parameterCode, 6);

    // The ends in the other order give the same result.
    EXPECT_EQ(show("130", "120").lists, summary.lists);
}

TEST_F(PeakQueryTest, FallingRunWalksDownFromTheUpperEnd) {
    processRun(-1);
    const auto summary = show("120", "130");
    // Kilometres from 130 down to 121 by their km from; the one from 131 to 130 is not visited.
    EXPECT_EQ(summary.lists[0], (Entries{"130", "", "126", "", "122", ""}));
    EXPECT_EQ(summary.lists[1], (Entries{"129", "", "125", "", "121", ""}));
    EXPECT_EQ(summary.kmCount, 3);
    EXPECT_EQ(summary.peakCount, 6);
}

TEST_F(PeakQueryTest, SharesOfOneInThreeNoneAndAll) {
    processRun(1);
    auto summary = show("120", "123");
    EXPECT_EQ(summary.shareText, "33.33");
    EXPECT_EQ(session.kmShare, 33.33f);

    summary = show("120", "130", "99");
    EXPECT_EQ(summary.kmCount, 0);
    EXPECT_EQ(summary.label5, " Number of Kms having UN2L peaks more than 99 mm = 0 ( 00.00% )");
    EXPECT_TRUE(summary.lists[0].empty());
    EXPECT_EQ(session.kmShare, 0.0f);

    summary = show("120", "130", "5");
    EXPECT_EQ(summary.kmCount, 10);
    EXPECT_EQ(summary.shareText, "100.00");
    EXPECT_EQ(session.kmShare, 100.0f);
}

TEST_F(PeakQueryTest, LimitTextsAreRoundedHalvesToEvenButShownAsTyped) {
    processRun(1);
    // 14.5 gives 14: the first peaks of 15 count too, all but km 123.
    auto summary = show("120", "130", "14.5");
    EXPECT_EQ(summary.kmCount, 9);
    EXPECT_EQ(summary.label5, " Number of Kms having UN2L peaks more than 14.5 mm = 9 ( 90.00% )");
    // 15.5 gives 16: km 125 (first peak 16) now equals the limit.
    summary = show("120", "130", "15.5");
    EXPECT_EQ(summary.lists[0], (Entries{"121", "", "129", ""}));
    // "0.20", the default of VACC and LACC, gives 0.
    summary = show("120", "130", "0.20");
    EXPECT_EQ(summary.kmCount, 10);
}

TEST_F(PeakQueryTest, KilometresMissingFromTheDatabaseAddNothing) {
    processRun(1);
    const auto summary = show("100", "122");
    EXPECT_EQ(summary.lists[0], (Entries{"121", ""}));
    EXPECT_EQ(summary.kmCount, 1);
    EXPECT_EQ(summary.shareText, "04.55"); // 1 of 22
}

TEST_F(PeakQueryTest, TheParameterIsTakenFromItsTextEveryTime) {
    processRun(1);
    chooseParameter("UN1L", session);
    auto summary = show("120", "123", "49", "GAUGE");
    EXPECT_EQ(session.parameterCode, 3);
    EXPECT_EQ(summary.kmCount, 3); // the GAUGE peaks of 50
    EXPECT_EQ(summary.label6, " Total number of GAUGE peaks more than 49 mm = 24");
    summary = show("120", "123", "49", "UN2L");
    EXPECT_EQ(session.parameterCode, 6);
    EXPECT_EQ(summary.kmCount, 0);
}

TEST_F(PeakQueryTest, RangeOfFiftyKmIsAcceptedAndWiderOrEmptyRangesAreRefused) {
    processRun(1);
    show("120", "130");
    EXPECT_NO_THROW(show("100", "150"));
    show("120", "130");
    expectRefused({"UN2L", "15", "100", "151"}, kRangeTooWideMessage);
    expectRefused({"UN2L", "15", "125", "125"}, kEmptyRangeMessage);
    // A refusal keeps the share and total of the last summary.
    EXPECT_EQ(session.kmShare, 30.0f);
    EXPECT_EQ(session.totalPeaks, 6);
}

TEST_F(PeakQueryTest, TextsThatAreNoNumbersOrNoParameterAreRefused) {
    processRun(1);
    expectRefused({"UN2L", "15", "abc", "130"}, kBadKmMessage);
    expectRefused({"UN2L", "15", "120", "40000"}, kBadKmMessage);
    expectRefused({"UN2L", "", "120", "130"}, kBadLimitMessage);
    expectRefused({"UN2L", "1e6", "120", "130"}, kBadLimitMessage);
    expectRefused({"un2l", "15", "120", "130"}, kUnknownParameterMessage);
    expectRefused({"", "15", "120", "130"}, kUnknownParameterMessage);
}

TEST_F(PeakQueryTest, WithoutProcessDataTheStoredRowsGiveTheDirection) {
    expectRefused({"UN2L", "15", "120", "130"}, kNoDatabaseMessage);
    processRun(-1);
    PeakSession fresh; // the program started again with the database left on disk
    const auto summary = showDetails({"UN2L", "15", "120", "130"}, fresh, files.databaseBase);
    EXPECT_EQ(fresh.direction, -1);
    EXPECT_EQ(summary.lists[0], (Entries{"130", "", "126", "", "122", ""}));
    EXPECT_EQ(summary.lists[17].size(), 6u); // eight peak columns, as PROCESS DATA would give
}

TEST_F(PeakQueryTest, OddRecordWidthsShowEightColumns) {
    // 7 pairs and two trailing numbers: 21 numbers, 7 stored rows, 8 columns; the eighth stays empty.
    const std::vector<test::Peak> seven(7, {20, 5});
    test::writeFile(folder.file("run.txt"), runText({kmLine(120, 121), peakLine(6, seven) + ",0"}));
    processPeakData(folder.file("run.txt"), files, session);
    ASSERT_EQ(session.itemsPerRecord, 21);
    auto summary = show("120", "121");
    EXPECT_EQ(summary.peakCount, 7);
    EXPECT_EQ(summary.lists[14], (Entries{"5", ""}));
    EXPECT_EQ(summary.lists[16], (Entries{"", ""}));
    EXPECT_EQ(summary.lists[17], (Entries{"", ""}));
    EXPECT_TRUE(summary.lists[18].empty());

    // 8 pairs and two trailing numbers: 23 numbers, 8 rows, 8 columns.
    test::writeFile(folder.file("run.txt"),
                    runText({kmLine(120, 121), peakLine(6, std::vector<test::Peak>(8, {20, 5})) + ",0"}));
    processPeakData(folder.file("run.txt"), files, session);
    summary = show("120", "121");
    EXPECT_EQ(summary.peakCount, 8);
    EXPECT_EQ(summary.lists[17], (Entries{"20", ""}));
}

} // namespace
} // namespace kestrana::peaks
