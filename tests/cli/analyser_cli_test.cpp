// kestrana-cli quality, list, share and block, run as the real binary on run files written here.

#include "analyser/listing.h"
#include "analyser/messages.h"
#include "analyser/processing.h"
#include "run_generator.h"
#include "runfile/block_table.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

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

class AnalyserCli : public ::testing::Test {
protected:
    void SetUp() override {
        runPath_ = folder_.file("run.txt");
        writeFile(runPath_, tenBlockRun());
    }

    CommandResult cli(const std::string& command, const std::string& options = "") const {
        return runCommand(shellQuote(KESTRANA_CLI_PATH) + " " + command + " " + shellQuote(runPath_) + " " +
                          options);
    }

    static std::string firstErrorLine(const CommandResult& result) {
        return result.err.substr(0, result.err.find('\n'));
    }

    static std::string joined(const std::vector<std::string>& lines) {
        std::string text;
        for (const auto& line : lines) {
            text += line + "\n";
        }
        return text;
    }

    TempFolder folder_;
    std::string runPath_;
};

const std::string kRow120_3 =
    "  0120    0121       3           020         020       020       020       020";
const std::string kRow120_4 =
    "  0120    0121       4           020         020       020       020       020";
const std::string kRow120_5 =
    "  0120    0121       5           020         020       020       020       020";
const std::string kHeader = " Kmfr   Kmto   BLK    TGI     TGIU  TGIW  TGIG  TGIL";

TEST_F(AnalyserCli, QualityPrintsTheSixCaptionsOverTheWholeRun) {
    const auto result = cli("quality");
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.out,
              joined({"TGI  < 36      =  30.00 %", "TGI  36 - 50  =  30.00 %", "TGI  51 - 80  =  0.00 %",
                      "TGI  > 80     =  20.00 %", "Non Recorded Track = 20.00 %", "Average TGI =  45.00"}));
    EXPECT_EQ(result.err, "");
}

TEST_F(AnalyserCli, QualityTakesTheRangeAsTypedInEitherOrder) {
    const auto first = cli("quality", "--from 121.5 --to=119.5"); // rounds to 122 and 120
    EXPECT_EQ(first.status, 0) << first.err;
    EXPECT_EQ(cli("quality").out, first.out);

    const auto firstKm = cli("quality", "--from 121 --to 120");
    EXPECT_EQ(firstKm.out,
              joined({"TGI  < 36      =  60.00 %", "TGI  36 - 50  =  0.00 %", "TGI  51 - 80  =  0.00 %",
                      "TGI  > 80     =  0.00 %", "Non Recorded Track = 40.00 %", "Average TGI =  20.00"}));
}

TEST_F(AnalyserCli, QualityRefusalsExitOneWithTheScreenMessage) {
    for (const std::string options : {"--from abc", "--to 40000", "--from=-32769", "--to ''"}) {
        const auto result = cli("quality", options);
        EXPECT_EQ(result.status, 1) << options;
        EXPECT_EQ(firstErrorLine(result), analyser::kRangeRefusedMessage) << options;
        EXPECT_EQ(result.out, "");
    }
    const auto empty = cli("quality", "--from 121 --to 121");
    EXPECT_EQ(empty.status, 1);
    EXPECT_EQ(firstErrorLine(empty), analyser::kNoBlockInRangeMessage);
}

TEST_F(AnalyserCli, EveryCommandReportsAFailedProcessingStep) {
    writeFile(runPath_, "95,1,120326\r\n60,1,2,\r\n"); // no block line
    for (const std::string command : {"quality", "list", "share", "block --km 1 --block 1"}) {
        const auto result = cli(command);
        EXPECT_EQ(result.status, 1) << command;
        EXPECT_EQ(firstErrorLine(result), analyser::kProcessFailedMessage) << command;
        EXPECT_GT(result.err.size(), analyser::kProcessFailedMessage.size() + 1) << "a reason follows";
    }
    const auto missing =
        runCommand(shellQuote(KESTRANA_CLI_PATH) + " list " + shellQuote(folder_.file("none.run")));
    EXPECT_EQ(missing.status, 1);
    EXPECT_EQ(firstErrorLine(missing), analyser::kProcessFailedMessage);
}

TEST_F(AnalyserCli, ListPrintsTheHeaderAndTheRowsWithoutSeparators) {
    const auto result = cli("list");
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.out, joined({kHeader, kRow120_3, kRow120_4, kRow120_5}));

    const auto byIndex = cli("list", "--index TGIW --low 35.5 --high 50 --from 122 --to 121");
    EXPECT_EQ(byIndex.status, 0) << byIndex.err;
    EXPECT_EQ(
        byIndex.out,
        joined({kHeader, "  0121    0122       1           040         040       040       040       040",
                "  0121    0122       2           040         040       040       040       040",
                "  0121    0122       3           040         040       040       040       040"}));

    EXPECT_EQ(cli("list", "--low 200 --high 300").out, joined({kHeader}));
}

