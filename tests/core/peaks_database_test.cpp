// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Kestrana developers

// PROCESS DATA of the peak analyser (the database rows and their order, the direction, the captions,
// the old database kept whole when a build fails), PRINT DETAILS and the parameter choice.

#include "core/peaks/parameters.h"
#include "core/peaks/print.h"
#include "core/peaks/texts.h"
#include "peaks_fixtures.h"

#include <algorithm>
#include <random>
#include <tuple>

namespace kestrana::peaks {
namespace {

using test::eightPeaks;
using test::expectRefusal;
using test::kmLine;
using test::peakLine;

using PeakDatabaseTest = test::PeakRunTest;

TEST_F(PeakDatabaseTest, StoresEveryPairInRunFileOrder) {
    const auto result =
        process({"95,1,120326,0815,TRC", kmLine(120, 121), peakLine(6, eightPeaks(18, 0)),
                 peakLine(3, eightPeaks(5, 4)), kmLine(121, 122), peakLine(6, eightPeaks(2, 1))});
    EXPECT_EQ(result.recordCount, 3);
    EXPECT_EQ(result.itemsPerRecord, 22);
    EXPECT_EQ(result.build.rowCount, 24);
    const auto stored = rows();
    ASSERT_EQ(stored.size(), 24u);
    EXPECT_EQ(stored[0], (PeakRow{120, 121, 6, 100, 18}));
    EXPECT_EQ(stored[1], (PeakRow{120, 121, 6, 200, 0})); // values of 0 are stored too
    EXPECT_EQ(stored[8], (PeakRow{120, 121, 3, 100, 5}));
    EXPECT_EQ(stored[23], (PeakRow{121, 122, 6, 800, 1}));
}

TEST_F(PeakDatabaseTest, DirectionAndKmCaptionComeFromTheFirstAndLastRows) {
    // One kilometre with twelve peak lines: 96 rows, rising.
    std::vector<std::string> lines{kmLine(120, 121)};
    for (int code : {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 12, 13}) {
        lines.push_back(peakLine(code, eightPeaks(code, 1)));
    }
    auto result = process(lines);
    EXPECT_EQ(result.build.rowCount, 96);
    EXPECT_EQ(session.direction, 1);
    EXPECT_EQ(result.captions.kmRange, " Km 120 to Km 121");

    lines.clear();
    for (int km = 151; km > 120; --km) {
        lines.push_back(kmLine(km, km - 1));
        lines.push_back(peakLine(6, eightPeaks(9, 3)));
    }
    result = process(lines);
    EXPECT_EQ(session.direction, -1);
    EXPECT_EQ(result.captions.kmRange, " Km 151 to Km 120");
}

TEST_F(PeakDatabaseTest, CaptionsComeFromThisRunsHeaderLinesOnly) {
    auto result = process({"95,7,230125,0815,TRC", "91,0034,NR,KM,   NAGPUR - WARDHA UP          ,END",
                           kmLine(120, 121), peakLine(6, eightPeaks(1, 1))});
    EXPECT_EQ(result.captions.section, "NAGPUR - WARDHA UP");
    EXPECT_EQ(result.captions.runDate, " Date : 230125");
    // A section line shorter than 15 characters and a header line of 8 characters.
    result = process({"95,7,230", "91,0034,NR,KM", kmLine(120, 121), peakLine(6, eightPeaks(1, 1))});
    EXPECT_EQ(result.captions.section, "");
    EXPECT_EQ(result.captions.runDate, " Date : 230");
    // A run without them keeps none of the earlier run's; its rows replace the earlier rows.
    process({kmLine(300, 299), peakLine(7, eightPeaks(2, 2))});
    EXPECT_EQ(session.header.headerLine, "");
    EXPECT_EQ(session.header.sectionLine, "");
    ASSERT_EQ(rows().size(), 8u);
    EXPECT_EQ(rows()[0], (PeakRow{300, 299, 7, 100, 2}));
}

TEST_F(PeakDatabaseTest, FailedBuildKeepsTheOldDatabaseAndTheSession) {
    process({"95,1,120326,0815,TRC", kmLine(120, 121), peakLine(6, eightPeaks(18, 3))});
    const auto before = rows();
    const PeakSession kept = session;
    auto expectRefused = [&](const std::vector<std::string>& lines, std::string_view message) {
        expectRefusal([&] { process(lines); }, message);
        EXPECT_EQ(rows(), before);
        EXPECT_EQ(session.header.headerLine, kept.header.headerLine);
        EXPECT_EQ(session.itemsPerRecord, kept.itemsPerRecord);
        EXPECT_EQ(session.direction, kept.direction);
        EXPECT_FALSE(test::fileExists(storage::RecordStore::fileOf(files.databaseBase + "-new")));
    };
    // A number outside 16 bits in the third record, after rows were already added.
    expectRefused({kmLine(200, 199), peakLine(6, eightPeaks(1, 1)), peakLine(7, eightPeaks(1, 1)),
                   peakLine(8, {{40000, 1}, {1, 1}, {1, 1}, {1, 1}, {1, 1}, {1, 1}, {1, 1}, {1, 1}})},
                  kBadNumberMessage);
    expectRefused({kmLine(200, 199), peakLine(6, eightPeaks(1, 1)), peakLine(7, {{1, 1}})},
                  kRecordCutShortMessage);
    expectRefused(
        {kmLine(200, 199), peakLine(6, eightPeaks(1, 1)), peakLine(6, std::vector<test::Peak>(19, {1, 1}))},
        kRecordTooLongMessage);
    expectRefusal([&] { processPeakData(folder.file("missing.run"), files, session); },
                  kRunFileFailedMessage);
    EXPECT_EQ(rows(), before);

    // A run that gives no peak pair is refused by name: an empty database would read as a stretch
    // without a single peak. No peak line, an empty file, records too short to hold a pair, noise.
    const std::string noPeaks = noPeakRecordsMessage(folder.file("run.txt"));
    expectRefused({"95,1,120326,0815,TRC", kmLine(120, 121), "68,1,2,3,4"}, noPeaks);
    expectRefused({}, noPeaks);
    expectRefused({kmLine(120, 121), "67,6,18", kmLine(121, 122), "67,6,15"}, noPeaks);
    std::mt19937 random(16);
    std::string noise(4096, '\0');
    for (char& byte : noise)
        byte = static_cast<char>(random() % 256);
    test::writeFile(folder.file("noise.bin"), noise);
    expectRefusal([&] { processPeakData(folder.file("noise.bin"), files, session); },
                  noPeakRecordsMessage(folder.file("noise.bin")));
    PeakRowsInMemory inMemory;
    expectRefusal([&] { processPeakDataInMemory(folder.file("noise.bin"), files, session, inMemory); },
                  noPeakRecordsMessage(folder.file("noise.bin")));
    EXPECT_EQ(rows(), before);

    test::writeFile(folder.file("run.txt"), test::runText({kmLine(120, 121), peakLine(6, eightPeaks(1, 1))}));
    PeakFiles elsewhere = files;
    elsewhere.databaseBase = folder.file("no-such-folder/trcpeak");
    PeakSession fresh;
    expectRefusal([&] { processPeakData(folder.file("run.txt"), elsewhere, fresh); }, kDatabaseFailedMessage);
    EXPECT_EQ(fresh.direction, 0);
}

TEST_F(PeakDatabaseTest, AdoptsTheDirectionAndWidthOfADatabaseLeftFromAnEarlierUse) {
    const std::vector<test::Peak> seven(7, {9, 9});
    process({kmLine(151, 150), peakLine(6, seven), peakLine(7, seven), kmLine(150, 149), peakLine(6, seven)});
    PeakSession fresh;
    adoptStoredDatabase(files.databaseBase, fresh);
    EXPECT_EQ(fresh.direction, -1);
    EXPECT_EQ(fresh.itemsPerRecord, 20); // 7 pairs in the first record

    PeakSession none;
    expectRefusal([&] { adoptStoredDatabase(folder.file("nothing"), none); }, kNoDatabaseMessage);
    test::writeFile(storage::RecordStore::fileOf(folder.file("junk")), "not a database at all");
    expectRefusal([&] { adoptStoredDatabase(folder.file("junk"), none); }, kNoDatabaseMessage);
    EXPECT_EQ(none.direction, 0);
}

using Kind = common::PrintOp::Kind;

// A printed line with the position and font it was printed at.
struct Printed {
    int x;
    double size;
    bool bold;
    bool underline;
    std::string text;
    bool operator==(const Printed&) const = default;
};

std::vector<Printed> printedLines(const common::HardCopyScript& script) {
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

TEST(PeakPrint, HardCopyLaysOutTheHeadingBlockAndOneRowPerEntryOrNoneBeforeShowDetails) {
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
        // In the rows' size, 8 points so that eight pairs fit across the page, (and fixed-pitch face); no row
        // has all eight pairs to align the names over, so the header stands as designed.
        {900, 8, true, true, std::string(kPrintColumnHeader)},
        {0, 8, false, true, ""},
    };
    ASSERT_EQ(lines.size(), heading.size() + 4);
    for (std::size_t i = 0; i < heading.size(); ++i) {
        EXPECT_EQ(lines[i], heading[i]) << "line " << i;
    }
    EXPECT_EQ(lines[10], (Printed{900, 8, false, false, printedRow(lists, 0)}));
    EXPECT_EQ(lines[12].text.substr(0, 20), "0125  0126    1500  ");
    EXPECT_EQ(lines[13].text, printedRow(lists, 1)); // the separator entries print as blank rows

    EXPECT_EQ(script.ops().front().kind, Kind::SetFont);
    const auto firstY = std::find_if(script.ops().begin(), script.ops().end(),
                                     [](const common::PrintOp& op) { return op.kind == Kind::SetY; });
    ASSERT_NE(firstY, script.ops().end());
    EXPECT_EQ(firstY->value, 600);
    EXPECT_EQ(script.ops().back().kind, Kind::EndDoc);
    // Before any SHOW DETAILS: share and total zero, and no rows.
    EXPECT_EQ(peakHardCopy({"", "UN2L", "15", "", ""}, ColumnLists{}, PeakSession{}).lines(),
              (std::vector<std::string>{
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
