// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Kestrana developers

#pragma once
// A deterministic generator of realistic run files, as the recording car writes them: a "95" run
// header line, a "91" section line, then per kilometre a comma-ended "60" line, five "68" block lines
// and twelve "67" peak lines (one per parameter code 0 to 9, 12 and 13) of eight pairs. Lines end
// with CR LF. The same RunRecipe always gives the same text.

#include <array>
#include <set>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace kestrana::generator {

struct RunRecipe {
    int startKm = 120;
    int kmCount = 10;
    int direction = 1; // 1: km to = km from + 1; -1: km to = km from - 1
    int blocksPerKm = 5;
    int peakPairs = 8; // pairs per "67" line; 0 writes no peak lines
    // When > 0: kilometres are written (beyond kmCount if need be) until exactly this many block
    // lines are written, and the file stops right after the last one (mid-kilometre).
    long maxBlockLines = 0;
    unsigned seed = 1;
    char runNumber = '1';
    std::string date = "120326"; // six characters at positions 6 to 11 of the "95" line
    std::string section = "NAGPUR - WARDHA UP MAIN LINE"; // positions 15 to 44 of the "91" line
    std::set<int> missingKms;                             // kilometres (km from) left out entirely
    std::set<std::pair<int, int>> missingBlocks;          // (km from, block number) left out
    bool withHeader = true;                               // write the "95" and "91" lines
    // The condition of the track itself comes from lineSeed (0: from seed), so that runs of one line
    // recorded on different dates (different seeds) show the same good and bad stretches.
    unsigned lineSeed = 0;
    // Deterioration since the line's best state, in percent of the roughness scale: older runs of a
    // line get a smaller value than newer ones. Raises SDs and peaks and lowers the indices.
    int wear = 0;
    // Stretches whose wear differs from `wear`, for instance a stretch tamped since the line's last
    // recording (a lower wear there than elsewhere). The first stretch holding a km applies.
    struct WearStretch {
        int fromKm = 0; // km from of the first kilometre, inclusive
        int toKm = 0;   // km from of the last kilometre, inclusive
        int wear = 0;
    };
    std::vector<WearStretch> wearStretches;
    // Blanks after the comma that ends each "60" line: 0 for the car's own lines; a large number gives
    // a valid run with very long kilometre lines, which a reader must not copy once per block.
    int kmLinePadding = 0;
    // Isolated defects: peaks written as the first pairs of the peak line of their kilometre and
    // parameter, in the order given, in place of the car's leading peaks (more than the line holds are
    // left out). Empty for the car's own peaks only.
    struct PlantedPeak {
        int km = 0; // km from
        int code = 0;
        int location = 0;
        int value = 0; // signed
    };
    std::vector<PlantedPeak> plantedPeaks;
    // Peak lines (km from, parameter code) whose own pairs stay at the parameter's typical size, below
    // every default limit: the place of a planted defect, so that in runs where it is absent nothing
    // else exceeds there.
    std::set<std::pair<int, int>> quietPeakLines;
};

// The wear a recipe gives the kilometre starting at kmFrom.
int wearAt(const RunRecipe& recipe, int kmFrom);

std::string generateRun(const RunRecipe& recipe);

// The runs that the benchmarks and tools/bench-cli.sh measure, so both measure the same files.
RunRecipe largestRunRecipe();          // 32767 block lines, the most a run may hold (6.8 MB)
RunRecipe longKilometreLineRecipe();   // one 200,000-character kilometre line over 5000 blocks (545 KB)
RunRecipe longPeakRunRecipe();         // 2000 km: 24000 peak lines of 8 pairs, 192000 peak rows
RunRecipe comparedRunRecipe(int slot); // slot 0 to 3: four recordings of one line, 32767 blocks each

// The run's text together with what it holds, so that tests can derive expected results from the
// generated values without going through the reader under test.
struct GeneratedRun {
    std::string text;
    // One entry per block line, in file order: the 3 kilometre-line numbers, then the 23 block-line
    // numbers (fields 1 to 26 of the block's row).
    std::vector<std::array<int, 26>> blocks;
    long peakLines = 0;
};
GeneratedRun generateRunWithValues(const RunRecipe& recipe);

// The lines of a generated run's text, without their CR LF ends (valid while the text is).
std::vector<std::string_view> linesOf(const std::string& text);

// The "95" and "91" lines the generator writes for a RunRecipe (without line ends).
std::string headerLineOf(const RunRecipe& recipe);
std::string sectionLineOf(const RunRecipe& recipe);

// A line's history as the track-history sample shows it: a dozen runs of one line over three years,
// a quarter apart, each worn a little more than the one before (steady deterioration), one stretch
// tamped between two runs (its indices rise sharply and then fall again), and a few blocks not
// recorded or missing. The blocks keep their character from run to run (one seed), so that each
// block's values fall steadily. Runs are in date order; their file names are historyNN.run.
struct HistoryRun {
    std::string fileName;
    RunRecipe recipe;
};
std::vector<HistoryRun> historySampleRecipes();

// A line recorded six times over fifteen months on falling km (440 down to 421), with planted isolated
// defects that show every defect status at once besides the car's own peaks of a wearing line:
// two that repeat and grow (one a dip), one removed by tamping (gone), one new in the latest run, one
// that wanders across a kilometre boundary, one that comes back after two clean runs (recurring) and
// one in a block of good TGI. Runs are in date order; their file names are defectsNN.run.
struct PlantedDefect {
    std::string story;
    int code = 0;
    int km = 0; // where its latest exceedance is
    int location = 0;
    std::string status; // "repeat", "new", "recurring" or "gone" with the default limits and tolerance
};
struct DefectSeries {
    std::vector<HistoryRun> runs;
    std::vector<PlantedDefect> defects;
};
DefectSeries defectSeriesRecipes();

// Five runs of a line on rising km (100 to 104) whose planted defects sit on the edges of matching with
// the default limits and tolerance: a defect moving exactly the tolerance and then a metre more, two
// exceedances of one run equally near one defect, a defect crossing a kilometre boundary, and a
// kilometre left out of one run (a gap between covering runs); the last two runs are of one day.
// Their file names are casesNN.run.
std::vector<HistoryRun> defectCaseRecipes();

} // namespace kestrana::generator
