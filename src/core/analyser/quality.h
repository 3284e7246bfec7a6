// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Kestrana developers

#pragma once
// PROCESS INFORMATION: the share of the blocks of a kilometre range in each quality band, the share
// of non-recorded track, the average TGI, the captions that show them and the data of the bar chart.

#include "core/analyser/values.h"
#include "core/runfile/block_table.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace kestrana::analyser {

// The text written beneath the bars, its band names spaced to stand under the four bars.
inline constexpr std::string_view kChartLabel = "TGI <36     TGI 36-50     TGI 51-80     TGI > 80";
// Caption prefixes of band1Label to band4Label, band 1 to 4.
inline constexpr std::array<std::string_view, 4> kBandCaptionPrefixes = {
    "TGI  < 36      =  ", "TGI  36 - 50  =  ", "TGI  51 - 80  =  ", "TGI  > 80     =  "};
inline constexpr std::string_view kNonRecordedCaptionPrefix = "Non Recorded Track = ";
inline constexpr std::string_view kAverageCaptionPrefix = "Average TGI =  ";
// averageLabel when every block in range is non-recorded (no TGI to average).
inline constexpr std::string_view kAverageNotAvailableCaption = "Average TGI =  not available";

// True when the block's whole span lies inside lowerKm to upperKm, read in the run's direction:
// rising runs (1) compare km from with the lower end, falling runs (-1) km to. Any other direction
// selects nothing. A block straddling a range end is left out.
bool blockInRange(const runfile::BlockResult& row, std::int16_t runDirection, std::int16_t lowerKm,
                  std::int16_t upperKm);

// The quality band of a TGI: 1 (1 to 35), 2 (36 to 50), 3 (51 to 80), 4 (81 and above); 0 for no band
// (0 is non-recorded track, a negative TGI is recorded but in no band).
int qualityBandOf(std::int16_t tgi);

// The range typed into the two km boxes, ordered into lower and upper. Throws common::Error
// (kRangeRefusedMessage) when either text is not a number or rounds outside 16 bits.
AnalysisRange analysisRangeFromTexts(std::string_view startKmText, std::string_view endKmText);

// The chart's five-element data: the label text and the four band shares, one bar each.
struct QualityChart {
    std::string label;
    std::array<double, 4> bandShares{};
};

struct QualityResult {
    AnalysisRange range;
    QualityDistribution distribution;
    long blocksInRange = 0;
    long recordedBlocks = 0;                 // TGI not 0
    std::array<long, 4> bandCounts{};        // blocks per band
    std::array<std::string, 4> bandCaptions; // band1Label to band4Label
    std::string nonRecordedCaption;          // nonRecordedLabel
    std::string averageCaption;              // averageLabel
    QualityChart chart;
};

// The figures of the blocks of `range`. Throws common::Error (kNoBlockInRangeMessage) when no block
// lies in range. Nothing is kept here: the caller keeps the range and distribution of a result.
QualityResult computeQuality(const runfile::BlockTable& table, const AnalysisRange& range);

// The CSV header of the quality figures: the range, the four band shares and the non-recorded share
// in per cent, and the average TGI.
inline constexpr std::string_view kQualityCsvHeader =
    "lower_km,upper_km,tgi_below_36_percent,tgi_36_to_50_percent,tgi_51_to_80_percent,tgi_above_80_percent,"
    "non_recorded_percent,average_tgi";
// The figures of the captions as CSV: the header and one row, each figure rounded to two decimals as
// its caption rounds it but without padding ("7.00", "63.91"); the average is empty when it is not
// available.
std::string qualityCsv(const QualityResult& result);

// PROCESS INFORMATION from the texts of "Starting KM" and "Ending KM": the range is checked before
// any block is read. Throws common::Error.
QualityResult processInformation(const runfile::BlockTable& table, std::string_view startKmText,
                                 std::string_view endKmText);

} // namespace kestrana::analyser
