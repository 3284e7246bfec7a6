// PROCESS DATA of the peak analyser: the database rows and their order, the direction, the captions,
// and the old database kept whole when a build fails.

#include "peaks/peak_database.h"
#include "peaks/texts.h"
#include "peaks_fixtures.h"
#include "platform/record_store.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

namespace kestrana::peaks {
namespace {

using test::eightPeaks;
using test::kmLine;
using test::peakLine;
using test::runText;

class PeakDatabaseTest : public ::testing::Test {
protected:
    test::TempFolder folder;
    PeakFiles files = PeakFiles::in(folder.path());
    PeakSession session;

    PeakProcessResult process(const std::vector<std::string>& lines) {
        test::writeFile(folder.file("run.txt"), runText(lines));
        return processPeakData(folder.file("run.txt"), files, session);
    }
    std::vector<PeakRow> rows() const { return test::storedRows(files.databaseBase); }
};

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
    EXPECT_EQ(stored[7], (PeakRow{120, 121, 6, 800, 0}));
    EXPECT_EQ(stored[8], (PeakRow{120, 121, 3, 100, 5}));
    EXPECT_EQ(stored[16], (PeakRow{121, 122, 6, 100, 2}));
    EXPECT_EQ(stored[23], (PeakRow{121, 122, 6, 800, 1}));
}

TEST_F(PeakDatabaseTest, TwelvePeakLinesOfOneKilometreGive96RowsRisingRun) {
    std::vector<std::string> lines{kmLine(120, 121)};
    for (int code : {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 12, 13}) {
        lines.push_back(peakLine(code, eightPeaks(code, 1)));
    }
    const auto result = process(lines);
    EXPECT_EQ(result.build.rowCount, 96);
    EXPECT_EQ(result.build.range.direction, 1);
    EXPECT_EQ(session.direction, 1);
    EXPECT_EQ(result.captions.label9, " Km 120 to Km 121");
    EXPECT_EQ(rows()[95].fild2, 13);
}

TEST_F(PeakDatabaseTest, FallingRunGivesDirectionMinusOne) {
    std::vector<std::string> lines;
    for (int km = 151; km > 120; --km) {
        lines.push_back(kmLine(km, km - 1));
        lines.push_back(peakLine(6, eightPeaks(9, 3)));
    }
    const auto result = process(lines);
    EXPECT_EQ(result.build.range.direction, -1);
    EXPECT_EQ(session.direction, -1);
    EXPECT_EQ(result.captions.label9, " Km 151 to Km 120");
}

TEST_F(PeakDatabaseTest, RunWithoutPeakLinesGivesAnEmptyTable) {
    const auto result = process({"95,1,120326,0815,TRC", kmLine(120, 121), "68,1,2,3,4"});
    EXPECT_EQ(result.itemsPerRecord, 0);
    EXPECT_EQ(result.build.rowCount, 0);
    EXPECT_TRUE(rows().empty());
    EXPECT_EQ(session.direction, -1);
    EXPECT_EQ(result.captions.label9, " Km  to Km ");
    EXPECT_EQ(test::readFile(files.firstLinePath), "");
}

TEST_F(PeakDatabaseTest, RecordsOfSevenEightAndTenPairs) {
    for (int pairs : {7, 8, 10}) {
        const auto result = process({kmLine(120, 121), peakLine(6, std::vector<test::Peak>(pairs, {20, 5})),
                                     kmLine(121, 122), peakLine(6, std::vector<test::Peak>(pairs, {20, 5}))});
        EXPECT_EQ(result.itemsPerRecord, 2 * pairs + 6);
        EXPECT_EQ(result.build.rowCount, 2 * pairs);
        EXPECT_EQ(rows().size(), static_cast<std::size_t>(2 * pairs));
    }
}

TEST_F(PeakDatabaseTest, CaptionsComeFromTheHeaderLines) {
    auto result = process({"95,7,230125,0815,TRC", "91,0034,NR,KM,   NAGPUR - WARDHA UP          ,END",
                           kmLine(120, 121), peakLine(6, eightPeaks(1, 1))});
    EXPECT_EQ(result.captions.label7, "NAGPUR - WARDHA UP");
    EXPECT_EQ(result.captions.label8, " Date : 230125");
    // A section line shorter than 15 characters and a header line of 8 characters.
    result = process({"95,7,230", "91,0034,NR,KM", kmLine(120, 121), peakLine(6, eightPeaks(1, 1))});
    EXPECT_EQ(result.captions.label7, "");
    EXPECT_EQ(result.captions.label8, " Date : 230");
}

TEST_F(PeakDatabaseTest, SecondRunReplacesTheFirstAndItsHeaderLines) {
    process({"95,1,120326,0815,TRC", "91,0034,NR,KM,FIRST SECTION", kmLine(120, 121),
             peakLine(6, eightPeaks(1, 1))});
    process({kmLine(300, 299), peakLine(7, eightPeaks(2, 2))});
    const auto stored = rows();
    ASSERT_EQ(stored.size(), 8u);
    EXPECT_EQ(stored[0], (PeakRow{300, 299, 7, 100, 2}));
    EXPECT_EQ(session.header.headerLine, "");
    EXPECT_EQ(session.header.sectionLine, "");
    EXPECT_EQ(session.direction, -1);
}

TEST_F(PeakDatabaseTest, FailedBuildKeepsTheOldDatabaseAndTheSession) {
    process({"95,1,120326,0815,TRC", kmLine(120, 121), peakLine(6, eightPeaks(18, 3))});
    const auto before = rows();
    const PeakSession kept = session;

    auto expectRefused = [&](const std::vector<std::string>& lines, std::string_view message) {
        try {
            process(lines);
            ADD_FAILURE() << "no failure, expected: " << message;
        } catch (const PeakError& error) {
            EXPECT_EQ(error.message(), message);
        }
        EXPECT_EQ(rows(), before);
        EXPECT_EQ(session.header.headerLine, kept.header.headerLine);
        EXPECT_EQ(session.itemsPerRecord, kept.itemsPerRecord);
        EXPECT_EQ(session.direction, kept.direction);
        EXPECT_FALSE(test::fileExists(platform::RecordStore::fileOf(files.databaseBase + "-new")));
    };
    // A number outside 16 bits in the third record, after rows were already added.
    expectRefused({kmLine(200, 199), peakLine(6, eightPeaks(1, 1)), peakLine(7, eightPeaks(1, 1)),
                   peakLine(8, {{40000, 1}, {1, 1}, {1, 1}, {1, 1}, {1, 1}, {1, 1}, {1, 1}, {1, 1}})},
                  kBadNumberMessage);
    // A last record shorter than the first.
    expectRefused({kmLine(200, 199), peakLine(6, eightPeaks(1, 1)), peakLine(7, {{1, 1}})},
                  kRecordCutShortMessage);
    expectRefused({kmLine(200, 199), peakLine(6, std::vector<test::Peak>(11, {1, 1}))},
                  kRecordTooLongMessage);

    try {
        processPeakData(folder.file("missing.run"), files, session);
        ADD_FAILURE() << "a missing run file was accepted";
    } catch (const PeakError& error) {
        EXPECT_EQ(error.message(), kRunFileFailedMessage);
    }
    EXPECT_EQ(rows(), before);
}

TEST_F(PeakDatabaseTest, DatabaseThatCannotBeCreatedIsReported) {
    test::writeFile(folder.file("run.txt"), runText({kmLine(120, 121), peakLine(6, eightPeaks(1, 1))}));
    PeakFiles elsewhere = files;
    elsewhere.databaseBase = folder.file("no-such-folder/trcpeak");
    try {
        processPeakData(folder.file("run.txt"), elsewhere, session);
        ADD_FAILURE() << "no failure";
    } catch (const PeakError& error) {
        EXPECT_EQ(error.message(), kDatabaseFailedMessage);
    }
    EXPECT_EQ(session.direction, 0);
}

TEST_F(PeakDatabaseTest, AdoptsTheDirectionAndWidthOfADatabaseLeftFromAnEarlierUse) {
    const std::vector<test::Peak> seven(7, {9, 9});
    process({kmLine(151, 150), peakLine(6, seven), peakLine(7, seven), kmLine(150, 149), peakLine(6, seven)});
    PeakSession fresh;
    adoptStoredDatabase(files.databaseBase, fresh);
    EXPECT_EQ(fresh.direction, -1);
    EXPECT_EQ(fresh.itemsPerRecord, 20); // 7 pairs in the first record

    PeakSession none;
    EXPECT_THROW(adoptStoredDatabase(folder.file("nothing"), none), PeakError);
    test::writeFile(platform::RecordStore::fileOf(folder.file("junk")), "not a database at all");
    EXPECT_THROW(adoptStoredDatabase(folder.file("junk"), none), PeakError);
    EXPECT_EQ(none.direction, 0);
}

} // namespace
} // namespace kestrana::peaks
