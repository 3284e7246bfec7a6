// kestrana-cli process, run as a real program: the five lines, the SD output file byte for byte,
// exit statuses and messages on bad input, and no trace left behind by a failed or a plain run.

#include "run_generator.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <utility>

namespace kestrana {
namespace {

using test::readFile;
using test::shellQuote;
using test::TempFolder;
using test::writeFile;

const std::string kFailed = " Could not open file. Please type file name correctly.";

// Runs kestrana-cli with its temporary files and home folder inside `folder`, so that a test can
// see what a call leaves behind.
test::CommandResult cli(const TempFolder& folder, const std::string& arguments) {
    std::filesystem::create_directories(folder.file("tmp"));
    return test::runCommand("TMPDIR=" + shellQuote(folder.file("tmp")) +
                            " KESTRANA_HOME=" + shellQuote(folder.file("home")) + " " +
                            shellQuote(KESTRANA_CLI_PATH) + " " + arguments);
}

std::string firstLine(const std::string& text) {
    return text.substr(0, text.find('\n'));
}

std::string secondLine(const std::string& text) {
    const auto start = text.find('\n');
    if (start == std::string::npos) {
        return {};
    }
    return firstLine(text.substr(start + 1));
}

bool isEmptyFolder(const std::string& path) {
    return std::filesystem::is_directory(path) && std::filesystem::is_empty(path);
}

// A stored value in tenths or hundredths written from whole-number arithmetic alone.
std::string quotient(int stored, int divisor) {
    const int magnitude = std::abs(stored);
    std::string fraction = std::to_string(magnitude % divisor);
    fraction.insert(0, (divisor == 10 ? 1u : 2u) - fraction.size(), '0');
    while (!fraction.empty() && fraction.back() == '0') {
        fraction.pop_back();
    }
    return (stored < 0 ? "-" : "") + std::to_string(magnitude / divisor) +
           (fraction.empty() ? "" : "." + fraction);
}

// The SD output file of a generated run, built from the generator's own values: the header of 22
// quoted labels, then per block its km from, km to, block number, eleven SDs in tenths, TGI,
// speed, two ride indices in hundredths and the four sub-indices.
std::string expectedSdFile(const bench::GeneratedRun& run) {
    std::string text = "\"km \",\"km \",\"BK \",\"U1L \",\"U1R \",\"TW1 \",\"G \",\"A1L \",\"A1R \",\"U2L \","
                       "\"U2R \",\"A2L \",\"A2R \",\"TW2 \",\"TGI \",\"SPD \",\"RIV \",\"RIL \",\"TGU \","
                       "\"TGW \",\"TGG \",\"TGL \"\r\n";
    for (const auto& f : run.blocks) {
        // f[n - 1] is field n.
        std::string line = std::to_string(f[1]) + "," + std::to_string(f[2]) + "," + std::to_string(f[4]);
        for (int n = 6; n <= 16; ++n) {
            line += "," + quotient(f[static_cast<std::size_t>(n - 1)], 10);
        }
        line += "," + std::to_string(f[16]) + "," + std::to_string(f[17]);
        line += "," + quotient(f[19], 100) + "," + quotient(f[20], 100);
        for (int n = 22; n <= 25; ++n) {
            line += "," + std::to_string(f[static_cast<std::size_t>(n - 1)]);
        }
        text += line + "\r\n";
    }
    return text;
}

class ProcessCli : public ::testing::Test {
protected:
    void SetUp() override {
        spec.startKm = 120;
        spec.kmCount = 12;
        spec.seed = 9;
        spec.runNumber = '5';
        spec.date = "030424";
        spec.section = "ITARSI - BHOPAL UP LINE";
        spec.missingBlocks = {{125, 2}};
        run = bench::generateRunWithValues(spec);
        runPath = folder.file("trc run.run"); // a blank in the path must not matter
        writeFile(runPath, run.text);
    }
    TempFolder folder;
    bench::RunSpec spec;
    bench::GeneratedRun run;
    std::string runPath;
};

TEST_F(ProcessCli, PrintsTheFiveLinesAndWritesNothing) {
    const auto result = cli(folder, "process " + shellQuote(runPath));
    EXPECT_EQ(result.status, 0) << result.err;
    // The section is cut at positions 15 to 44 as it stands, trailing blanks included.
    EXPECT_EQ(result.out, "Date of Recording: 030424\n"
                          "Run Number: 5\n"
                          "Section: ITARSI - BHOPAL UP LINE       \n"
                          "Recording Starts at KM: 120\n"
                          "Recording Ends at KM: 132\n");
    EXPECT_EQ(result.err, "");
    // Scratch file and private folder removed; the home folder never touched.
    EXPECT_TRUE(isEmptyFolder(folder.file("tmp")));
    EXPECT_FALSE(std::filesystem::exists(folder.file("home")));
}

TEST_F(ProcessCli, FallingRunShowsItsRangeAsRead) {
    spec.direction = -1;
    spec.startKm = 45;
    writeFile(runPath, bench::generateRun(spec));
    const auto result = cli(folder, "process " + shellQuote(runPath));
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.out.substr(result.out.find("Recording Starts")),
              "Recording Starts at KM: 45\nRecording Ends at KM: 33\n");
}

TEST_F(ProcessCli, OutputFileIsTheSdFileByteForByte) {
    const std::string expected = expectedSdFile(run);
    const auto spaced =
        cli(folder, "process " + shellQuote(runPath) + " --output " + shellQuote(folder.file("a.txt")));
    EXPECT_EQ(spaced.status, 0) << spaced.err;
    EXPECT_EQ(readFile(folder.file("a.txt")), expected);
    const auto joined =
        cli(folder, "process --output=" + shellQuote(folder.file("b.txt")) + " " + shellQuote(runPath));
    EXPECT_EQ(joined.status, 0) << joined.err;
    EXPECT_EQ(readFile(folder.file("b.txt")), expected);
    EXPECT_EQ(joined.out, spaced.out);
    // Processing again replaces the file with the same bytes.
    writeFile(folder.file("a.txt"), "old content that is longer than nothing");
    EXPECT_EQ(cli(folder, "process " + shellQuote(runPath) + " --output " + shellQuote(folder.file("a.txt")))
                  .status,
              0);
    EXPECT_EQ(readFile(folder.file("a.txt")), expected);
    EXPECT_TRUE(isEmptyFolder(folder.file("tmp")));
}

TEST_F(ProcessCli, WorkedExampleRow) {
    writeFile(runPath, "95,1,120326\r\n60,120,121,\r\n"
                       "68,3,45,38,21,12,63,59,71,68,44,49,26,42,95,0,115,187,50,30,20,40,0\r\n"
                       "68,4,-75,5,0,0,0,0,0,0,0,0,0,-7,0,0,5,-5,0,0,0,0,0\r\n"
                       "68,5,1,2,3,4,5,6,7,8,9,10,11,0,30,0,10,100,0,0,0,0,0\r\n");
    const auto result =
        cli(folder, "process " + shellQuote(runPath) + " --output " + shellQuote(folder.file("o.txt")));
    ASSERT_EQ(result.status, 0) << result.err;
    const std::string text = readFile(folder.file("o.txt"));
    const std::string rows = text.substr(text.find("\r\n") + 2);
    EXPECT_EQ(rows, "120,121,3,4.5,3.8,2.1,1.2,6.3,5.9,7.1,6.8,4.4,4.9,2.6,42,95,1.15,1.87,50,30,20,40\r\n"
                    "120,121,4,-7.5,0.5,0,0,0,0,0,0,0,0,0,-7,0,0.05,-0.05,0,0,0,0\r\n"
                    "120,121,5,0.1,0.2,0.3,0.4,0.5,0.6,0.7,0.8,0.9,1,1.1,0,30,0.1,1,0,0,0,0\r\n");
    // No "91" line: an empty section. One kilometre, three blocks: 120 to 121.
    EXPECT_EQ(result.out, "Date of Recording: 120326\nRun Number: 1\nSection: \n"
                          "Recording Starts at KM: 120\nRecording Ends at KM: 121\n");
}

TEST_F(ProcessCli, MissingRunFileFails) {
    const auto result = cli(folder, "process " + shellQuote(folder.file("nothing.run")));
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(firstLine(result.err), kFailed);
    EXPECT_NE(secondLine(result.err).find(folder.file("nothing.run")), std::string::npos) << result.err;
    EXPECT_EQ(result.out, "");
    EXPECT_TRUE(isEmptyFolder(folder.file("tmp")));
}

TEST_F(ProcessCli, BadNumberFailsNamingItsLineAndKeepsThePreviousOutput) {
    writeFile(folder.file("o.txt"), "previous output\r\n");
    std::string text = run.text;
    // The first SD of the first fifth block becomes 40000, outside 16 bits.
    const auto fifthBlock = text.find("68,5,");
    text.replace(fifthBlock + 5, text.find(',', fifthBlock + 5) - (fifthBlock + 5), "40000");
    writeFile(runPath, text);
    const long line =
        1 + static_cast<long>(std::count(text.begin(), text.begin() + static_cast<long>(fifthBlock), '\n'));

    const auto result =
        cli(folder, "process " + shellQuote(runPath) + " --output " + shellQuote(folder.file("o.txt")));
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(firstLine(result.err), kFailed);
    EXPECT_NE(secondLine(result.err).find("line " + std::to_string(line)), std::string::npos) << result.err;
    EXPECT_NE(secondLine(result.err).find("40000"), std::string::npos) << result.err;
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(readFile(folder.file("o.txt")), "previous output\r\n");
    EXPECT_TRUE(isEmptyFolder(folder.file("tmp")));
    // Nothing beside the output file either: no half-written temporary file.
    int files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(folder.path())) {
        files += entry.is_regular_file() ? 1 : 0;
    }
    EXPECT_EQ(files, 2); // the run and the untouched output
}

