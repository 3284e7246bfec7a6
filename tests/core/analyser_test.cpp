// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Kestrana developers

// The analyser's operations: PROCESS INFORMATION (range selection, quality bands, shares, average
// and captions), SHOW DETAILS and CALC TRACK % (bounds, index choice, listing rows, the track-share
// caption), the raw-data view behind a clicked listing row, and the screen's button states,
// scrolling title and credit line.

#include "core/analyser/listing.h"
#include "core/analyser/quality.h"
#include "core/analyser/raw_view.h"
#include "core/analyser/screen_state.h"
#include "core/analyser/session.h"
#include "core/analyser_fixtures.h"

#include <gtest/gtest.h>

namespace kestrana::analyser {
namespace {

namespace field = runfile::field;
using Rows = std::vector<std::string>;
using test::makeBlock;
using test::makeTable;
using test::refusalOf;
using test::tableOfTgis;

// How many blocks PROCESS INFORMATION takes for the range start to end (0 when it refuses).
long blocksSelected(const runfile::BlockTable& table, int start, int end) {
    try {
        return processInformation(table, std::to_string(start), std::to_string(end)).blocksInRange;
    } catch (const kestrana::common::Error&) {
        return 0;
    }
}

TEST(AnalyserQuality, BandEdgesFallInTheRightBand) {
    for (auto [tgi, band] : std::vector<std::pair<int, int>>{
             {0, 0}, {-3, 0}, {1, 1}, {35, 1}, {36, 2}, {50, 2}, {51, 3}, {80, 3}, {81, 4}, {32767, 4}}) {
        EXPECT_EQ(qualityBandOf(static_cast<std::int16_t>(tgi)), band) << tgi;
    }
    const auto result = processInformation(tableOfTgis(100, 1, {35, 36, 50, 51, 80, 81}), "100", "106");
    EXPECT_EQ(result.bandCounts, (std::array<long, 4>{1, 2, 2, 1}));
}

TEST(AnalyserQuality, CaptionsShowTheExampleFiguresFractionsSmallAveragesAndNoAverage) {
    // Two non-recorded, three of 20, three of 40, two of 90.
    const auto result =
        processInformation(tableOfTgis(100, 1, {0, 20, 40, 90, 20, 0, 40, 20, 40, 90}), "100", "110");
    EXPECT_EQ(result.bandCaptions,
              (std::array<std::string, 4>{"TGI  < 36      =  30.00 %", "TGI  36 - 50  =  30.00 %",
                                          "TGI  51 - 80  =  0.00 %", "TGI  > 80     =  20.00 %"}));
    EXPECT_EQ(result.nonRecordedCaption, "Non Recorded Track = 20.00 %");
    EXPECT_EQ(result.averageCaption, "Average TGI =  45.00");
    EXPECT_EQ(result.chart.label, "TGI <36     TGI 36-50     TGI 51-80     TGI > 80");
    EXPECT_EQ(result.chart.bandShares, (std::array<double, 4>{30.0, 30.0, 0.0, 20.0}));
    EXPECT_EQ(result.range, (AnalysisRange{100, 110, 100, 110}));
    // One block in three non-recorded: 33.33 %, kept in single precision.
    const auto thirds = processInformation(tableOfTgis(0, 1, {0, 10, 40}), "0", "3");
    EXPECT_EQ(thirds.nonRecordedCaption, "Non Recorded Track = 33.33 %");
    EXPECT_EQ(thirds.averageCaption, "Average TGI =  25.00");
    // A negative TGI is recorded and averaged but in no band: (-1 + 2) / 2 = 0.5, shown as .50.
    const auto half = processInformation(tableOfTgis(0, 1, {-1, 2}), "0", "2");
    EXPECT_EQ(half.averageCaption, "Average TGI =  .50");
    EXPECT_EQ(half.bandCaptions[0], "TGI  < 36      =  50.00 %");
    EXPECT_EQ(half.nonRecordedCaption, "Non Recorded Track = 0.00 %");
    EXPECT_EQ(processInformation(tableOfTgis(0, 1, {90, 120}), "0", "2").bandCaptions[3],
              "TGI  > 80     =  100.00 %");
    EXPECT_EQ(processInformation(tableOfTgis(0, 1, {45, 46, 46}), "0", "3").averageCaption,
              "Average TGI =  45.67");
    // Every block non-recorded: the shares, and no average.
    const auto none = processInformation(tableOfTgis(0, 1, {0, 0, 0}), "0", "3");
    EXPECT_EQ(none.averageCaption, "Average TGI =  not available");
    EXPECT_FALSE(none.distribution.averageTgi.has_value());
    EXPECT_EQ(none.nonRecordedCaption, "Non Recorded Track = 100.00 %");
    EXPECT_EQ(none.bandCaptions[0], "TGI  < 36      =  0.00 %");
}

TEST(AnalyserQuality, OnlyBlocksWhollyInsideTheRangeInTheRunsDirectionAreSelected) {
    const auto rising = makeTable({{10, 11, 1, 20}});
    const auto falling = makeTable({{11, 10, 1, 20}});
    const auto twoKm = makeTable({{10, 12, 1, 20}, {12, 13, 1, 20}}); // direction 2 selects nothing
    struct Case {
        const runfile::BlockTable& table;
        int start, end;
        long selected;
    };
    for (const Case& c : std::vector<Case>{{rising, 10, 11, 1},
                                           {rising, 11, 10, 1},
                                           {rising, 10, 10, 0},
                                           {rising, 11, 12, 0},
                                           {rising, 9, 12, 1},
                                           {falling, 10, 11, 1},
                                           {falling, 11, 10, 1},
                                           {falling, 11, 11, 0},
                                           {falling, 11, 12, 0},
                                           {twoKm, 0, 100, 0}}) {
        EXPECT_EQ(blocksSelected(c.table, c.start, c.end), c.selected)
            << "direction " << c.table.runDirection << ", " << c.start << " to " << c.end;
    }
    // Blocks straddling either end are left out.
    EXPECT_EQ(blocksSelected(tableOfTgis(8, 1, {20, 20, 20, 20, 20, 20}), 12, 10), 2);
    EXPECT_EQ(blocksSelected(tableOfTgis(15, -1, {20, 20, 20, 20, 20, 20}), 10, 13), 3);
}

TEST(AnalyserQuality, KmTextsAreRoundedHalfToEvenOrRefused) {
    EXPECT_EQ(analysisRangeFromTexts("120.5", "121.5"), (AnalysisRange{120, 122, 120, 122}));
    EXPECT_EQ(analysisRangeFromTexts(" 130 ", "-7"), (AnalysisRange{130, -7, -7, 130}));
    EXPECT_EQ(analysisRangeFromTexts("-32768", "32767"), (AnalysisRange{-32768, 32767, -32768, 32767}));
    for (const char* bad : {"", "abc", "12km", "32768", "-32769", "32767.5", "1e6"}) {
        EXPECT_EQ(refusalOf([&] { analysisRangeFromTexts(bad, "10"); }), kRangeRefusedMessage) << bad;
        EXPECT_EQ(refusalOf([&] { analysisRangeFromTexts("10", bad); }), kRangeRefusedMessage) << bad;
    }
    // The range is refused before any block is looked at; an empty selection is refused too.
    EXPECT_EQ(refusalOf([&] { processInformation(runfile::BlockTable{}, "x", "10"); }), kRangeRefusedMessage);
    EXPECT_EQ(refusalOf([&] { processInformation(runfile::BlockTable{}, "0", "10"); }),
              kNoBlockInRangeMessage);
    EXPECT_EQ(refusalOf([&] { processInformation(tableOfTgis(100, 1, {20}), "500", "600"); }),
              kNoBlockInRangeMessage);
}

TEST(AnalyserSession, KeepsEachOperationsValuesOnlyWhenItSucceeds) {
    AnalyserSession session;
    session.keepTable(tableOfTgis(100, 1, {0, 20, 40, 90}));
    session.processInformation("104", "100");
    session.calcTrackShare("5", "15");
    session.showDetails("2", "30", "TGI");
    const AnalysisRange range{104, 100, 100, 104};
    EXPECT_EQ(session.range, range);
    EXPECT_DOUBLE_EQ(session.distribution.bandShares[3], 25.0);
    EXPECT_EQ(session.shareBounds, (ShareBounds{4, 16}));
    EXPECT_EQ(session.listingBounds, (ListingBounds{1, 31}));
    const QualityDistribution figures = session.distribution;

    EXPECT_THROW(session.processInformation("abc", "104"), kestrana::common::Error);
    EXPECT_THROW(session.processInformation("300", "400"), kestrana::common::Error);
    EXPECT_THROW(session.calcTrackShare("x", "15"), kestrana::common::Error);
    EXPECT_THROW(session.showDetails("2", "30", "TGIX"), kestrana::common::Error);
    EXPECT_EQ(session.range, range);
    EXPECT_EQ(session.distribution, figures);
    EXPECT_EQ(session.shareBounds, (ShareBounds{4, 16}));
    EXPECT_EQ(session.listingBounds, (ListingBounds{1, 31}));
}

AnalysisRange rangeOf(int start, int end) {
    return analysisRangeFromTexts(std::to_string(start), std::to_string(end));
}

// The TGIs of the listed rows, read back from the rows' TGI column (characters 34 to 36).
std::vector<std::string> listedTgis(const Listing& listing) {
    std::vector<std::string> tgis;
    for (const auto& row : listing.rows()) {
        tgis.push_back(row.substr(33, 3));
    }
    return tgis;
}

TEST(AnalyserListing, RowsPadWithZerosAtTheHeadersColumnsAndNeverCut) {
    const std::string row = listingRow(makeBlock({1234, 1235, 3, 7, 12, 345, 0, 99}));
    EXPECT_EQ(row, "  1234    1235       3           007         012       345       000       099");
    EXPECT_EQ(row.size(), 78U);
    EXPECT_EQ(row.substr(2, 4), "1234"); // characters 3 to 6
    EXPECT_EQ(row[21], '3');             // character 22
    EXPECT_EQ(listingRow(makeBlock({75, 76, 0, 7, 1, 2, 3, 4})),
              "  0075    0076       0           007         001       002       003       004");
    // Negative values get a minus sign before the padded digits; five-digit km and two-digit
    // blocks make the row longer.
    EXPECT_EQ(listingRow(makeBlock({-5, -4, 1, -7, 0, 0, 0, 1234})),
              "  -0005    -0004       1           -007         000       000       000       1234");
    EXPECT_EQ(listingRow(makeBlock({12345, 12346, 12, 100, 100, 100, 100, 100})),
              "  12345    12346       12           100         100       100       100       100");
}

TEST(AnalyserListing, BoundsAdjustByOneAndRoundHalfToEvenOrAreRefused) {
    EXPECT_EQ(exclusiveBoundsFromTexts("1", "35", "r"), (ExclusiveBounds{0, 36}));
    EXPECT_EQ(exclusiveBoundsFromTexts("35.5", "35.5", "r"), (ExclusiveBounds{34, 36})); // 34.5, 36.5
    EXPECT_EQ(exclusiveBoundsFromTexts("0.20", "99.6", "r"), (ExclusiveBounds{-1, 101}));
    EXPECT_EQ(exclusiveBoundsFromTexts("-32767", "32766", "r"), (ExclusiveBounds{-32768, 32767}));
    const ExclusiveBounds bounds{0, 36};
    EXPECT_EQ(std::make_pair(bounds.low(), bounds.high()), std::make_pair(1, 35));
    EXPECT_FALSE(bounds.contains(0));
    EXPECT_TRUE(bounds.contains(1));
    EXPECT_TRUE(bounds.contains(35));
    EXPECT_FALSE(bounds.contains(36));

    for (auto [low, high] : std::vector<std::pair<const char*, const char*>>{
             {"abc", "35"}, {"1", ""}, {"-32768", "35"}, {"1", "32767"}, {"1", "1e9"}, {"1,5", "35"}}) {
        EXPECT_EQ(refusalOf([&] { exclusiveBoundsFromTexts(low, high, "refused"); }), "refused")
            << low << " " << high;
    }
}

TEST(AnalyserListing, ListsBlocksOfTheRangeBetweenLowAndHighByTheChosenIndexInEitherDirection) {
    const auto table = tableOfTgis(100, 1, {0, 1, 20, 35, 36, 90, 12});
    const Listing listing = showDetails(table, rangeOf(100, 106), "1", "35", "TGI");
    EXPECT_EQ(listing.header, " Kmfr   Kmto   BLK    TGI     TGIU  TGIW  TGIG  TGIL");
    // 0 and 36 are outside the bounds; the last block (106 to 107) is outside the range.
    EXPECT_EQ(listing.entries,
              (std::vector<std::string>{listingRow(table.rows[1]), " ", listingRow(table.rows[2]), " ",
                                        listingRow(table.rows[3]), " "}));
    EXPECT_EQ(listing.bounds, (ListingBounds{0, 36}));
    EXPECT_EQ(listedTgis(showDetails(tableOfTgis(0, 1, {34, 35, 36}), rangeOf(0, 3), "35.5", "35.5", "TGI")),
              (std::vector<std::string>{"035"}));
    // The chosen index selects, but every index is shown.
    const auto indexed =
        makeTable({{10, 11, 1, 20, 60, 5, 5, 5}, {11, 12, 2, 70, 10, 5, 5, 5}, {12, 13, 3, 20, 5, 5, 5, 90}});
    EXPECT_EQ(showDetails(indexed, rangeOf(10, 13), "50", "100", "TGIU").rows(),
              (std::vector<std::string>{listingRow(indexed.rows[0])}));
    EXPECT_EQ(showDetails(indexed, rangeOf(10, 13), "50", "100", "TGIL").rows(),
              (std::vector<std::string>{listingRow(indexed.rows[2])}));
    const auto falling = makeTable({{11, 10, 1, 20}, {10, 9, 1, 20}});
    EXPECT_EQ(showDetails(falling, rangeOf(10, 11), "1", "35", "TGI").rows().size(), 1U);
    const Listing none = showDetails(falling, rangeOf(10, 11), "50", "60", "TGI");
    EXPECT_TRUE(none.entries.empty());
    EXPECT_EQ(none.header, kListingHeader);
    // Direction 2 lists nothing, and that is no refusal.
    EXPECT_TRUE(showDetails(makeTable({{10, 12, 1, 20}}), rangeOf(0, 100), "1", "35", "TGI").entries.empty());
    // Bad bounds are refused before an unknown index.
    const auto small = tableOfTgis(0, 1, {0, 20});
    EXPECT_EQ(refusalOf([&] { showDetails(small, rangeOf(0, 2), "1", "35", "tgi"); }), kIndexRefusedMessage);
    EXPECT_EQ(refusalOf([&] { showDetails(small, rangeOf(0, 2), "x", "35", "tgi"); }),
              kListingBoundsRefusedMessage);
}

TEST(AnalyserTrackShare, SharesOfTheRangeCountNonRecordedBlocksAndRefuseBadBoundsAndAnEmptyRange) {
    // Range 100 to 120 with two blocks per kilometre: 40 blocks, 30 of them with TGI 1 to 100.
    runfile::BlockTable table;
    for (int km = 100; km < 120; ++km) {
        const bool inBand = km < 115;
        table.rows.push_back(makeBlock({km, km + 1, 1, inBand ? 40 : 0}));
        table.rows.push_back(makeBlock({km, km + 1, 2, inBand ? 100 : 101}));
    }
    table.runDirection = 1;
    const TrackShare share = calcTrackShare(table, rangeOf(120, 100), "1", "100");
    EXPECT_EQ(share.blocksInRange, 40);
    EXPECT_EQ(share.blocksInBand, 30);
    EXPECT_EQ(share.caption, "75.00 % of Track between  Km 100  and  120  is between TGI  1  -  100");
    // Non-recorded blocks count in the range, and in a band that takes in 0.
    const auto sparse = tableOfTgis(0, 1, {0, 0, 10, 50});
    EXPECT_EQ(calcTrackShare(sparse, rangeOf(0, 4), "1", "100").caption,
              "50.00 % of Track between  Km 0  and  4  is between TGI  1  -  100");
    EXPECT_EQ(calcTrackShare(sparse, rangeOf(0, 4), "0", "10").caption,
              "75.00 % of Track between  Km 0  and  4  is between TGI  0  -  10");
    // -4.5 - 1 = -5.5 rounds to -6 and 5.5 + 1 = 6.5 to 6: TGI -5 to 5; negative km in plain digits.
    EXPECT_EQ(calcTrackShare(tableOfTgis(-3, 1, {5, 6, 7}), rangeOf(-3, 0), "-4.5", "5.5").caption,
              "33.33 % of Track between  Km -3  and  0  is between TGI  -5  -  5");
    const auto one = tableOfTgis(0, 1, {10});
    EXPECT_EQ(refusalOf([&] { calcTrackShare(one, rangeOf(0, 1), "one", "100"); }),
              kShareBoundsRefusedMessage);
    EXPECT_EQ(refusalOf([&] { calcTrackShare(one, rangeOf(0, 1), "1", "32767"); }),
              kShareBoundsRefusedMessage);
    EXPECT_EQ(refusalOf([&] { calcTrackShare(one, rangeOf(5, 9), "1", "100"); }), kNoBlockInRangeMessage);
}

// A block whose channel values differ from those of any block with another offset.
runfile::BlockResult channelBlock(int kmFrom, int block, int offset) {
    runfile::BlockResult row = makeBlock({kmFrom, kmFrom + 1, block, 30});
    for (int n = field::U1L; n <= field::TW2; ++n) {
        row.field(n) = static_cast<std::int16_t>(100 + n + offset);
    }
    return row;
}

runfile::BlockTable tableOf(std::vector<runfile::BlockResult> rows) {
    runfile::BlockTable table;
    table.rows = std::move(rows);
    table.runDirection = 1;
    return table;
}

TEST(AnalyserRawView, ValueRowScalesAndFormatsEachChannel) {
    runfile::BlockResult row = makeBlock({120, 121, 3, 42});
    // U1L U1R TW1 G A1L A1R U2L U2R A2L A2R TW2 in tenths.
    const std::array<int, 11> channels = {45, 38, 21, -45, 63, 59, 123, 5, 0, 1000, 26};
    for (std::size_t i = 0; i < channels.size(); ++i) {
        row.field(field::U1L + static_cast<int>(i)) = static_cast<std::int16_t>(channels[i]);
    }
    row.field(field::RIV) = 5;    // 0.05
    row.field(field::RIL) = -187; // -1.87
    row.field(field::SPD) = 80;   // 080
    EXPECT_EQ(rawValueRow(row),
              "  12.3       0.5       0.0       100.0       -4.5       2.1       2.6       0.05"
              "       -1.87       080       4.5       3.8       6.3       5.9");
    // On screen each value is a cell of its own under its channel's name.
    const Rows names = rawViewCells(kRawViewHeader);
    const Rows cells = rawViewCells(rawValueRow(row));
    ASSERT_EQ(names.size(), 14U);
    ASSERT_EQ(cells.size(), names.size());
    EXPECT_EQ(names[3] + "=" + cells[3], "A2R=100.0");
    EXPECT_EQ(names[9] + "=" + cells[9], "SPD=080");
}

TEST(AnalyserRawView, AClickedRowShowsEveryBlockOfItsKilometreAndNumberAndOtherTextsNone) {
    const auto table = tableOf({channelBlock(1234, 2, 0), channelBlock(1234, 3, 10),
                                channelBlock(1235, 3, 20), channelBlock(1234, 3, 30)});
    const RawView view = rawViewOfEntry(table, listingRow(table.rows[1]));
    EXPECT_EQ(view.header, Rows{"  U2L     U2R     A2L     A2R       G       TW1     TW2     RIV       RIL   "
                                "     SPD      U1L     U1R     A1L     A1R"});
    // The kilometre recorded twice: both blocks, in table order.
    EXPECT_EQ(view.rows, (Rows{rawValueRow(table.rows[1]), rawValueRow(table.rows[3])}));
    EXPECT_TRUE(view.rows[0].starts_with("  12.2       12.3")) << view.rows[0];
    EXPECT_EQ(rawViewOfBlock(table, 1234, 4).rows, Rows{});
    // Long kilometres and block numbers find their own block.
    const auto longKeys = tableOf({channelBlock(12345, 1, 0), channelBlock(12345, 12, 3),
                                   channelBlock(1234, 1, 6), channelBlock(-5, 1, 9), channelBlock(5, 1, 12)});
    for (std::size_t i : {0U, 1U, 3U}) {
        EXPECT_EQ(rawViewOfEntry(longKeys, listingRow(longKeys.rows[i])).rows,
                  Rows{rawValueRow(longKeys.rows[i])})
            << listingRow(longKeys.rows[i]);
    }
    // Separators and other texts give an empty view.
    for (const char* entry : {" ", "", "  abc    0001       0", "  0000"}) {
        const RawView none = rawViewOfEntry(tableOf({channelBlock(0, 0, 0)}), entry);
        EXPECT_TRUE(none.header.empty() && none.rows.empty()) << '"' << entry << '"';
    }
}

TEST(AnalyserScreenState, ButtonsFollowTheOperations) {
    AnalyserButtons buttons;
    buttons.runFileChanged(); // cancelling the first Browse disables nothing new
    EXPECT_EQ(buttons, AnalyserButtons{});
    buttons.processDataSucceeded();
    buttons.processInformationDone();
    buttons.showDetailsDone();
    EXPECT_EQ(buttons, (AnalyserButtons{true, true, true, true, true, true}));
    buttons.runFileChanged();
    EXPECT_EQ(buttons, (AnalyserButtons{false, false, false, false, true, true}));
    buttons.printGraphDone();
    EXPECT_EQ(buttons, (AnalyserButtons{false, false, false, false, false, true}));
}

TEST(AnalyserScreenState, TitleScrollsAndCreditLineTypesOutWithTheDesignTimings) {
    // Band at left 0, 15375 twips wide; title 3375 wide starting at 11880.
    int left = 11880;
    const auto ticksToWrap = [&left] {
        int ticks = 0;
        do {
            left = scrolledTitleLeft(left, 3375, 0, 15375);
            ++ticks;
        } while (left != 15375);
        return ticks;
    };
    EXPECT_EQ(ticksToWrap(), 3051);
    EXPECT_EQ(ticksToWrap(), 3750);
    // Positions off the 5-twip grid still wrap once the edge is passed.
    EXPECT_EQ(scrolledTitleLeft(-3372, 3375, 0, 15375), 15375);
    // The credit line types out and starts again after 51 ticks.
    CreditLine credit;
    EXPECT_EQ(credit.tick(), "K");
    EXPECT_EQ(credit.tick(), "Ke");
    std::string caption;
    for (int i = 3; i <= 51; ++i) {
        caption = credit.tick();
    }
    EXPECT_EQ(credit.counter(), 51);
    EXPECT_EQ(caption, kCreditText);
    EXPECT_EQ(credit.tick(), "K");
}

} // namespace
} // namespace kestrana::analyser