TEST_F(AnalyserCli, ListRefusesBadBoundsAndUnknownIndices) {
    const auto index = cli("list", "--index tgi");
    EXPECT_EQ(index.status, 1);
    EXPECT_EQ(firstErrorLine(index), analyser::kIndexRefusedMessage);
    for (const std::string options : {"--low x", "--high 32767", "--low=-32768"}) {
        const auto bounds = cli("list", options);
        EXPECT_EQ(bounds.status, 1) << options;
        EXPECT_EQ(firstErrorLine(bounds), analyser::kListingBoundsRefusedMessage) << options;
    }
}

TEST_F(AnalyserCli, ListSaveWritesTheScreensReportToTheNameGiven) {
    const std::string path = folder_.file("details");
    writeFile(path, "old content that must go entirely\r\n");
    const auto result = cli("list", "--from 122 --to 120 --save " + shellQuote(path));
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.out, "");
    EXPECT_FALSE(fileExists(path + ".txt"));
    EXPECT_EQ(readFile(path), "WARDHA UP MAIN LINE Run Date : 120326\r\n"
                              " km   122 120 \r\n"
                              "  TGI between 1 and 35\r\n"
                              "\r\n" +
                                  kHeader + "\r\n" + kRow120_3 + "\r\n" + kRow120_4 + "\r\n" + kRow120_5 +
                                  "\r\n");

    const std::string unwritable = folder_.file("no/such/folder/details.txt");
    const auto failed = cli("list", "--save " + shellQuote(unwritable));
    EXPECT_EQ(failed.status, 1);
    EXPECT_EQ(firstErrorLine(failed), analyser::kReportNotSavedMessage);
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

    const auto refused = cli("share", "--high abc");
    EXPECT_EQ(refused.status, 1);
    EXPECT_EQ(firstErrorLine(refused), analyser::kShareBoundsRefusedMessage);
}

TEST_F(AnalyserCli, BlockShowsTheRawValuesOfTheBlock) {
    const std::string header =
        "  U2L     U2R     A2L     A2R       G       TW1     TW2     RIV       RIL        SPD      "
        "U1L     U1R     A1L     A1R";
    const auto result = cli("block", "--km 120 --block 3");
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.out,
              joined({header, "  12.3       6.8       4.4       4.9       -4.5       2.1       2.6       1.15"
                              "       1.87       095       4.5       3.8       6.3       5.9"}));
    EXPECT_EQ(cli("block", "--km 121 --block 9").out, joined({header}));
    EXPECT_EQ(cli("block", "--km 120").status, 2);
    EXPECT_EQ(cli("block", "--km x --block 1").status, 2);
}

// A run of the generator, read back through the block table to compare with the rows printed.
TEST(AnalyserCliGenerated, ListOverEveryBlockOfALongFallingRunMatchesItsRows) {
    TempFolder folder;
    bench::RunSpec spec;
    spec.startKm = 900;
    spec.kmCount = 300;
    spec.direction = -1;
    spec.missingBlocks = {{850, 2}, {700, 5}};
    const bench::GeneratedRun run = bench::generateRunWithValues(spec);
    const std::string path = folder.file("falling.run");
    writeFile(path, run.text);

    const auto result = runCommand(shellQuote(KESTRANA_CLI_PATH) + " list " + shellQuote(path) +
                                   " --low=-32767 --high 32766 --from 600 --to 900");
    ASSERT_EQ(result.status, 0) << result.err;
    std::vector<std::string> lines;
    std::istringstream out(result.out);
    for (std::string line; std::getline(out, line);) {
        lines.push_back(line);
    }
    ASSERT_EQ(lines.size(), run.blocks.size() + 1);
    EXPECT_EQ(lines[0], kHeader);
    for (std::size_t i = 0; i < run.blocks.size(); ++i) {
        runfile::BlockResult row;
        for (std::size_t f = 0; f < 26; ++f) {
            row.fields[f] = static_cast<std::int16_t>(run.blocks[i][f]);
        }
        ASSERT_EQ(lines[i + 1], analyser::listingRow(row)) << "block " << i;
    }

    // A narrower range leaves the straddling blocks out: km 700 to 650 holds 50 kilometres, one of
    // whose blocks is missing from the run.
    const auto narrow = runCommand(shellQuote(KESTRANA_CLI_PATH) + " list " + shellQuote(path) +
                                   " --low=-32767 --high 32766 --from 650 --to 700");
    EXPECT_EQ(std::count(narrow.out.begin(), narrow.out.end(), '\n'), 1 + 50 * 5 - 1);
}

} // namespace
} // namespace kestrana::test
