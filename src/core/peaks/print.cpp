// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Kestrana developers

#include "core/peaks/print.h"

#include "core/common/csv_writer.h"
#include "core/common/text.h"

#include <charconv>

namespace kestrana::peaks {

namespace {

// Twips from the page's left edge.
constexpr int kHeadingX = 1400;
constexpr int kColumnsX = 900;
constexpr int kTopY = 600;
// The size of the column header and the rows.
constexpr double kColumnsPoints = 8;
// The location and peak pairs a printed row shows.
constexpr std::size_t kPrintedPairs = 8;

// Entry `entry` of a list under a number pattern; an empty or missing entry stays empty.
std::string patterned(const std::vector<std::string>& list, std::size_t entry, std::string_view pattern) {
    if (entry >= list.size() || list[entry].empty()) {
        return {};
    }
    const std::string& text = list[entry];
    long long value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc{} || end != text.data() + text.size()) {
        return text;
    }
    return common::formatPattern(value, pattern);
}

} // namespace

std::string printedRow(const ColumnLists& lists, std::size_t entry) {
    std::string row = patterned(lists[0], entry, "0000") + "  " + patterned(lists[1], entry, "0000");
    for (std::size_t j = 1; j <= kPrintedPairs; ++j) {
        row += "    " + patterned(lists[2 * j], entry, "0000");
        row += j == kPrintedPairs ? "   " : "  ";
        row += patterned(lists[2 * j + 1], entry, "00");
    }
    return row;
}

std::string peakRowsCsv(const ColumnLists& lists) {
    common::CsvWriter csv(kPeakRowsCsvHeader);
    // Every listed kilometre fills two entries: its values, then an empty separator.
    for (std::size_t entry = 0; entry < lists[0].size(); entry += 2) {
        for (std::size_t list = 0; list < 2 + 2 * kPrintedPairs; ++list) {
            csv.number(patterned(lists[list], entry, "0"));
        }
        csv.endRow();
    }
    return csv.str();
}

common::HardCopyScript peakHardCopy(const PeakPrintTexts& texts, const ColumnLists& lists,
                                    const PeakSession& session) {
    common::HardCopyScript script;
    script.setBold(true);
    script.setFontSize(11);
    script.setUnderline(true);
    script.setY(kTopY);

    script.printLineAt(kHeadingX, texts.title);
    script.printLine("");
    script.printLineAt(kHeadingX, std::string(common::trimBlanks(session.header.section())) +
                                      "        Run Date : " + session.header.date());
    script.printLine("");
    script.printLineAt(kHeadingX, texts.parameterText + "  peaks > " + texts.limitText + " mm  between  KM " +
                                      texts.kmFromText + " - " + texts.kmToText);
    script.printLine("");
    script.printLineAt(kHeadingX, "( Kms = " + common::shortestFloat(session.kmShare) +
                                      "%      Total Peaks = " + common::plainInt(session.totalPeaks) + " )");
    script.printLine("");

    std::vector<std::string> rows;
    rows.reserve(lists[0].size());
    for (std::size_t entry = 0; entry < lists[0].size(); ++entry) {
        rows.push_back(printedRow(lists, entry));
    }
    // The column header and the rows in one fixed-pitch face and size, so that each name stands over
    // its column; the header opens every later page too. At 8 points a row of eight pairs fits across
    // a portrait page.
    script.setFontSize(kColumnsPoints);
    script.setFixedPitch(true);
    const std::string header = common::alignedHeader(kPrintColumnHeader, rows);
    script.printLineAt(kColumnsX, header);
    script.repeatOnNewPages(kColumnsX, header);
    script.repeatOnNewPages(kColumnsX, "");
    script.setBold(false);
    script.printLine("");
    script.setUnderline(false);

    for (const std::string& row : rows) {
        script.printLineAt(kColumnsX, row);
    }
    script.endDoc();
    return script;
}

} // namespace kestrana::peaks
