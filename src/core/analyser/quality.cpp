// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Kestrana developers

#include "core/analyser/quality.h"

#include "core/analyser/messages.h"
#include "core/common/csv_writer.h"
#include "core/common/text.h"

#include <algorithm>

namespace kestrana::analyser {

using runfile::BlockResult;
using runfile::BlockTable;
namespace field = runfile::field;

bool blockInRange(const BlockResult& row, std::int16_t runDirection, std::int16_t lowerKm,
                  std::int16_t upperKm) {
    const std::int16_t kmFrom = row.field(field::KmFrom);
    const std::int16_t kmTo = row.field(field::KmTo);
    if (runDirection == 1) {
        return kmFrom >= lowerKm && kmTo <= upperKm;
    }
    if (runDirection == -1) {
        return kmTo >= lowerKm && kmFrom <= upperKm;
    }
    return false;
}

int qualityBandOf(std::int16_t tgi) {
    if (tgi > 80) {
        return 4;
    }
    if (tgi > 50) {
        return 3;
    }
    if (tgi > 35) {
        return 2;
    }
    if (tgi > 0) {
        return 1;
    }
    return 0;
}

AnalysisRange analysisRangeFromTexts(std::string_view startKmText, std::string_view endKmText) {
    const auto start = common::textToInt16(startKmText);
    const auto end = common::textToInt16(endKmText);
    if (!start || !end) {
        throw common::Error::refused(kRangeRefusedMessage);
    }
    AnalysisRange range;
    range.startKm = *start;
    range.endKm = *end;
    range.lowerKm = std::min(*start, *end);
    range.upperKm = std::max(*start, *end);
    return range;
}

QualityResult computeQuality(const BlockTable& table, const AnalysisRange& range) {
    QualityResult result;
    result.range = range;
    long long tgiSum = 0;
    for (const BlockResult& row : table.rows) {
        if (!blockInRange(row, table.runDirection, range.lowerKm, range.upperKm)) {
            continue;
        }
        const std::int16_t tgi = row.field(field::TGI);
        ++result.blocksInRange;
        if (tgi != 0) {
            ++result.recordedBlocks;
        }
        tgiSum += tgi;
        if (const int band = qualityBandOf(tgi); band != 0) {
            ++result.bandCounts[static_cast<std::size_t>(band - 1)];
        }
    }
    if (result.blocksInRange == 0) {
        throw common::Error::refused(kNoBlockInRangeMessage);
    }

    const double inRange = static_cast<double>(result.blocksInRange);
    QualityDistribution& figures = result.distribution;
    for (std::size_t band = 0; band < 4; ++band) {
        figures.bandShares[band] = static_cast<double>(result.bandCounts[band]) * 100.0 / inRange;
    }
    figures.nonRecordedShare = static_cast<float>(
        static_cast<double>(result.blocksInRange - result.recordedBlocks) * 100.0 / inRange);
    if (result.recordedBlocks > 0) {
        figures.averageTgi = static_cast<double>(tgiSum) / static_cast<double>(result.recordedBlocks);
    } else {
        figures.averageTgi.reset();
    }

    for (std::size_t band = 0; band < 4; ++band) {
        result.bandCaptions[band] = std::string(kBandCaptionPrefixes[band]) +
                                    common::formatPattern(figures.bandShares[band], "##0.00") + " %";
    }
    result.nonRecordedCaption = std::string(kNonRecordedCaptionPrefix) +
                                common::formatPattern(figures.nonRecordedShare, "##0.00") + " %";
    result.averageCaption = figures.averageTgi ? std::string(kAverageCaptionPrefix) +
                                                     common::formatPattern(*figures.averageTgi, "###.00")
                                               : std::string(kAverageNotAvailableCaption);
    result.chart.label = std::string(kChartLabel);
    result.chart.bandShares = figures.bandShares;
    return result;
}

std::string qualityCsv(const QualityResult& result) {
    const QualityDistribution& figures = result.distribution;
    common::CsvWriter csv(kQualityCsvHeader);
    csv.number(result.range.lowerKm).number(result.range.upperKm);
    for (double share : figures.bandShares) {
        csv.number(common::formatPattern(share, "0.00"));
    }
    csv.number(common::formatPattern(figures.nonRecordedShare, "0.00"))
        .number(figures.averageTgi ? common::formatPattern(*figures.averageTgi, "0.00") : std::string());
    csv.endRow();
    return csv.str();
}

QualityResult processInformation(const BlockTable& table, std::string_view startKmText,
                                 std::string_view endKmText) {
    return computeQuality(table, analysisRangeFromTexts(startKmText, endKmText));
}

} // namespace kestrana::analyser
