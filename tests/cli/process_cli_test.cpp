// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Kestrana developers

// kestrana-cli process, run as a real program: the five lines, the SD output file byte for byte,
// exit statuses and messages on bad input, and no trace left behind by a failed or a plain run.

#include "core/runfile/block_table.h"
#include "core/runfile/output_files.h"
#include "run_generator.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <sys/stat.h>

namespace kestrana {
namespace {

using test::readFile;
using test::shellQuote;
using test::writeFile;

const std::string kFailed = " Could not open file. Please type file name correctly.";

class ProcessCli : public ::testing::Test {
protected:
    void SetUp() override {
        recipe.kmCount = 12;
        recipe.seed = 9;
        recipe.runNumber = '5';
        recipe.date = "030424";
        recipe.section = "ITARSI - BHOPAL UP LINE";
        recipe.missingBlocks = {{125, 2}};
        run = generator::generateRunWithValues(recipe);
        writeFile(runPath, run.text);
    }
    // Runs kestrana-cli with its temporary and home folders inside the test's folder, so that the
    // test sees what a call leaves behind.
    test::CommandResult cli(const std::string& arguments) const {
        std::filesystem::create_directories(folder.file("tmp"));
        return test::runCommand("TMPDIR=" + shellQuote(folder.file("tmp")) +
                                " KESTRANA_HOME=" + shellQuote(folder.file("home")) + " " +
                                shellQuote(KESTRANA_CLI_PATH) + " process " + arguments);
    }
    test::CommandResult process(const std::string& output = "") const {
        return cli(shellQuote(runPath) + (output.empty() ? "" : " --output " + shellQuote(output)));
    }
    // Exit status 1, the fixed message then a reason naming `detail`, nothing printed, nothing left in
    // the private folder.
    void expectFailure(const test::CommandResult& result, const std::string& detail) const {
        EXPECT_EQ(result.status, 1);
        EXPECT_EQ(test::firstLineOfErrors(result), kFailed);
        EXPECT_NE(result.err.find(detail, kFailed.size()), std::string::npos) << result.err;
        EXPECT_EQ(result.out, "");
        EXPECT_TRUE(std::filesystem::is_empty(folder.file("tmp")));
    }
    test::TempFolder folder;
    const std::string runPath = folder.file("trc run.run"); // a blank in the path must not matter
    const std::string outPath = folder.file("out put.txt");
    generator::RunRecipe recipe;
    generator::GeneratedRun run;
};

TEST_F(ProcessCli, FiveLinesAndTheSdFileByteForByteAndTextAsItStands) {
    const std::string lines = "Date of Recording: 030424\nRun Number: 5\n"
                              "Section: ITARSI - BHOPAL UP LINE       \n" // positions 15 to 44 as they stand
                              "Recording Starts at KM: 120\nRecording Ends at KM: 132\n";
    auto result = process();
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.out, lines);
    EXPECT_EQ(result.err, "");
    EXPECT_TRUE(std::filesystem::is_empty(folder.file("tmp")));
    EXPECT_FALSE(std::filesystem::exists(folder.file("home")));
    EXPECT_FALSE(test::fileExists(outPath));
    // Both option forms write the same file, replacing what was there.
    writeFile(outPath, std::string(100000, 'x'));
    for (const auto& arguments : {shellQuote(runPath) + " --output " + shellQuote(outPath),
                                  "--output=" + shellQuote(outPath) + " " + shellQuote(runPath)}) {
        result = cli(arguments);
        EXPECT_EQ(result.status, 0) << result.err;
        EXPECT_EQ(result.out, lines);
        // The SD file's every number form is checked on the core; here it is the core's text of the run.
        EXPECT_EQ(readFile(outPath), runfile::sdOutputText(runfile::loadBlockTable(runPath)));
    }
    // A falling run, and a section outside ASCII, as they stand.
    recipe.direction = -1;
    recipe.startKm = 45;
    recipe.section = "\xc9T\xc9 LINE\x01";
    writeFile(runPath, generator::generateRun(recipe));
    EXPECT_NE(process().out.find("Section: \xc9T\xc9 LINE\x01" + std::string(21, ' ') +
                                 "\nRecording Starts at KM: 45\nRecording Ends at KM: 33\n"),
              std::string::npos);
}

TEST_F(ProcessCli, FailuresGiveTheMessageAndKeepThePreviousOutput) {
    writeFile(outPath, "previous output\r\n");
    expectFailure(cli(shellQuote(folder.file("nothing.run"))), folder.file("nothing.run"));
    expectFailure(cli(shellQuote(folder.path())), "folder");
    expectFailure(cli("/dev/zero"), "not a regular file");

    // A number outside 16 bits on the first fifth block line, named by its line.
    std::string text = run.text;
    const auto fifth = text.find("68,5,");
    text.replace(fifth + 5, text.find(',', fifth + 5) - (fifth + 5), "40000");
    writeFile(runPath, text);
    const auto line = 1 + std::count(text.begin(), text.begin() + static_cast<long>(fifth), '\n');
    expectFailure(process(outPath), "line " + std::to_string(line) + ": the number 40000");

    const std::pair<const char*, const char*> runs[] = {
        {"95,1,120326\r\n60,120,121,\r\n67,6,18,350\r\n", "no block line"},
        {"60,120,121,\r\n68,1,2,3\r\n", "end inside"},
        {"60,120,121,\r\n68,1,45,38,x,12,63,59,71,68,44,49,26,42,95,0,115,187,50,30,20,40,0\r\n", "\"x\""},
        {"", "no block line"}};
    for (const auto& [content, detail] : runs) {
        writeFile(runPath, content);
        expectFailure(process(outPath), detail);
    }
    generator::RunRecipe big;
    big.maxBlockLines = 32768;
    writeFile(runPath, generator::generateRun(big));
    expectFailure(process(outPath), "more than 32767");
    EXPECT_EQ(readFile(outPath), "previous output\r\n");

    // Output paths that cannot be written: the previous file stays, nothing else appears.
    writeFile(runPath, run.text);
    ::chmod(outPath.c_str(), 0444);
    expectFailure(process(outPath), "read-only");
    expectFailure(process(folder.file("no/o.txt")), "no/o.txt");
    EXPECT_EQ(readFile(outPath), "previous output\r\n");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.path()), {}), 3); // run, out, tmp
}

TEST_F(ProcessCli, UsageErrorsAndHelp) {
    const std::string quotedRun = shellQuote(runPath);
    for (const std::string& arguments :
         {quotedRun + " --outptu x.txt", quotedRun + " --output", std::string(), quotedRun + " " + quotedRun,
          "--from 3 " + quotedRun}) {
        const auto result = cli(arguments);
        EXPECT_EQ(result.status, 2) << arguments;
        EXPECT_NE(result.err.find("usage: kestrana-cli process RUN [--output FILE]"), std::string::npos)
            << arguments << "\n"
            << result.err;
        EXPECT_EQ(result.out, "") << arguments;
    }
    const auto help = cli("--help");
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.out.find("process RUN [--output FILE]"), std::string::npos);
}

TEST(ProcessCliSamples, BundledAnalyserRun) {
    const auto result = test::runCommand(shellQuote(KESTRANA_CLI_PATH) + " process " +
                                         shellQuote(std::string(KESTRANA_SAMPLES_DIR) + "/trcdata.run"));
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.out,
              "Date of Recording: 150324\nRun Number: 3\nSection: NAGPUR - WARDHA UP MAIN LINE  \n"
              "Recording Starts at KM: 100\nRecording Ends at KM: 120\n");
}

} // namespace
} // namespace kestrana
