// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Kestrana developers

// kestrana-cli compare, run as a real program: the saved report on standard output and in a file,
// the chart's table, refusals with the screen's messages and exit statuses.

#include "core/comparator_test_runs.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>

namespace kestrana {
namespace {

using test::blockLine;
using test::headerLines;
using test::kmLine;
using test::readFile;
using test::shellQuote;
using test::simpleRun;
using test::TempFolder;
using test::writeFile;

std::string blanks(std::size_t n) {
    return std::string(n, ' ');
}

class CompareCli : public ::testing::Test {
protected:
    // Writes a run file into the test's folder and returns its quoted path.
    std::string run(const std::string& name, const std::string& text) {
        writeFile(folder.file(name), text);
        return shellQuote(folder.file(name));
    }
    test::CommandResult cli(const std::string& arguments) {
        std::filesystem::create_directories(folder.file("tmp"));
        return test::runCommand("TMPDIR=" + shellQuote(folder.file("tmp")) +
                                " KESTRANA_HOME=" + shellQuote(folder.file("home")) + " " +
                                shellQuote(KESTRANA_CLI_PATH) + " compare " + arguments);
    }
    TempFolder folder;
};

TEST_F(CompareCli, PrintsTheSavedReportWithLineFeeds) {
    const std::string runs =
        run("a.run", simpleRun("120326", 10, 3, 1)) + " " + run("b.run", simpleRun("011225", 10, 3, 1, 500));
    auto result = cli(runs + " --from 10 --to 12");
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.err, "");
    // Five zone items of 14 characters on every line after the section; km 10 and 11, blocks 1 to 5.
    std::string expected = "NAGPUR - WARDHA UP\n"
                           "From  -  To       Blk" +
                           blanks(7) + "120326" + blanks(8) + "011225" + blanks(8) + blanks(14) + "\n";
    for (int km = 10; km <= 11; ++km) {
        for (int block = 1; block <= 5; ++block) {
            const std::string label = "00" + std::to_string(km) + "    -   00" + std::to_string(km + 1) +
                                      "        " + std::to_string(block);
            const std::string current = std::to_string((km - 10) * 10 + block);
            const std::string older = std::to_string(500 + (km - 10) * 10 + block);
            expected += label + blanks(28 - label.size()) + current + blanks(14 - current.size()) + older +
                        blanks(14 - older.size()) + blanks(14) + "\n";
        }
    }
    EXPECT_EQ(result.out, expected);
    // Nothing of the call is left behind.
    EXPECT_TRUE(std::filesystem::is_empty(folder.file("tmp")));
    EXPECT_FALSE(std::filesystem::exists(folder.file("home")));

    // --save writes the screen's file instead: the same lines with carriage returns, FILE as given.
    const std::string target = folder.file("report");
    result = cli(runs + " --from 10 --to 12 --save " + shellQuote(target));
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.out, "");
    std::string withReturns;
    for (char c : expected) {
        withReturns += c == '\n' ? std::string("\r\n") : std::string(1, c);
    }
    EXPECT_EQ(readFile(target), withReturns);
    EXPECT_FALSE(std::filesystem::exists(target + ".txt"));
}

TEST_F(CompareCli, ChartPrintsTheKmAveragesAsCsvLeavingOutBlocksThatWereNotRecorded) {
    // km 5: TGI 40, 42, 43 in the current run (mean 125 / 3), 10 and 20 in the older run; block 3
    // of the older run is missing, so km 5 averages blocks 1 and 2 only in both runs.
    const std::string current = headerLines("12,03x") + kmLine(5, 6) + "\r\n" + blockLine(1, 40) + "\r\n" +
                                blockLine(2, 42) + "\r\n" + blockLine(3, 43) + "\r\n" + kmLine(6, 7) +
                                "\r\n" + blockLine(1, 40) + "\r\n" + blockLine(2, 42) + "\r\n" +
                                blockLine(3, 43) + "\r\n";
    const std::string older = headerLines("011225") + kmLine(5, 6) + "\r\n" + blockLine(1, 10) + "\r\n" +
                              blockLine(2, 20) + "\r\n" + kmLine(6, 7) + "\r\n" + blockLine(1, 10) + "\r\n" +
                              blockLine(2, 20) + "\r\n" + blockLine(3, 31) + "\r\n";
    const std::string runs = run("a.run", current) + " " + run("b.run", older);
    auto result = cli(runs + " --chart --from=7 --to=5");
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.out, "km,\"12,03x\",011225\n"
                          "5,41,15\n"
                          "6,41.666666666666664,20.333333333333332\n");
    // The chart's means leave each run's unrecorded (0) blocks out: km 130 of the second sample run reads
    // 82, not recorded, 77, 76, 83, whose recorded blocks average 79.5. A run that recorded no block of a
    // km has an empty field there.
    const std::string samples = std::string(KESTRANA_SAMPLES_DIR);
    result = cli(shellQuote(samples + "/trcdata0.run") + " " + shellQuote(samples + "/trcdata1.run") +
                 " --chart --from 130 --to 130");
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.out, "km,150324,140921\n130,65.8,79.5\n");

    const std::string halfRecorded =
        headerLines("010101") + kmLine(5, 6) + "\r\n" + blockLine(1, 40) + "\r\n" + blockLine(2, 0) + "\r\n";
    const std::string unrecorded =
        headerLines("020202") + kmLine(5, 6) + "\r\n" + blockLine(1, 0) + "\r\n" + blockLine(2, 0) + "\r\n";
    result = cli(run("a.run", halfRecorded) + " " + run("b.run", unrecorded) + " --chart --from 5 --to 6");
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.out, "km,010101,020202\n5,40,\n");
}

TEST_F(CompareCli, RefusalsExitWithTheScreensMessageFirstAndWriteNothing) {
    const std::string rising = run("a.run", simpleRun("1", 10, 3, 1));
    const std::string falling = run("b.run", simpleRun("2", 12, 3, -1));
    const std::string kept = folder.file("kept.txt");
    writeFile(kept, "earlier report\r\n");
    const std::vector<std::pair<std::string, std::string>> refusals{
        {rising + " " + rising + " --from 10 --to 111", "Range too wide. Please select range within 100 kms"},
        {rising + " " + falling, "Can not compare as both recordings not in same direction"},
        {rising + " " + shellQuote(folder.file("missing.run")),
         "Could not open file. Please type file name correctly."},
        {rising + " " + rising + " --param tgi",
         "Please choose the compare parameter from the list: TGI, TGIU, TGIW, TGIG or TGIL"},
        {rising + " " + rising + " --from ten",
         "Please type Km - From and Km - To as numbers between -32768 and 32767"},
    };
    for (const auto& [arguments, message] : refusals) {
        auto result = cli(arguments + " --save " + shellQuote(kept));
        EXPECT_EQ(result.status, 1) << arguments;
        EXPECT_EQ(test::firstLineOfErrors(result), message);
        EXPECT_EQ(result.out, "");
        EXPECT_EQ(readFile(kept), "earlier report\r\n");
    }
    EXPECT_NE(cli(rising + " " + shellQuote(folder.file("missing.run"))).err.find("missing.run"),
              std::string::npos);

    // Usage errors: --chart with --save, and no older run.
    EXPECT_EQ(cli(rising + " " + rising + " --chart --save " + shellQuote(folder.file("x"))).status, 2);
    EXPECT_FALSE(std::filesystem::exists(folder.file("x")));
    EXPECT_EQ(cli(rising).status, 2);
}

} // namespace
} // namespace kestrana
