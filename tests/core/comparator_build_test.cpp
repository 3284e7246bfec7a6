#include "comparator/messages.h"
#include "comparator/run_database.h"
#include "core/comparator_test_runs.h"
#include "platform/record_store.h"
#include "run_generator.h"

#include <gtest/gtest.h>

using namespace kestrana::comparator;
using kestrana::platform::RecordStore;
using kestrana::test::blockLine;
using kestrana::test::buildRequestIn;
using kestrana::test::headerLines;
using kestrana::test::kmLine;
using kestrana::test::simpleRun;
using kestrana::test::TempFolder;

namespace {

std::vector<std::vector<std::int16_t>> rowsOf(const std::string& databaseBase, const std::string& table) {
    RecordStore store = RecordStore::open(databaseBase);
    std::vector<std::vector<std::int16_t>> rows;
    for (RecordStore::RowSet set(store, "SELECT * FROM " + table); set.hasCurrent(); set.moveNext()) {
        rows.push_back({set.field("tgi1"), set.field("tgi2"), set.field("tgi3"), set.field("tgi4")});
    }
    return rows;
}

std::vector<std::string> tablesOf(const std::string& databaseBase) {
    RecordStore store = RecordStore::open(databaseBase);
    std::vector<std::string> names;
    for (RecordStore::RowSet set(store, "SELECT name FROM sqlite_master WHERE type = 'table' ORDER BY name");
         set.hasCurrent(); set.moveNext()) {
        names.push_back(set.valueText(0));
    }
    return names;
}

struct Recorder {
    std::vector<SlotLoaded> runSlots;
    std::function<void(const SlotLoaded&)> callback() {
        return [this](const SlotLoaded& loaded) { runSlots.push_back(loaded); };
    }
};

} // namespace

TEST(ComparatorBuild, ParameterNamesMapToTheirFieldsExactly) {
    EXPECT_EQ(compareParameterField("TGI"), 17);
    EXPECT_EQ(compareParameterField("TGIU"), 22);
    EXPECT_EQ(compareParameterField("TGIW"), 23);
    EXPECT_EQ(compareParameterField("TGIG"), 24);
    EXPECT_EQ(compareParameterField("TGIL"), 25);
    EXPECT_EQ(compareParameterField("tgi"), std::nullopt);
    EXPECT_EQ(compareParameterField("TGI "), std::nullopt);
    EXPECT_EQ(compareParameterField(""), std::nullopt);
}

TEST(ComparatorBuild, TwoRisingRunsLoadWithMessagesCaptionsAndKmBoxes) {
    TempFolder folder;
    kestrana::bench::RunSpec current;
    current.startKm = 120;
    current.kmCount = 10;
    current.date = "120326";
    kestrana::bench::RunSpec older = current;
    older.date = "011225";
    older.seed = 7;
    auto request = buildRequestIn(folder, {generateRun(current), generateRun(older)});
    ComparatorSession session;
    Recorder recorder;

    BuildResult result = buildRunDatabase(request, session, recorder.callback());

    ASSERT_EQ(result.outcome, BuildResult::Outcome::Built) << result.reason;
    EXPECT_EQ(result.slotsLoaded, 2);
    ASSERT_EQ(recorder.runSlots.size(), 2u);
    EXPECT_EQ(recorder.runSlots[0].message, "File for TRC Run(0) successfully opened");
    EXPECT_EQ(recorder.runSlots[1].message, "File for TRC Run(1) successfully opened");
    EXPECT_EQ(recorder.runSlots[0].kmCaption, "Km  120 To Km  130");
    EXPECT_EQ(recorder.runSlots[0].kmFromText, "120");
    EXPECT_EQ(recorder.runSlots[0].kmToText, "170"); // 1 * 50 + 120
    EXPECT_FALSE(recorder.runSlots[1].kmFromText.has_value());
    EXPECT_EQ(result.kmFromText, "120");
    EXPECT_EQ(result.kmToText, "170");

    EXPECT_EQ(session.section, "NAGPUR - WARDHA UP MAIN LINE"); // trimmed
    EXPECT_EQ(session.runSlots[0].runDate(), "120326");
    EXPECT_EQ(session.runSlots[1].runDate(), "011225");
    EXPECT_EQ(session.runSlots[0].direction, 1);
    EXPECT_EQ(session.runSlots[1].direction, 1);
    EXPECT_EQ(session.currentDirection, 1);
    EXPECT_EQ(session.startKm, 120);
    EXPECT_EQ(session.runSlots[1].kmCaption, "Km  120 To Km  130");

    EXPECT_EQ(tablesOf(request.databaseBase), (std::vector<std::string>{"trc0", "trc1"}));
    EXPECT_EQ(rowsOf(request.databaseBase, "trc0").size(), 50u);
    EXPECT_FALSE(kestrana::test::fileExists(request.scratchPath)); // the scratch file is gone
}

