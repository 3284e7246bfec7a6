#include "comparator/reports.h"
#include "platform/errors.h"
#include "platform/hard_copy.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

using namespace kestrana::comparator;
using kestrana::platform::HardCopyScript;
using kestrana::platform::PrintOp;

namespace {

// The script as short texts: "X 1400", "Y 600", "F 11 BU" (size, Bold, Italic, Underline),
// "L text", "P x y", "E".
std::vector<std::string> dump(const HardCopyScript& script) {
    std::vector<std::string> out;
    for (const PrintOp& op : script.ops()) {
        switch (op.kind) {
        case PrintOp::Kind::SetX:
            out.push_back("X " + std::to_string(op.value));
            break;
        case PrintOp::Kind::SetY:
            out.push_back("Y " + std::to_string(op.value));
            break;
        case PrintOp::Kind::SetFont:
            out.push_back("F " + std::to_string(static_cast<int>(op.font.size)) + " " +
                          (op.font.bold ? "B" : "") + (op.font.italic ? "I" : "") +
                          (op.font.underline ? "U" : ""));
            break;
        case PrintOp::Kind::Line:
            out.push_back("L " + op.text);
            break;
        case PrintOp::Kind::Picture:
            out.push_back("P " + std::to_string(op.x) + " " + std::to_string(op.y));
            break;
        case PrintOp::Kind::EndDoc:
            out.push_back("E");
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
    listing.list3 = {"From  -  To       Blk"};
    listing.list1[0] = {"120326"};
    listing.list1[1] = {"011225"};
    listing.list4 = {"0120    -   0121        1", "", "0120    -   0121        2", ""};
    listing.list2[0] = {"42", "", "7", ""};
    listing.list2[1] = {"NA", "", "1234", ""};
    return listing;
}

ReportInputs inputs(int olderRuns, std::string parameter = "TGI") {
    return ReportInputs{"NAGPUR - WARDHA", "120", "121", std::move(parameter), olderRuns};
}

} // namespace

TEST(ComparatorPrintDetails, TwoRunsLineByLine) {
    const std::vector<std::string> expected{
        "F 10 B",
        "F 11 B",
        "F 11 BU",
        "Y 600",
        "X 1400",
        "L My title",
        "L ",
        "X 1400",
        "L NAGPUR - WARDHA ( Km 120 to 121 ) ",
        "L ",
        "X 1400",
        "L  Comparision of TRC runs ( TGI )",
        "F 11 B",
        "L ",
        "X 1400",
        "L From  -  To       Blk   120326   011225",
        "L  ",
        "F 11 ",
        "F 9 ",
        "X 1400",
        "L 0120    -   0121        1" + blanks(8) + " 42" + blanks(10) + " NA",
        "X 1400",
        "L " + blanks(24),
        "X 1400",
        "L 0120    -   0121        2" + blanks(8) + "  7" + blanks(10) + "1234",
        "X 1400",
        "L " + blanks(24),
        "E"};
    EXPECT_EQ(dump(printDetailsScript(inputs(1), twoRunListing(), "My title")), expected);
}

TEST(ComparatorPrintDetails, FourRunsHaveFourDatesAndFourColumns) {
    ComparisonListing listing = twoRunListing();
    listing.list1[2] = {"A"};
    listing.list1[3] = {"B"};
    listing.list2[2] = {"1", "", "2", ""};
    listing.list2[3] = {"-3", "", "NA", ""};
    const auto lines = printDetailsScript(inputs(3), listing, "").lines();
    ASSERT_EQ(lines.size(), 12u);
    EXPECT_EQ(lines[6], "From  -  To       Blk   120326   011225   A   B");
    EXPECT_EQ(lines[8], "0120    -   0121        1" + blanks(8) + " 42" + blanks(10) + " NA" + blanks(10) +
                            "  1" + blanks(10) + " -3");
    // n = 2 prints three columns of the same listing.
    EXPECT_EQ(printDetailsScript(inputs(2), listing, "").lines()[6],
              "From  -  To       Blk   120326   011225   A");
}

TEST(ComparatorPrintDetails, EveryListLineIsOneRowOnPaper) {
    ComparisonListing listing = twoRunListing();
    listing.list4.clear();
    listing.list2[0].clear();
    listing.list2[1].clear();
    for (int i = 0; i < 250; ++i) {
        listing.list4.insert(listing.list4.end(), {"label", ""});
        listing.list2[0].insert(listing.list2[0].end(), {"1", ""});
        listing.list2[1].insert(listing.list2[1].end(), {"2", ""});
    }
    EXPECT_EQ(printDetailsScript(inputs(1), listing, "").lines().size(), 8u + 500u);
    EXPECT_EQ(savedReportLines("s", listing).size(), 2u + 250u);
}

TEST(ComparatorPrintDetails, WithoutAComparisonThePageEndsAfterItsHeading) {
    const auto ops = dump(printDetailsScript(inputs(5), ComparisonListing{}, "T"));
    const std::vector<std::string> tail{"L  Comparision of TRC runs ( TGI )", "F 11 B", "L ", "E"};
    ASSERT_GE(ops.size(), tail.size());
    EXPECT_EQ(std::vector<std::string>(ops.end() - 4, ops.end()), tail);
}

TEST(ComparatorPrintGraph, PositionsFontsAndTexts) {
    ReportInputs in{"NAGPUR", "120", "170", "TGIU", 1};
    const std::vector<std::string> expected{"L  ",
                                            "P 10 1850",
                                            "X 4500",
                                            "Y 6000",
                                            "F 14 ",
                                            "F 14 B",
                                            "F 14 BU",
                                            "L  Comparision of TRC RUNs ( TGIU ) ",
                                            "L ",
                                            "X 4500",
                                            "L NAGPUR ( Km 120  to 170 )",
                                            "L ",
                                            "X 5600",
                                            "L ABCDEFGHIJKLM",
                                            "X 1000",
                                            "Y 7000",
                                            "F 14 U",
                                            "F 10 U",
                                            "F 10 ",
                                            "F 10 I",
                                            "L ",
                                            "L ",
                                            "L ",
                                            "L ",
                                            "X 200",
                                            "L  Kestrana ( 14/03/26 ) ",
                                            "F 10 ",
                                            "E"};
    EXPECT_EQ(dump(printGraphScript(in, "ABCDEFGHIJKLM", "14/03/26")), expected);
}

TEST(ComparatorPrintGraph, TheTitleEndsNearTheSameSpot) {
    EXPECT_EQ(graphTitleX(""), 6900);
    EXPECT_EQ(graphTitleX("  "), 6700);
    EXPECT_EQ(graphTitleX("ABCDEFGHIJKLM"), 5600);
    EXPECT_EQ(graphTitleX("\xC3\xBC"
                          "ber"),
              6500);                                 // four characters, five bytes
    EXPECT_EQ(graphTitleX(std::string(80, 'x')), 0); // never left of the page
}

TEST(ComparatorSavedReport, FiveZoneItemsOnEveryLine) {
    const auto lines = savedReportLines("NAGPUR - WARDHA", twoRunListing());
    const std::vector<std::string> expected{
        "NAGPUR - WARDHA",
        "From  -  To       Blk" + blanks(7) + "120326" + blanks(8) + "011225" + blanks(8) + blanks(14),
        "0120    -   0121        1" + blanks(3) + "42" + blanks(12) + "NA" + blanks(12) + blanks(14),
        "0120    -   0121        2" + blanks(3) + "7" + blanks(13) + "1234" + blanks(10) + blanks(14)};
    EXPECT_EQ(lines, expected);
    EXPECT_EQ(savedReportText({"a", "b"}, "\r\n"), "a\r\nb\r\n");
    EXPECT_EQ(savedReportText({"a", "b"}, "\n"), "a\nb\n");
}

TEST(ComparatorSavedReport, TheFileGetsTxtOnlyWhenItLacksIt) {
    EXPECT_EQ(reportFileName("/tmp/cmp"), "/tmp/cmp.txt");
    EXPECT_EQ(reportFileName("/tmp/cmp.txt"), "/tmp/cmp.txt");
    EXPECT_EQ(reportFileName("/tmp/cmp.txt.bak"), "/tmp/cmp.txt.bak.txt");

    kestrana::test::TempFolder folder;
    const std::string path = reportFileName(folder.file("report"));
    saveReport(path, "NAGPUR - WARDHA", twoRunListing());
    const std::string text = kestrana::test::readFile(path);
    EXPECT_EQ(text.substr(0, 17), "NAGPUR - WARDHA\r\n");
    EXPECT_EQ(text, savedReportText(savedReportLines("NAGPUR - WARDHA", twoRunListing()), "\r\n"));
    EXPECT_THROW(saveReport(folder.file("no/such/folder/r.txt"), "", twoRunListing()),
                 kestrana::platform::KestranaError);
}
