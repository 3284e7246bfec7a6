// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Kestrana developers

#include "core/analyser/listing.h"

#include "core/analyser/messages.h"
#include "core/analyser/quality.h"
#include "core/common/csv_writer.h"
#include "core/common/text.h"

namespace kestrana::analyser {

using runfile::BlockResult;
using runfile::BlockTable;
namespace field = runfile::field;

std::optional<int> indexFieldOf(std::string_view indexName) {
    static constexpr std::array<int, 5> fields = {field::TGI, field::TGIU, field::TGIW, field::TGIG,
                                                  field::TGIL};
    for (std::size_t i = 0; i < kIndexNames.size(); ++i) {
        if (indexName == kIndexNames[i]) {
            return fields[i];
        }
    }
    return std::nullopt;
}

ExclusiveBounds exclusiveBoundsFromTexts(std::string_view lowText, std::string_view highText,
                                         std::string_view refusal) {
    const auto low = common::parseNumber(lowText);
    const auto high = common::parseNumber(highText);
    if (!low || !high) {
        throw common::Error::refused(refusal);
    }
    const auto lower = common::roundToInt16(*low - 1.0);
    const auto upper = common::roundToInt16(*high + 1.0);
    if (!lower || !upper) {
        throw common::Error::refused(refusal);
    }
    return ExclusiveBounds{*lower, *upper};
}

std::string listingRow(const BlockResult& row) {
    std::string out;
    out.reserve(80);
    out += "  ";
    out += common::formatPattern(row.field(field::KmFrom), "0000");
    out += "    ";
    out += common::formatPattern(row.field(field::KmTo), "0000");
    out += "       ";
    out += common::formatPattern(row.field(field::BlockNumber), "0");
    out += "           ";
    out += common::formatPattern(row.field(field::TGI), "000");
    out += "         ";
    out += common::formatPattern(row.field(field::TGIU), "000");
    out += "       ";
    out += common::formatPattern(row.field(field::TGIW), "000");
    out += "       ";
    out += common::formatPattern(row.field(field::TGIG), "000");
    out += "       ";
    out += common::formatPattern(row.field(field::TGIL), "000");
    return out;
}

std::vector<std::string> Listing::rows() const {
    std::vector<std::string> result;
    result.reserve(entries.size() / 2);
    for (std::size_t i = 0; i < entries.size(); i += 2) {
        result.push_back(entries[i]);
    }
    return result;
}

Listing showDetails(const BlockTable& table, const AnalysisRange& range, std::string_view lowText,
                    std::string_view highText, std::string_view indexName) {
    Listing listing;
    listing.bounds = exclusiveBoundsFromTexts(lowText, highText, kListingBoundsRefusedMessage);
    const auto indexField = indexFieldOf(indexName);
    if (!indexField) {
        throw common::Error::refused(kIndexRefusedMessage);
    }
    listing.header = std::string(kListingHeader);
    for (const BlockResult& row : table.rows) {
        if (blockInRange(row, table.runDirection, range.lowerKm, range.upperKm) &&
            listing.bounds.contains(row.field(*indexField))) {
            listing.entries.push_back(listingRow(row));
            listing.entries.emplace_back(kListingSeparator);
            listing.blocks.push_back(row);
        }
    }
    return listing;
}

std::string listingCsv(const Listing& listing) {
    // The columns of kListingCsvHeader, the fields a listing row shows.
    static constexpr std::array<int, 8> kColumns = {field::KmFrom, field::KmTo, field::BlockNumber,
                                                    field::TGI,    field::TGIU, field::TGIW,
                                                    field::TGIG,   field::TGIL};
    common::CsvWriter csv(kListingCsvHeader);
    for (const BlockResult& row : listing.blocks) {
        for (int column : kColumns) {
            csv.number(row.field(column));
        }
        csv.endRow();
    }
    return csv.str();
}

namespace {
// trackShareLabel: "75.00 % of Track between  Km 100  and  120  is between TGI  1  -  100".
std::string trackShareCaption(double share, const AnalysisRange& range, const ShareBounds& bounds) {
    return common::formatPattern(share, "##0.00") + " % of Track between  Km " +
           common::plainInt(range.lowerKm) + "  and  " + common::plainInt(range.upperKm) +
           "  is between TGI  " + common::plainInt(bounds.low()) + "  -  " + common::plainInt(bounds.high());
}
} // namespace

TrackShare calcTrackShare(const BlockTable& table, const AnalysisRange& range, std::string_view lowText,
                          std::string_view highText) {
    TrackShare result;
    result.range = range;
    result.bounds = exclusiveBoundsFromTexts(lowText, highText, kShareBoundsRefusedMessage);
    for (const BlockResult& row : table.rows) {
        if (!blockInRange(row, table.runDirection, range.lowerKm, range.upperKm)) {
            continue;
        }
        ++result.blocksInRange;
        if (result.bounds.contains(row.field(field::TGI))) {
            ++result.blocksInBand;
        }
    }
    if (result.blocksInRange == 0) {
        throw common::Error::refused(kNoBlockInRangeMessage);
    }
    result.share =
        static_cast<double>(result.blocksInBand) * 100.0 / static_cast<double>(result.blocksInRange);
    result.caption = trackShareCaption(result.share, range, result.bounds);
    return result;
}

std::string trackShareCsv(const TrackShare& share) {
    common::CsvWriter csv(kTrackShareCsvHeader);
    csv.number(share.range.lowerKm)
        .number(share.range.upperKm)
        .number(share.bounds.low())
        .number(share.bounds.high())
        .number(common::formatPattern(share.share, "0.00"))
        .endRow();
    return csv.str();
}

} // namespace kestrana::analyser
