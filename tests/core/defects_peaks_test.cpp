// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Kestrana developers

// The peaks defect tracking takes from a run are the peak analyser's own rows (every pair of every
// peak line, in file order, even where its one stream of numbers reads across lines), and a run the
// analyser refuses is refused with the line of the run file at fault.

#include "core/defects/run_peaks.h"
#include "peaks_fixtures.h"
#include "run_generator.h"

namespace kestrana::defects {
namespace {

using test::kmLine;
using test::peakLine;

// The rows the peak analyser's PROCESS DATA keeps for the run file, as peaks.
RunPeaks analyserPeaks(const std::string& path, const test::TempFolder& folder) {
    peaks::PeakSession session;
    peaks::PeakFiles files = peaks::PeakFiles::in(folder.path());
    files.writeScratchFiles = false;
    peaks::PeakRowsInMemory rows;
    peaks::processPeakDataInMemory(path, files, session, rows);
    RunPeaks result;
    for (const peaks::PeakRow& row : rows.rows()) {
        result.push_back(Peak{row.fild0, row.fild2, row.fild3, row.fild4});
    }
    return result;
}

// The same run fed line by line, as an import that reads the file itself would.
RunPeaks fedLineByLine(const std::string& path, const std::vector<std::string>& lines) {
    RunPeakReader reader(path);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        reader.line(lines[i], static_cast<long>(i + 1));
    }
    return reader.finish();
}

TEST(RunPeaks, EveryPairOfEveryPeakLineWithItsKilometreInFileOrder) {
    test::TempFolder folder;
    const std::string path = folder.file("run.run");
    test::writeFile(path, test::runText({"95,1,120326,0815,TRC", kmLine(120, 121), "68,1,2,3",
                                         peakLine(6, {{18, 350}, {-16, 12}}), peakLine(0, {{4, 7}, {0, 0}}),
                                         kmLine(121, 122), peakLine(6, {{-3, 990}, {2, 1001}})}));
    const RunPeaks expected{{120, 6, 350, 18}, {120, 6, 12, -16}, {120, 0, 7, 4},
                            {120, 0, 0, 0},    {121, 6, 990, -3}, {121, 6, 1001, 2}};
    EXPECT_EQ(readRunPeaks(path), expected);
}

TEST(RunPeaks, AgreeWithThePeakAnalyserOnWholeRuns) {
    generator::RunRecipe rising;
    rising.kmCount = 6;
    generator::RunRecipe falling = rising;
    falling.direction = -1;
    falling.peakPairs = 3;
    const std::vector<std::pair<std::string, std::string>> runs = {
        {"rising", generator::generateRun(rising)},
        {"falling", generator::generateRun(falling)},
        // Peak lines of different lengths: the records run on across lines, as the analyser reads them.
        {"uneven",
         test::runText({kmLine(7, 8), peakLine(1, {{11, 5}, {12, 6}}), peakLine(2, {{13, 7}}, 1),
                        "67,3,14,8,15,9,16,10,1", kmLine(8, 9), peakLine(4, {{17, 11}, {18, 12}})})},
        // Peak lines before the first kilometre line.
        {"no km line", test::runText({peakLine(5, {{21, 1}, {22, 2}}), kmLine(9, 10),
                                      peakLine(5, {{23, 3}, {24, 4}, {25, 5}, {26, 6}}, 2)})},
    };
    for (const auto& [name, text] : runs) {
        test::TempFolder folder;
        const std::string path = folder.file("run.run");
        test::writeFile(path, text);
        const RunPeaks peaks = readRunPeaks(path);
        // Where the peak analyser finds no pair at all (a first record too short to hold one, so that
        // every record is read at its width) it refuses the run; the run then has no peaks.
        try {
            EXPECT_EQ(peaks, analyserPeaks(path, folder)) << name;
        } catch (const kestrana::common::Error& refusal) {
            EXPECT_EQ(peaks, RunPeaks{}) << name << ": " << refusal.what();
        }
        const auto lines = generator::linesOf(text);
        EXPECT_EQ(fedLineByLine(path, std::vector<std::string>(lines.begin(), lines.end())), peaks) << name;
    }
    // A run without peak lines has no peaks (the peak analyser refuses to build a database from it).
    test::TempFolder folder;
    const std::string path = folder.file("run.run");
    test::writeFile(path, test::runText({kmLine(9, 10), "68,1,2,3"}));
    EXPECT_EQ(readRunPeaks(path), RunPeaks{});
}

TEST(RunPeaks, RefusalsNameTheRunFileLineWithTheAnalysersMessage) {
    // 3 numbers of the kilometre line and 24 of the peak line.
    std::string tooLong = "67,6";
    for (int i = 0; i < 22; ++i) {
        tooLong += ",1";
    }
    struct Case {
        std::vector<std::string> lines;
        std::string_view message;
        long line;
    };
    const std::vector<Case> cases = {
        // The first record fixes the width: its bad number is reported at once.
        {{"95,1,120326", kmLine(120, 121), "67,6,1x,350,0", peakLine(7, {{1, 2}})},
         peaks::kBadNumberMessage,
         3},
        {{kmLine(120, 121), peakLine(6, {{1, 2}}), peakLine(7, {{3, 4}}), "67,8,5,99999,0"},
         peaks::kBadNumberMessage,
         4},
        {{kmLine(120, 121), peakLine(6, {{1, 2}}), tooLong, peakLine(8, {{1, 2}})},
         peaks::kRecordTooLongMessage,
         3},
        // A record too long is found first even after a bad number.
        {{kmLine(120, 121), peakLine(6, {{1, 2}}), "67,7,x,4,0", tooLong}, peaks::kRecordTooLongMessage, 4},
        // The numbers end inside a record: found after the last peak line.
        {{kmLine(120, 121), peakLine(6, {{1, 2}}), kmLine(121, 122), "67,7,3,4", "68,1,2"},
         peaks::kRecordCutShortMessage,
         4},
    };
    for (const Case& c : cases) {
        test::TempFolder folder;
        const std::string path = folder.file("run.run");
        test::writeFile(path, test::runText(c.lines));
        for (const bool fed : {false, true}) {
            try {
                fed ? fedLineByLine(path, c.lines) : readRunPeaks(path);
                ADD_FAILURE() << "no refusal: " << c.lines.back();
            } catch (const common::Error& error) {
                EXPECT_EQ(error.message(), c.message) << c.lines.back();
                EXPECT_EQ(error.file(), path);
                EXPECT_EQ(error.line(), c.line) << c.lines.back();
            }
        }
    }
    EXPECT_THROW(readRunPeaks(test::TempFolder().file("missing.run")), common::Error);
}

} // namespace
} // namespace kestrana::defects
