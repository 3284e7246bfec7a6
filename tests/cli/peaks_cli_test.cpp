// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Kestrana developers

// kestrana-cli peaks, run as the real program on run files written here.

#include "core/peaks_fixtures.h"

#include <filesystem>
#include <tuple>

namespace kestrana {
namespace {

using test::joinedLines;
using test::shellQuote;

// Two kilometres: UN2L peaks 18 at 350 and 7 at 12 then 3s on km 120, a first UN2L peak of 4 on
// km 121; GAUGE peaks 9 and 6 on km 120, 2 on km 121; VACC peaks of 0 on km 120 only.
const std::string kSmallRun = "95,1,120326,0815,TRC\r\n"
                              "91,0034,NR,KM,NAGPUR - WARDHA UP MAIN LINE  ,END\r\n"
                              "60,120,121,\r\n"
                              "67,6,18,350,7,12,3,300,3,400,3,500,3,600,3,700,3,800,2\r\n"
                              "67,3,9,40,6,41,1,1,1,1,1,1,1,1,1,1,1,1,1\r\n"
                              "67,12,0,100,0,200,0,300,0,400,0,500,0,600,0,700,0,800,0\r\n"
                              "60,121,122,\r\n"
                              "67,6,4,10,40,20,40,30,40,40,40,50,40,60,40,70,40,80,7\r\n"
                              "67,3,2,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,0\r\n";

class PeaksCli : public ::testing::Test {
protected:
    void SetUp() override { test::writeFile(folder.file("run.txt"), kSmallRun); }
    test::CommandResult cli(const std::string& run, const std::string& options) {
        std::filesystem::create_directories(folder.file("tmp"));
        return test::runCommand(
            "TMPDIR=" + shellQuote(folder.file("tmp")) + " KESTRANA_HOME=" + shellQuote(folder.file("home")) +
            " " + shellQuote(KESTRANA_CLI_PATH) + " peaks " + shellQuote(folder.file(run)) + " " + options);
    }
    test::CommandResult peaks(const std::string& options) { return cli("run.txt", options); }
    test::TempFolder folder;
};

TEST_F(PeaksCli, PrintsTheSummaryAndTheListedRowsAsPrinted) {
    const std::string blanks = std::string(6 * 6 + 7, ' '); // pairs 2 to 8 empty
    std::string vaccRow = "0120  0121";
    for (int m = 1; m <= 8; ++m) {
        vaccRow += "    0" + std::to_string(m) + "00" + (m == 8 ? "   " : "  ") + "00";
    }
    const std::vector<std::pair<std::string, std::vector<std::string>>> cases{
        {"--from 120 --to 122 --limit 5",
         {" Number of Kms having UN2L peaks more than 5 mm = 1 ( 50.00% )",
          " Total number of UN2L peaks more than 5 mm = 2",
          "0120  0121    0350  18    0012  07" + blanks.substr(6)}},
        // UN2L and its limit by default, the ends in either order.
        {"--from 122 --to 120",
         {" Number of Kms having UN2L peaks more than 15 mm = 1 ( 50.00% )",
          " Total number of UN2L peaks more than 15 mm = 1", "0120  0121    0350  18" + blanks}},
        // A parameter brings its own limit.
        {"--from 120 --to 122 --param GAUGE",
         {" Number of Kms having GAUGE peaks more than 6 mm = 1 ( 50.00% )",
          " Total number of GAUGE peaks more than 6 mm = 1", "0120  0121    0040  09" + blanks}},
        // A value beginning with a minus sign in the --name=VALUE form.
        {"--from=120 --to=122 --param VACC --limit=-1",
         {" Number of Kms having VACC peaks more than -1 mm = 1 ( 50.00% )",
          " Total number of VACC peaks more than -1 mm = 8", vaccRow}},
    };
    for (const auto& [options, lines] : cases) {
        const auto result = peaks(options);
        EXPECT_EQ(result.status, 0) << options << ": " << result.err;
        EXPECT_EQ(result.out, joinedLines(lines)) << options;
        EXPECT_EQ(result.err, "");
    }
}

TEST_F(PeaksCli, RefusalsExitWithTheScreensMessageFirstAndLeaveNothingBehind) {
    test::writeFile(folder.file("bad.run"), "60,120,121,\r\n67,6,18,99999,0\r\n");
    // Runs without a peak record: block lines only, and nothing at all.
    test::writeFile(folder.file("blocks.run"), "95,1,120326,0815,TRC\r\n60,120,121,\r\n68,1,40,2,3\r\n");
    test::writeFile(folder.file("empty.run"), "");
    const std::vector<std::tuple<std::string, std::string, std::string>> cases{
        {"run.txt", "--from 100 --to 151", std::string(peaks::kRangeTooWideMessage)},
        {"run.txt", "--from 120 --to 122 --param FOO", std::string(peaks::kUnknownParameterMessage)},
        {"run.txt", "--from 120 --to 120", std::string(peaks::kEmptyRangeMessage)},
        {"run.txt", "--from 120 --to 122 --limit abc", std::string(peaks::kBadLimitMessage)},
        {"missing.run", "--from 120 --to 122", std::string(peaks::kRunFileFailedMessage)},
        {"bad.run", "--from 120 --to 122", std::string(peaks::kBadNumberMessage)},
        {"blocks.run", "--from 120 --to 122", peaks::noPeakRecordsMessage(folder.file("blocks.run"))},
        {"empty.run", "--from 120 --to 122", peaks::noPeakRecordsMessage(folder.file("empty.run"))},
    };
    for (const auto& [run, options, message] : cases) {
        const auto result = cli(run, options);
        EXPECT_EQ(result.status, 1) << options;
        EXPECT_EQ(result.out, "");
        EXPECT_EQ(test::firstLineOfErrors(result), message);
    }
    EXPECT_NE(cli("missing.run", "--from 120 --to 122").err.find("missing.run"), std::string::npos);
    // The private work folder is gone and the home folder was never touched.
    EXPECT_TRUE(std::filesystem::is_empty(folder.file("tmp")));
    EXPECT_FALSE(std::filesystem::exists(folder.file("home")));

    auto result = peaks("--from 120");
    EXPECT_EQ(result.status, 2);
    EXPECT_EQ(result.out, "");
    EXPECT_NE(result.err.find("usage: kestrana-cli peaks RUN --from KM --to KM"), std::string::npos);
    EXPECT_EQ(peaks("--to 120 --depth 3").status, 2);
}

} // namespace
} // namespace kestrana