TEST(ComparatorBuild, KmBoxesFollowTheCurrentRunsDirection) {
    struct Case {
        int startKm;
        int direction;
        const char* kmTo;
    };
    // Falling from 30: 30 - 50 is negative, so 0; rising from 120: 170; falling from 80: 30.
    for (const Case& c : {Case{30, -1, "0"}, Case{120, 1, "170"}, Case{80, -1, "30"}, Case{-60, 1, "0"}}) {
        TempFolder folder;
        auto request = buildRequestIn(folder, {simpleRun("010101", c.startKm, 3, c.direction),
                                               simpleRun("020202", c.startKm, 3, c.direction)});
        ComparatorSession session;
        BuildResult result = buildRunDatabase(request, session);
        ASSERT_EQ(result.outcome, BuildResult::Outcome::Built) << result.reason;
        EXPECT_EQ(result.kmFromText, std::to_string(c.startKm));
        EXPECT_EQ(result.kmToText, c.kmTo) << "start " << c.startKm;
        EXPECT_EQ(session.currentDirection, c.direction);
        EXPECT_EQ(session.runSlots[0].kmCaption, "Km  " + std::to_string(c.startKm) + " To Km  " +
                                                  std::to_string(c.startKm + 3 * c.direction));
    }
}

TEST(ComparatorBuild, TablesHoldKmBlockAndTheChosenParameterInFileOrder) {
    TempFolder folder;
    // Duplicates and a block out of order stay as the file has them.
    const std::string run = headerLines("150326") + kmLine(7, 8) + "\r\n" + blockLine(2, 11, 21, 31, 41, 51) +
                            "\r\n" + blockLine(1, 12, 22, 32, 42, 52) + "\r\n" +
                            blockLine(1, 13, 23, 33, 43, 53) + "\r\n" + kmLine(8, 9) + "\r\n" +
                            blockLine(6, -14, -24, -34, -44, -54) + "\r\n";
    const std::vector<std::pair<std::string, std::vector<std::int16_t>>> expected{
        {"TGI", {11, 12, 13, -14}},
        {"TGIU", {21, 22, 23, -24}},
        {"TGIW", {31, 32, 33, -34}},
        {"TGIG", {41, 42, 43, -44}},
        {"TGIL", {51, 52, 53, -54}}};
    for (const auto& [parameter, values] : expected) {
        auto request = buildRequestIn(folder, {run, run}, parameter);
        ComparatorSession session;
        ASSERT_EQ(buildRunDatabase(request, session).outcome, BuildResult::Outcome::Built);
        const auto rows = rowsOf(request.databaseBase, "trc1");
        ASSERT_EQ(rows.size(), 4u);
        EXPECT_EQ(rows[0], (std::vector<std::int16_t>{7, 8, 2, values[0]})) << parameter;
        EXPECT_EQ(rows[1], (std::vector<std::int16_t>{7, 8, 1, values[1]})) << parameter;
        EXPECT_EQ(rows[2], (std::vector<std::int16_t>{7, 8, 1, values[2]})) << parameter;
        EXPECT_EQ(rows[3], (std::vector<std::int16_t>{8, 9, 6, values[3]})) << parameter;
    }
}

TEST(ComparatorBuild, AParameterOutsideTheListIsRefusedBeforeTheOldDatabaseIsTouched) {
    TempFolder folder;
    const std::string run = simpleRun("010101", 10, 2, 1);
    auto request = buildRequestIn(folder, {run, run});
    ComparatorSession session;
    ASSERT_EQ(buildRunDatabase(request, session).outcome, BuildResult::Outcome::Built);

    request.parameter = "tgi"; // lower case is not one of the names
    Recorder recorder;
    BuildResult result = buildRunDatabase(request, session, recorder.callback());
    EXPECT_EQ(result.outcome, BuildResult::Outcome::ParameterRefused);
    EXPECT_EQ(result.message, kUnknownParameterMessage);
    EXPECT_TRUE(recorder.runSlots.empty());
    EXPECT_EQ(rowsOf(request.databaseBase, "trc0").size(), 10u); // the earlier build is still there
}

