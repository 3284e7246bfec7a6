// The run generator that tests, benchmarks and the bundled samples rely on: the same spec gives
// the same bytes, the line layout is the recording car's, and a block-line limit is met exactly.

#include "run_generator.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

namespace kestrana::bench {
namespace {

std::vector<std::string> crlfLines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        const auto end = text.find("\r\n", start);
        EXPECT_NE(end, std::string::npos) << "every line ends with CR LF";
        if (end == std::string::npos) {
            break;
        }
        lines.push_back(text.substr(start, end - start));
        start = end + 2;
    }
    return lines;
}

int numbersOn(const std::string& line) {
    return static_cast<int>(std::count(line.begin(), line.end(), ',')) + (line.back() == ',' ? 0 : 1);
}

TEST(RunGenerator, SameSpecSameBytesOtherSeedOtherValues) {
    RunSpec spec;
    EXPECT_EQ(generateRun(spec), generateRun(spec));
    RunSpec other = spec;
    other.seed = 2;
    EXPECT_NE(generateRun(spec), generateRun(other));
    // Runs of one line share its good and bad stretches: same lineSeed, different seeds.
    spec.lineSeed = other.lineSeed = 99;
    const auto a = generateRunWithValues(spec).blocks;
    const auto b = generateRunWithValues(other).blocks;
    ASSERT_EQ(a.size(), b.size());
    int close = 0;
    for (std::size_t i = 0; i < a.size(); ++i) {
        close += std::abs(a[i][16] - b[i][16]) <= 25 ? 1 : 0; // TGI within 25 points
    }
    EXPECT_GE(close, static_cast<int>(a.size()) * 8 / 10);
}

TEST(RunGenerator, LineLayoutOfTheRecordingCar) {
    RunSpec spec;
    spec.kmCount = 3;
    const auto lines = crlfLines(generateRun(spec));
    ASSERT_EQ(lines.size(), 2u + 3u * (1 + 5 + 12));
    EXPECT_EQ(lines[0], headerLineOf(spec));
    EXPECT_EQ(lines[0].substr(3, 1), "1");
    EXPECT_EQ(lines[0].substr(5, 6), "120326");
    EXPECT_EQ(lines[1].substr(14, 30), "NAGPUR - WARDHA UP MAIN LINE  ");
    EXPECT_EQ(lines[2], "60,120,121,");
    std::vector<int> peakCodes;
    for (std::size_t i = 3; i < 3 + 5; ++i) {
        EXPECT_EQ(lines[i].substr(0, 3), "68,");
        EXPECT_EQ(numbersOn(lines[i]), 23) << lines[i];
    }
    for (std::size_t i = 8; i < 8 + 12; ++i) {
        EXPECT_EQ(lines[i].substr(0, 3), "67,");
        EXPECT_EQ(numbersOn(lines[i]), 19) << lines[i];
        peakCodes.push_back(std::stoi(lines[i].substr(3)));
    }
    EXPECT_EQ(peakCodes, (std::vector<int>{0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 12, 13}));
    EXPECT_EQ(lines[20], "60,121,122,");
}

TEST(RunGenerator, RealisticValueRanges) {
    RunSpec spec;
    spec.kmCount = 40;
    const auto run = generateRunWithValues(spec);
    int unrecorded = 0;
    for (const auto& f : run.blocks) {
        for (int n = 6; n <= 16; ++n) {
            EXPECT_GE(f[static_cast<std::size_t>(n - 1)], 5);
            EXPECT_LE(f[static_cast<std::size_t>(n - 1)], 120);
        }
        EXPECT_GE(f[16], 0); // TGI
        EXPECT_LE(f[16], 120);
        unrecorded += f[16] == 0 ? 1 : 0;
        EXPECT_GE(f[17], 30); // speed
        EXPECT_LE(f[17], 130);
    }
    EXPECT_GT(unrecorded, 0);
    EXPECT_LT(unrecorded, static_cast<int>(run.blocks.size()) / 10);
}

TEST(RunGenerator, MissingKilometresBlocksAndFallingRuns) {
    RunSpec spec;
    spec.direction = -1;
    spec.startKm = 50;
    spec.kmCount = 4;
    spec.missingKms = {49};
    spec.missingBlocks = {{48, 2}};
    const auto run = generateRunWithValues(spec);
    ASSERT_EQ(run.blocks.size(), 14u);
    EXPECT_EQ(run.blocks[0][1], 50);
    EXPECT_EQ(run.blocks[0][2], 49);
    EXPECT_EQ(run.blocks[5][1], 48); // km 49 is missing
    EXPECT_EQ(run.blocks[6][4], 3);  // block 2 of km 48 is missing
    EXPECT_EQ(run.text.find("60,49,"), std::string::npos);
    EXPECT_EQ(run.peakLines, 3 * 12);
}

TEST(RunGenerator, BlockLineLimitIsMetExactly) {
    RunSpec spec;
    spec.maxBlockLines = 12;
    const auto run = generateRunWithValues(spec);
    EXPECT_EQ(run.blocks.size(), 12u);
    // The file stops right after the twelfth block line.
    const auto lines = crlfLines(run.text);
    EXPECT_EQ(lines.back().substr(0, 5), "68,2,");
    spec.maxBlockLines = 32768;
    EXPECT_EQ(generateRunWithValues(spec).blocks.size(), 32768u);
}

} // namespace
} // namespace kestrana::bench