TEST_F(ProcessCli, RunsThatCannotBeProcessedFail) {
    const std::pair<const char*, std::string> cases[] = {
        {"no block line", "95,1,120326\r\n60,120,121,\r\n67,6,18,350\r\n"},
        {"short last pair", "60,120,121,\r\n68,1,2,3\r\n"},
        {"not a number",
         "60,120,121,\r\n68,1,45,38,x,12,63,59,71,68,44,49,26,42,95,0,115,187,50,30,20,40,0\r\n"},
        {"empty file", ""}};
    for (const auto& [what, text] : cases) {
        writeFile(runPath, text);
        const auto result =
            cli(folder, "process " + shellQuote(runPath) + " --output " + shellQuote(folder.file("o.txt")));
        EXPECT_EQ(result.status, 1) << what;
        EXPECT_EQ(firstLine(result.err), kFailed) << what;
        EXPECT_FALSE(secondLine(result.err).empty()) << what;
        EXPECT_FALSE(test::fileExists(folder.file("o.txt"))) << what;
    }
    // An output path in a folder that does not exist.
    const auto result =
        cli(folder, "process " + shellQuote(runPath) + " --output " + shellQuote(folder.file("no/o.txt")));
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(firstLine(result.err), kFailed);
}

TEST_F(ProcessCli, TooManyBlockLinesFail) {
    bench::RunSpec big;
    big.maxBlockLines = 32768;
    writeFile(runPath, bench::generateRun(big));
    const auto result = cli(folder, "process " + shellQuote(runPath));
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(firstLine(result.err), kFailed);
    big.maxBlockLines = 32767;
    writeFile(runPath, bench::generateRun(big));
    EXPECT_EQ(cli(folder, "process " + shellQuote(runPath)).status, 0);
}

