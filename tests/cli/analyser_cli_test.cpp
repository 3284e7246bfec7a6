// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Kestrana developers

// kestrana-cli quality, list, share and block, run as the real binary on run files written here.

#include "core/analyser/messages.h"
#include "core/analyser/processing.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

namespace kestrana::test {
namespace {

// Ten blocks over km 120 to 122 with TGIs 0, 0, 20, 20, 20 and 40, 40, 40, 90, 90: the shares of the
// documented ten-block example. The sub-indices equal the TGI; block 3 of km 120 carries distinct
// channel values for the raw-data view.
std::string tenBlockRun() {
    const int tgis[10] = {0, 0, 20, 20, 20, 40, 40, 40, 90, 90};
    std::string text = "95,1,120326,0815,TRC\r\n91,0034,NR,KM,NAGPUR - WARDHA UP MAIN LINE  ,END\r\n";
    for (int km = 0; km < 2; ++km) {
        text += "60," + std::to_string(120 + km) + "," + std::to_string(121 + km) + ",\r\n";
        for (int block = 1; block <= 5; ++block) {
            const std::string tgi = std::to_string(tgis[km * 5 + block - 1]);
            const std::string channels = km == 0 && block == 3 ? "45,38,21,-45,63,59,123,68,44,49,26"
                                                               : "10,10,10,10,10,10,10,10,10,10,10";
            text += "68," + std::to_string(block) + "," + channels + "," + tgi + ",95,0,115,187," + tgi +
                    "," + tgi + "," + tgi + "," + tgi + ",0\r\n";
        }
    }
    return text;
}

CommandResult cli(const std::string& command, const std::string& run, const std::string& options = "") {
    return runCommand(shellQuote(KESTRANA_CLI_PATH) + " " + command + " " + shellQuote(run) + " " + options);
}

class AnalyserCli : public ::testing::Test {
protected:
    void SetUp() override { writeFile(runPath_, tenBlockRun()); }
    CommandResult cli(const std::string& command, const std::string& options = "") const {
        return test::cli(command, runPath_, options);
    }
    // Exit status 1 with this message first on standard error, and nothing on standard output.
    void expectRefused(const std::string& command, const std::string& options, std::string_view message) {
        const auto result = cli(command, options);
        EXPECT_EQ(result.status, 1) << command << " " << options;
        EXPECT_EQ(firstLineOfErrors(result), message) << command << " " << options;
        EXPECT_EQ(result.out, "") << command << " " << options;
    }

