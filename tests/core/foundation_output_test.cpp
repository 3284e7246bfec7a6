// The SD output file and the analyser's processing step: the worked example row, the header line,
// number forms, replacing files whole, and what a failed step leaves on disk.

#include "analyser/processing.h"
#include "platform/errors.h"
#include "platform/paths.h"
#include "run_generator.h"
#include "runfile/output_files.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>

namespace kestrana {
namespace {

using platform::KestranaError;
using runfile::BlockResult;
using runfile::BlockTable;
using test::TempFolder;

// A row from the 23 numbers of a block line under the kilometre line 60, km from, km to.
BlockResult rowOf(int kmFrom, int kmTo, std::initializer_list<int> blockLine) {
    BlockResult row;
    row.field(1) = 60;
    row.field(2) = static_cast<std::int16_t>(kmFrom);
    row.field(3) = static_cast<std::int16_t>(kmTo);
    int n = 4;
    for (int value : blockLine) {
        row.field(n++) = static_cast<std::int16_t>(value);
    }
    return row;
}

const char* const kHeader =
    "\"km \",\"km \",\"BK \",\"U1L \",\"U1R \",\"TW1 \",\"G \",\"A1L \",\"A1R \",\"U2L \","
    "\"U2R \",\"A2L \",\"A2R \",\"TW2 \",\"TGI \",\"SPD \",\"RIV \",\"RIL \",\"TGU \",\"TGW \","
    "\"TGG \",\"TGL \"";

TEST(SdOutput, WorkedExampleRow) {
    const auto row = rowOf(120, 121, {68, 3,  45, 38, 21,  12,  63, 59, 71, 68, 44, 49,
                                      26, 42, 95, 0,  115, 187, 50, 30, 20, 40, 0});
    EXPECT_EQ(runfile::sdOutputLine(row),
              "120,121,3,4.5,3.8,2.1,1.2,6.3,5.9,7.1,6.8,4.4,4.9,2.6,42,95,1.15,1.87,50,30,20,40");
}

TEST(SdOutput, UnwrittenFieldsAndNumberForms) {
    // Fields 1, 4, 19 and 26 carry values that must not show up anywhere in the line.
    auto row = rowOf(-3, -4, {9999, 1,  -75, 5,    120, 125, 0, 1, 10, 11, 99,  100,
                              101,  -7, 130, 8888, 5,   100, 1, 2, 3,  4,  7777});
    row.field(1) = 6666;
    EXPECT_EQ(runfile::sdOutputLine(row),
              "-3,-4,1,-7.5,0.5,12,12.5,0,0.1,1,1.1,9.9,10,10.1,-7,130,0.05,1,1,2,3,4");
}

TEST(SdOutput, WholeFileAndHeaderOnlyFile) {
    BlockTable table;
    EXPECT_EQ(runfile::sdOutputText(table), std::string(kHeader) + "\r\n");
    table.rows.push_back(rowOf(
        120, 121, {68, 1, 10, 20, 30, 40, 50, 60, 70, 80, 90, 100, 110, 55, 90, 0, 100, 200, 1, 2, 3, 4, 0}));
    table.rows.push_back(table.rows.front());
    table.rows.back().field(5) = 2;
    EXPECT_EQ(runfile::sdOutputText(table), std::string(kHeader) +
                                                "\r\n120,121,1,1,2,3,4,5,6,7,8,9,10,11,55,90,1,2,1,2,3,4\r\n"
                                                "120,121,2,1,2,3,4,5,6,7,8,9,10,11,55,90,1,2,1,2,3,4\r\n");
}

TEST(SdOutput, FileIsReplacedWholeOrNotAtAll) {
    TempFolder folder;
    BlockTable table;
    table.rows.push_back(rowOf(1, 2, {68, 1}));
    const std::string path = folder.file("out.txt");
    test::writeFile(path, std::string(10000, 'x'));
    runfile::writeSdOutputFile(path, table);
    EXPECT_EQ(test::readFile(path), runfile::sdOutputText(table));
    // A target that cannot be replaced (a folder) and one in a missing folder: failures, and
    // nothing else appears beside them.
    std::filesystem::create_directory(folder.file("dir"));
    EXPECT_THROW(runfile::writeSdOutputFile(folder.file("dir"), table), KestranaError);
    EXPECT_THROW(runfile::writeSdOutputFile(folder.file("missing/out.txt"), table), KestranaError);
    EXPECT_TRUE(std::filesystem::is_directory(folder.file("dir")));
    int entries = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(folder.path())) {
        ++entries;
    }
    EXPECT_EQ(entries, 2); // out.txt and dir
}

class Processing : public ::testing::Test {
protected:
    std::string run(const std::string& text) {
        test::writeFile(folder.file("run.run"), text);
        return folder.file("run.run");
    }
    TempFolder folder;
    const std::string scratch = folder.file("temp.txt");
    const std::string output = folder.file("Trcout.txt");
};

TEST_F(Processing, OneKilometreOfThreeBlocks) {
    const auto path = run("95,4,010224,0815\r\n91,0034,NR,KM,AGRA - DELHI\r\n60,120,121,\r\n"
                          "68,1,45,38,21,12,63,59,71,68,44,49,26,42,95,0,115,187,50,30,20,40,0\r\n"
                          "68,2,45,38,21,12,63,59,71,68,44,49,26,42,95,0,115,187,50,30,20,40,0\r\n"
                          "68,3,45,38,21,12,63,59,71,68,44,49,26,42,95,0,115,187,50,30,20,40,0\r\n");
    const auto processed = analyser::processData(path, output, scratch);
    EXPECT_EQ(processed.kmFrom, "120");
    EXPECT_EQ(processed.kmTo, "121");
    EXPECT_EQ(processed.runNumber, "4");
    EXPECT_EQ(processed.runDate, "010224");
    EXPECT_EQ(processed.section, "AGRA - DELHI");
    EXPECT_EQ(processed.table.blockCount(), 3);
    const std::string text = test::readFile(output);
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 4);
    EXPECT_FALSE(test::fileExists(scratch));
}