TEST_F(ProcessCli, UsageErrors) {
    for (const std::string& arguments :
         {"process " + shellQuote(runPath) + " --outptu x.txt",
          "process " + shellQuote(runPath) + " --output", std::string("process"),
          "process " + shellQuote(runPath) + " " + shellQuote(runPath),
          "process --from 3 " + shellQuote(runPath)}) {
        const auto result = cli(folder, arguments);
        EXPECT_EQ(result.status, 2) << arguments;
        EXPECT_NE(result.err.find("usage: kestrana-cli process RUN [--output FILE]"), std::string::npos)
            << arguments << "\n"
            << result.err;
        EXPECT_EQ(result.out, "") << arguments;
    }
    const auto help = cli(folder, "process --help");
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.out.find("process RUN [--output FILE]"), std::string::npos);
}

TEST(ProcessCliSamples, BundledAnalyserRun) {
    TempFolder folder;
    const auto result =
        cli(folder, "process " + shellQuote(std::string(KESTRANA_SAMPLES_DIR) + "/trcdata.run"));
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.out,
              "Date of Recording: 150324\nRun Number: 3\nSection: NAGPUR - WARDHA UP MAIN LINE  \n"
              "Recording Starts at KM: 100\nRecording Ends at KM: 120\n");
}

} // namespace
} // namespace kestrana
