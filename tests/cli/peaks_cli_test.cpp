// kestrana-cli peaks, run as the real program on run files written here and on generated runs.

#include "peaks/texts.h"
#include "run_generator.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace kestrana {
namespace {

using test::shellQuote;
using test::TempFolder;

test::CommandResult cli(const TempFolder& folder, const std::string& arguments) {
    std::filesystem::create_directories(folder.file("tmp"));
    return test::runCommand("TMPDIR=" + shellQuote(folder.file("tmp")) +
                            " KESTRANA_HOME=" + shellQuote(folder.file("home")) + " " +
                            shellQuote(KESTRANA_CLI_PATH) + " peaks " + arguments);
}

std::string firstLine(const std::string& text) {
    return text.substr(0, text.find('\n'));
}

std::string joined(const std::vector<std::string>& lines) {
    std::string text;
    for (const auto& line : lines) {
        text += line + "\n";
    }
    return text;
}

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
    test::CommandResult peaks(const std::string& options) {
        return cli(folder, shellQuote(folder.file("run.txt")) + " " + options);
    }
    TempFolder folder;
};

TEST_F(PeaksCli, PrintsTheSummaryAndTheListedRowsAsPrinted) {
    const auto result = peaks("--from 120 --to 122 --limit 5");
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.out, joined({" Number of Kms having UN2L peaks more than 5 mm = 1 ( 50.00% )",
                                  " Total number of UN2L peaks more than 5 mm = 2",
                                  "0120  0121    0350  18    0012  07" + std::string(5 * 6 + 7, ' ')}));
    EXPECT_EQ(result.err, "");
}

TEST_F(PeaksCli, DefaultsToUn2lWithItsLimitAndTheParameterSetsItsOwnLimit) {
    auto result = peaks("--from 122 --to 120");
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.out, joined({" Number of Kms having UN2L peaks more than 15 mm = 1 ( 50.00% )",
                                  " Total number of UN2L peaks more than 15 mm = 1",
                                  "0120  0121    0350  18" + std::string(6 * 6 + 7, ' ')}));

    result = peaks("--from 120 --to 122 --param GAUGE");
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.out, joined({" Number of Kms having GAUGE peaks more than 6 mm = 1 ( 50.00% )",
                                  " Total number of GAUGE peaks more than 6 mm = 1",
                                  "0120  0121    0040  09" + std::string(6 * 6 + 7, ' ')}));
}

TEST_F(PeaksCli, LimitValuesBeginningWithAMinusSignUseTheEqualsForm) {
    const auto result = peaks("--from=120 --to=122 --param VACC --limit=-1");
    EXPECT_EQ(result.status, 0) << result.err;
    std::string row = "0120  0121";
    for (int m = 1; m <= 8; ++m) {
        row += "    0" + std::to_string(m) + "00" + (m == 8 ? "   " : "  ") + "00";
    }
    EXPECT_EQ(result.out, joined({" Number of Kms having VACC peaks more than -1 mm = 1 ( 50.00% )",
                                  " Total number of VACC peaks more than -1 mm = 8", row}));
}

TEST_F(PeaksCli, RefusalsExitWithTheScreensMessageFirst) {
    auto result = peaks("--from 100 --to 151");
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(firstLine(result.err), peaks::kRangeTooWideMessage);

    result = peaks("--from 120 --to 122 --param FOO");
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(firstLine(result.err), peaks::kUnknownParameterMessage);

    result = peaks("--from 120 --to 120");
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(firstLine(result.err), peaks::kEmptyRangeMessage);

    result = peaks("--from 120 --to 122 --limit abc");
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(firstLine(result.err), peaks::kBadLimitMessage);

    result = cli(folder, shellQuote(folder.file("missing.run")) + " --from 120 --to 122");
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(firstLine(result.err), peaks::kRunFileFailedMessage);
    EXPECT_NE(result.err.find("missing.run"), std::string::npos);

    test::writeFile(folder.file("bad.run"), "60,120,121,\r\n67,6,18,99999,0\r\n");
    result = cli(folder, shellQuote(folder.file("bad.run")) + " --from 120 --to 122");
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(firstLine(result.err), peaks::kBadNumberMessage);
    EXPECT_EQ(result.out, "");
    // The private work folder is gone and the home folder was never touched.
    EXPECT_TRUE(std::filesystem::is_empty(folder.file("tmp")));
    EXPECT_FALSE(std::filesystem::exists(folder.file("home")));
}

