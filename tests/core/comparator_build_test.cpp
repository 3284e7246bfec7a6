// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Kestrana developers

#include "core/comparator/messages.h"
#include "core/comparator/run_database.h"
#include "core/comparator_test_runs.h"
#include "core/storage/record_store.h"

#include <gtest/gtest.h>

using namespace kestrana::comparator;
using namespace kestrana::test;
using kestrana::storage::RecordStore;
using Rows = std::vector<std::vector<std::int16_t>>;

namespace {

Rows rowsOf(const std::string& databaseBase, const std::string& table) {
    RecordStore store = RecordStore::open(databaseBase);
    Rows rows;
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

// Builds with a session that may hold values of an earlier build; returns what each slot told.
BuildResult buildTelling(const BuildRequest& request, ComparatorSession& session,
                         std::vector<SlotLoaded>& told) {
    return buildRunDatabase(request, session, [&](const SlotLoaded& loaded) { told.push_back(loaded); });
}

} // namespace

TEST(ComparatorBuild, TwoRunsLoadWithMessagesCaptionsAndKmBoxes) {
    TempFolder folder;
    auto request = buildRequestIn(folder, {simpleRun("120326", 120, 10, 1), simpleRun("011225", 120, 10, 1)});
    ComparatorSession session;
    std::vector<SlotLoaded> told;
    BuildResult result = buildTelling(request, session, told);

    ASSERT_EQ(result.outcome, BuildResult::Outcome::Built);
    ASSERT_EQ(told.size(), 2u);
    EXPECT_EQ(told[0].message, "File for TRC Run(0) successfully opened");
    EXPECT_EQ(told[1].message, "File for TRC Run(1) successfully opened");
    EXPECT_EQ(told[1].kmCaption, "Km  120 To Km  130");
    EXPECT_FALSE(told[1].kmFromText.has_value());     // only the current run fills the km boxes
    EXPECT_EQ(session.section, "NAGPUR - WARDHA UP"); // the 30 characters, blanks removed
    EXPECT_EQ(session.runSlots[0].runDate(), "120326");
    EXPECT_EQ(session.runSlots[1].runDate(), "011225");
    EXPECT_EQ(tablesOf(request.databaseBase), (std::vector<std::string>{"trc0", "trc1"}));
    EXPECT_EQ(rowsOf(request.databaseBase, "trc0").size(), 50u);
    EXPECT_FALSE(fileExists(request.scratchPath));

    // The km boxes follow the current run: falling from 30, 30 - 50 is negative, so 0.
    struct Case {
        int startKm, direction;
        const char* kmTo;
    };
    for (const Case& c : {Case{30, -1, "0"}, Case{120, 1, "170"}, Case{80, -1, "30"}, Case{-60, 1, "0"}}) {
        request = buildRequestIn(folder, {simpleRun("010101", c.startKm, 3, c.direction),
                                          simpleRun("020202", c.startKm, 3, c.direction)});
        result = buildRunDatabase(request, session);
        ASSERT_EQ(result.outcome, BuildResult::Outcome::Built);
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
    for (const auto& [parameter, first] : std::vector<std::pair<std::string, std::int16_t>>{
             {"TGI", 11}, {"TGIU", 21}, {"TGIW", 31}, {"TGIG", 41}, {"TGIL", 51}}) {
        auto request = buildRequestIn(folder, {run, run}, parameter);
        ComparatorSession session;
        ASSERT_EQ(buildRunDatabase(request, session).outcome, BuildResult::Outcome::Built);
        EXPECT_EQ(rowsOf(request.databaseBase, "trc1"), (Rows{{7, 8, 2, first},
                                                              {7, 8, 1, std::int16_t(first + 1)},
                                                              {7, 8, 1, std::int16_t(first + 2)},
                                                              {8, 9, 6, std::int16_t(-first - 3)}}))
            << parameter;
    }
}

TEST(ComparatorBuild, TheNumberOfOlderRunsDecidesTheTables) {
    TempFolder folder;
    const std::string run = simpleRun("010101", 10, 2, 1);
    auto request = buildRequestIn(folder, {run, run, run, run});
    ComparatorSession session;
    ASSERT_EQ(buildRunDatabase(request, session).outcome, BuildResult::Outcome::Built);
    EXPECT_EQ(tablesOf(request.databaseBase), (std::vector<std::string>{"trc0", "trc1", "trc2", "trc3"}));

    // n outside 1 to 3 loads nothing, so it builds nothing: the count's own message, and the database
    // and the session of the build before stay as they were.
    const ComparatorSession built = session;
    for (std::int16_t n : {0, 5, -1}) {
        request.olderRuns = n;
        std::vector<SlotLoaded> told;
        const BuildResult result = buildTelling(request, session, told);
        EXPECT_EQ(result.outcome, BuildResult::Outcome::CountRefused) << n;
        EXPECT_EQ(result.failure->message(), kEnterOneToThreeMessage);
        EXPECT_TRUE(told.empty());
        EXPECT_EQ(tablesOf(request.databaseBase), (std::vector<std::string>{"trc0", "trc1", "trc2", "trc3"}));
        EXPECT_EQ(session.databaseStamp, built.databaseStamp);
        EXPECT_EQ(session.section, built.section);
    }
}

TEST(ComparatorBuild, RefusalsBeforeLoadingLeaveTheOldDatabaseOrSayWhyNoneWasMade) {
    TempFolder folder;
    const std::string run = simpleRun("010101", 10, 2, 1);
    auto request = buildRequestIn(folder, {run, run});
    ComparatorSession session;
    ASSERT_EQ(buildRunDatabase(request, session).outcome, BuildResult::Outcome::Built);

    // A parameter outside the list (case and blanks count) would load zeros: refused, nothing touched.
    for (const char* parameter : {"tgi", "TGI ", ""}) {
        request.parameter = parameter;
        std::vector<SlotLoaded> told;
        BuildResult result = buildTelling(request, session, told);
        EXPECT_EQ(result.outcome, BuildResult::Outcome::ParameterRefused);
        EXPECT_EQ(result.failure->message(), kUnknownParameterMessage);
        EXPECT_TRUE(told.empty());
        EXPECT_EQ(rowsOf(request.databaseBase, "trc0").size(), 10u);
    }

    request.parameter = "TGI";
    request.databaseBase = folder.file("no such folder/trcdbase");
    std::vector<SlotLoaded> told;
    BuildResult result = buildTelling(request, session, told);
    EXPECT_EQ(result.outcome, BuildResult::Outcome::DatabaseFailed);
    EXPECT_EQ(result.failure->message(), kDatabaseNotCreatedMessage);
    EXPECT_NE(result.failure->reason().find("no such folder"), std::string::npos) << result.failure->reason();
    EXPECT_TRUE(told.empty());
}

TEST(ComparatorBuild, AMissingSecondRunFailsAfterTheFirstAndKeepsItsTable) {
    TempFolder folder;
    auto request = buildRequestIn(folder, {simpleRun("010101", 10, 2, 1), simpleRun("020202", 10, 2, 1)});
    request.slotPaths[1] = folder.file("no such run.run");
    ComparatorSession session;
    session.runSlots[2].kmCaption = "Km  1 To Km  2"; // left from an earlier build
    std::vector<SlotLoaded> told;
    BuildResult result = buildTelling(request, session, told);

    EXPECT_EQ(result.outcome, BuildResult::Outcome::SlotFailed);
    EXPECT_EQ(result.failure->message(), "Could not open file. Please type file name correctly.");
    EXPECT_NE(result.failure->reason().find("no such run.run"), std::string::npos)
        << result.failure->reason();
    ASSERT_EQ(told.size(), 1u);
    EXPECT_EQ(told[0].message, "File for TRC Run(0) successfully opened");
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
        {"direction beyond 16 bits", head + kmLine(-30000, 30000) + "\r\n" + blockLine(1, 5) + "\r\n"},
    };
    for (const auto& [what, text] : broken) {
        TempFolder folder;
        auto request = buildRequestIn(folder, {text, simpleRun("020202", 1, 2, 1)});
        ComparatorSession session;
        BuildResult result = buildRunDatabase(request, session);
        EXPECT_EQ(result.outcome, BuildResult::Outcome::SlotFailed) << what;
        EXPECT_EQ(result.failure->message(), kCouldNotOpenMessage) << what;
        EXPECT_EQ(result.slotsLoaded, 0) << what;
    }

    // Km - To of a run rising from 32760 leaves 16 bits: the failure comes after run 0's message,
    // with Km - From already filled.
    TempFolder folder;
    auto request = buildRequestIn(folder, {simpleRun("1", 32760, 2, 1), simpleRun("2", 32760, 2, 1)});
    ComparatorSession session;
    std::vector<SlotLoaded> told;
    BuildResult result = buildTelling(request, session, told);
    EXPECT_EQ(result.outcome, BuildResult::Outcome::SlotFailed);
    ASSERT_EQ(told.size(), 1u);
    EXPECT_EQ(told[0].kmFromText, "32760");
    EXPECT_FALSE(told[0].kmToText.has_value());
}

TEST(OlderRunsRule, TheTypedNumberSetsNAndTheUsableSlots) {
    using enum SlotEnabling;
    struct Case {
        const char* text;
        std::int16_t n;
        bool message;
        std::array<SlotEnabling, 3> slots; // slots 1 to 3
    };
    const std::vector<Case> cases{
        {"1", 1, false, {Enabled, Disabled, Disabled}},
        {"2", 2, false, {Enabled, Enabled, Disabled}},
        {"3", 3, false, {Enabled, Enabled, Enabled}},
        {"2.5", 2, false, {Enabled, Enabled, Disabled}}, // halves to the even neighbour
        {" 1.4 ", 1, false, {Enabled, Disabled, Disabled}},
        // Outside 1 to 3: the message, n takes the value and loads nothing, the older slots go off.
        {"5", 5, true, {Disabled, Disabled, Disabled}},
        {"-2", -2, true, {Disabled, Disabled, Disabled}},
        {"3.5", 4, true, {Disabled, Disabled, Disabled}},
        {"0.20", 0, true, {Disabled, Disabled, Disabled}},
        // No number: n is 0, the older slots go off without a message.
        {"", 0, false, {Disabled, Disabled, Disabled}},
        {"2x", 0, false, {Disabled, Disabled, Disabled}},
        // Beyond 16 bits no n can hold it, but the user is told why.
        {"40000", 0, true, {Disabled, Disabled, Disabled}},
    };
    for (const Case& c : cases) {
        OlderRunsEdit edit = olderRunsEdited(c.text);
        EXPECT_EQ(edit.olderRuns, c.n) << c.text;
        EXPECT_EQ(edit.showEnterOneToThree, c.message) << c.text;
        EXPECT_EQ(edit.runSlots, (std::array<SlotEnabling, 4>{Unchanged, c.slots[0], c.slots[1], c.slots[2]}))
            << c.text;
    }
}
