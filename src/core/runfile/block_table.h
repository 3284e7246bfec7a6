// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Kestrana developers

#pragma once
// The analyser's processed run: one BlockResult per block line, fields 1 to 26 (kilometre-line
// numbers in 1 to 3, block-line numbers in 4 to 26), all signed 16-bit and stored exactly as read
// (values in tenths and hundredths stay scaled).

#include "core/runfile/run_reader.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace kestrana::runfile {

// Field numbers of a BlockResult.
namespace field {
constexpr int KmFrom = 2, KmTo = 3, BlockNumber = 5;
constexpr int U1L = 6, U1R = 7, TW1 = 8, G = 9, A1L = 10, A1R = 11, U2L = 12, U2R = 13, A2L = 14, A2R = 15,
              TW2 = 16;
constexpr int TGI = 17, SPD = 18, RIV = 20, RIL = 21, TGIU = 22, TGIW = 23, TGIG = 24, TGIL = 25;
} // namespace field

struct BlockResult {
    std::array<std::int16_t, 26> fields{};
    // Field n, 1 to 26.
    std::int16_t field(int n) const { return fields[static_cast<std::size_t>(n - 1)]; }
    std::int16_t& field(int n) { return fields[static_cast<std::size_t>(n - 1)]; }
    // A value in tenths (divisor 10) or hundredths (divisor 100) as its double quotient.
    double scaled(int n, int divisor) const { return static_cast<double>(field(n)) / divisor; }
};

struct BlockTable {
    std::vector<BlockResult> rows; // in file order
    std::int16_t runDirection = 0; // field 3 - field 2 of row 1: 1 rising, -1 falling
    RunHeader header;              // kept "95" and "91" lines

    std::int16_t blockCount() const { return static_cast<std::int16_t>(rows.size()); }
    bool empty() const { return rows.empty(); }
    std::int16_t kmFrom() const { return rows.front().field(field::KmFrom); } // of the run
    std::int16_t kmTo() const { return rows.back().field(field::KmTo); }      // of the run
};

// Loads a run: reads the run file with the pairing reader ("68") as a stream, takes the numbers of
// every pair (kilometre line, then block line) as one stream, 26 to a row, and sets the run direction
// from row 1. Rows are the same as reading back a pair scratch file would give, shifted rows
// included, but no such copy is made. The header lines are those of this file only (lines it lacks
// are empty).
// Throws common::Error naming the run file and, where there is one, the line of the block
// line whose pair shows the fault: a run file that cannot be read, a line too long, more than 32767
// block lines, no block line, a token that is not a whole number or is outside 16 bits, numbers that
// end inside a row or are left over after the last row, a direction overflowing 16 bits. When a run
// has more than one fault, the one reported is the one reading the whole run and then its numbers
// meets first.
// `onBytes`, when given, is told every byte of the file as it is read (PairingOptions::onBytes), so
// that a caller can hash exactly the bytes the table was made from, in the same single reading;
// `onLine`, when given, is told every line (PairingOptions::onLine), for a caller that takes more of the
// run in that reading.
BlockTable
loadBlockTable(const std::string& runPath, const std::function<void(std::string_view bytes)>& onBytes = {},
               const std::function<void(std::string_view text, long number, bool tooLong)>& onLine = {});

} // namespace kestrana::runfile
