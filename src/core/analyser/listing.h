// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Kestrana developers

#pragma once
// SHOW DETAILS and CALC TRACK % BETWEEN TGIs: the blocks of the analysis range whose chosen index lies
// between a low and a high value, as fixed-layout listing rows, and the share of those blocks whose
// TGI lies between two values.

#include "core/analyser/values.h"
#include "core/runfile/block_table.h"

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kestrana::analyser {

// The only entry of listingHeaderList after a listing.
inline constexpr std::string_view kListingHeader = " Kmfr   Kmto   BLK    TGI     TGIU  TGIW  TGIG  TGIL";
// The entry listingList receives after every row, so rows stand at the even positions.
inline constexpr std::string_view kListingSeparator = " ";
// The index names of indexCombo, in the order of its list; "TGI" is its design text.
inline constexpr std::array<std::string_view, 5> kIndexNames = {"TGI", "TGIU", "TGIW", "TGIG", "TGIL"};

// The BlockResult field of an index name (compared exactly); empty for any other text.
std::optional<int> indexFieldOf(std::string_view indexName);

// Typed LOW and HIGH as exclusive bounds: each text read as a number, then LOW - 1 and HIGH + 1
// rounded to whole numbers with halves to the even neighbour (35.5 + 1 = 36.5 gives 36). Throws
// common::Error with `refusal` when a text is not a number or an adjusted value leaves 16 bits.
ExclusiveBounds exclusiveBoundsFromTexts(std::string_view lowText, std::string_view highText,
                                         std::string_view refusal);

// One listing row: km from and km to as "0000", the block number as "0", the five indices as "000",
// spaced as the header stands (78 characters for four-digit kilometres and a one-digit block).
std::string listingRow(const runfile::BlockResult& row);

// The CSV header of a listing: the block's km from, km to and number, then its five indices.
inline constexpr std::string_view kListingCsvHeader = "km_from,km_to,block,tgi,tgiu,tgiw,tgig,tgil";

struct Listing {
    ListingBounds bounds;
    std::string header;                         // listingHeaderList
    std::vector<std::string> entries;           // listingList: each row followed by the separator " "
    std::vector<runfile::BlockResult> blocks{}; // the listed blocks, one per row, in table order
    // The rows alone (entries at even positions).
    std::vector<std::string> rows() const;
};

// SHOW DETAILS over the blocks of `range` in table order. Throws common::Error: LOW/HIGH
// (kListingBoundsRefusedMessage), then an unknown index name (kIndexRefusedMessage). An empty listing
// is no refusal.
Listing showDetails(const runfile::BlockTable& table, const AnalysisRange& range, std::string_view lowText,
                    std::string_view highText, std::string_view indexName);

struct TrackShare {
    AnalysisRange range;
    ShareBounds bounds;
    long blocksInRange = 0;
    long blocksInBand = 0;
    double share = 0.0;  // per cent
    std::string caption; // trackShareLabel
};

// The listing as CSV: kListingCsvHeader, then one row per listed block with the figures of its listing
// row as plain whole numbers.
std::string listingCsv(const Listing& listing);

// CALC TRACK % over the TGI of the blocks of `range` (non-recorded blocks count in range, and in the
// band only when it includes 0). Throws common::Error: Low/High (kShareBoundsRefusedMessage), no
// block in range (kNoBlockInRangeMessage).
TrackShare calcTrackShare(const runfile::BlockTable& table, const AnalysisRange& range,
                          std::string_view lowText, std::string_view highText);

// The CSV header of a track share: the km range, the TGI bounds as the caption prints them and the
// share in per cent.
inline constexpr std::string_view kTrackShareCsvHeader = "lower_km,upper_km,tgi_low,tgi_high,share_percent";
// The figures of the caption as CSV: the header and one row, the share rounded to two decimals as the
// caption rounds it.
std::string trackShareCsv(const TrackShare& share);

} // namespace kestrana::analyser
