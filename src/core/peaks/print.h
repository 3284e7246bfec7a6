// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Kestrana developers

#pragma once
// PRINT DETAILS of the peak analyser: the title, the run's section and date, the query as typed,
// the share and total of the last SHOW DETAILS, the column header and one row per list entry, as
// the printer statements that put them on paper.

#include "core/common/hard_copy.h"
#include "core/peaks/query.h"
#include "core/peaks/session.h"

#include <cstddef>
#include <string>
#include <string_view>

namespace kestrana::peaks {

inline constexpr std::string_view kPrintColumnHeader =
    "KMF   KMT      L1      P1       L2     P2       L3      P3       L4      P4      L5      P5       L6"
    "      P6       L7      P7       L8      P8";

// The texts of the screen at printing time.
struct PeakPrintTexts {
    std::string title;         // as the title prompt returned it (empty after a cancel)
    std::string parameterText; // parameterCombo
    std::string limitText;     // limitEdit
    std::string kmFromText;    // kmRangeEdits(0)
    std::string kmToText;      // kmRangeEdits(1)
};

// Row `entry` of the lists as printed: KMF, "  ", KMT, then for each of the eight pairs four blanks,
// the location, two blanks (three before the eighth value) and the value. Km and locations show at
// least four digits ("0000"), values at least two ("00"); an empty or missing entry prints nothing.
std::string printedRow(const ColumnLists& lists, std::size_t entry);

// The CSV header of the listed kilometres: km from and km to, then the eight location and peak pairs
// of the printed row.
inline constexpr std::string_view kPeakRowsCsvHeader =
    "km_from,km_to,location_1,peak_1,location_2,peak_2,location_3,peak_3,location_4,peak_4,"
    "location_5,peak_5,location_6,peak_6,location_7,peak_7,location_8,peak_8";
// The printed rows as CSV: kPeakRowsCsvHeader, then one row per listed kilometre (the empty separator
// entries are left out) with plain whole numbers, an empty field where the printed row is blank. The
// summary's figures follow from the rows: the kilometres are the rows, the peaks the filled pairs.
std::string peakRowsCsv(const ColumnLists& lists);

// The whole hard copy, rows for every entry of resultLists(0) (the empty separator entries print as rows
// of blanks), the share as the shortest text of the single-precision number.
common::HardCopyScript peakHardCopy(const PeakPrintTexts& texts, const ColumnLists& lists,
                                    const PeakSession& session);

} // namespace kestrana::peaks
