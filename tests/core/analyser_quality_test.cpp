// PROCESS INFORMATION: range selection, quality bands, shares, average and captions.

#include "analyser/messages.h"
#include "analyser/quality.h"
#include "analyser/session.h"
#include "core/analyser_fixtures.h"

#include <gtest/gtest.h>

namespace kestrana::analyser {
namespace {

using test::makeTable;
using test::tableOfTgis;

// The message of a refusal, or "" when the operation went through.
template <typename Operation> std::string refusalOf(Operation&& operation) {
    try {
        operation();
    } catch (const AnalyserRefusal& refusal) {
        return refusal.what();
    }
    return "";
}

AnalysisRange rangeOf(int start, int end) {
    return analysisRangeFromTexts(std::to_string(start), std::to_string(end));
}

// How many blocks PROCESS INFORMATION takes for the range start to end (0 when it refuses).
long blocksSelected(const runfile::BlockTable& table, int start, int end) {
    try {
        return computeQuality(table, rangeOf(start, end)).blocksInRange;
    } catch (const AnalyserRefusal&) {
        return 0;
    }
}

TEST(AnalyserQuality, BandEdgesFallInTheRightBand) {
    EXPECT_EQ(qualityBandOf(0), 0);
    EXPECT_EQ(qualityBandOf(-3), 0);
    EXPECT_EQ(qualityBandOf(1), 1);
    EXPECT_EQ(qualityBandOf(35), 1);
    EXPECT_EQ(qualityBandOf(36), 2);
    EXPECT_EQ(qualityBandOf(50), 2);
    EXPECT_EQ(qualityBandOf(51), 3);
    EXPECT_EQ(qualityBandOf(80), 3);
    EXPECT_EQ(qualityBandOf(81), 4);
    EXPECT_EQ(qualityBandOf(32767), 4);

    const auto table = tableOfTgis(100, 1, {35, 36, 50, 51, 80, 81});
    const QualityResult result = computeQuality(table, rangeOf(100, 106));
    EXPECT_EQ(result.bandCounts, (std::array<long, 4>{1, 2, 2, 1}));
}

TEST(AnalyserQuality, TenBlockExampleGivesTheDocumentedFigures) {
    // Two non-recorded, three of 20, three of 40, two of 90.
    const auto table = tableOfTgis(100, 1, {0, 20, 40, 90, 20, 0, 40, 20, 40, 90});
    const QualityResult result = processInformation(table, "100", "110");
    EXPECT_EQ(result.blocksInRange, 10);
    EXPECT_EQ(result.recordedBlocks, 8);
    EXPECT_EQ(result.bandCaptions[0], "TGI  < 36      =  30.00 %");
    EXPECT_EQ(result.bandCaptions[1], "TGI  36 - 50  =  30.00 %");
    EXPECT_EQ(result.bandCaptions[2], "TGI  51 - 80  =  0.00 %");
    EXPECT_EQ(result.bandCaptions[3], "TGI  > 80     =  20.00 %");
    EXPECT_EQ(result.nonRecordedCaption, "Non Recorded Track = 20.00 %");
    EXPECT_EQ(result.averageCaption, "Average TGI =  45.00");
    EXPECT_DOUBLE_EQ(*result.distribution.averageTgi, 45.0);
    EXPECT_FLOAT_EQ(result.distribution.nonRecordedShare, 20.0F);

    EXPECT_EQ(result.chart.label, "TGI <36     TGI 36-50     TGI 51-80     TGI > 80");
    EXPECT_EQ(result.chart.bandShares, (std::array<double, 4>{30.0, 30.0, 0.0, 20.0}));
    EXPECT_EQ(result.range, (AnalysisRange{100, 110, 100, 110}));
}

TEST(AnalyserQuality, CaptionPatternsShowFractionsAndSmallAverages) {
    // One block in three non-recorded: 33.33 %, stored in single precision.
    const auto thirds = processInformation(tableOfTgis(0, 1, {0, 10, 40}), "0", "3");
    EXPECT_EQ(thirds.nonRecordedCaption, "Non Recorded Track = 33.33 %");
    EXPECT_EQ(thirds.bandCaptions[0], "TGI  < 36      =  33.33 %");
    EXPECT_EQ(thirds.averageCaption, "Average TGI =  25.00");

    // A negative TGI is recorded and averaged but in no band: (-1 + 2) / 2 = 0.5, shown as .50.
    const auto half = processInformation(tableOfTgis(0, 1, {-1, 2}), "0", "2");
    EXPECT_EQ(half.averageCaption, "Average TGI =  .50");
    EXPECT_EQ(half.bandCaptions[0], "TGI  < 36      =  50.00 %");
    EXPECT_EQ(half.nonRecordedCaption, "Non Recorded Track = 0.00 %");

    // A whole range in band 4 shows 100.00.
    EXPECT_EQ(processInformation(tableOfTgis(0, 1, {90, 120}), "0", "2").bandCaptions[3],
              "TGI  > 80     =  100.00 %");
    // 137 / 3 = 45.666... rounds to two decimals.
    EXPECT_EQ(processInformation(tableOfTgis(0, 1, {45, 46, 46}), "0", "3").averageCaption,
              "Average TGI =  45.67");
}

TEST(AnalyserQuality, EveryBlockNonRecordedShowsSharesAndNoAverage) {
    const auto result = processInformation(tableOfTgis(0, 1, {0, 0, 0}), "0", "3");
    EXPECT_EQ(result.averageCaption, "Average TGI =  not available");
    EXPECT_FALSE(result.distribution.averageTgi.has_value());
    EXPECT_EQ(result.nonRecordedCaption, "Non Recorded Track = 100.00 %");
    for (const auto& caption : result.bandCaptions) {
        EXPECT_TRUE(caption.ends_with("=  0.00 %")) << caption;
    }
}

TEST(AnalyserQuality, RisingRunSelectsOnlyWholeBlockSpans) {
    const auto table = makeTable({{10, 11, 1, 20}});
    EXPECT_EQ(blocksSelected(table, 10, 11), 1);
    EXPECT_EQ(blocksSelected(table, 11, 10), 1); // swapped range, same selection
    EXPECT_EQ(blocksSelected(table, 10, 10), 0);
    EXPECT_EQ(blocksSelected(table, 11, 12), 0);
    EXPECT_EQ(blocksSelected(table, 9, 12), 1);

    // Blocks straddling either end of 10 to 12 are left out.
    const auto run = tableOfTgis(8, 1, {20, 20, 20, 20, 20, 20});
    EXPECT_EQ(blocksSelected(run, 10, 12), 2);
    EXPECT_EQ(blocksSelected(run, 12, 10), 2);
}

TEST(AnalyserQuality, FallingRunSelectsBySpanReadBackwards) {
    const auto table = makeTable({{11, 10, 1, 20}});
    EXPECT_EQ(table.runDirection, -1);
    EXPECT_EQ(blocksSelected(table, 10, 11), 1);
    EXPECT_EQ(blocksSelected(table, 11, 10), 1);
    EXPECT_EQ(blocksSelected(table, 10, 10), 0);
    EXPECT_EQ(blocksSelected(table, 11, 11), 0);
    EXPECT_EQ(blocksSelected(table, 11, 12), 0);

    const auto run = tableOfTgis(15, -1, {20, 20, 20, 20, 20, 20}); // 15-14 ... 10-9
    EXPECT_EQ(blocksSelected(run, 10, 13), 3);
}

TEST(AnalyserQuality, DirectionOtherThanOneSelectsNothingAndIsRefused) {
    // A first block spanning two kilometres gives direction 2.
    const auto table = makeTable({{10, 12, 1, 20}, {12, 13, 1, 20}});
    ASSERT_EQ(table.runDirection, 2);
    EXPECT_EQ(refusalOf([&] { processInformation(table, "0", "100"); }), kNoBlockInRangeMessage);
    EXPECT_FALSE(blockInRange(table.rows[1], 0, 0, 100));
}

TEST(AnalyserQuality, EmptySelectionIsRefused) {
    const auto table = tableOfTgis(100, 1, {20, 30});
    EXPECT_EQ(refusalOf([&] { processInformation(table, "100", "100"); }), kNoBlockInRangeMessage);
    EXPECT_EQ(refusalOf([&] { processInformation(table, "500", "600"); }), kNoBlockInRangeMessage);
    EXPECT_EQ(refusalOf([&] { processInformation(runfile::BlockTable{}, "0", "10"); }),
              kNoBlockInRangeMessage);
}

TEST(AnalyserQuality, KmTextsAreRoundedHalfToEvenOrRefused) {
    EXPECT_EQ(analysisRangeFromTexts("120.5", "121.5"), (AnalysisRange{120, 122, 120, 122}));
    EXPECT_EQ(analysisRangeFromTexts(" 130 ", "-7"), (AnalysisRange{130, -7, -7, 130}));
    EXPECT_EQ(analysisRangeFromTexts("-32768", "32767"), (AnalysisRange{-32768, 32767, -32768, 32767}));

    for (const char* bad : {"", "abc", "12km", "32768", "-32769", "32767.5", "1e6"}) {
        EXPECT_EQ(refusalOf([&] { analysisRangeFromTexts(bad, "10"); }), kRangeRefusedMessage) << bad;
        EXPECT_EQ(refusalOf([&] { analysisRangeFromTexts("10", bad); }), kRangeRefusedMessage) << bad;
    }
    // The range is refused before any block is looked at, even when there are none.
    EXPECT_EQ(refusalOf([&] { processInformation(runfile::BlockTable{}, "x", "10"); }), kRangeRefusedMessage);
}

TEST(AnalyserQuality, SessionKeepsFiguresOnlyWhenTheOperationSucceeds) {
    AnalyserSession session;
    session.keepTable(tableOfTgis(100, 1, {0, 20, 40, 90}));
    session.processInformation("104", "100");
    const AnalysisRange kept = session.range;
    const QualityDistribution figures = session.distribution;
    EXPECT_EQ(kept, (AnalysisRange{104, 100, 100, 104}));
    EXPECT_DOUBLE_EQ(figures.bandShares[3], 25.0);

    EXPECT_THROW(session.processInformation("abc", "104"), AnalyserRefusal);
    EXPECT_THROW(session.processInformation("300", "400"), AnalyserRefusal);
    EXPECT_EQ(session.range, kept);
    EXPECT_EQ(session.distribution, figures);

    session.processInformation("100", "102");
    EXPECT_EQ(session.range, (AnalysisRange{100, 102, 100, 102}));
    EXPECT_DOUBLE_EQ(session.distribution.bandShares[0], 50.0);
}

} // namespace
} // namespace kestrana::analyser
