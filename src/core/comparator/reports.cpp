// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Kestrana developers

#include "core/comparator/reports.h"

#include "core/common/csv_writer.h"
#include "core/common/paths.h"
#include "core/common/text.h"
#include "core/history/dates.h"

#include <algorithm>

namespace kestrana::comparator {

namespace {

// Line i of a list box, empty when the list has no such line (a slot above n, a list never filled).
std::string lineOf(const std::vector<std::string>& list, std::size_t i) {
    return i < list.size() ? list[i] : "";
}

// Characters of a title as the user sees them: the screens hand titles over as UTF-8.
std::size_t characterCount(std::string_view text) {
    return static_cast<std::size_t>(std::count_if(
        text.begin(), text.end(), [](char c) { return (static_cast<unsigned char>(c) & 0xC0) != 0x80; }));
}

} // namespace

common::HardCopyScript printDetailsScript(const ReportInputs& inputs, const ComparisonListing& listing,
                                          std::string_view title) {
    common::HardCopyScript script;
    script.setBold(true);
    script.setFontSize(11);
    script.setUnderline(true);
    script.setY(600);
    script.setX(1400);
    script.printLine(std::string(title));
    script.printLine("");
    script.printLineAt(1400, inputs.section + " ( Km " + inputs.fromText + " to " + inputs.toText + " ) ");
    script.printLine("");
    script.printLineAt(1400, " Comparision of TRC runs ( " + inputs.parameter + " )");
    script.setUnderline(false);
    script.printLine("");
    const int n = inputs.olderRuns;
    if (!isOlderRunCount(n)) {
        // Nothing was compared: the page ends after its heading rather than staying open.
        script.endDoc();
        return script;
    }
    std::string heading = lineOf(listing.heading, 0);
    for (int k = 0; k <= n; ++k) {
        heading += "   " + lineOf(listing.runDates[static_cast<std::size_t>(k)], 0);
    }
    std::vector<std::string> rows;
    rows.reserve(listing.blocks.size());
    for (std::size_t i = 0; i < listing.blocks.size(); ++i) {
        std::string row =
            listing.blocks[i] + std::string(8, ' ') + common::formatAt(lineOf(listing.values[0], i), "@@@");
        for (int k = 1; k <= n; ++k) {
            row += std::string(10, ' ') +
                   common::formatAt(lineOf(listing.values[static_cast<std::size_t>(k)], i), "@@@");
        }
        rows.push_back(std::move(row));
    }
    // The headings and the rows in one fixed-pitch face and size, so that each heading stands over
    // its column; the headings open every later page too.
    script.setFontSize(9);
    script.setFixedPitch(true);
    heading = common::alignedHeader(heading, rows);
    script.printLineAt(1400, heading);
    script.repeatOnNewPages(1400, heading);
    script.repeatOnNewPages(1400, "");
    script.printLine(" ");
    script.setBold(false);
    for (const std::string& row : rows) {
        script.printLineAt(1400, row);
    }
    script.endDoc();
    return script;
}

int graphTitleX(std::string_view title) {
    // A title of more than 69 characters would start left of the page; it starts at the edge instead.
    const long x = 6900 - 100 * static_cast<long>(characterCount(title));
    return static_cast<int>(std::max(0L, x));
}

common::HardCopyScript printGraphScript(const ReportInputs& inputs, std::string_view title,
                                        std::string_view shortDate) {
    common::HardCopyScript script;
    script.printLine(" ");
    script.drawPicture(10, 1850);
    script.setPosition(4500, 6000);
    script.setFontSize(14);
    script.setBold(true);
    script.setUnderline(true);
    script.printLine(" Comparision of TRC RUNs ( " + inputs.parameter + " ) ");
    script.printLine("");
    script.printLineAt(4500, inputs.section + " ( Km " + inputs.fromText + "  to " + inputs.toText + " )");
    script.printLine("");
    script.printLineAt(graphTitleX(title), std::string(title));
    script.setPosition(1000, 7000);
    script.setBold(false);
    script.setFontSize(10);
    script.setUnderline(false);
    script.setItalic(true);
    for (int i = 0; i < 4; ++i) {
        script.printLine("");
    }
    script.printLineAt(200, " Kestrana ( " + std::string(shortDate) + " ) ");
    script.setItalic(false);
    script.endDoc();
    return script;
}

std::vector<std::string> savedReportLines(const std::string& section, const ComparisonListing& listing) {
    std::vector<std::string> lines;
    lines.push_back(section);
    std::vector<std::string> heading{lineOf(listing.heading, 0)};
    for (const auto& dates : listing.runDates) {
        heading.push_back(lineOf(dates, 0));
    }
    lines.push_back(common::joinZones(heading));
    // Only the block rows: the empty lines between blocks are left out.
    for (std::size_t i = 0; i < listing.blocks.size() / 2; ++i) {
        std::vector<std::string> items{listing.blocks[2 * i]};
        for (const auto& values : listing.values) {
            items.push_back(lineOf(values, 2 * i));
        }
        lines.push_back(common::joinZones(items));
    }
    return lines;
}

std::string comparisonCsv(const ComparisonListing& listing) {
    std::array<std::string, kSlotCount> isoDates;
    for (std::size_t k = 0; k < isoDates.size(); ++k) {
        if (const auto day = history::dayOfRunDate(lineOf(listing.runDates[k], 0))) {
            isoDates[k] = history::isoDate(*day);
        }
    }
    common::CsvWriter csv(kComparisonCsvHeader);
    for (const ComparedBlock& block : listing.comparedBlocks) {
        for (std::size_t k = 0; k < block.values.size() && k < isoDates.size(); ++k) {
            const auto& value = block.values[k];
            csv.number(static_cast<long long>(k))
                .text(isoDates[k])
                .number(block.km)
                .number(block.nextKm)
                .number(block.block)
                .number(value ? common::plainInt(*value) : std::string())
                .endRow();
        }
    }
    return csv.str();
}

std::string savedReportText(const std::vector<std::string>& lines, std::string_view lineEnd) {
    std::string text;
    for (const auto& line : lines) {
        text += line;
        text += lineEnd;
    }
    return text;
}

void saveReport(const std::string& path, const std::string& section, const ComparisonListing& listing) {
    common::writeFileAtomically(path, savedReportText(savedReportLines(section, listing), "\r\n"));
}

} // namespace kestrana::comparator
