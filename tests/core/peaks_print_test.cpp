// PRINT DETAILS of the peak analyser and the parameter choice.

#include "core/peaks/parameters.h"
#include "core/peaks/print.h"
#include "core/peaks/texts.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <tuple>

namespace kestrana::peaks {
namespace {

using Kind = platform::PrintOp::Kind;

// A printed line with the position and font it was printed at.
struct Printed {
    int x;
    double size;
    bool bold;
    bool underline;
    std::string text;
    bool operator==(const Printed&) const = default;
};

std::vector<Printed> printedLines(const platform::HardCopyScript& script) {
    std::vector<Printed> lines;
    int x = 0;
    for (const auto& op : script.ops()) {
        if (op.kind == Kind::SetX) {
            x = op.value;
        } else if (op.kind == Kind::Line) {
            lines.push_back({x, op.font.size, op.font.bold, op.font.underline, op.text});
            x = 0; // back to the left margin
        }
    }
    return lines;
}

TEST(PeakPrint, RowsArePaddedAsPrinted) {
    ColumnLists lists;
    lists[0] = {"120", ""};
    lists[1] = {"121", ""};
    lists[2] = {"350", ""};
    lists[3] = {"18", ""};
    lists[4] = {"12", ""};
    lists[5] = {"7", ""};
    // Pairs 3 to 7 are empty: four blanks, nothing, two blanks; pair 8: four, nothing, three.
    EXPECT_EQ(printedRow(lists, 0), "0120  0121    0350  18    0012  07" + std::string(5 * 6 + 7, ' '));
    EXPECT_EQ(printedRow(lists, 1), "  " + std::string(8 * 6 + 1, ' '));

    for (std::size_t j = 0; j < lists.size(); ++j) {
        lists[j] = {std::to_string(j + 5)};
    }
    lists[17] = {"123"};
    EXPECT_EQ(printedRow(lists, 0),
              "0005  0006    0007  08    0009  10    0011  12    0013  14    0015  16    "
              "0017  18    0019  20    0021   123");
}

TEST(PeakPrint, HardCopyLaysOutTheHeadingBlockAndOneRowPerEntry) {
    PeakSession session;
    session.header = {"95,1,120326,0815,TRC", "91,0034,NR,KM, NAGPUR - WARDHA UP MAIN LINE  ,END"};
    session.kmShare = 33.33f;
    session.totalPeaks = 7;
    ColumnLists lists;
    lists[0] = {"120", "", "125", ""};
    lists[1] = {"121", "", "126", ""};
    lists[2] = {"350", "", "1500", ""};
    lists[3] = {"18", "", "123", ""};
    const auto script = peakHardCopy({"MONTHLY CHECK", "UN2L", "15", "120", "130"}, lists, session);

    const auto lines = printedLines(script);
    const std::vector<Printed> heading{
        {1400, 11, true, true, "MONTHLY CHECK"},
        {0, 11, true, true, ""},
        {1400, 11, true, true, "NAGPUR - WARDHA UP MAIN LINE        Run Date : 120326"},
        {0, 11, true, true, ""},
        {1400, 11, true, true, "UN2L  peaks > 15 mm  between  KM 120 - 130"},
        {0, 11, true, true, ""},
        {1400, 11, true, true, "( Kms = 33.33%      Total Peaks = 7 )"},
        {0, 11, true, true, ""},
        {900, 10, true, true, std::string(kPrintColumnHeader)},
        {0, 9, false, true, ""},
    };
    ASSERT_EQ(lines.size(), heading.size() + 4);
    for (std::size_t i = 0; i < heading.size(); ++i) {
        EXPECT_EQ(lines[i], heading[i]) << "line " << i;
    }
    EXPECT_EQ(lines[10], (Printed{900, 9, false, false, printedRow(lists, 0)}));
    EXPECT_EQ(lines[12].text.substr(0, 20), "0125  0126    1500  ");
    EXPECT_EQ(lines[13].text, printedRow(lists, 1)); // the separator entries print as blank rows

    EXPECT_EQ(script.ops().front().kind, Kind::SetFont);
    const auto firstY = std::find_if(script.ops().begin(), script.ops().end(),
                                     [](const platform::PrintOp& op) { return op.kind == Kind::SetY; });
    ASSERT_NE(firstY, script.ops().end());
    EXPECT_EQ(firstY->value, 600);
    EXPECT_EQ(script.ops().back().kind, Kind::EndDoc);
}

TEST(PeakPrint, BeforeAnyShowDetailsPrintsShareAndTotalZeroAndNoRows) {
    const auto lines = peakHardCopy({"", "UN2L", "15", "", ""}, ColumnLists{}, PeakSession{}).lines();
    EXPECT_EQ(lines, (std::vector<std::string>{
                         "", "", "        Run Date : ", "", "UN2L  peaks > 15 mm  between  KM  - ", "",
                         "( Kms = 0%      Total Peaks = 0 )", "", std::string(kPrintColumnHeader), ""}));
}

TEST(PeakParameterChoice, SetsTheDefaultLimitAndTheCodeOfKnownNamesOnly) {
    PeakSession session;
    for (const auto& [name, limit, code] : {std::tuple{"GAUGE", "6", 3},
                                            {"TW1", "10", 2},
                                            {"UN1L", "10", 0},
                                            {"VACC", "0.20", 12},
                                            {"LACC", "0.20", 13}}) {
        EXPECT_EQ(chooseParameter(name, session), limit);
        EXPECT_EQ(session.parameterCode, code);
    }
    EXPECT_EQ(chooseParameter("gauge", session), std::nullopt);
    EXPECT_EQ(chooseParameter("GAUGE ", session), std::nullopt);
    EXPECT_EQ(session.parameterCode, 13);
    EXPECT_EQ(comboParameterNames(), (std::vector<std::string>{"UN2L", "UN2R", "AL2L", "AL2R", "GAUGE", "TW1",
                                                               "UN1L", "UN1R", "AL1L", "AL1R"}));
}

} // namespace
} // namespace kestrana::peaks