TEST_F(Processing, RunWithoutSectionAndWithShortHeader) {
    bench::RunSpec spec;
    spec.withHeader = false;
    const auto body = bench::generateRun(spec);
    const auto processed = analyser::processData(run("95,4,010\r\n" + body), std::nullopt, scratch);
    EXPECT_EQ(processed.runNumber, "4");
    EXPECT_EQ(processed.runDate, "010");
    EXPECT_EQ(processed.section, "");
    EXPECT_FALSE(test::fileExists(output));
}

TEST_F(Processing, SameRunTwiceGivesTheSameFile) {
    const auto path = run(bench::generateRun(bench::RunSpec{}));
    analyser::processData(path, output, scratch);
    const std::string first = test::readFile(output);
    analyser::processData(path, output, scratch);
    EXPECT_EQ(test::readFile(output), first);
}

TEST_F(Processing, FailedStepsKeepThePreviousOutputAndRemoveTheScratchFile) {
    test::writeFile(output, "previous\r\n");
    for (const std::string& text :
         {std::string(""), std::string("60,1,2,\r\n68,1,2\r\n"),
          std::string("60,1,2,\r\n68,1,2,3,4,5,6,7,8,9,10,11,12,13,14,15,16,17,18,19,20,"
                      "21,99999\r\n")}) {
        EXPECT_THROW(analyser::processData(run(text), output, scratch), KestranaError);
        EXPECT_EQ(test::readFile(output), "previous\r\n");
        EXPECT_FALSE(test::fileExists(scratch));
    }
    EXPECT_THROW(analyser::processData(folder.file("none.run"), output, scratch), KestranaError);
    EXPECT_EQ(test::readFile(output), "previous\r\n");
}

TEST_F(Processing, ScratchFileInAMissingFolderFails) {
    const auto path = run(bench::generateRun(bench::RunSpec{}));
    EXPECT_THROW(analyser::processData(path, output, folder.file("missing/temp.txt")), KestranaError);
    EXPECT_FALSE(test::fileExists(output));
}

} // namespace
} // namespace kestrana
