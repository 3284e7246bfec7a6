// PROCESS INFORMATION: range selection, quality bands, shares, average and captions.

#include "core/analyser/quality.h"
#include "core/analyser/session.h"
#include "core/analyser_fixtures.h"

#include <gtest/gtest.h>

namespace kestrana::analyser {
namespace {

using test::makeTable;
using test::refusalOf;
using test::tableOfTgis;

// How many blocks PROCESS INFORMATION takes for the range start to end (0 when it refuses).
long blocksSelected(const runfile::BlockTable& table, int start, int end) {
    try {
        return processInformation(table, std::to_string(start), std::to_string(end)).blocksInRange;
    } catch (const kestrana::platform::Error&) {
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

TEST(AnalyserQuality, TenBlockExampleGivesTheDocumentedFigures) {
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
}

TEST(AnalyserQuality, CaptionPatternsShowFractionsAndSmallAverages) {
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
}

TEST(AnalyserQuality, EveryBlockNonRecordedShowsSharesAndNoAverage) {
    const auto result = processInformation(tableOfTgis(0, 1, {0, 0, 0}), "0", "3");
    EXPECT_EQ(result.averageCaption, "Average TGI =  not available");
    EXPECT_FALSE(result.distribution.averageTgi.has_value());
    EXPECT_EQ(result.nonRecordedCaption, "Non Recorded Track = 100.00 %");
    EXPECT_EQ(result.bandCaptions[0], "TGI  < 36      =  0.00 %");
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

    EXPECT_THROW(session.processInformation("abc", "104"), kestrana::platform::Error);
    EXPECT_THROW(session.processInformation("300", "400"), kestrana::platform::Error);
    EXPECT_THROW(session.calcTrackShare("x", "15"), kestrana::platform::Error);
    EXPECT_THROW(session.showDetails("2", "30", "TGIX"), kestrana::platform::Error);
    EXPECT_EQ(session.range, range);
    EXPECT_EQ(session.distribution, figures);
    EXPECT_EQ(session.shareBounds, (ShareBounds{4, 16}));
    EXPECT_EQ(session.listingBounds, (ListingBounds{1, 31}));
}

} // namespace
} // namespace kestrana::analyser
