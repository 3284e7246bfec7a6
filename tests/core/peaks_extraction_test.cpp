// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Kestrana developers

// The peak records as the run is read: the scratch files the screen keeps, the record width, the
// one stream of numbers and the expansion of records into rows, and which fault is reported first.

#include "core/peaks/extraction.h"
#include "core/runfile/line_reader.h"
#include "peaks_fixtures.h"

#include <filesystem>
#include <initializer_list>

namespace kestrana::peaks {
namespace {

using test::expectRefusal;
using test::kmLine;
using test::peakLine;
using test::runText;

// Every row of the records made of these (kilometre line, peak line) pairs, or the fault that ends
// them ("message|detail").
struct StreamOutcome {
    std::vector<PeakRow> rows;
    std::string failure;
};
StreamOutcome streamed(const std::vector<std::pair<std::string, std::string>>& pairs) {
    StreamOutcome outcome;
    PeakRecordStream records("temp_peak.txt", "temp_peak1.txt", [&](std::span<const PeakRow> rows) {
        outcome.rows.insert(outcome.rows.end(), rows.begin(), rows.end());
    });
    std::string current = "\n"; // no kilometre line yet
    for (const auto& [km, peak] : pairs) {
        if (km != current) {
            records.setKilometreLine(km);
            current = km;
        }
        records.addPeakLine(km, peak, "run", 1);
    }
    for (const auto& failure : {records.widthFailure(), records.recordFailure()}) {
        if (failure && outcome.failure.empty()) {
            outcome.failure = failure->message() + "|" + failure->reason();
        }
    }
    return outcome;
}

TEST(PeakExpansion, StandardRecordGivesEightRowsInPairOrder) {
    RecordSlots record{};
    std::size_t slot = 1;
    for (int item :
         {60, 120, 121, 67, 6, 18, 350, 16, 12, 15, 40, 14, 50, 13, 60, 12, 70, 11, 80, 10, 90, 99}) {
        record[slot++] = static_cast<std::int16_t>(item);
    }
    std::vector<PeakRow> rows;
    expandRecord(record, 22, rows);
    ASSERT_EQ(rows.size(), 8u);
    EXPECT_EQ(rows[0], (PeakRow{120, 121, 6, 350, 18}));
    EXPECT_EQ(rows[1], (PeakRow{120, 121, 6, 12, 16}));
    EXPECT_EQ(rows[7], (PeakRow{120, 121, 6, 90, 10})); // items 20 and 21; item 22 is not stored

    for (const auto& [width, pairs] :
         {std::pair{22, 8}, {24, 9}, {26, 10}, {21, 7}, {8, 1}, {7, 0}, {0, 0}}) {
        EXPECT_EQ(rowsPerRecord(width), pairs) << width;
    }
}

class PeakScan : public test::PeakRunTest {};

TEST_F(PeakScan, TheScreenKeepsOneRecordLinePerPeakLineInPrintZonesAndTheFirstOnItsOwn) {
    // The records are written even when reading them back fails (an orphan record of 5 numbers, then
    // records of 8, leave a record cut short).
    expectRefusal(
        [&] {
            process({"95,1,120326,0815,TRC", "91,0034,NR,KM,NAGPUR - WARDHA", peakLine(3, {{5, 6}}),
                     kmLine(120, 121), "68,1,2,3", peakLine(6, {{18, 350}}), "6", peakLine(7, {{1, 2}}),
                     "60,1234,121,", peakLine(8, {{3, 4}})});
        },
        kRecordCutShortMessage);
    // Before any kilometre line the record starts with 14 blanks; an 11-character kilometre line is
    // followed by 3 blanks, a 12-character one by 2.
    const std::string first = std::string(14, ' ') + "67,3,5,6,0\r\n";
    EXPECT_EQ(test::readFile(files.scratchPath), first + "60,120,121,   67,6,18,350,0\r\n" +
                                                     "60,120,121,   67,7,1,2,0\r\n" +
                                                     "60,1234,121,  67,8,3,4,0\r\n");
    EXPECT_EQ(test::readFile(files.firstLinePath), first);

    // Without peak lines both files are empty (the run itself is refused); the command line's private
    // folder gets neither.
    expectRefusal([&] { process({kmLine(1, 2)}); }, noPeakRecordsMessage(folder.file("run.txt")));
    EXPECT_EQ(test::readFile(files.scratchPath), "");
    EXPECT_EQ(test::readFile(files.firstLinePath), "");
    std::filesystem::remove(files.scratchPath);
    std::filesystem::remove(files.firstLinePath);
    files.writeScratchFiles = false;
    EXPECT_EQ(process({kmLine(1, 2), peakLine(6, {{1, 2}})}).recordCount, 1);
    EXPECT_FALSE(test::fileExists(files.scratchPath));
    EXPECT_FALSE(test::fileExists(files.firstLinePath));
}

TEST_F(PeakScan, ReportsWhatStopsItAndTheRunFileFirst) {
    expectRefusal([&] { processPeakData(folder.file("missing.run"), files, session); },
                  kRunFileFailedMessage);
    EXPECT_FALSE(test::fileExists(files.scratchPath));

    PeakFiles elsewhere = PeakFiles::in(folder.file("no/such"));
    elsewhere.databaseBase = files.databaseBase;
    test::writeFile(folder.file("run.txt"), runText({kmLine(120, 121), peakLine(6, {{1, 2}})}));
    expectRefusal([&] { processPeakData(folder.file("run.txt"), elsewhere, session); },
                  kScratchFailedMessage);

    // Ten pairs make the widest record, 26 numbers; eleven pairs in a later record are refused,
    // since they would shift every record after them, even when an earlier record is bad too.
    const std::vector<test::Peak> ten(10, {5, 6}), eleven(11, {5, 6});
    EXPECT_EQ(process({kmLine(1, 2), peakLine(6, ten)}).itemsPerRecord, 26);
    try {
        process(
            {kmLine(1, 2), peakLine(6, ten), peakLine(6, {{1, 99999}}), kmLine(2, 3), peakLine(6, eleven)});
        ADD_FAILURE() << "a record of 28 numbers was accepted";
    } catch (const kestrana::common::Error& error) {
        EXPECT_EQ(error.message(), kRecordTooLongMessage);
        EXPECT_NE(error.reason().find("run.txt, line 5"), std::string::npos) << error.reason();
    }
    // A line too long to be a run file's line.
    test::writeFile(folder.file("run.txt"), "67" + std::string(runfile::kMaxLineLength, ' ') + "\r\n");
    expectRefusal([&] { processPeakData(folder.file("run.txt"), files, session); }, kRunFileFailedMessage);
}

TEST(PeakRecordWidth, CountsTheNumbersOfTheFirstRecord) {
    const std::string km = "60,120,121,";
    const std::string first = "67,6,18,350,16,12,15,40,14,50,13,60,12,70,11,80,10,90,8";
    PeakRecordStream records("temp_peak.txt", "temp_peak1.txt", [](std::span<const PeakRow>) {});
    EXPECT_EQ(records.itemsPerRecord(), 0);
    records.setKilometreLine(km);
    records.addPeakLine(km, first, "run", 2);
    records.addPeakLine(km, "67,6,1,2", "run", 3); // the width is the first record's
    EXPECT_EQ(records.itemsPerRecord(), 22);
    // Blanks alone separate numbers too: a kilometre line without its last comma still counts 3.
    PeakRecordStream blanks("s", "f", [](std::span<const PeakRow>) {});
    blanks.addPeakLine("60,120,121", "67,6,18,350,16,12,8", "run", 1);
    EXPECT_EQ(blanks.itemsPerRecord(), 10);

    for (const char* bad : {"67,6,x,4", "67,6,40000,4"}) {
        const std::string expected = std::string(kBadNumberMessage) + "|temp_peak1.txt, line 1: ";
        EXPECT_EQ(streamed({{"60,1,2,", bad}}).failure.substr(0, expected.size()), expected);
    }
}

TEST(PeakRecordStream, ReadsOneStreamOfNumbersNamesFaultsAtTheirLinesAndOverrunsNothing) {
    // An orphan peak line of 11 numbers first: every later record of 22 is read as two of 11.
    auto outcome = streamed({{"", "67,6,30,1,29,2,28,3,27,4,5"},
                             {"60,120,121,", "67,6,18,350,16,12,15,40,14,50,13,60,12,70,11,80,10,90,8"}});
    ASSERT_EQ(outcome.rows.size(), 6u) << outcome.failure;
    EXPECT_EQ(outcome.rows[0], (PeakRow{6, 30, 29, 28, 2}));
    EXPECT_EQ(outcome.rows[2], (PeakRow{120, 121, 6, 350, 18}));
    EXPECT_EQ(outcome.rows[4], (PeakRow{50, 13, 12, 11, 70})); // the second half of the kilometre's record

    // The extreme 16-bit values themselves are read.
    outcome = streamed({{"60,-32768,32767,", "67,6,18,350,0"}});
    ASSERT_EQ(outcome.rows.size(), 1u);
    EXPECT_EQ(outcome.rows[0], (PeakRow{-32768, 32767, 6, 350, 18}));
    const std::pair<std::vector<std::pair<std::string, std::string>>, std::string> cases[] = {
        {{{"60,120,121,", "67,6,18,350,16,12,0"}, {"60,121,122,", "67,6,18"}},
         std::string(kRecordCutShortMessage) +
             "|temp_peak.txt, line 3: the numbers end inside a record of 10 numbers"},
        {{{"60,120,121,", "67,6,18,350,16,12,0"}, {"60,121,122,", "67,6,18,-32769,16,12,0"}},
         std::string(kBadNumberMessage) +
             "|temp_peak.txt, line 2: the number -32769 is outside -32768 to 32767"},
        {{{"60,1,2,", "67,6,18,350,0"}, {"60,1,2,", "67,6,1.5,1,0"}, {"60,1,2,", "67,6"}},
         std::string(kBadNumberMessage) + "|temp_peak.txt, line 2: \"1.5\" is not a whole number"},
        {{{"60,1,2,", "67,6,18,350,0"}, {"60,x,2,", "67,6,1,1,0"}},
         std::string(kBadNumberMessage) + "|temp_peak.txt, line 2: \"x\" is not a whole number"}};
    for (const auto& [pairs, failure] : cases) {
        EXPECT_EQ(streamed(pairs).failure, failure);
    }
    // Found by fuzzing: records of width 0 never completed, and every number went one slot further.
    long rows = 0;
    PeakRecordStream records("s", "f", [&](std::span<const PeakRow> made) { rows += std::ssize(made); });
    records.addPeakLine("", "", "run", 1);
    for (long line = 2; line < 12; ++line) {
        records.addPeakLine("60,1,2,", "67,6,30,100,20,200,0", "run", line);
    }
    EXPECT_EQ(records.itemsPerRecord(), 0);
    EXPECT_EQ(rows, 0);
}

} // namespace
} // namespace kestrana::peaks
