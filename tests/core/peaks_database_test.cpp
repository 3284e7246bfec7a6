// PROCESS DATA of the peak analyser: the database rows and their order, the direction, the captions,
// and the old database kept whole when a build fails.

#include "peaks_fixtures.h"

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

    // No peak lines: an empty table, falling, and no kilometres in the caption.
    result = process({"95,1,120326,0815,TRC", kmLine(120, 121), "68,1,2,3,4"});
    EXPECT_EQ(result.itemsPerRecord, 0);
    EXPECT_TRUE(rows().empty());
    EXPECT_EQ(session.direction, -1);
    EXPECT_EQ(result.captions.kmRange, " Km  to Km ");
}

TEST_F(PeakDatabaseTest, RecordsOfSevenEightAndTenPairs) {
    for (int pairs : {7, 8, 10}) {
        const std::vector<test::Peak> peaks(static_cast<std::size_t>(pairs), {20, 5});
        const auto result =
            process({kmLine(120, 121), peakLine(6, peaks), kmLine(121, 122), peakLine(6, peaks)});
        EXPECT_EQ(result.itemsPerRecord, 2 * pairs + 6);
        EXPECT_EQ(rows().size(), static_cast<std::size_t>(2 * pairs));
    }
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
        EXPECT_FALSE(test::fileExists(platform::RecordStore::fileOf(files.databaseBase + "-new")));
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
    test::writeFile(platform::RecordStore::fileOf(folder.file("junk")), "not a database at all");
    expectRefusal([&] { adoptStoredDatabase(folder.file("junk"), none); }, kNoDatabaseMessage);
    EXPECT_EQ(none.direction, 0);
}

} // namespace
} // namespace kestrana::peaks
