// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Kestrana developers

#include "run_generator.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>

namespace kestrana::generator {
namespace {

// splitmix64: small, fast and the same on every platform and standard library (the distributions
// of <random> are not), which keeps the generated files identical everywhere.
std::uint64_t mix(std::uint64_t x) {
    x += 0x9E3779B97F4A7C15ULL;
    x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ULL;
    x = (x ^ (x >> 27)) * 0x94D049BB133111EBULL;
    return x ^ (x >> 31);
}

std::uint64_t hashOf(std::uint64_t a, std::uint64_t b, std::uint64_t c = 0, std::uint64_t d = 0) {
    return mix(mix(mix(mix(a) ^ b) ^ c) ^ d);
}

class Random {
public:
    explicit Random(std::uint64_t state) : state_(state) {}
    std::uint64_t next() { return state_ = mix(state_); }
    // Uniform in [0, 1).
    double unit() { return static_cast<double>(next() >> 11) * (1.0 / 9007199254740992.0); }
    // Uniform whole number in [low, high].
    int between(int low, int high) {
        return low + static_cast<int>(next() % static_cast<std::uint64_t>(high - low + 1));
    }
    // Roughly bell-shaped in [-1, 1].
    double noise() { return (unit() + unit() + unit()) / 1.5 - 1.0; }

private:
    std::uint64_t state_;
};

double unitOf(std::uint64_t hash) {
    return static_cast<double>(hash >> 11) * (1.0 / 9007199254740992.0);
}

int clampInt(double value, int low, int high) {
    return std::clamp(static_cast<int>(std::lround(value)), low, high);
}

// Roughness of the track at a kilometre, 0 (smooth) to 1 (rough): a slow swell over stretches of
// about four kilometres with some local variation, fixed by the line alone.
double trackRoughness(std::uint64_t line, int km) {
    const int stretch = static_cast<int>(std::floor(km / 4.0));
    const double t = (km - stretch * 4) / 4.0;
    const double a = unitOf(hashOf(line, 1, static_cast<std::uint64_t>(stretch)));
    const double b = unitOf(hashOf(line, 1, static_cast<std::uint64_t>(stretch + 1)));
    const double local = unitOf(hashOf(line, 2, static_cast<std::uint64_t>(km)));
    return 0.75 * (a + (b - a) * t) + 0.25 * local;
}

// Line speed over a kilometre, 30 to 130: also a property of the line (curves, stations).
int lineSpeed(std::uint64_t line, int km) {
    const int stretch = static_cast<int>(std::floor(km / 6.0));
    const double u = unitOf(hashOf(line, 3, static_cast<std::uint64_t>(stretch)));
    return 40 + static_cast<int>(u * 80.0);
}

void appendInt(std::string& out, long long value) {
    char buffer[24];
    auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    out.append(buffer, result.ptr);
}

// Numbers of one block line: code 68 and 22 values (block-line positions 1 to 23).
std::array<int, 23> blockValues(const RunRecipe& recipe, std::uint64_t line, int km, int block) {
    Random random(hashOf(recipe.seed, 4, static_cast<std::uint64_t>(km), static_cast<std::uint64_t>(block)));
    const double r =
        std::clamp(trackRoughness(line, km) + 0.12 * random.noise() + wearAt(recipe, km) / 100.0, 0.0, 1.0);
    std::array<int, 23> v{};
    v[0] = 68;
    v[1] = block;
    // Channel SDs in tenths of a millimetre; each channel has its own typical range.
    auto sd = [&](double low, double span) {
        return clampInt(low + span * r + 6.0 * random.noise(), 5, 120);
    };
    v[2] = sd(14, 80);  // U1L
    v[3] = sd(14, 80);  // U1R
    v[4] = sd(10, 45);  // TW1
    v[5] = sd(6, 30);   // G
    v[6] = sd(8, 60);   // A1L
    v[7] = sd(8, 60);   // A1R
    v[8] = sd(18, 95);  // U2L
    v[9] = sd(18, 95);  // U2R
    v[10] = sd(10, 70); // A2L
    v[11] = sd(10, 70); // A2R
    v[12] = sd(10, 45); // TW2
    // A few blocks are not recorded (instrument dropout): index 0 and no sub-indices.
    const bool recorded = random.unit() >= 0.03;
    const int tgi = recorded ? clampInt(112.0 - 105.0 * r + 5.0 * random.noise(), 1, 120) : 0;
    v[13] = tgi;
    v[14] = clampInt(lineSpeed(line, km) + 8.0 * random.noise(), 30, 130); // SPD
    v[15] = random.between(0, 3);                                          // kept, unused
    v[16] = clampInt(90 + 240 * r + 15.0 * random.noise(), 40, 400);       // RIV, hundredths
    v[17] = clampInt(80 + 220 * r + 15.0 * random.noise(), 40, 400);       // RIL, hundredths
    for (int i = 18; i <= 21; ++i) {                                       // TGIU, TGIW, TGIG, TGIL
        v[static_cast<std::size_t>(i)] = recorded ? clampInt(tgi + 12.0 * random.noise(), 1, 120) : 0;
    }
    v[22] = 0; // kept, unused
    return v;
}

// Peak parameter codes as the car lists them, with the typical size of a bad peak (mm).
struct PeakFamily {
    int code;
    double base;
    double span;
};
constexpr std::array<PeakFamily, 12> kPeakFamilies{{{0, 3, 18},     // UN1L
                                                    {1, 3, 18},     // UN1R
                                                    {2, 2, 13},     // TW1
                                                    {3, 1, 8},      // GAUGE
                                                    {4, 1, 8},      // AL1L
                                                    {5, 1, 8},      // AL1R
                                                    {6, 4, 22},     // UN2L
                                                    {7, 4, 22},     // UN2R
                                                    {8, 2, 14},     // AL2L
                                                    {9, 2, 14},     // AL2R
                                                    {12, 0, 1.0},   // VACC
                                                    {13, 0, 1.0}}}; // LACC

void appendPeakLine(std::string& out, const RunRecipe& recipe, std::uint64_t line, int km,
                    const PeakFamily& family) {
    Random random(
        hashOf(recipe.seed, 5, static_cast<std::uint64_t>(km), static_cast<std::uint64_t>(family.code)));
    const double r =
        std::clamp(trackRoughness(line, km) + 0.15 * random.noise() + wearAt(recipe, km) / 100.0, 0.0, 1.0);
    // The car lists the leading peaks first: values fall from pair to pair.
    int value = clampInt(family.base + family.span * r * r * 1.6 + 2.0 * random.noise(), 0, 99);
    std::vector<const RunRecipe::PlantedPeak*> planted;
    for (const auto& peak : recipe.plantedPeaks) {
        if (peak.km == km && peak.code == family.code) {
            planted.push_back(&peak);
        }
    }
    const bool quiet = recipe.quietPeakLines.count({km, family.code}) != 0;
    out += "67,";
    appendInt(out, family.code);
    int listed = 0;
    for (int m = 0; m < recipe.peakPairs; ++m) {
        // Every pair draws its numbers, planted or not, so the lines after it stay as they were.
        int shown = quiet ? std::min(value, static_cast<int>(family.base)) : value;
        int location = random.between(0, 1000);
        if (static_cast<std::size_t>(m) < planted.size()) {
            shown = planted[static_cast<std::size_t>(m)]->value;
            location = planted[static_cast<std::size_t>(m)]->location;
        }
        out += ',';
        appendInt(out, shown);
        out += ',';
        appendInt(out, location);
        listed += shown != 0 ? 1 : 0;
        value = std::max(0, value - random.between(0, 2));
    }
    out += ',';
    appendInt(out, listed);
    out += "\r\n";
}

} // namespace

int wearAt(const RunRecipe& recipe, int kmFrom) {
    for (const auto& stretch : recipe.wearStretches) {
        if (stretch.fromKm <= kmFrom && kmFrom <= stretch.toKm) {
            return stretch.wear;
        }
    }
    return recipe.wear;
}

std::vector<HistoryRun> historySampleRecipes() {
    // Quarterly recordings from January 2024 to October 2026 (DDMMYY).
    const char* const dates[] = {"160124", "150424", "100724", "141024", "150125", "140425",
                                 "150725", "141025", "130126", "140426", "140726", "131026"};
    constexpr int kWearPerRun = 3;
    constexpr int kTampedAfterRun = 6; // the stretch is tamped between runs 6 and 7 (0-based)
    std::vector<HistoryRun> runs;
    for (int i = 0; i < 12; ++i) {
        RunRecipe recipe;
        recipe.startKm = 300;
        recipe.kmCount = 20;
        recipe.seed = 3100;
        recipe.lineSeed = 900;
        recipe.runNumber = static_cast<char>('1' + i % 3);
        recipe.date = dates[i];
        recipe.section = "AKOLA - BHUSAWAL UP MAIN LINE";
        recipe.wear = i * kWearPerRun;
        // Kilometres 313 and 314 were relaid just before the first run and keep their state.
        recipe.wearStretches = {{313, 314, 0}};
        if (i > kTampedAfterRun) {
            // Tamping brings the stretch back below the line's best state; it wears on from there.
            recipe.wearStretches.push_back({307, 310, (i - kTampedAfterRun) * kWearPerRun - 12});
        }
        // Kilometre 319 is a new loop, recorded only by the last run.
        if (i < 11) {
            recipe.missingKms = {319};
        }
        if (i == 3) {
            recipe.missingBlocks = {{304, 2}, {315, 5}};
        } else if (i == 8) {
            recipe.missingKms.insert(318);
        }
        char name[32];
        std::snprintf(name, sizeof name, "history%02d.run", i + 1);
        runs.push_back(HistoryRun{name, recipe});
    }
    return runs;
}

DefectSeries defectSeriesRecipes() {
    const char* const dates[] = {"100125", "110425", "100725", "091025", "120126", "100426"};
    constexpr int kRuns = 6;
    constexpr int kUN1L = 0, kUN2R = 7, kTW1 = 2, kGAUGE = 3, kAL1L = 4, kUN2L = 6, kAL2L = 8;
    // Values per run (0: the defect is not there in that run) and location per run.
    struct Story {
        PlantedDefect defect;
        std::array<int, kRuns> values;
        std::array<int, kRuns> kms;
        std::array<int, kRuns> locations;
    };
    const std::vector<Story> stories = {
        {{"repeats and grows", kUN2L, 436, 251, "repeat"},
         {17, 19, 21, 23, 26, 28},
         {436, 436, 436, 436, 436, 436},
         {250, 252, 249, 251, 250, 251}},
        {{"a dip that repeats and grows", kTW1, 432, 608, "repeat"},
         {0, 0, -12, -13, -15, -17},
         {432, 432, 432, 432, 432, 432},
         {0, 0, 610, 611, 609, 608}},
        {{"removed by tamping", kUN1L, 429, 420, "gone"},
         {13, 15, 17, 0, 0, 0},
         {429, 429, 429, 429, 429, 429},
         {420, 418, 420, 0, 0, 0}},
        {{"new in the latest run", kAL1L, 425, 730, "new"},
         {0, 0, 0, 0, 0, 9},
         {425, 425, 425, 425, 425, 425},
         {0, 0, 0, 0, 0, 730}},
        // On falling km, km 434 location 996 (position 433004) is 6 m before km 433 location 2 (432998):
        // each run moves it 6 m on.
        {{"wanders across a kilometre boundary", kUN2R, 433, 14, "repeat"},
         {18, 19, 20, 21, 22, 23},
         {434, 434, 434, 433, 433, 433},
         {984, 990, 996, 2, 8, 14}},
        {{"comes back after two clean runs", kAL2L, 427, 151, "recurring"},
         {12, 13, 0, 0, 0, 14},
         {427, 427, 427, 427, 427, 427},
         {150, 149, 0, 0, 0, 151}},
        {{"in a block of good track", kGAUGE, 422, 821, "repeat"},
         {0, 0, 0, 8, 9, 9},
         {422, 422, 422, 422, 422, 422},
         {0, 0, 0, 820, 822, 821}},
    };
    constexpr int kTampedKm = 429;
    constexpr int kGoodTrackKm = 422;
    DefectSeries series;
    for (const Story& story : stories) {
        series.defects.push_back(story.defect);
    }
    for (int i = 0; i < kRuns; ++i) {
        RunRecipe recipe;
        recipe.startKm = 440;
        recipe.kmCount = 20;
        recipe.direction = -1;
        recipe.seed = 4400;
        recipe.lineSeed = 4401;
        recipe.runNumber = static_cast<char>('1' + i % 2);
        recipe.date = dates[i];
        recipe.section = "WARDHA - BALHARSHAH DN LINE";
        recipe.wear = 20 + 3 * i;
        // A stretch of new track keeps its best state; the tamped kilometre is better after run 3.
        recipe.wearStretches = {{kGoodTrackKm, kGoodTrackKm, -100}};
        if (i >= 3) {
            recipe.wearStretches.push_back({kTampedKm, kTampedKm, -20});
        }
        for (const Story& story : stories) {
            for (int run = 0; run < kRuns; ++run) {
                recipe.quietPeakLines.insert({story.kms[static_cast<std::size_t>(run)], story.defect.code});
            }
            const auto at = static_cast<std::size_t>(i);
            if (story.values[at] != 0) {
                recipe.plantedPeaks.push_back(
                    {story.kms[at], story.defect.code, story.locations[at], story.values[at]});
            }
        }
        char name[32];
        std::snprintf(name, sizeof name, "defects%02d.run", i + 1);
        series.runs.push_back(HistoryRun{name, recipe});
    }
    return series;
}

std::vector<HistoryRun> defectCaseRecipes() {
    constexpr int kRuns = 5;
    // Per run: the planted peaks (km, code, location, value).
    const std::array<std::vector<RunRecipe::PlantedPeak>, kRuns> planted = {{
        {{101, 0, 500, 12}, {102, 2, 300, 12}, {100, 6, 995, 16}, {103, 3, 700, 8}},
        {{101, 0, 510, 13}, {102, 2, 295, -14}, {102, 2, 305, 14}, {101, 6, 3, 17}, {103, 3, 700, 8}},
        {{101, 0, 520, 14}, {102, 2, 300, 13}, {101, 6, 5, -18}},
        {{101, 0, 531, 15}, {102, 2, 290, 12}, {102, 2, 310, 12}},
        {{101, 0, 541, 16}, {103, 3, 701, 9}, {101, 6, 5, 18}},
    }};
    const char* const dates[] = {"150324", "150924", "150325", "150925", "150925"};
    std::vector<HistoryRun> runs;
    for (int i = 0; i < kRuns; ++i) {
        RunRecipe recipe;
        recipe.startKm = 100;
        recipe.kmCount = 5;
        recipe.seed = 5100 + static_cast<unsigned>(i);
        recipe.lineSeed = 5100;
        recipe.runNumber = static_cast<char>('1' + (i == kRuns - 1 ? 1 : 0));
        recipe.date = dates[i];
        recipe.section = "BINA - KATNI UP LINE";
        recipe.wear = 10 + 2 * i;
        if (i == 2) {
            recipe.missingKms = {103}; // the gap: this run does not cover km 103
        }
        for (const auto& run : planted) {
            for (const auto& peak : run) {
                recipe.quietPeakLines.insert({peak.km, peak.code});
            }
        }
        recipe.plantedPeaks = planted[static_cast<std::size_t>(i)];
        char name[32];
        std::snprintf(name, sizeof name, "cases%02d.run", i + 1);
        runs.push_back(HistoryRun{name, recipe});
    }
    return runs;
}

std::vector<std::string_view> linesOf(const std::string& text) {
    std::vector<std::string_view> lines;
    for (std::size_t start = 0, end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2) {
        lines.emplace_back(text.data() + start, end - start);
    }
    return lines;
}

std::string headerLineOf(const RunRecipe& recipe) {
    // Run number at position 4, date at positions 6 to 11.
    return std::string("95,") + recipe.runNumber + "," + recipe.date + ",0815,TRC";
}

std::string sectionLineOf(const RunRecipe& recipe) {
    // Section at positions 15 to 44: 14 characters before it, 30 characters for it.
    std::string section = recipe.section.substr(0, 30);
    section.resize(30, ' ');
    return "91,0034,NR,KM," + section + ",END";
}

GeneratedRun generateRunWithValues(const RunRecipe& recipe) {
    GeneratedRun run;
    std::string& out = run.text;
    const long plannedBlocks = recipe.maxBlockLines > 0
                                   ? recipe.maxBlockLines
                                   : static_cast<long>(recipe.kmCount) * recipe.blocksPerKm;
    out.reserve(static_cast<std::size_t>(plannedBlocks) * 150 + 1024);
    run.blocks.reserve(static_cast<std::size_t>(plannedBlocks));
    if (recipe.withHeader) {
        out += headerLineOf(recipe) + "\r\n";
        out += sectionLineOf(recipe) + "\r\n";
    }
    const std::uint64_t line = recipe.lineSeed != 0 ? recipe.lineSeed : recipe.seed;
    for (int i = 0;; ++i) {
        const bool limited = recipe.maxBlockLines > 0;
        if (limited ? static_cast<long>(run.blocks.size()) >= recipe.maxBlockLines : i >= recipe.kmCount) {
            break;
        }
        // A RunRecipe that writes no block lines at all cannot reach maxBlockLines: stop within 16 bits.
        if (i > 65535) {
            break;
        }
        const int kmFrom = recipe.startKm + i * recipe.direction;
        const int kmTo = kmFrom + recipe.direction;
        if (recipe.missingKms.count(kmFrom) != 0) {
            continue;
        }
        out += "60,";
        appendInt(out, kmFrom);
        out += ',';
        appendInt(out, kmTo);
        out += ',';
        out.append(static_cast<std::size_t>(std::max(recipe.kmLinePadding, 0)), ' ');
        out += "\r\n";
        for (int block = 1; block <= recipe.blocksPerKm; ++block) {
            if (recipe.missingBlocks.count({kmFrom, block}) != 0) {
                continue;
            }
            const auto values = blockValues(recipe, line, kmFrom, block);
            std::array<int, 26> row{60, kmFrom, kmTo};
            for (std::size_t k = 0; k < values.size(); ++k) {
                if (k > 0) {
                    out += ',';
                }
                appendInt(out, values[k]);
                row[k + 3] = values[k];
            }
            out += "\r\n";
            run.blocks.push_back(row);
            if (limited && static_cast<long>(run.blocks.size()) >= recipe.maxBlockLines) {
                return run;
            }
        }
        if (recipe.peakPairs > 0) {
            for (const auto& family : kPeakFamilies) {
                appendPeakLine(out, recipe, line, kmFrom, family);
                ++run.peakLines;
            }
        }
    }
    return run;
}

std::string generateRun(const RunRecipe& recipe) {
    return generateRunWithValues(recipe).text;
}

RunRecipe largestRunRecipe() {
    RunRecipe recipe;
    recipe.maxBlockLines = 32767;
    return recipe;
}

RunRecipe longKilometreLineRecipe() {
    RunRecipe recipe;
    recipe.kmCount = 1;
    recipe.blocksPerKm = 5000;
    recipe.peakPairs = 0;
    recipe.kmLinePadding = 200000 - static_cast<int>(std::string("60,120,121,").size());
    return recipe;
}

RunRecipe longPeakRunRecipe() {
    RunRecipe recipe;
    recipe.kmCount = 2000;
    recipe.wear = 20;
    return recipe;
}

RunRecipe comparedRunRecipe(int slot) {
    static const char* const dates[] = {"150324", "140921", "180322", "120326"};
    RunRecipe recipe;
    recipe.startKm = 100;
    recipe.kmCount = 32767 / 5 + 1;
    recipe.maxBlockLines = 32767;
    recipe.seed = static_cast<unsigned>(11 + slot);
    recipe.date = dates[slot & 3];
    return recipe;
}

} // namespace kestrana::generator
