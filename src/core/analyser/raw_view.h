// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Kestrana developers

#pragma once
// The raw-data view of a listed block: the recorded channel SDs, ride indices and speed behind a
// listing row, as a column header and one value row per matching block.

#include "core/runfile/block_table.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kestrana::analyser {

// The column names shown after a click on a block row.
inline constexpr std::string_view kRawViewHeader =
    "  U2L     U2R     A2L     A2R       G       TW1     TW2     "
    "RIV       RIL        SPD      U1L     U1R     A1L     A1R";

// The fourteen values of a block: SDs (tenths) as "0.0", RIV and RIL (hundredths) as "0.00", the
// speed as "000", after two blanks and seven blanks apart.
std::string rawValueRow(const runfile::BlockResult& row);

// The words of a header or value row of the view, in order: the cells of one row of the screen's
// table, whose columns then stay under their names however the table is scrolled.
std::vector<std::string> rawViewCells(std::string_view line);

struct RawView {
    std::vector<std::string> header; // the column names, or nothing when the entry is no block row
    std::vector<std::string> rows;   // one value row per matching block, in table order
};

// Every block with this km from and block number, whatever its km to or the run's direction.
RawView rawViewOfBlock(const runfile::BlockTable& table, std::int16_t kmFrom, std::int16_t blockNumber);

// The CSV header of the view: the block's km from, km to and number, then the view's fourteen columns.
inline constexpr std::string_view kRawViewCsvHeader =
    "km_from,km_to,block,u2l,u2r,a2l,a2r,g,tw1,tw2,riv,ril,spd,u1l,u1r,a1l,a1r";
// The view of every block with this km from and block number as CSV: kRawViewCsvHeader, then one row
// per matching block in table order, each value written as the view writes it but without padding
// (SDs "4.8", RIV and RIL "1.75", the speed "77").
std::string rawViewCsv(const runfile::BlockTable& table, std::int16_t kmFrom, std::int16_t blockNumber);

// The view for a clicked listingList entry. The km from and the block number are read as the first and
// third blank-separated fields of the row, so a five-digit kilometre or a two-digit block number
// still finds its own block. An entry that is not a block row (the one-blank separator, an empty
// text, a field that is not a whole number) gives an empty view, without a message.
RawView rawViewOfEntry(const runfile::BlockTable& table, std::string_view entry);

} // namespace kestrana::analyser