TEST(ComparatorBuild, TheNumberOfOlderRunsDecidesTheTables) {
    TempFolder folder;
    const std::string run = simpleRun("010101", 10, 2, 1);
    auto request = buildRequestIn(folder, {run, run, run, run});
    ComparatorSession session;
    ASSERT_EQ(buildRunDatabase(request, session).outcome, BuildResult::Outcome::Built);
    EXPECT_EQ(tablesOf(request.databaseBase), (std::vector<std::string>{"trc0", "trc1", "trc2", "trc3"}));

    // n outside 1 to 3: an empty database, no message, and still a build (COMPARE becomes usable).
    for (std::int16_t n : {0, 5, -1}) {
        request.olderRuns = n;
        Recorder recorder;
        BuildResult result = buildRunDatabase(request, session, recorder.callback());
        EXPECT_EQ(result.outcome, BuildResult::Outcome::Built);
        EXPECT_TRUE(recorder.runSlots.empty());
        EXPECT_TRUE(tablesOf(request.databaseBase).empty());
    }
}

TEST(ComparatorBuild, AMissingSecondRunFailsAfterTheFirstAndKeepsItsTable) {
    TempFolder folder;
    auto request = buildRequestIn(folder, {simpleRun("010101", 10, 2, 1), simpleRun("020202", 10, 2, 1)});
    request.slotPaths[1] = folder.file("no such run.run");
    ComparatorSession session;
    session.runSlots[2].kmCaption = "Km  1 To Km  2"; // left from an earlier build
    Recorder recorder;

    BuildResult result = buildRunDatabase(request, session, recorder.callback());

    EXPECT_EQ(result.outcome, BuildResult::Outcome::SlotFailed);
    EXPECT_EQ(result.message, "Could not open file. Please type file name correctly.");
    EXPECT_NE(result.reason.find("no such run.run"), std::string::npos) << result.reason;
    ASSERT_EQ(recorder.runSlots.size(), 1u);
    EXPECT_EQ(recorder.runSlots[0].message, "File for TRC Run(0) successfully opened");
    EXPECT_EQ(result.slotsLoaded, 1);
    EXPECT_EQ(tablesOf(request.databaseBase), std::vector<std::string>{"trc0"});
    EXPECT_EQ(rowsOf(request.databaseBase, "trc0").size(), 10u);
    for (const auto& slot : session.runSlots) {
        EXPECT_EQ(slot.kmCaption, "");
    }
}

TEST(ComparatorBuild, BrokenRunsFailTheBuild) {
    const std::string head = headerLines("010101");
    const std::vector<std::pair<std::string, std::string>> broken{
        {"no block line", head + kmLine(1, 2) + "\r\n"},
        {"number beyond 16 bits", head + kmLine(1, 2) + "\r\n" + blockLine(1, 40000) + "\r\n"},
        {"record cut short", head + kmLine(1, 2) + "\r\n68,1,2,3\r\n"},
        {"block before any km line", head + blockLine(1, 5) + "\r\n"},
    };
    for (const auto& [what, text] : broken) {
        TempFolder folder;
        auto request = buildRequestIn(folder, {text, simpleRun("020202", 1, 2, 1)});
        ComparatorSession session;
        BuildResult result = buildRunDatabase(request, session);
        EXPECT_EQ(result.outcome, BuildResult::Outcome::SlotFailed) << what;
        EXPECT_EQ(result.message, kCouldNotOpenMessage) << what;
        EXPECT_EQ(result.slotsLoaded, 0) << what;
    }
}

TEST(ComparatorBuild, NumbersAreReadAsOneStreamWithoutResynchronising) {
    // A km line with a fourth number and a block line one number short: 27 + 25 = 52 numbers make
    // two rows of 26, the second shifted by one place.
    TempFolder folder;
    const std::string run = headerLines("010101") + "60,5,6,99\r\n" + blockLine(1, 30) + "\r\n" +
                            "60,6,7\r\n" +
                            "68,2,45,38,21,12,63,59,71,68,44,49,26,31,95,7,115,187,0,0,0,0\r\n";
    auto request = buildRequestIn(folder, {run, run});
    ComparatorSession session;
    ASSERT_EQ(buildRunDatabase(request, session).outcome, BuildResult::Outcome::Built);
    const auto rows = rowsOf(request.databaseBase, "trc0");
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0], (std::vector<std::int16_t>{5, 6, 68, 26})); // tgi3 = number 5 = "68", tgi4 = number 17
    // The second row starts with the last number of the first block line: 0, 60, 6, 7, 68, 2, ...
    EXPECT_EQ(rows[1], (std::vector<std::int16_t>{60, 6, 68, 26}));
}

