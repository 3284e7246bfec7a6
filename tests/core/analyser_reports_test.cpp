// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Kestrana developers

// The analyser's hard copies and saved report.

#include "core/analyser/listing.h"
#include "core/analyser/reports.h"
#include "core/analyser_fixtures.h"
#include "core/common/errors.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <tuple>

namespace kestrana::analyser {
namespace {

using common::PrintFont;
using common::PrintOp;

// A printed line with the positions set just before it (-1: none set since the last line, so the
// line starts at the left margin below the previous one) and its font as "<size>[B][I][U]".
struct PrintedLine {
    int x = -1;
    int y = -1;
    std::string font;
    std::string text;
    bool operator==(const PrintedLine&) const = default;
};

std::ostream& operator<<(std::ostream& out, const PrintedLine& line) {
    return out << line.x << "," << line.y << " " << line.font << " \"" << line.text << '"';
}

std::string fontCode(const PrintFont& font) {
    return std::to_string(static_cast<int>(font.size)) + (font.bold ? "B" : "") + (font.italic ? "I" : "") +
           (font.underline ? "U" : "") + (font.fixedPitch ? "M" : "");
}

std::vector<PrintedLine> printedLines(const common::HardCopyScript& script) {
    std::vector<PrintedLine> lines;
    int x = -1;
    int y = -1;
    for (const PrintOp& op : script.ops()) {
        if (op.kind == PrintOp::Kind::SetX) {
            x = op.value;
        } else if (op.kind == PrintOp::Kind::SetY) {
            y = op.value;
        } else if (op.kind == PrintOp::Kind::Line) {
            lines.push_back({x, y, fontCode(op.font), op.text});
            x = y = -1;
        }
    }
    return lines;
}

DetailsReport threeRowReport() {
    DetailsReport report{{"WARDHA UP MAIN LINE ", "120326"},
                         {100, 120, 100, 120},
                         "TGIU",
                         {0, 36},
                         std::string(kListingHeader),
                         {}};
    for (int km : {100, 105, 119}) {
        report.listingEntries.push_back(listingRow(test::makeBlock({km, km + 1, 2, 20, 30, 5, 6, 7})));
        report.listingEntries.emplace_back(kListingSeparator);
    }
    return report;
}

const std::string kRowLines =
    "  0100    0101       2           020         030       005       006       007\r\n"
    "  0105    0106       2           020         030       005       006       007\r\n"
    "  0119    0120       2           020         030       005       006       007\r\n";

TEST(AnalyserReports, SavedReportIsByteForByteWithTheHeadingCutFromTheKeptLines) {
    runfile::RunHeader header{"95,1,120326,0815,TRC", "91,0034,NR,KM,NAGPUR - WARDHA UP MAIN LINE  ,END"};
    EXPECT_EQ(reportHeadingOf(header).section, "WARDHA UP MAIN LINE ");
    EXPECT_EQ(reportHeadingOf(header).runDate, "120326");
    header.sectionLine = "91,0034,NR,KM,NAGPUR - WAR";
    EXPECT_EQ(reportHeadingOf(header).section, "WAR");
    header.sectionLine.clear();
    EXPECT_EQ(reportHeadingOf(header).section, "");
    DetailsReport report = threeRowReport();
    EXPECT_EQ(savedReportText(report), "WARDHA UP MAIN LINE Run Date : 120326\r\n"
                                       " km   100 120 \r\n"
                                       "  TGIU between 1 and 35\r\n"
                                       "\r\n"
                                       " Kmfr   Kmto   BLK    TGI     TGIU  TGIW  TGIG  TGIL\r\n" +
                                           kRowLines);
    // The range as typed, its end as the printer statement writes a number; an empty listing.
    report.listingEntries.clear();
    report.range = AnalysisRange{100, -5, -5, 100};
    report.bounds = ListingBounds{-11, 101};
    report.heading.section.clear();
    EXPECT_EQ(savedReportText(report), "Run Date : 120326\r\n"
                                       " km   100-5 \r\n"
                                       "  TGIU between -10 and 100\r\n"
                                       "\r\n"
                                       " Kmfr   Kmto   BLK    TGI     TGIU  TGIW  TGIG  TGIL\r\n");
}

TEST(AnalyserReports, ReportFilesGetTxtOnceAndAreReplacedWhole) {
    EXPECT_EQ(reportFileName("/home/u/details"), "/home/u/details.txt");
    EXPECT_EQ(reportFileName("/home/u/details.txt"), "/home/u/details.txt");
    EXPECT_EQ(reportFileName("/home/u/details.txt.bak"), "/home/u/details.txt.bak.txt");

    test::TempFolder folder;
    const std::string path = folder.file("details.txt");
    test::writeFile(path, "an older and much longer report text\r\n");
    saveReport(path, "new\r\n");
    EXPECT_EQ(test::readFile(path), "new\r\n");
    EXPECT_THROW(saveReport(folder.file("missing/details.txt"), "x"), common::Error);
    EXPECT_FALSE(test::fileExists(folder.file("missing/details.txt")));
}

TEST(AnalyserReports, PrintGraphPlacesThePictureAndEveryLine) {
    QualityDistribution figures{{5.5, 30.0, 0.0, 100.0}, 20.0F, 123.456};
    const auto script = printGraphScript("  My title", {"WARDHA UP MAIN LINE ", "120326"},
                                         AnalysisRange{120, 100, 100, 120}, figures, "06/12/2025 14:05:09");
    const std::string figureFont = "12BI";
    const std::vector<PrintedLine> expected = {
        {-1, -1, "10", " "},
        {1200, 700, "10", " "},
        {3600, 7400, "12B", "  Track Quality Distribution "},
        {-1, -1, "12B", " "},
        {-1, -1, "12B", " "},
        {-1, -1, "12B", " "},
        {-1, -1, "12B", " "},
        {3000, -1, "13BU", "  My title"},
        {-1, -1, "13BU", ""},
        {3000, -1, "13BU", "WARDHA UP MAIN LINE  Run Date : 120326"},
        {-1, -1, "13BU", ""},
        {3000, -1, "13BU", " Quality Distribution between Km 120 to 100"},
        {-1, -1, figureFont, " "},
        {3000, -1, figureFont, " Track below TGI 36              =  05.50 %"},
        {-1, -1, figureFont, " "},
        {3000, -1, figureFont, " Track between TGI 36 - 50   =  30.00 %"},
        {-1, -1, figureFont, " "},
        {3000, -1, figureFont, " Track between TGI 51 - 80   =  00.00 %"},
        {-1, -1, figureFont, " "},
        {3000, -1, figureFont, " Track above TGI 80              =  100.00 %"},
        {-1, -1, figureFont, " "},
        {3000, -1, figureFont, " Non Recorded Track            =  20.00 %"},
        {-1, -1, figureFont, " "},
        {3000, -1, figureFont, " Average  TGI                         =  123.46"},
        {-1, -1, figureFont, ""},
        {-1, -1, figureFont, ""},
        {-1, -1, figureFont, ""},
        {500, -1, "10I", "Kestrana ( 06/12/2025 14:05:09 ) "},
    };
    EXPECT_EQ(printedLines(script), expected);

    // The picture is drawn between the two first lines, at (2400, 1000).
    const auto& ops = script.ops();
    ASSERT_GE(ops.size(), 4U);
    EXPECT_EQ(std::make_pair(ops[1].kind, ops[1].value), std::make_pair(PrintOp::Kind::SetX, 1200));
    EXPECT_EQ(std::make_pair(ops[2].kind, ops[2].value), std::make_pair(PrintOp::Kind::SetY, 700));
    EXPECT_EQ(ops[3].kind, PrintOp::Kind::Picture);
    EXPECT_EQ(std::make_pair(ops[3].x, ops[3].y), std::make_pair(2400, 1000));
    EXPECT_EQ(ops.back().kind, PrintOp::Kind::EndDoc);
}

TEST(AnalyserReports, PrintDetailsPrintsHeadingHeaderAndEveryEntry) {
    const DetailsReport report = threeRowReport();
    std::vector<PrintedLine> expected = {
        {1200, 500, "11BU", "Title"},
        {-1, -1, "11BU", ""},
        {1200, -1, "11BU", "WARDHA UP MAIN LINE Run Date : 120326"},
        {-1, -1, "11BU", ""},
        {1200, -1, "11BU", " Lcations with TGIU between 1 and 35 ( Km 100 - 120 )"},
        {-1, -1, "11BU", ""},
        // The header and the rows in one fixed-pitch face: each name over its column.
        {1200, -1, "9BM", "  Kmfr    Kmto      BLK          TGI        TGIU      TGIW      TGIG      TGIL"},
        {-1, -1, "9BM", "  "},
    };
    for (const std::string& entry : report.listingEntries) {
        expected.push_back({1200, -1, "9M", entry});
    }
    const auto script = printDetailsScript("Title", report);
    EXPECT_EQ(printedLines(script), expected);
    EXPECT_EQ(script.ops().back().kind, PrintOp::Kind::EndDoc);
    // The header opens every later page too.
    const auto repeated = std::find_if(script.ops().begin(), script.ops().end(), [](const PrintOp& op) {
        return op.kind == PrintOp::Kind::PageHeader;
    });
    ASSERT_NE(repeated, script.ops().end());
    EXPECT_EQ(std::make_tuple(repeated->x, repeated->text, fontCode(repeated->font)),
              std::make_tuple(1200, expected[6].text, std::string("9BM")));

    // An empty listing prints the heading lines only, the header as it stands.
    DetailsReport empty = report;
    empty.listingEntries.clear();
    expected.resize(8);
    expected[6].text = " Kmfr   Kmto   BLK    TGI     TGIU  TGIW  TGIG  TGIL";
    EXPECT_EQ(printedLines(printDetailsScript("Title", empty)), expected);
}

} // namespace
} // namespace kestrana::analyser
