// The peak scan, the record width, the record reader and the expansion of records into rows.

#include "peaks/extraction.h"
#include "peaks/texts.h"
#include "peaks_fixtures.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <initializer_list>

namespace kestrana::peaks {
namespace {

using test::kmLine;
using test::peakLine;
using test::runText;

RecordSlots slotsOf(std::initializer_list<int> items) {
    RecordSlots record{};
    std::size_t i = 1;
    for (int item : items) {
        record[i++] = static_cast<std::int16_t>(item);
    }
    return record;
}

// Every row of a scratch text read `width` numbers to a record.
std::vector<PeakRow> rowsOf(const std::string& scratch, int width) {
    PeakRecordReader reader(scratch, "temp_peak.txt", width);
    std::vector<PeakRow> rows;
    while (reader.next()) {
        expandRecord(reader.record(), width, rows);
    }
    return rows;
}

template <typename F> void expectPeakError(F&& action, std::string_view message) {
    try {
        action();
        FAIL() << "no failure, expected: " << message;
    } catch (const PeakError& error) {
        EXPECT_EQ(error.message(), message);
        EXPECT_FALSE(error.detail().empty());
    }
}

TEST(PeakExpansion, StandardRecordGivesEightRowsInPairOrder) {
    // 60, 120, 121, 67, 6, then eight pairs (value, location) and one trailing number: n = 22.
    const auto record =
        slotsOf({60, 120, 121, 67, 6, 18, 350, 16, 12, 15, 40, 14, 50, 13, 60, 12, 70, 11, 80, 10, 90, 99});
    std::vector<PeakRow> rows;
    expandRecord(record, 22, rows);
    ASSERT_EQ(rows.size(), 8u);
    EXPECT_EQ(rows[0], (PeakRow{120, 121, 6, 350, 18}));
    EXPECT_EQ(rows[1], (PeakRow{120, 121, 6, 12, 16}));
    EXPECT_EQ(rows[7], (PeakRow{120, 121, 6, 90, 10})); // items 20 and 21; item 22 is not stored
}

TEST(PeakExpansion, RowsPerRecordFollowsTheWidth) {
    EXPECT_EQ(rowsPerRecord(22), 8);
    EXPECT_EQ(rowsPerRecord(24), 9);
    EXPECT_EQ(rowsPerRecord(26), 10);
    EXPECT_EQ(rowsPerRecord(21), 7);
    EXPECT_EQ(rowsPerRecord(8), 1);
    EXPECT_EQ(rowsPerRecord(7), 0);
    EXPECT_EQ(rowsPerRecord(0), 0);

    std::vector<PeakRow> rows;
    expandRecord(slotsOf({60, 1, 2, 67, 6, 9, 9}), 7, rows);
    EXPECT_TRUE(rows.empty());
}

TEST(PeakScan, WritesOneRecordLinePerPeakLineInPrintZones) {
    test::TempFolder folder;
    const std::string run = folder.file("run.txt");
    test::writeFile(run,
                    runText({"95,1,120326,0815,TRC", "91,0034,NR,KM,NAGPUR - WARDHA", peakLine(3, {{5, 6}}),
                             kmLine(120, 121), "68,1,2,3", peakLine(6, {{18, 350}}), "6",
                             peakLine(7, {{1, 2}}), "60,1234567890,121,", peakLine(8, {{3, 4}})}));
    runfile::RunHeader header;
    header.headerLine = "95 of an earlier run";
    const long records = scanPeaks(run, folder.file("temp_peak.txt"), header);

    EXPECT_EQ(records, 4);
    EXPECT_EQ(header.headerLine, "95,1,120326,0815,TRC");
    EXPECT_EQ(header.sectionLine, "91,0034,NR,KM,NAGPUR - WARDHA");
    // Before any kilometre line the record starts with 14 blanks; an 11-character kilometre line is
    // followed by 3 blanks, an 18-character one by 10.
    EXPECT_EQ(test::readFile(folder.file("temp_peak.txt")),
              std::string(14, ' ') + "67,3,5,6,0\r\n" + "60,120,121,   67,6,18,350,0\r\n" +
                  "60,120,121,   67,7,1,2,0\r\n" + "60,1234567890,121,          67,8,3,4,0\r\n");
}

TEST(PeakScan, KeepsNoHeaderLinesOfAnEarlierRun) {
    test::TempFolder folder;
    test::writeFile(folder.file("run.txt"), runText({kmLine(120, 121), peakLine(6, {{1, 2}})}));
    runfile::RunHeader header{"95,9,010101", "91,0034,NR,KM,OLD SECTION"};
    scanPeaks(folder.file("run.txt"), folder.file("temp_peak.txt"), header);
    EXPECT_EQ(header.headerLine, "");
    EXPECT_EQ(header.sectionLine, "");
}

TEST(PeakScan, ReportsARunFileThatCannotBeOpenedAndAScratchFileThatCannotBeWritten) {
    test::TempFolder folder;
    runfile::RunHeader header;
    expectPeakError([&] { scanPeaks(folder.file("missing.run"), folder.file("temp_peak.txt"), header); },
                    kRunFileFailedMessage);
    EXPECT_FALSE(test::fileExists(folder.file("temp_peak.txt")));

    test::writeFile(folder.file("run.txt"), runText({kmLine(120, 121), peakLine(6, {{1, 2}})}));
    expectPeakError([&] { scanPeaks(folder.file("run.txt"), folder.file("no/such/temp_peak.txt"), header); },
                    kScratchFailedMessage);
}

TEST(PeakRecordWidth, CountsTheNumbersOfTheFirstRecordAndCopiesItsLine) {
    test::TempFolder folder;
    const std::string scratch = folder.file("temp_peak.txt");
    const std::string first = "60,120,121,   67,6,18,350,16,12,15,40,14,50,13,60,12,70,11,80,10,90,8";
    test::writeFile(scratch, first + "\r\n60,121,122,   67,6,1,2\r\n");
    EXPECT_EQ(measureRecordWidth(scratch, folder.file("temp_peak1.txt")), 22);
    EXPECT_EQ(test::readFile(folder.file("temp_peak1.txt")), first + "\r\n");

    // Blanks alone separate numbers too: a kilometre line without its last comma still counts 3.
    test::writeFile(scratch, "60,120,121     67,6,18,350,16,12,8\r\n");
    EXPECT_EQ(measureRecordWidth(scratch, folder.file("temp_peak1.txt")), 10);
}

TEST(PeakRecordWidth, AnEmptyScratchFileGivesWidthZeroAndAnEmptyCopy) {
    test::TempFolder folder;
    test::writeFile(folder.file("temp_peak.txt"), "");
    EXPECT_EQ(measureRecordWidth(folder.file("temp_peak.txt"), folder.file("temp_peak1.txt")), 0);
    EXPECT_EQ(test::readFile(folder.file("temp_peak1.txt")), "");
    EXPECT_TRUE(rowsOf("", 0).empty());
}

TEST(PeakRecordWidth, RefusesMoreThan26NumbersAndTextsThatAreNoNumbers) {
    // 10 pairs and the trailing number make 26: the widest record there is.
    std::vector<test::Peak> ten(10, {5, 6});
    EXPECT_EQ(countRecordItems("60,1,2,   " + peakLine(6, ten), "f"), 26);
    std::vector<test::Peak> eleven(11, {5, 6});
    expectPeakError([&] { countRecordItems("60,1,2,   " + peakLine(6, eleven), "f"); },
                    kRecordTooLongMessage);
    expectPeakError([&] { countRecordItems("60,1,2,   67,6,x,4", "f"); }, kBadNumberMessage);
    expectPeakError([&] { countRecordItems("60,1,2,   67,6,40000,4", "f"); }, kBadNumberMessage);
}

TEST(PeakRecordReader, ReadsAStreamOfNumbersAcrossLineEnds) {
    // Two records of 10 numbers each, the second one split over two lines: no re-synchronisation.
    const std::string scratch = "60,120,121,   67,6,18,350,16,12,0\r\n60,121,122,   67,6\r\n9,9,8,8,0\r\n";
    const auto rows = rowsOf(scratch, 10);
    ASSERT_EQ(rows.size(), 4u);
    EXPECT_EQ(rows[2], (PeakRow{121, 122, 6, 9, 9}));
    EXPECT_EQ(rows[3], (PeakRow{121, 122, 6, 8, 8}));
}

TEST(PeakRecordReader, ReadsEveryRecordShiftedAfterAPeakLineBeforeTheFirstKilometreLine) {
    // The orphan peak line has 11 numbers, so every later record of 22 is read as two of 11.
    const std::string scratch = std::string(14, ' ') + "67,6,30,1,29,2,28,3,27,4,5\r\n" +
                                "60,120,121,   67,6,18,350,16,12,15,40,14,50,13,60,12,70,11,80,10,90,8\r\n";
    const auto rows = rowsOf(scratch, 11);
    ASSERT_EQ(rows.size(), 6u); // three records of two rows
    EXPECT_EQ(rows[0], (PeakRow{6, 30, 29, 28, 2}));
    EXPECT_EQ(rows[2], (PeakRow{120, 121, 6, 350, 18}));
    EXPECT_EQ(rows[3], (PeakRow{120, 121, 6, 12, 16}));
    EXPECT_EQ(rows[4], (PeakRow{50, 13, 12, 11, 70})); // the second half of the kilometre's record
}

TEST(PeakRecordReader, ReportsRecordsCutShortAndNumbersOutside16Bits) {
    expectPeakError([] { rowsOf("60,120,121,   67,6,18,350,16,12,0\r\n60,121,122,   67,6,18\r\n", 10); },
                    kRecordCutShortMessage);
    expectPeakError([] { rowsOf("60,120,121,   67,6,18,-32769,16,12,0\r\n", 10); }, kBadNumberMessage);
    expectPeakError([] { rowsOf("60,120,121,   67,6,18,350,1.5,12,0\r\n", 10); }, kBadNumberMessage);
    // The extreme 16-bit values themselves are read.
    const auto rows = rowsOf("60,-32768,32767,   67,6,18,350,0\r\n", 8);
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0], (PeakRow{-32768, 32767, 6, 350, 18}));
}

} // namespace
} // namespace kestrana::peaks
