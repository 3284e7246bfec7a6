// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Kestrana developers

// Writes the sample run files bundled in data/samples: the analyser's run, the comparator's four
// runs of one line and the peak analyser's run. Deterministic: running it again gives the same bytes.
//
//   make_samples <folder>
//   make_samples --large <file>    the largest run the analyser accepts (32767 block lines), for
//                                  measuring kestrana-cli process (time, peak memory)
//   make_samples --measured <folder>
//                                  every run tools/bench-cli.sh and tools/compare-builds.sh use:
//                                  largest.run, long-km-line.run, long-peaks.run, compare0.run to
//                                  compare3.run
//   make_samples --defects <folder>
//                                  the six runs of a line with planted isolated defects
//                                  (defects01.run to defects06.run), every defect status at once
//   make_samples --defect-cases <folder>
//                                  five runs of a line whose defects sit on the edges of matching
//                                  (cases01.run to cases05.run)

#include "run_generator.h"

#include <fstream>
#include <iostream>
#include <string>

namespace {

bool write(const std::string& folder, const std::string& name, const std::string& text) {
    const std::string path = folder + "/" + name;
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(text.data(), static_cast<std::streamsize>(text.size()));
    out.close();
    if (!out) {
        std::cerr << "make_samples: cannot write " << path << "\n";
        return false;
    }
    std::cout << path << " (" << text.size() << " bytes)\n";
    return true;
}

} // namespace

int main(int argc, char** argv) {
    using kestrana::generator::RunRecipe;
    if (argc == 3 && std::string(argv[1]) == "--large") {
        const RunRecipe large = kestrana::generator::largestRunRecipe();
        const std::string path = argv[2];
        const auto slash = path.rfind('/');
        return write(slash == std::string::npos ? "." : path.substr(0, slash), path.substr(slash + 1),
                     kestrana::generator::generateRun(large))
                   ? 0
                   : 1;
    }
    if (argc == 3 && std::string(argv[1]) == "--measured") {
        const std::string folder = argv[2];
        bool ok = write(folder, "largest.run",
                        kestrana::generator::generateRun(kestrana::generator::largestRunRecipe()));
        ok = write(folder, "long-km-line.run",
                   kestrana::generator::generateRun(kestrana::generator::longKilometreLineRecipe())) &&
             ok;
        ok = write(folder, "long-peaks.run",
                   kestrana::generator::generateRun(kestrana::generator::longPeakRunRecipe())) &&
             ok;
        for (int slot = 0; slot < 4; ++slot) {
            ok = write(folder, "compare" + std::to_string(slot) + ".run",
                       kestrana::generator::generateRun(kestrana::generator::comparedRunRecipe(slot))) &&
                 ok;
        }
        return ok ? 0 : 1;
    }
    if (argc == 3 && std::string(argv[1]) == "--defect-cases") {
        bool ok = true;
        for (const auto& run : kestrana::generator::defectCaseRecipes()) {
            ok = write(argv[2], run.fileName, kestrana::generator::generateRun(run.recipe)) && ok;
        }
        return ok ? 0 : 1;
    }
    if (argc == 3 && std::string(argv[1]) == "--defects") {
        bool ok = true;
        for (const auto& run : kestrana::generator::defectSeriesRecipes().runs) {
            ok = write(argv[2], run.fileName, kestrana::generator::generateRun(run.recipe)) && ok;
        }
        return ok ? 0 : 1;
    }
    if (argc != 2) {
        std::cerr << "usage: make_samples <folder>\n       make_samples --large <file>\n"
                     "       make_samples --measured <folder>\n       make_samples --defects <folder>\n"
                     "       make_samples --defect-cases <folder>\n";
        return 2;
    }
    const std::string folder = argv[1];
    bool ok = true;

    // The analyser's run: 20 km over rising kilometres.
    RunRecipe analyser;
    analyser.startKm = 100;
    analyser.kmCount = 20;
    analyser.seed = 11;
    analyser.runNumber = '3';
    analyser.date = "150324";
    analyser.section = "NAGPUR - WARDHA UP MAIN LINE";
    ok = write(folder, "trcdata.run", kestrana::generator::generateRun(analyser)) && ok;

    // The comparator's runs: one line (same lineSeed), the same 20 km in the same direction, recorded
    // on four dates. Run 0 is the current run, runs 1 to 3 older ones (run 1 the oldest). Older runs
    // lack a few blocks, and run 2 lacks a whole kilometre.
    struct Recording {
        const char* file;
        unsigned seed;
        char runNumber;
        const char* date;
        int wear;
    };
    const Recording recordings[] = {{"trcdata0.run", 40, '4', "150324", 9},
                                    {"trcdata1.run", 41, '1', "140921", -6},
                                    {"trcdata2.run", 42, '2', "180322", 0},
                                    {"trcdata3.run", 43, '3', "110923", 4}};
    for (const auto& recording : recordings) {
        RunRecipe recipe;
        recipe.startKm = 130;
        recipe.kmCount = 20;
        recipe.lineSeed = 2024;
        recipe.seed = recording.seed;
        recipe.runNumber = recording.runNumber;
        recipe.date = recording.date;
        recipe.wear = recording.wear;
        recipe.section = "BHOPAL - ITARSI DN MAIN LINE";
        if (recording.runNumber == '1') {
            recipe.missingBlocks = {{133, 2}, {141, 5}, {146, 1}};
        } else if (recording.runNumber == '2') {
            recipe.missingKms = {137};
            recipe.missingBlocks = {{144, 3}};
        } else if (recording.runNumber == '3') {
            recipe.missingBlocks = {{139, 4}};
        }
        ok = write(folder, recording.file, kestrana::generator::generateRun(recipe)) && ok;
    }

    // The peak analyser's run: 30 km with a worn stretch, so that the first peaks of several
    // kilometres lie above the default limits (15 mm unevenness, 10 mm alignment, 6 mm gauge).
    RunRecipe peaks;
    peaks.startKm = 201;
    peaks.kmCount = 30;
    peaks.seed = 77;
    peaks.runNumber = '2';
    peaks.date = "020124";
    peaks.wear = 6;
    peaks.section = "SHEGAON - BADNERA UP LINE";
    ok = write(folder, "shtd0201.run", kestrana::generator::generateRun(peaks)) && ok;

    // The track history sample: one line recorded a dozen times over three years.
    for (const auto& run : kestrana::generator::historySampleRecipes()) {
        ok = write(folder, run.fileName, kestrana::generator::generateRun(run.recipe)) && ok;
    }
    // Beside it, a line with isolated defects of every status.
    for (const auto& run : kestrana::generator::defectSeriesRecipes().runs) {
        ok = write(folder, run.fileName, kestrana::generator::generateRun(run.recipe)) && ok;
    }

    return ok ? 0 : 1;
}