TEST_F(PeaksCli, MissingRangeIsAUsageError) {
    auto result = peaks("--from 120");
    EXPECT_EQ(result.status, 2);
    EXPECT_EQ(result.out, "");
    EXPECT_NE(result.err.find("usage: kestrana-cli peaks RUN --from KM --to KM"), std::string::npos);
    result = peaks("--to 120 --depth 3");
    EXPECT_EQ(result.status, 2);
}

// What SHOW DETAILS must list for a generated run, worked out from the run's lines directly: the
// first peak line of the parameter for each kilometre, walked in the run's direction.
std::string expectedOutput(const std::string& run, const std::string& name, int code, int limit, int lo,
                           int hi) {
    std::map<int, std::pair<int, std::vector<int>>> kms; // km from -> (km to, numbers of the peak line)
    int kmFrom = 0, kmTo = 0, direction = 0;
    std::istringstream lines(run);
    for (std::string line; std::getline(lines, line);) {
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        if (line.rfind("60", 0) != 0 && line.rfind("67", 0) != 0) {
            continue;
        }
        std::vector<int> numbers;
        std::istringstream fields(line);
        for (std::string field; std::getline(fields, field, ',');) {
            if (!field.empty()) {
                numbers.push_back(std::stoi(field));
            }
        }
        if (line.rfind("60", 0) == 0) {
            kmFrom = numbers[1];
            kmTo = numbers[2];
            direction = direction == 0 ? kmTo - kmFrom : direction;
        } else if (line.rfind("67", 0) == 0 && numbers[1] == code && kms.count(kmFrom) == 0) {
            kms[kmFrom] = {kmTo, numbers};
        }
    }
    int kmCount = 0, peakCount = 0;
    std::vector<std::string> rows;
    for (int i = 0; i < hi - lo; ++i) {
        const int km = direction > 0 ? lo + i : hi - i;
        const auto found = kms.find(km);
        if (found == kms.end() || found->second.second[2] <= limit) {
            continue;
        }
        ++kmCount;
        char text[16];
        std::snprintf(text, sizeof text, "%04d  %04d", km, found->second.first);
        std::string row = text;
        for (int m = 1; m <= 8; ++m) {
            const int value = found->second.second[static_cast<std::size_t>(2 * m)];
            const int location = found->second.second[static_cast<std::size_t>(2 * m + 1)];
            const bool above = value > limit;
            peakCount += above ? 1 : 0;
            std::snprintf(text, sizeof text, "%04d", location);
            row += "    " + (above ? std::string(text) : "") + (m == 8 ? "   " : "  ");
            std::snprintf(text, sizeof text, "%02d", value);
            row += above ? std::string(text) : "";
        }
        rows.push_back(row);
    }
    char share[16];
    std::snprintf(share, sizeof share, "%05.2f", kmCount * 100.0 / (hi - lo));
    const std::string limitText = std::to_string(limit);
    std::vector<std::string> all{" Number of Kms having " + name + " peaks more than " + limitText +
                                     " mm = " + std::to_string(kmCount) + " ( " + share + "% )",
                                 " Total number of " + name + " peaks more than " + limitText +
                                     " mm = " + std::to_string(peakCount)};
    all.insert(all.end(), rows.begin(), rows.end());
    return joined(all);
}

TEST(PeaksCliGenerated, RisingAndFallingRunsListWhatTheirPeakLinesHold) {
    TempFolder folder;
    bench::RunSpec rising;
    rising.kmCount = 80;
    rising.seed = 7;
    rising.wear = 20;
    const std::string risingRun = bench::generateRun(rising);
    test::writeFile(folder.file("rising.run"), risingRun);
    auto result = cli(folder, shellQuote(folder.file("rising.run")) + " --from 180 --to 130");
    EXPECT_EQ(result.status, 0) << result.err;
    const std::string expected = expectedOutput(risingRun, "UN2L", 6, 15, 130, 180);
    EXPECT_EQ(result.out, expected);
    EXPECT_GT(std::count(expected.begin(), expected.end(), '\n'), 5) << "the run should list some kilometres";

    bench::RunSpec falling;
    falling.startKm = 300;
    falling.direction = -1;
    falling.kmCount = 40;
    falling.seed = 11;
    falling.wear = 30;
    const std::string fallingRun = bench::generateRun(falling);
    test::writeFile(folder.file("falling.run"), fallingRun);
    result =
        cli(folder, shellQuote(folder.file("falling.run")) + " --from 270 --to 299 --param AL2R --limit 9");
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.out, expectedOutput(fallingRun, "AL2R", 9, 9, 270, 299));
}

} // namespace
} // namespace kestrana
