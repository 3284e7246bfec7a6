// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Kestrana developers

#include "core/common/errors.h"
#include "core/common/hard_copy.h"
#include "core/comparator/reports.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

using namespace kestrana::comparator;
using kestrana::common::HardCopyScript;
using kestrana::common::PrintOp;
using Lines = std::vector<std::string>;

namespace {

// The script as short texts joined by "|": "X 1400", "Y 600", "F 11 BUM" (size, Bold, Italic,
// Underline, fixed-pitch Monospace), "L text", "H x text" (repeated on new pages), "P x y", "E".
std::string dump(const HardCopyScript& script) {
    std::string out;
    for (const PrintOp& op : script.ops()) {
        out += out.empty() ? "" : "|";
        switch (op.kind) {
        case PrintOp::Kind::SetX:
        case PrintOp::Kind::SetY:
            out += (op.kind == PrintOp::Kind::SetX ? "X " : "Y ") + std::to_string(op.value);
            break;
        case PrintOp::Kind::SetFont:
            out += "F " + std::to_string(static_cast<int>(op.font.size)) + " " + (op.font.bold ? "B" : "") +
                   (op.font.italic ? "I" : "") + (op.font.underline ? "U" : "") +
                   (op.font.fixedPitch ? "M" : "");
            break;
        case PrintOp::Kind::Line:
            out += "L " + op.text;
            break;
        case PrintOp::Kind::Picture:
            out += "P " + std::to_string(op.x) + " " + std::to_string(op.y);
            break;
        case PrintOp::Kind::PageHeader:
            out += "H " + std::to_string(op.x) + " " + op.text;
            break;
        case PrintOp::Kind::EndDoc:
            out += "E";
            break;
        }
    }
    return out;
}

std::string blanks(std::size_t n) {
    return std::string(n, ' ');
}

// Two runs, two blocks of km 120, the older run lacking block 1.
ComparisonListing twoRunListing() {
    ComparisonListing listing;
    listing.heading = {"From  -  To       Blk"};
    listing.runDates[0] = {"120326"};
    listing.runDates[1] = {"011225"};
    listing.blocks = {"0120    -   0121        1", "", "0120    -   0121        2", ""};
    listing.values[0] = {"42", "", "7", ""};
    listing.values[1] = {"NA", "", "1234", ""};
    return listing;
}

ReportInputs inputs(int olderRuns, std::string parameter = "TGI") {
    return ReportInputs{"NAGPUR - WARDHA", "120", "121", std::move(parameter), olderRuns};
}

} // namespace

TEST(ComparatorPrintDetails, TwoRunsLineByLineAndColumnsFollowN) {
    const std::string row1 = "0120    -   0121        1" + blanks(8) + " 42" + blanks(10) + " NA";
    const std::string row2 = "0120    -   0121        2" + blanks(8) + "  7" + blanks(10) + "1234";
    const std::string expected =
        "F 10 B|F 11 B|F 11 BU|Y 600|X 1400|L My title|L |X 1400|L NAGPUR - WARDHA ( Km 120 to 121 ) |L |"
        "X 1400|L  Comparision of TRC runs ( TGI )|F 11 B|L |F 9 B|F 9 BM|X 1400|"
        "L From    -    To        Blk      120326       011225|"
        "H 1400 From    -    To        Blk      120326       011225|H 1400 |L  |F 9 M|X 1400|L " +
        row1 + "|X 1400|L " + blanks(24) + "|X 1400|L " + row2 + "|X 1400|L " + blanks(24) + "|E";
    EXPECT_EQ(dump(printDetailsScript(inputs(1), twoRunListing(), "My title")), expected);
    ComparisonListing listing = twoRunListing();
    listing.runDates[2] = {"A"};
    listing.runDates[3] = {"B"};
    listing.values[2] = {"1", "", "2", ""};
    listing.values[3] = {"-3", "", "NA", ""};
    const auto lines = printDetailsScript(inputs(3), listing, "").lines();
    ASSERT_EQ(lines.size(), 12u);
    // Each heading centred over its column in the fixed-pitch face.
    EXPECT_EQ(lines[6],
              "From    -    To        Blk      120326       011225" + blanks(10) + "A" + blanks(11) + "B");
    EXPECT_EQ(lines[8], "0120    -   0121        1" + blanks(8) + " 42" + blanks(10) + " NA" + blanks(10) +
                            "  1" + blanks(10) + " -3");
    EXPECT_EQ(printDetailsScript(inputs(2), listing, "").lines()[6],
              "From    -    To        Blk      120326       011225" + blanks(10) + "A");

    // Nothing compared (n outside 1 to 3): the page ends after its heading.
    EXPECT_TRUE(dump(printDetailsScript(inputs(5), listing, "T"))
                    .ends_with("|L  Comparision of TRC runs ( TGI )|F 11 B|L |E"));
}

TEST(ComparatorPrintGraph, PositionsFontsAndTexts) {
    ReportInputs in{"NAGPUR", "120", "170", "TGIU", 1};
    const std::string expected =
        "L  |P 10 1850|X 4500|Y 6000|F 14 |F 14 B|F 14 BU|L  Comparision of TRC RUNs ( TGIU ) |L |X 4500|"
        "L NAGPUR ( Km 120  to 170 )|L |X 5600|L ABCDEFGHIJKLM|X 1000|Y 7000|F 14 U|F 10 U|F 10 |F 10 I|"
        "L |L |L |L |X 200|L  Kestrana ( 14/03/26 ) |F 10 |E";
    EXPECT_EQ(dump(printGraphScript(in, "ABCDEFGHIJKLM", "14/03/26")), expected);
    // The title ends near the same spot whatever its length (a 13-character title starts at 5600).
    EXPECT_EQ(graphTitleX(""), 6900);
    EXPECT_EQ(graphTitleX("\xC3\xBC"
                          "ber"),
              6500);                                 // four characters, five bytes
    EXPECT_EQ(graphTitleX(std::string(80, 'x')), 0); // never left of the page
}

TEST(ComparatorSavedReport, FiveZoneItemsOnEveryLine) {
    const auto lines = savedReportLines("NAGPUR - WARDHA", twoRunListing());
    const Lines expected{
        "NAGPUR - WARDHA",
        "From  -  To       Blk" + blanks(7) + "120326" + blanks(8) + "011225" + blanks(8) + blanks(14),
        "0120    -   0121        1" + blanks(3) + "42" + blanks(12) + "NA" + blanks(12) + blanks(14),
        "0120    -   0121        2" + blanks(3) + "7" + blanks(13) + "1234" + blanks(10) + blanks(14)};
    EXPECT_EQ(lines, expected);
    EXPECT_EQ(savedReportText({"a", "b"}, "\r\n"), "a\r\nb\r\n");
    EXPECT_EQ(savedReportText({"a", "b"}, "\n"), "a\nb\n");
}