TEST(OlderRunsRule, ANumberFromOneToThreeEnablesThatManySlots) {
    OlderRunsEdit two = olderRunsEdited("2", 0);
    EXPECT_EQ(two.olderRuns, 2);
    EXPECT_FALSE(two.showEnterOneToThree);
    EXPECT_EQ(two.runSlots[0], SlotEnabling::Unchanged);
    EXPECT_EQ(two.runSlots[1], SlotEnabling::Enabled);
    EXPECT_EQ(two.runSlots[2], SlotEnabling::Enabled);
    EXPECT_EQ(two.runSlots[3], SlotEnabling::Disabled);

    EXPECT_EQ(olderRunsEdited("1", 3).runSlots[2], SlotEnabling::Disabled);
    EXPECT_EQ(olderRunsEdited("3", 1).runSlots[3], SlotEnabling::Enabled);
    EXPECT_EQ(olderRunsEdited("2.5", 0).olderRuns, 2); // halves go to the even neighbour
    EXPECT_EQ(olderRunsEdited(" 1.4 ", 0).olderRuns, 1);
}

TEST(OlderRunsRule, NumbersOutsideOneToThreeShowTheMessageAndStillBecomeN) {
    for (const char* text : {"5", "0", "-2", "3.5", "0.20"}) {
        OlderRunsEdit edit = olderRunsEdited(text, 2);
        EXPECT_TRUE(edit.showEnterOneToThree) << text;
        for (int k = 1; k < kSlotCount; ++k) {
            EXPECT_EQ(edit.runSlots[static_cast<std::size_t>(k)], SlotEnabling::Unchanged) << text;
        }
    }
    EXPECT_EQ(olderRunsEdited("5", 2).olderRuns, 5);
    EXPECT_EQ(olderRunsEdited("3.5", 2).olderRuns, 4);
    EXPECT_EQ(olderRunsEdited("0.20", 2).olderRuns, 0);
}

TEST(OlderRunsRule, TextThatIsNoNumberKeepsNAndDisablesTheOlderSlots) {
    for (const char* text : {"", "abc", "2x", " "}) {
        OlderRunsEdit edit = olderRunsEdited(text, 2);
        EXPECT_EQ(edit.olderRuns, 2) << text;
        EXPECT_FALSE(edit.showEnterOneToThree) << text;
        EXPECT_EQ(edit.runSlots[1], SlotEnabling::Disabled);
        EXPECT_EQ(edit.runSlots[3], SlotEnabling::Disabled);
    }
    // Beyond 16 bits: no n can hold it, but the user is told why.
    OlderRunsEdit huge = olderRunsEdited("40000", 2);
    EXPECT_EQ(huge.olderRuns, 2);
    EXPECT_TRUE(huge.showEnterOneToThree);
    EXPECT_EQ(huge.runSlots[1], SlotEnabling::Disabled);
}

TEST(ComparatorBuild, ADatabaseThatCannotBeMadeEndsTheBuildWithItsOwnMessage) {
    TempFolder folder;
    const std::string run = simpleRun("010101", 10, 2, 1);
    auto request = buildRequestIn(folder, {run, run});
    request.databaseBase = folder.file("no such folder/trcdbase");
    ComparatorSession session;
    session.runSlots[0].kmCaption = "Km  1 To Km  2";
    Recorder recorder;
    BuildResult result = buildRunDatabase(request, session, recorder.callback());
    EXPECT_EQ(result.outcome, BuildResult::Outcome::DatabaseFailed);
    EXPECT_EQ(result.message, kDatabaseNotCreatedMessage);
    EXPECT_NE(result.reason.find("no such folder"), std::string::npos) << result.reason;
    EXPECT_TRUE(recorder.runSlots.empty());
    EXPECT_EQ(result.slotsLoaded, 0);
}
