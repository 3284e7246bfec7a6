// The analyser's hard copies and saved report.

#include "analyser/listing.h"
#include "analyser/reports.h"
#include "core/analyser_fixtures.h"
#include "platform/errors.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

namespace kestrana::analyser {
namespace {

using platform::PrintFont;
using platform::PrintOp;

// A printed line with the positions set just before it (-1: none set since the last line, so the
// line starts at the left margin below the previous one).
struct PrintedLine {
    std::string text;
    int x = -1;
    int y = -1;
    PrintFont font;
};

std::vector<PrintedLine> printedLines(const platform::HardCopyScript& script) {
    std::vector<PrintedLine> lines;
    int x = -1;
    int y = -1;
    for (const PrintOp& op : script.ops()) {
        if (op.kind == PrintOp::Kind::SetX) {
            x = op.value;
        } else if (op.kind == PrintOp::Kind::SetY) {
            y = op.value;
        } else if (op.kind == PrintOp::Kind::Line) {
            lines.push_back({op.text, x, y, op.font});
            x = -1;
            y = -1;
        }
    }
    return lines;
}

std::vector<std::string> textsOf(const std::vector<PrintedLine>& lines) {
    std::vector<std::string> texts;
    for (const auto& line : lines) {
        texts.push_back(line.text);
    }
    return texts;
}

PrintFont font(double size, bool bold, bool italic, bool underline) {
    return PrintFont{size, bold, italic, underline};
}

ReportHeading heading() {
    return ReportHeading{"WARDHA UP MAIN LINE ", "120326"};
}

DetailsReport threeRowReport() {
    DetailsReport report;
    report.heading = heading();
    report.range = AnalysisRange{100, 120, 100, 120};
    report.indexName = "TGIU";
    report.bounds = ListingBounds{0, 36};
    report.header = std::string(kListingHeader);
    for (int km : {100, 105, 119}) {
        report.list1Entries.push_back(listingRow(test::makeBlock({km, km + 1, 2, 20, 30, 5, 6, 7})));
        report.list1Entries.emplace_back(kListingSeparator);
    }
    return report;
}

TEST(AnalyserReports, HeadingCutsSectionAndDateFromTheKeptLines) {
    runfile::RunHeader header;
    header.headerLine = "95,1,120326,0815,TRC";
    header.sectionLine = "91,0034,NR,KM,NAGPUR - WARDHA UP MAIN LINE  ,END";
    const ReportHeading cut = reportHeadingOf(header);
    EXPECT_EQ(cut.section, "WARDHA UP MAIN LINE ");
    EXPECT_EQ(cut.runDate, "120326");

    header.sectionLine = "91,0034,NR,KM,NAGPUR - WAR";
    EXPECT_EQ(reportHeadingOf(header).section, "WAR");
    header.sectionLine.clear();
    EXPECT_EQ(reportHeadingOf(header).section, "");
}

TEST(AnalyserReports, SavedReportIsByteForByte) {
    const std::string gap4(4, ' ');
    const std::string expected =
        "WARDHA UP MAIN LINE Run Date : 120326\r\n"
        " km   100 120 \r\n"
        "  TGIU between 1 and 35\r\n"
        "\r\n"
        " Kmfr   Kmto   BLK    TGI     TGIU  TGIW  TGIG  TGIL\r\n"
        "  0100    0101       2           020         030       005       006       007\r\n"
        "  0105    0106       2           020         030       005       006       007\r\n"
        "  0119    0120       2           020         030       005       006       007\r\n";
    EXPECT_EQ(savedReportText(threeRowReport()), expected);
}

TEST(AnalyserReports, SavedReportWritesRangeAsTypedWithTheEndAsPrinted) {
    DetailsReport report = threeRowReport();
    report.list1Entries.clear();
    report.range = AnalysisRange{100, -5, -5, 100};
    report.bounds = ListingBounds{-11, 101};
    report.heading.section.clear();
    EXPECT_EQ(savedReportText(report), "Run Date : 120326\r\n"
                                       " km   100-5 \r\n"
                                       "  TGIU between -10 and 100\r\n"
                                       "\r\n"
                                       " Kmfr   Kmto   BLK    TGI     TGIU  TGIW  TGIG  TGIL\r\n");
    report.range = AnalysisRange{-7, 0, -7, 0};
    EXPECT_NE(savedReportText(report).find("\r\n km   -7 0 \r\n"), std::string::npos);
}

TEST(AnalyserReports, ReportFileNameAppendsTxtOnlyWhenMissing) {
    EXPECT_EQ(reportFileName("/home/u/details"), "/home/u/details.txt");
    EXPECT_EQ(reportFileName("/home/u/details.txt"), "/home/u/details.txt");
    EXPECT_EQ(reportFileName("/home/u/details.txt.bak"), "/home/u/details.txt.bak.txt");
    EXPECT_EQ(reportFileName("notes.text"), "notes.text.txt");
    EXPECT_EQ(reportFileName(""), ".txt");
}

TEST(AnalyserReports, SaveReportReplacesTheFileWhole) {
    test::TempFolder folder;
    const std::string path = folder.file("details.txt");
    test::writeFile(path, "an older and much longer report text\r\n");
    saveReport(path, "new\r\n");
    EXPECT_EQ(test::readFile(path), "new\r\n");
    EXPECT_THROW(saveReport(folder.file("missing/details.txt"), "x"), platform::KestranaError);
    EXPECT_FALSE(test::fileExists(folder.file("missing/details.txt")));
}

TEST(AnalyserReports, PrintGraphPlacesEveryLineAndThePicture) {
    QualityDistribution figures;
    figures.bandShares = {5.5, 30.0, 0.0, 100.0};
    figures.nonRecordedShare = 20.0F;
    figures.averageTgi = 123.456;
    const auto script = printGraphScript("  My title", heading(), AnalysisRange{120, 100, 100, 120}, figures,
                                         "06/12/2025 14:05:09");
    const auto lines = printedLines(script);
    EXPECT_EQ(textsOf(lines), (std::vector<std::string>{
                                  " ",
                                  " ",
                                  "  Track Quality Distribution ",
                                  " ",
                                  " ",
                                  " ",
                                  " ",
                                  "  My title",
                                  "",
                                  "WARDHA UP MAIN LINE  Run Date : 120326",
                                  "",
                                  " Quality Distribution between Km 120 to 100",
                                  " ",
                                  " Track below TGI 36              =  05.50 %",
                                  " ",
                                  " Track between TGI 36 - 50   =  30.00 %",
                                  " ",
                                  " Track between TGI 51 - 80   =  00.00 %",
                                  " ",
                                  " Track above TGI 80              =  100.00 %",
                                  " ",
                                  " Non Recorded Track            =  20.00 %",
                                  " ",
                                  " Average  TGI                         =  123.46",
                                  "",
                                  "",
                                  "",
                                  "Kestrana ( 06/12/2025 14:05:09 ) ",
                              }));

    // The picture is drawn after the first blank line, at (2400, 1000), after the position (1200, 700).
    const auto& ops = script.ops();
    ASSERT_GE(ops.size(), 5U);
    EXPECT_EQ(ops[1].kind, PrintOp::Kind::SetX);
    EXPECT_EQ(ops[1].value, 1200);
    EXPECT_EQ(ops[2].kind, PrintOp::Kind::SetY);
    EXPECT_EQ(ops[2].value, 700);
    EXPECT_EQ(ops[3].kind, PrintOp::Kind::Picture);
    EXPECT_EQ(ops[3].x, 2400);
    EXPECT_EQ(ops[3].y, 1000);
    EXPECT_EQ(ops.back().kind, PrintOp::Kind::EndDoc);

    EXPECT_EQ(lines[2].x, 3600);
    EXPECT_EQ(lines[2].y, 7400);
    EXPECT_EQ(lines[2].font, font(12, true, false, false));
    EXPECT_EQ(lines[7].x, 3000);
    EXPECT_EQ(lines[7].font, font(13, true, false, true));
    EXPECT_EQ(lines[9].x, 3000);
    EXPECT_EQ(lines[11].x, 3000);
    EXPECT_EQ(lines[11].font, font(13, true, false, true));
    EXPECT_EQ(lines[12].font, font(12, true, true, false));
    for (std::size_t i = 13; i <= 23; i += 2) {
        EXPECT_EQ(lines[i].x, 3000) << lines[i].text;
        EXPECT_EQ(lines[i].font, font(12, true, true, false)) << lines[i].text;
    }
    EXPECT_EQ(lines[14].x, -1); // the blank after a figure is printed where the figure left off
    EXPECT_EQ(lines.back().x, 500);
    EXPECT_EQ(lines.back().font, font(10, false, true, false));
}

TEST(AnalyserReports, PrintGraphWritesSmallFiguresWithTwoLeadingDigits) {
    QualityDistribution figures;
    figures.bandShares = {0.5, 9.994, 9.995, 45};
    figures.nonRecordedShare = 100.0F / 3.0F;
    figures.averageTgi.reset();
    const auto texts = textsOf(printedLines(printGraphScript("", heading(), {}, figures, "")));
    EXPECT_EQ(texts[13], " Track below TGI 36              =  00.50 %");
    EXPECT_EQ(texts[15], " Track between TGI 36 - 50   =  09.99 %");
    EXPECT_EQ(texts[17], " Track between TGI 51 - 80   =  10.00 %");
    EXPECT_EQ(texts[19], " Track above TGI 80              =  45.00 %");
    EXPECT_EQ(texts[21], " Non Recorded Track            =  33.33 %");
    EXPECT_EQ(texts[23], " Average  TGI                         =  not available");
    EXPECT_EQ(texts[11], " Quality Distribution between Km 0 to 0");
}

TEST(AnalyserReports, PrintDetailsPrintsHeadingHeaderAndEveryEntry) {
    const DetailsReport report = threeRowReport();
    const auto script = printDetailsScript("Title", report);
    const auto lines = printedLines(script);
    std::vector<std::string> expected = {"Title",
                                         "",
                                         "WARDHA UP MAIN LINE Run Date : 120326",
                                         "",
                                         " Lcations with TGIU between 1 and 35 ( Km 100 - 120 )",
                                         "",
                                         " Kmfr   Kmto   BLK    TGI     TGIU  TGIW  TGIG  TGIL",
                                         "  "};
    expected.insert(expected.end(), report.list1Entries.begin(), report.list1Entries.end());
    EXPECT_EQ(textsOf(lines), expected);

    EXPECT_EQ(lines[0].x, 1200);
    EXPECT_EQ(lines[0].y, 500);
    EXPECT_EQ(lines[0].font, font(11, true, false, true));
    EXPECT_EQ(lines[2].x, 1200);
    EXPECT_EQ(lines[4].x, 1200);
    EXPECT_EQ(lines[4].font, font(11, true, false, true));
    EXPECT_EQ(lines[6].x, 1200);
    EXPECT_EQ(lines[6].font, font(11, true, false, false));
    for (std::size_t i = 8; i < lines.size(); ++i) {
        EXPECT_EQ(lines[i].x, 1200);
        EXPECT_EQ(lines[i].font, font(9, false, false, false));
    }
    EXPECT_EQ(script.ops().back().kind, PrintOp::Kind::EndDoc);

    // An empty listing prints the heading lines only.
    DetailsReport empty = report;
    empty.list1Entries.clear();
    EXPECT_EQ(printedLines(printDetailsScript("", empty)).size(), 8U);
}

} // namespace
} // namespace kestrana::analyser
