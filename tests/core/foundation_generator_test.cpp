// The run generator that tests, benchmarks and the bundled samples rely on: the same RunRecipe gives
// the same bytes, the line layout is the recording car's, and a block-line limit is met exactly.

#include "run_generator.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

namespace kestrana::generator {
namespace {

std::vector<std::string> crlfLines(const std::string& text) {
    std::vector<std::string> lines;
    for (std::size_t start = 0, end; start < text.size(); start = end + 2) {
        end = text.find("\r\n", start);
        if (end == std::string::npos) {
            ADD_FAILURE() << "a line without CR LF";
            break;
        }
        lines.push_back(text.substr(start, end - start));
    }
    return lines;
}

TEST(RunGenerator, DeterministicAndOneLineSharesItsStretches) {
    RunRecipe recipe;
    RunRecipe other = recipe;
    other.seed = 2;
    EXPECT_EQ(generateRun(recipe), generateRun(recipe));
    EXPECT_NE(generateRun(recipe), generateRun(other));
    recipe.lineSeed = other.lineSeed = 99;
    const auto a = generateRunWithValues(recipe).blocks;
    const auto b = generateRunWithValues(other).blocks;
    ASSERT_EQ(a.size(), b.size());
    const auto close = std::count_if(a.begin(), a.end(), [&](const auto& row) {
        return std::abs(row[16] - b[static_cast<std::size_t>(&row - a.data())][16]) <= 25; // TGI
    });
    EXPECT_GE(close, static_cast<long>(a.size()) * 8 / 10);
}

TEST(RunGenerator, LineLayoutOfTheRecordingCar) {
    RunRecipe recipe;
    recipe.kmCount = 3;
    const auto lines = crlfLines(generateRun(recipe));
    ASSERT_EQ(lines.size(), 2u + 3u * (1 + 5 + 12));
    EXPECT_EQ(lines[0].substr(3, 1) + lines[0].substr(5, 6), "1120326");
    EXPECT_EQ(lines[1].substr(14, 30), "NAGPUR - WARDHA UP MAIN LINE  ");
    EXPECT_EQ(lines[2], "60,120,121,");
    std::vector<int> peakCodes;
    for (std::size_t i = 3; i < 20; ++i) {
        const bool block = i < 8;
        EXPECT_EQ(lines[i].substr(0, 3), block ? "68," : "67,");
        EXPECT_EQ(std::count(lines[i].begin(), lines[i].end(), ','), block ? 22 : 18) << lines[i];
        if (!block) {
            peakCodes.push_back(std::stoi(lines[i].substr(3)));
        }
    }
    EXPECT_EQ(peakCodes, (std::vector<int>{0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 12, 13}));
    EXPECT_EQ(lines[20], "60,121,122,");
}

TEST(RunGenerator, MissingKilometresBlocksFallingRunsAndALimit) {
    RunRecipe recipe;
    recipe.direction = -1;
    recipe.startKm = 50;
    recipe.kmCount = 4;
    recipe.missingKms = {49};
    recipe.missingBlocks = {{48, 2}};
    auto run = generateRunWithValues(recipe);
    ASSERT_EQ(run.blocks.size(), 14u);
    EXPECT_EQ(run.blocks[0][1], 50);
    EXPECT_EQ(run.blocks[0][2], 49);
    EXPECT_EQ(run.blocks[5][1], 48); // km 49 is missing
    EXPECT_EQ(run.blocks[6][4], 3);  // block 2 of km 48 is missing
    EXPECT_EQ(run.peakLines, 3 * 12);
    // A limit is met exactly, the file stopping right after that block line.
    recipe = RunRecipe{};
    recipe.maxBlockLines = 12;
    run = generateRunWithValues(recipe);
    EXPECT_EQ(run.blocks.size(), 12u);
    EXPECT_EQ(crlfLines(run.text).back().substr(0, 5), "68,2,");
}

} // namespace
} // namespace kestrana::generator
