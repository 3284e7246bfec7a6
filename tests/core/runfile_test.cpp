// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Kestrana developers

// The run file reader, the number stream and the block table load: line ends, kept header lines,
// pairing, the stream's shifting without re-synchronisation and every failure of loading, each with
// the run file's line where there is one.

#include "core/common/errors.h"
#include "core/runfile/block_table.h"
#include "core/runfile/field_stream.h"
#include "core/runfile/line_reader.h"
#include "core/runfile/run_reader.h"
#include "run_generator.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace kestrana::runfile {
namespace {

using common::Error;
using Lines = std::vector<std::string>;

// The lines of `text` as the reader gives them, read through buffers of `chunk` bytes so that line
// ends fall across reads; a too-long line shows as "!" and its code.
Lines linesOf(std::string_view text, std::size_t chunk = 64 * 1024, std::size_t maxLength = kMaxLineLength) {
    test::TempFolder folder;
    test::writeFile(folder.file("lines"), text);
    LineReader reader(folder.file("lines"), maxLength, chunk);
    Lines lines;
    LineReader::Line line;
    while (reader.next(line)) {
        EXPECT_EQ(line.number, static_cast<long>(lines.size()) + 1);
        lines.push_back((line.tooLong ? "!" : "") + std::string(line.text));
    }
    return lines;
}

TEST(RunLines, EveryLineEndEndsALineAndAnOverlongLineIsGivenAsItsCode) {
    const std::pair<std::string, Lines> cases[] = {{"a\r\nb\nc\rd", {"a", "b", "c", "d"}},
                                                   {"", {}},
                                                   {"a\r\n\r\nb\r\n", {"a", "", "b"}},
                                                   {"a\n\rb", {"a", "", "b"}}, // LF CR is two line ends
                                                   {"ab\r", {"ab"}},
                                                   {"\r\n\r", {"", ""}}};
    for (const auto& [text, lines] : cases) {
        for (std::size_t chunk : {1, 2, 3, 64 * 1024}) {
            EXPECT_EQ(linesOf(text, chunk), lines) << chunk;
        }
    }
    const std::string longLine = "60" + std::string(20, ' ');
    for (std::size_t chunk : {1, 3, 5, 64}) {
        EXPECT_EQ(linesOf("95\r\n" + longLine + "\r\n68,1\r\n" + longLine, chunk, 21),
                  (Lines{"95", "!60", "68,1", "!60"}))
            << chunk;
        EXPECT_EQ(linesOf(longLine + "\r", chunk, 22), (Lines{longLine}));
        EXPECT_EQ(linesOf(longLine + "\r\nx", chunk, 21), (Lines{"!60", "x"}));
        EXPECT_EQ(linesOf(longLine + "\r", chunk, 21), (Lines{"!60"}));
    }
}

TEST(PairingReader, PairsEachCodedLineWithTheCurrentKilometreLine) {
    test::TempFolder folder;
    test::writeFile(folder.file("run.run"), "95,1,010101\r\n91,first\r\n"
                                            "68,9\r\n" // before any kilometre line
                                            "60,120,121,\r\n68,1\r\n67,6,1,2\r\n68,2\r\n"
                                            "6\r\n\r\n" // too short for a code
                                            "60,121,122,\r\n99,x\r\n68,1\r\n95,2,020202\r\n91,second\r\n");
    RunHeader header;
    // Each pair as "kilometre line|paired line@line number".
    auto read = [&](std::string_view code) {
        Lines pairs;
        const long count = readPairs(folder.file("run.run"), PairingOptions{code, 32767, {}, {}, {}}, header,
                                     [&](std::string_view km, std::string_view line, long number) {
                                         pairs.push_back(std::string(km) + "|" + std::string(line) + "@" +
                                                         std::to_string(number));
                                     });
        EXPECT_EQ(count, static_cast<long>(pairs.size()));
        return pairs;
    };
    EXPECT_EQ(read("68"),
              (Lines{"|68,9@3", "60,120,121,|68,1@5", "60,120,121,|68,2@7", "60,121,122,|68,1@12"}));
    EXPECT_EQ(read("67"), (Lines{"60,120,121,|67,6,1,2@6"}));
    // A line past the bound is refused at its line where it would be kept, and skipped elsewhere.
    const std::string tooLong(kMaxLineLength + 1, ' ');
    test::writeFile(folder.file("run.run"), "60,1,2,\r\n99" + tooLong + "\r\n68,1\r\n67" + tooLong + "\r\n");
    EXPECT_EQ(read("68"), (Lines{"60,1,2,|68,1@3"}));
    try {
        read("67");
        ADD_FAILURE() << "a peak line of more than 1 MiB was taken";
    } catch (const Error& error) {
        EXPECT_EQ(error.line(), 4);
        EXPECT_NE(error.what_text().find("longer than 1048576"), std::string::npos);
    }
    // The later "95" and "91" lines are the kept ones.
    EXPECT_EQ(header.headerLine, "95,2,020202");
    EXPECT_EQ(header.sectionLine, "91,second");
}

TEST(FieldStream, PairsAreOneStreamOfNumbersWhateverSeparatesThem) {
    std::vector<std::vector<int>> records;
    std::vector<long> firstPairs;
    PairNumberStream stream(4, [&](const RecordSlots& record, long firstPair) {
        records.push_back({record[1], record[2], record[3], record[4]});
        firstPairs.push_back(firstPair);
    });
    // Each pair repeats the kilometre line's numbers; records run on across pairs without resyncing.
    stream.setKilometreLine("60,120,121");
    stream.addPair("68,1,-5\t+7 , 007,,");
    stream.addPair("-32768 32767");
    EXPECT_EQ(records,
              (std::vector<std::vector<int>>{{60, 120, 121, 68}, {1, -5, 7, 7}, {60, 120, 121, -32768}}));
    EXPECT_EQ(firstPairs, (std::vector<long>{1, 1, 2}));
    EXPECT_EQ(stream.pendingNumbers(), 1);
    EXPECT_EQ(stream.pendingFirstPair(), 2);
    // The first token that is not a 16-bit whole number stops the stream at its pair.
    stream.addPair("1,32768,x");
    ASSERT_TRUE(stream.badNumber().has_value());
    EXPECT_EQ(stream.badNumber()->pair, 3);
    EXPECT_EQ(stream.badNumber()->problem, "the number 32768 is outside -32768 to 32767");
    EXPECT_EQ(records.size(), 4U);
}

// A run file with the given lines, each ended by CR LF.
std::string runText(const Lines& lines) {
    std::string text;
    for (const auto& line : lines) {
        text += line + "\r\n";
    }
    return text;
}

std::string blockLine(int block) {
    return "68," + std::to_string(block) + ",45,38,21,12,63,59,71,68,44,49,26,42,95,0,115,187,50,30,20,40,0";
}
const std::string kBlock1 = blockLine(1);

class BlockTableLoad : public ::testing::Test {
protected:
    BlockTable load(const std::string& text) {
        test::writeFile(runPath, text);
        return loadBlockTable(runPath);
    }
    // Loads, expects a failure naming the run file, and returns it.
    Error loadFailure(const std::string& text) {
        try {
            load(text);
        } catch (const Error& error) {
            EXPECT_EQ(error.file(), runPath);
            return error;
        }
        ADD_FAILURE() << "the load did not fail";
        return Error("none");
    }
    void expectFailure(const Lines& lines, std::string_view what, long line) {
        const auto error = loadFailure(runText(lines));
        EXPECT_NE(error.what_text().find(what), std::string::npos) << error.reason();
        EXPECT_EQ(error.line(), line) << error.reason();
    }
    test::TempFolder folder;
    const std::string runPath = folder.file("run.run");
};

TEST_F(BlockTableLoad, GeneratedRunsInEveryLineEndVariant) {
    for (int direction : {1, -1}) {
        generator::RunRecipe recipe;
        recipe.direction = direction;
        recipe.kmCount = 7;
        recipe.missingKms = {122};
        recipe.missingBlocks = {{124, 3}};
        const auto run = generator::generateRunWithValues(recipe);
        std::string lf = run.text;
        lf.erase(std::remove(lf.begin(), lf.end(), '\r'), lf.end());
        std::string cr = lf;
        std::replace(cr.begin(), cr.end(), '\n', '\r');
        for (const auto& text : {run.text, lf, cr, run.text.substr(0, run.text.size() - 2)}) {
            const auto table = load(text);
            ASSERT_EQ(static_cast<std::size_t>(table.blockCount()), run.blocks.size());
            for (std::size_t r = 0; r < run.blocks.size(); ++r) {
                ASSERT_TRUE(
                    std::equal(run.blocks[r].begin(), run.blocks[r].end(), table.rows[r].fields.begin()))
                    << "row " << r + 1;
            }
            EXPECT_EQ(table.runDirection, direction);
            EXPECT_EQ(table.header.sectionLine, generator::sectionLineOf(recipe));
        }
    }
}

TEST_F(BlockTableLoad, UnevenPairsShiftLaterRowsWithoutResynchronising) {
    // A block line before any kilometre line brings 23 numbers, a kilometre line with three extra
    // numbers 29: two rows of 26, the first ending with the kilometre line's numbers.
    auto table = load(runText(
        {"68,1,1,2,3,4,5,6,7,8,9,10,11,12,13,14,15,16,17,18,19,20,21", "60,120,121,7,8,9,", kBlock1}));
    ASSERT_EQ(table.blockCount(), 2);
    EXPECT_EQ(table.rows[0].field(23), 21);
    EXPECT_EQ(table.rows[0].field(24), 60);
    EXPECT_EQ(table.rows[1].field(1), 7);
    EXPECT_EQ(table.rows[1].field(field::RIL), 187);
    EXPECT_EQ(table.runDirection, 0); // field 3 minus field 2 of the shifted first row
    // A fourth number on a kilometre line balanced by a short block line later.
    std::string shortBlock = blockLine(2);
    shortBlock.erase(shortBlock.rfind(','));
    table = load(runText({"60,120,121,9,", kBlock1, "60,121,122,", shortBlock}));
    ASSERT_EQ(table.blockCount(), 2);
    EXPECT_EQ(table.rows[0].field(5), 68);
    EXPECT_EQ(table.rows[1].field(1), 0); // the first block line's last number starts row 2
    EXPECT_EQ(table.rows[1].field(2), 60);

    // Unbalanced streams fail at the run file's line of the pair where it shows.
    expectFailure({kBlock1, "60,120,121,", kBlock1}, "end inside", 3);
    expectFailure({"60,120,121,9,", kBlock1, "60,121,122,", blockLine(2)}, "left over", 4);
    expectFailure({"60,120,121,", kBlock1, shortBlock}, "end inside", 3);
}

TEST_F(BlockTableLoad, FailuresNameTheRunFileLine) {
    // Each bad token as the second number of a block line under a good kilometre line.
    const std::pair<const char*, const char*> tokens[] = {
        {"32768", "outside"},   {"-32769", "outside"},     {"99999999999999999999999", "outside"},
        {"4.5", "not a whole"}, {"99999x", "not a whole"}, {"-", "not a whole"},
        {"--5", "not a whole"}};
    for (const auto& [token, what] : tokens) {
        expectFailure({"95,1,120326", "60,120,121,", kBlock1, "67,1,2", std::string("68,") + token + ",1"},
                      what, 5);
    }
    expectFailure({"60,120,xyz,", kBlock1}, "xyz", 2); // the block line of the pair with the bad km line
    expectFailure({"95,1,120326", "60,120,121,", "67,6,18,350"}, "no block line", 0);
    expectFailure({"60,-32768,32767,", kBlock1}, "16 bits", 2);
    EXPECT_NE(loadFailure(runText({"60,120,121,", "68,2,4.5,1"})).reason().find("run.run, line 2"),
              std::string::npos);
    EXPECT_THROW(loadBlockTable(folder.file("missing.run")), Error);
    EXPECT_THROW(loadBlockTable(folder.path()), Error);
}

TEST_F(BlockTableLoad, DirectionAndValuesAreTakenAsRead) {
    EXPECT_EQ(load(runText({"60,120,125,", kBlock1})).runDirection, 5);
    const auto table = load(runText(
        {"60,-5,-6,", "68,1,-75,0,0,0,0,0,0,0,0,0,0,-7,0,0,-32768,32767,0,0,0,0,-1", "60,7,8,", kBlock1}));
    EXPECT_EQ(table.runDirection, -1);
    EXPECT_EQ(table.rows[0].field(field::U1L), -75);
    EXPECT_EQ(table.rows[0].field(field::RIV), -32768);
    EXPECT_EQ(table.rows[0].field(26), -1);
    EXPECT_EQ(table.kmFrom(), -5);
    EXPECT_EQ(table.kmTo(), 8); // a last kilometre that runs the other way is kept as it is
}

TEST_F(BlockTableLoad, AtMost32767BlockLines) {
    generator::RunRecipe recipe;
    recipe.maxBlockLines = 32767;
    EXPECT_EQ(load(generator::generateRun(recipe)).blockCount(), 32767);
    recipe.maxBlockLines = 32768;
    const std::string text = generator::generateRun(recipe);
    const auto error = loadFailure(text);
    EXPECT_NE(error.what_text().find("32767"), std::string::npos);
    // The failure names the 32768th block line, the file's last line.
    EXPECT_EQ(error.line(), static_cast<long>(std::count(text.begin(), text.end(), '\n')));
}

} // namespace
} // namespace kestrana::runfile