    TempFolder folder_;
    std::string runPath_ = folder_.file("run with spaces.txt");
};

const std::string kHeader = " Kmfr   Kmto   BLK    TGI     TGIU  TGIW  TGIG  TGIL";
std::string row(int km, int block, const char* tgi) {
    return "  0" + std::to_string(km) + "    0" + std::to_string(km + 1) + "       " + std::to_string(block) +
           "           " + tgi + "         " + tgi + "       " + tgi + "       " + tgi + "       " + tgi;
}

TEST_F(AnalyserCli, QualityPrintsTheSixCaptionsOverTheRangeTypedInEitherOrder) {
    const auto result = cli("quality");
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.err, "");
    EXPECT_EQ(result.out, joinedLines({"TGI  < 36      =  30.00 %", "TGI  36 - 50  =  30.00 %",
                                       "TGI  51 - 80  =  0.00 %", "TGI  > 80     =  20.00 %",
                                       "Non Recorded Track = 20.00 %", "Average TGI =  45.00"}));
    EXPECT_EQ(cli("quality", "--from 121.5 --to=119.5").out, result.out); // rounds to 122 and 120
    EXPECT_EQ(
        cli("quality", "--from 121 --to 120").out,
        joinedLines({"TGI  < 36      =  60.00 %", "TGI  36 - 50  =  0.00 %", "TGI  51 - 80  =  0.00 %",
                     "TGI  > 80     =  0.00 %", "Non Recorded Track = 40.00 %", "Average TGI =  20.00"}));
}

TEST_F(AnalyserCli, RefusalsAndFailedProcessingExitOneWithTheScreensMessage) {
    for (const std::string options : {"--from abc", "--to 40000", "--from=-32769", "--to ''"}) {
        expectRefused("quality", options, analyser::kRangeRefusedMessage);
    }
    expectRefused("quality", "--from 121 --to 121", analyser::kNoBlockInRangeMessage);
    expectRefused("share", "--from 121 --to 121", analyser::kNoBlockInRangeMessage);
    expectRefused("list", "--index tgi", analyser::kIndexRefusedMessage);
    for (const std::string options : {"--low x", "--high 32767", "--low=-32768"}) {
        expectRefused("list", options, analyser::kListingBoundsRefusedMessage);
    }
    expectRefused("share", "--high abc", analyser::kShareBoundsRefusedMessage);
    // A failed processing step is reported by every command, with its reason.
    writeFile(runPath_, "95,1,120326\r\n60,1,2,\r\n"); // no block line
    for (const std::string command : {"quality", "list", "share", "block --km 1 --block 1"}) {
        const auto result = cli(command);
        EXPECT_EQ(result.status, 1) << command;
        EXPECT_EQ(firstLineOfErrors(result), analyser::kProcessFailedMessage) << command;
        EXPECT_GT(result.err.size(), analyser::kProcessFailedMessage.size() + 1) << "a reason follows";
    }
    for (const std::string& path : {folder_.file("none.run"), folder_.path()}) {
        EXPECT_EQ(firstLineOfErrors(test::cli("list", path)), analyser::kProcessFailedMessage) << path;
    }
}

TEST_F(AnalyserCli, ListPrintsTheHeaderAndTheRowsAndSaveWritesTheScreensReportToTheNameGiven) {
    const auto listed = cli("list");
    EXPECT_EQ(listed.status, 0) << listed.err;
    EXPECT_EQ(listed.out, joinedLines({kHeader, row(120, 3, "020"), row(120, 4, "020"), row(120, 5, "020")}));
    EXPECT_EQ(cli("list", "--index TGIW --low 35.5 --high 50 --from 122 --to 121").out,
              joinedLines({kHeader, row(121, 1, "040"), row(121, 2, "040"), row(121, 3, "040")}));
    EXPECT_EQ(cli("list", "--low 200 --high 300").out, joinedLines({kHeader}));
    // --save writes the screen's report to the name given.
    const std::string path = folder_.file("details");
    writeFile(path, "old content that must go entirely\r\n");
    const auto result = cli("list", "--from 122 --to 120 --save " + shellQuote(path));
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.out, "");
    EXPECT_FALSE(fileExists(path + ".txt"));
    EXPECT_EQ(readFile(path), "WARDHA UP MAIN LINE Run Date : 120326\r\n km   122 120 \r\n"
                              "  TGI between 1 and 35\r\n\r\n" +
                                  kHeader + "\r\n" + row(120, 3, "020") + "\r\n" + row(120, 4, "020") +
                                  "\r\n" + row(120, 5, "020") + "\r\n");

    const std::string unwritable = folder_.file("no/such/folder/details.txt");
    expectRefused("list", "--save " + shellQuote(unwritable), analyser::kReportNotSavedMessage);
    EXPECT_FALSE(fileExists(unwritable));
    const std::string kept = folder_.file("kept.txt");
    writeFile(kept, "previous");
    EXPECT_EQ(cli("list", "--index XYZ --save " + shellQuote(kept)).status, 1);
    EXPECT_EQ(readFile(kept), "previous");
}

TEST_F(AnalyserCli, SharePrintsTheCaptionOfLabel18) {
    const auto result = cli("share");
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.out, "80.00 % of Track between  Km 120  and  122  is between TGI  1  -  100\n");
    EXPECT_EQ(cli("share", "--low 0 --high 0 --from 121 --to 120").out,
              "40.00 % of Track between  Km 120  and  121  is between TGI  0  -  0\n");
    EXPECT_EQ(cli("share", "--low=-10 --high 20").out,
              "50.00 % of Track between  Km 120  and  122  is between TGI  -10  -  20\n");
}

TEST_F(AnalyserCli, BlockShowsTheRawValuesOfTheBlock) {
    const std::string header =
        "  U2L     U2R     A2L     A2R       G       TW1     TW2     RIV       RIL      "
        "  SPD      U1L     U1R     A1L     A1R";
    const auto result = cli("block", "--km 120 --block 3");
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(
        result.out,
        joinedLines({header, "  12.3       6.8       4.4       4.9       -4.5       2.1       2.6"
                             "       1.15       1.87       095       4.5       3.8       6.3       5.9"}));
    EXPECT_EQ(cli("block", "--km 121 --block 9").out, joinedLines({header}));
    EXPECT_EQ(cli("block", "--km 120").status, 2);
    EXPECT_EQ(cli("block", "--km x --block 1").status, 2);
}

} // namespace
} // namespace kestrana::test
