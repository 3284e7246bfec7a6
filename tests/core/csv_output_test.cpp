// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Kestrana developers

// The CSV forms of the figures the analyser, the comparator and the peak analyser show: the same figures
// as the text, each one a plain number (no padding, the text's rounding), run dates as YYYY-MM-DD, an
// empty field where the text shows no value, and text fields through the program's CSV rule.

#include "core/analyser/listing.h"
#include "core/analyser/quality.h"
#include "core/analyser/raw_view.h"
#include "core/analyser_fixtures.h"
#include "core/common/csv_writer.h"
#include "core/comparator/comparison.h"
#include "core/comparator/reports.h"
#include "core/peaks/print.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <sstream>
#include <tuple>

namespace kestrana {
namespace {

using Cells = std::vector<std::string>;
using test::makeBlock;
using test::makeTable;
using test::tableOfTgis;
namespace field = runfile::field;

// The rows of a CSV text whose fields hold no quotes, split at every comma; every row must end with a
// line feed.
std::vector<Cells> csvRows(const std::string& text) {
    EXPECT_TRUE(text.empty() || text.back() == '\n') << text;
    std::vector<Cells> rows;
    std::istringstream lines(text);
    std::string line;
    while (std::getline(lines, line)) {
        Cells cells;
        std::size_t start = 0;
        for (std::size_t comma; (comma = line.find(',', start)) != std::string::npos; start = comma + 1) {
            cells.push_back(line.substr(start, comma - start));
        }
        cells.push_back(line.substr(start));
        rows.push_back(cells);
    }
    return rows;
}

// The numbers of a text line, in order: every run of digits with its sign and decimal point.
Cells numbersIn(const std::string& text) {
    Cells numbers;
    std::string current;
    for (char c : text + " ") {
        const bool part = (c >= '0' && c <= '9') || c == '.' || (c == '-' && current.empty());
        if (part) {
            current += c;
        } else {
            if (!current.empty() && current != "-" && current != ".") {
                numbers.push_back(current);
            }
            current.clear();
        }
    }
    return numbers;
}

// A number of the text ("0077", ".50", "-4.5") as the CSV writes it.
std::string plain(const std::string& number) {
    std::string text = number;
    const bool negative = !text.empty() && text[0] == '-';
    if (negative) {
        text.erase(0, 1);
    }
    while (text.size() > 1 && text[0] == '0' && text[1] != '.') {
        text.erase(0, 1);
    }
    if (!text.empty() && text[0] == '.') {
        text.insert(0, "0");
    }
    return (negative ? "-" : "") + text;
}

TEST(CsvWriter, TextFieldsQuotedAndKeptFromFormulasNumbersAsTheyAre) {
    common::CsvWriter csv("name,value,date");
    csv.text("BHOPAL, \"DN\" LINE").number(-1).text("2024-03-15").endRow();
    csv.text("=SUM(A1)").number("").text("").endRow();
    csv.text("-5").number("12.50").number(0).endRow();
    EXPECT_EQ(csv.str(), "name,value,date\n"
                         "\"BHOPAL, \"\"DN\"\" LINE\",-1,2024-03-15\n"
                         "'=SUM(A1),,\n"
                         "'-5,12.50,0\n");
}

TEST(AnalyserCsv, QualityFiguresAreTheCaptionsFiguresUnpadded) {
    // 1 in 3 non-recorded (single precision 33.33), an average of 0.5 shown as ".50", a negative one.
    for (const auto& [tgis, start, end] : std::vector<std::tuple<std::vector<int>, int, int>>{
             {{0, 20, 40, 90, 20, 0, 40, 20, 40, 90}, 110, 100},
             {{0, 10, 40}, 0, 3},
             {{-1, 2}, 0, 2},
             {{-3, 2}, -7, -5},
             {{90, 120, 36, 51, 50, 80, 81, 1, 35}, 0, 9}}) {
        const auto table = tableOfTgis(std::min(start, end), 1, tgis);
        const auto quality = analyser::processInformation(table, std::to_string(start), std::to_string(end));
        const auto rows = csvRows(analyser::qualityCsv(quality));
        ASSERT_EQ(rows.size(), 2u);
        EXPECT_EQ(rows[0], csvRows(std::string(analyser::kQualityCsvHeader) + "\n")[0]);
        Cells expected{std::to_string(std::min(start, end)), std::to_string(std::max(start, end))};
        for (const auto& caption : quality.bandCaptions) {
            expected.push_back(plain(numbersIn(caption).back()));
        }
        expected.push_back(plain(numbersIn(quality.nonRecordedCaption).back()));
        expected.push_back(plain(numbersIn(quality.averageCaption).back()));
        EXPECT_EQ(rows[1], expected) << quality.averageCaption;
    }
    // No average: an empty last field, the shares still there.
    const auto none = analyser::processInformation(tableOfTgis(0, 1, {0, 0}), "0", "2");
    EXPECT_EQ(csvRows(analyser::qualityCsv(none))[1],
              (Cells{"0", "2", "0.00", "0.00", "0.00", "0.00", "100.00", ""}));
}

TEST(AnalyserCsv, ListingRowsAndTrackShareCarryTheTextsFigures) {
    const auto table = makeTable({{-2, -1, 1, 40, 7, 8, 9, 10},
                                  {-1, 0, 1, 35, 0, 1, 2, 3},
                                  {0, 1, 12, 99, 100, 101, 102, 103},
                                  {1, 2, 3, 36, -5, 1234, 0, 7}});
    const auto range = analyser::analysisRangeFromTexts("2", "-2");
    const auto listing = analyser::showDetails(table, range, "35.5", "99", "TGI");
    const auto rows = csvRows(analyser::listingCsv(listing));
    const Cells textRows = listing.rows();
    ASSERT_EQ(rows.size(), textRows.size() + 1);
    EXPECT_EQ(rows[0], (Cells{"km_from", "km_to", "block", "tgi", "tgiu", "tgiw", "tgig", "tgil"}));
    for (std::size_t i = 0; i < textRows.size(); ++i) {
        Cells expected;
        for (const auto& number : numbersIn(textRows[i])) {
            expected.push_back(plain(number));
        }
        EXPECT_EQ(rows[i + 1], expected) << textRows[i];
    }
    EXPECT_EQ(rows[1], (Cells{"-2", "-1", "1", "40", "7", "8", "9", "10"}));
    // A listing of no block is the header alone.
    EXPECT_EQ(analyser::listingCsv(analyser::showDetails(table, range, "200", "300", "TGIU")),
              std::string(analyser::kListingCsvHeader) + "\n");

    const auto share = analyser::calcTrackShare(table, range, "1", "40.4");
    const auto shareRows = csvRows(analyser::trackShareCsv(share));
    ASSERT_EQ(shareRows.size(), 2u);
    EXPECT_EQ(shareRows[0], (Cells{"lower_km", "upper_km", "tgi_low", "tgi_high", "share_percent"}));
    // "75.00 % of Track between  Km -2  and  2  is between TGI  1  -  40": share, range, bounds.
    const Cells captionNumbers = numbersIn(share.caption);
    ASSERT_EQ(captionNumbers.size(), 5u) << share.caption;
    EXPECT_EQ(shareRows[1], (Cells{captionNumbers[1], captionNumbers[2], captionNumbers[3], captionNumbers[4],
                                   captionNumbers[0]}));
    EXPECT_EQ(shareRows[1][4], "75.00");
}

TEST(AnalyserCsv, RawViewRowsHoldTheViewsValuesAndTheBlocksKey) {
    runfile::BlockTable table = makeTable({{120, 121, 3, 42}, {120, 121, 4, 50}, {120, 122, 3, 60}});
    const std::array<int, 11> channels = {45, 38, 21, -45, 63, 59, 123, 5, 0, 1000, -3};
    for (auto& row : table.rows) {
        for (std::size_t i = 0; i < channels.size(); ++i) {
            row.field(field::U1L + static_cast<int>(i)) =
                static_cast<std::int16_t>(channels[i] + row.field(field::TGI));
        }
        row.field(field::RIV) = 5;
        row.field(field::RIL) = -187;
        row.field(field::SPD) = 7;
    }
    const auto view = analyser::rawViewOfBlock(table, 120, 3);
    const auto rows = csvRows(analyser::rawViewCsv(table, 120, 3));
    ASSERT_EQ(rows.size(), view.rows.size() + 1);
    ASSERT_EQ(view.rows.size(), 2u);
    // The header names the view's columns after the block's key, in the view's order.
    Cells names = analyser::rawViewCells(analyser::kRawViewHeader);
    for (auto& name : names) {
        std::transform(name.begin(), name.end(), name.begin(),
                       [](unsigned char c) { return std::tolower(c); });
    }
    names.insert(names.begin(), {"km_from", "km_to", "block"});
    EXPECT_EQ(rows[0], names);
    for (std::size_t i = 0; i < view.rows.size(); ++i) {
        Cells expected{"120", i == 0 ? "121" : "122", "3"};
        for (const auto& cell : analyser::rawViewCells(view.rows[i])) {
            expected.push_back(plain(cell));
        }
        EXPECT_EQ(rows[i + 1], expected) << view.rows[i];
    }
    EXPECT_EQ(rows[1][12], "7"); // the speed "007"
    EXPECT_EQ(rows[1][11], "-1.87");
    EXPECT_EQ(analyser::rawViewCsv(table, 121, 3), std::string(analyser::kRawViewCsvHeader) + "\n");
}

TEST(ComparatorCsv, OneRowPerRunAndBlockWithIsoDatesAndEmptyForNa) {
    comparator::ComparisonListing listing;
    listing.heading = {"From  -  To       Blk"};
    // DDMMYY: 2024, 1999 (70-99 are the 1900s), a date that is no calendar date, one that is no date.
    listing.runDates = {Cells{"150324"}, Cells{"311299"}, Cells{"300223"}, Cells{"15 3 24"}};
    const comparator::ListingBounds falling{121, 120, -1};
    comparator::fillListing(
        listing, falling, 3, [](int slot, std::int16_t km, std::int16_t, std::int16_t block) {
            return slot == 2 && block == 4 ? std::nullopt
                                           : std::optional<std::int16_t>(km * 10 - slot * block);
        });
    const auto rows = csvRows(comparator::comparisonCsv(listing));
    const auto report = comparator::savedReportLines("SECTION", listing);
    ASSERT_EQ(report.size(), 2 + 10u);
    ASSERT_EQ(rows.size(), 1 + 10 * 4u);
    EXPECT_EQ(rows[0], (Cells{"run_index", "run_date", "km_from", "km_to", "block", "value"}));
    const Cells isoDates{"2024-03-15", "1999-12-31", "", ""};
    // Each block line of the report, "0121    -   0120        4   1210   1206   NA   1202", is four
    // rows of the CSV in run order.
    for (std::size_t line = 0; line < 10; ++line) {
        std::istringstream words(report[2 + line]);
        Cells text;
        for (std::string word; words >> word;) {
            text.push_back(word);
        }
        ASSERT_EQ(text.size(), 8u) << report[2 + line];
        for (std::size_t k = 0; k < 4; ++k) {
            const std::string value = text[4 + k] == "NA" ? "" : text[4 + k];
            EXPECT_EQ(rows[1 + 4 * line + k],
                      (Cells{std::to_string(k), isoDates[k], plain(text[0]), plain(text[2]), text[3], value}))
                << report[2 + line];
        }
    }
    EXPECT_EQ(rows[1], (Cells{"0", "2024-03-15", "121", "120", "1", "1210"}));
    // Two runs compared: two rows per block.
    comparator::ComparisonListing two;
    two.runDates = {Cells{"010170"}, Cells{"290224"}};
    comparator::fillListing(two, {5, 5, 1}, 1, [](int, std::int16_t, std::int16_t, std::int16_t) {
        return std::optional<std::int16_t>(-7);
    });
    const auto twoRows = csvRows(comparator::comparisonCsv(two));
    ASSERT_EQ(twoRows.size(), 1 + 5 * 2u);
    EXPECT_EQ(twoRows[2], (Cells{"1", "2024-02-29", "5", "6", "1", "-7"}));
    EXPECT_EQ(twoRows[1][1], "1970-01-01");
}

TEST(PeaksCsv, OneRowPerListedKilometreWithThePrintedFiguresAndEmptyGaps) {
    peaks::ColumnLists lists;
    // Two listed kilometres: the first with peaks 1, 2 and 4 above the limit, the second with all eight.
    const auto add = [&](std::size_t list, const std::string& first, const std::string& second) {
        lists[list] = {first, "", second, ""};
    };
    add(0, "1201", "-5");
    add(1, "1202", "-4");
    for (std::size_t pair = 1; pair <= 8; ++pair) {
        const bool gap = pair == 3 || pair >= 5;
        add(2 * pair, gap ? "" : std::to_string(pair * 7), std::to_string(pair * 100));
        add(2 * pair + 1, gap ? "" : std::to_string(20 + pair), std::to_string(30 + pair));
    }
    const auto rows = csvRows(peaks::peakRowsCsv(lists));
    ASSERT_EQ(rows.size(), 3u);
    ASSERT_EQ(rows[0].size(), 18u);
    EXPECT_EQ(rows[0][0] + " " + rows[0][1] + " " + rows[0][16] + " " + rows[0][17],
              "km_from km_to location_8 peak_8");
    for (std::size_t row = 0; row < 2; ++row) {
        // The printed row's figures are the CSV row's filled fields, in order.
        const std::string printed = peaks::printedRow(lists, 2 * row);
        Cells filled;
        for (const auto& cell : rows[row + 1]) {
            if (!cell.empty()) {
                filled.push_back(cell);
            }
        }
        Cells expected;
        for (const auto& number : numbersIn(printed)) {
            expected.push_back(plain(number));
        }
        EXPECT_EQ(filled, expected) << printed;
    }
    EXPECT_EQ(rows[1], (Cells{"1201", "1202", "7", "21", "14", "22", "", "", "28", "24", "", "", "", "", "",
                              "", "", ""}));
    // Nothing listed: the header alone.
    EXPECT_EQ(peaks::peakRowsCsv(peaks::ColumnLists{}), std::string(peaks::kPeakRowsCsvHeader) + "\n");
}

} // namespace
} // namespace kestrana
