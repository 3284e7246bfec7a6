// The peak scan, the record width, the record reader and the expansion of records into rows.

#include "core/peaks/extraction.h"
#include "peaks_fixtures.h"

#include <initializer_list>

namespace kestrana::peaks {
namespace {

using test::expectPeakError;
using test::kmLine;
using test::peakLine;
using test::runText;

// Every row of a scratch text read `width` numbers to a record.
std::vector<PeakRow> rowsOf(const std::string& scratch, int width) {
    PeakRecordReader reader(scratch, "temp_peak.txt", width);
    std::vector<PeakRow> rows;
    while (reader.next()) {
        expandRecord(reader.record(), width, rows);
    }
    return rows;
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

TEST(PeakScan, WritesOneRecordLinePerPeakLineInPrintZones) {
    test::TempFolder folder;
    test::writeFile(folder.file("run.txt"),
                    runText({"95,1,120326,0815,TRC", "91,0034,NR,KM,NAGPUR - WARDHA", peakLine(3, {{5, 6}}),
                             kmLine(120, 121), "68,1,2,3", peakLine(6, {{18, 350}}), "6",
                             peakLine(7, {{1, 2}}), "60,1234567890,121,", peakLine(8, {{3, 4}})}));
    runfile::RunHeader header;
    EXPECT_EQ(scanPeaks(folder.file("run.txt"), folder.file("temp_peak.txt"), header), 4);
    EXPECT_EQ(header.headerLine, "95,1,120326,0815,TRC");
    EXPECT_EQ(header.sectionLine, "91,0034,NR,KM,NAGPUR - WARDHA");
    // Before any kilometre line the record starts with 14 blanks; an 11-character kilometre line is
    // followed by 3 blanks, an 18-character one by 10.
    EXPECT_EQ(test::readFile(folder.file("temp_peak.txt")),
              std::string(14, ' ') + "67,3,5,6,0\r\n" + "60,120,121,   67,6,18,350,0\r\n" +
                  "60,120,121,   67,7,1,2,0\r\n" + "60,1234567890,121,          67,8,3,4,0\r\n");
}

TEST(PeakScan, ReportsWhatStopsIt) {
    test::TempFolder folder;
    runfile::RunHeader header;
    const std::string scratch = folder.file("temp_peak.txt");
    expectPeakError([&] { scanPeaks(folder.file("missing.run"), scratch, header); }, kRunFileFailedMessage);
    EXPECT_FALSE(test::fileExists(scratch));

    test::writeFile(folder.file("run.txt"), runText({kmLine(120, 121), peakLine(6, {{1, 2}})}));
    expectPeakError([&] { scanPeaks(folder.file("run.txt"), folder.file("no/such/temp_peak.txt"), header); },
                    kScratchFailedMessage);

    // Ten pairs make the widest record, 26 numbers; eleven pairs in a later record are refused,
    // since they would shift every record after them.
    const std::vector<test::Peak> ten(10, {5, 6}), eleven(11, {5, 6});
    test::writeFile(folder.file("run.txt"), runText({kmLine(1, 2), peakLine(6, ten)}));
    EXPECT_EQ(scanPeaks(folder.file("run.txt"), scratch, header), 1);
    test::writeFile(folder.file("run.txt"),
                    runText({kmLine(1, 2), peakLine(6, ten), kmLine(2, 3), peakLine(6, eleven)}));
    try {
        scanPeaks(folder.file("run.txt"), scratch, header);
        ADD_FAILURE() << "a record of 28 numbers was accepted";
    } catch (const PeakError& error) {
        EXPECT_EQ(error.message(), kRecordTooLongMessage);
        EXPECT_NE(error.detail().find("line 4"), std::string::npos) << error.detail();
    }
}

TEST(PeakRecordWidth, CountsTheNumbersOfTheFirstRecordAndCopiesItsLine) {
    test::TempFolder folder;
    const std::string scratch = folder.file("temp_peak.txt");
    const std::string copy = folder.file("temp_peak1.txt");
    const std::string first = "60,120,121,   67,6,18,350,16,12,15,40,14,50,13,60,12,70,11,80,10,90,8";
    test::writeFile(scratch, first + "\r\n60,121,122,   67,6,1,2\r\n");
    EXPECT_EQ(measureRecordWidth(scratch, copy), 22);
    EXPECT_EQ(test::readFile(copy), first + "\r\n");

    // Blanks alone separate numbers too: a kilometre line without its last comma still counts 3.
    test::writeFile(scratch, "60,120,121     67,6,18,350,16,12,8\r\n");
    EXPECT_EQ(measureRecordWidth(scratch, copy), 10);

    test::writeFile(scratch, "");
    EXPECT_EQ(measureRecordWidth(scratch, copy), 0);
    EXPECT_EQ(test::readFile(copy), "");
    EXPECT_TRUE(rowsOf("", 0).empty());

    for (const char* bad : {"60,1,2,   67,6,x,4\r\n", "60,1,2,   67,6,40000,4\r\n"}) {
        test::writeFile(scratch, bad);
        expectPeakError([&] { measureRecordWidth(scratch, copy); }, kBadNumberMessage);
    }
}

TEST(PeakRecordReader, ReadsOneStreamOfNumbersWithoutResynchronisingAtLineEnds) {
    // Two records of 10 numbers each, the second one split over two lines.
    auto rows = rowsOf("60,120,121,   67,6,18,350,16,12,0\r\n60,121,122,   67,6\r\n9,9,8,8,0\r\n", 10);
    ASSERT_EQ(rows.size(), 4u);
    EXPECT_EQ(rows[2], (PeakRow{121, 122, 6, 9, 9}));
    EXPECT_EQ(rows[3], (PeakRow{121, 122, 6, 8, 8}));

    // An orphan peak line of 11 numbers first: every later record of 22 is read as two of 11.
    rows = rowsOf(std::string(14, ' ') + "67,6,30,1,29,2,28,3,27,4,5\r\n" +
                      "60,120,121,   67,6,18,350,16,12,15,40,14,50,13,60,12,70,11,80,10,90,8\r\n",
                  11);
    ASSERT_EQ(rows.size(), 6u);
    EXPECT_EQ(rows[0], (PeakRow{6, 30, 29, 28, 2}));
    EXPECT_EQ(rows[2], (PeakRow{120, 121, 6, 350, 18}));
    EXPECT_EQ(rows[4], (PeakRow{50, 13, 12, 11, 70})); // the second half of the kilometre's record

    // The extreme 16-bit values themselves are read.
    rows = rowsOf("60,-32768,32767,   67,6,18,350,0\r\n", 8);
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0], (PeakRow{-32768, 32767, 6, 350, 18}));
}

TEST(PeakRecordReader, ReportsRecordsCutShortAndNumbersOutside16Bits) {
    expectPeakError([] { rowsOf("60,120,121,   67,6,18,350,16,12,0\r\n60,121,122,   67,6,18\r\n", 10); },
                    kRecordCutShortMessage);
    expectPeakError([] { rowsOf("60,120,121,   67,6,18,-32769,16,12,0\r\n", 10); }, kBadNumberMessage);
    expectPeakError([] { rowsOf("60,120,121,   67,6,18,350,1.5,12,0\r\n", 10); }, kBadNumberMessage);
}

} // namespace
} // namespace kestrana::peaks
