// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Kestrana developers

// The working screens at full size, list boxes and charts included, on the offscreen platform:
//   AnalyserProcessInformation  PROCESS INFORMATION on a 32767-block run, labels and bar chart
//   AnalyserShowDetailsAll      SHOW DETAILS listing every one of the 32767 blocks into the listing
//   AnalyserCalcTrackShare      CALC TRACK % over the whole run
//   ComparatorProcessData         PROCESS DATA of four runs of 32767 blocks
//   ComparatorCompare100Km        COMPARE over 100 km: the listing lists and the line chart
//   PeakProcessData         PROCESS DATA of a 2000 km run (192000 peak rows)
//   PeakShowDetails50Km     SHOW DETAILS over 50 km with the 22 column lists filled
// Each measurement ends after the pending events are handled, so the lists have been laid out.

#include "run_generator.h"

#include "gui/analyser/analyser_screen.h"
#include "gui/comparator/comparator_screen.h"
#include "gui/peaks/peak_screen.h"
#include "gui/services/test_mode.h"
#include "gui/widgets/list_box.h"

#include <QApplication>
#include <QLineEdit>

#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

namespace {

namespace fs = std::filesystem;

fs::path benchFolder() {
    static const fs::path folder = fs::temp_directory_path() / "kestrana-bench-screens";
    return folder;
}

std::string writeRun(const std::string& name, const kestrana::generator::RunRecipe& recipe) {
    const fs::path path = benchFolder() / name;
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << kestrana::generator::generateRun(recipe);
    return path.string();
}

kestrana::generator::RunRecipe fullRun(unsigned seed, const std::string& date) {
    kestrana::generator::RunRecipe recipe;
    recipe.startKm = 100;
    recipe.kmCount = 32767 / 5 + 1;
    recipe.maxBlockLines = 32767;
    recipe.peakPairs = 0;
    recipe.seed = seed;
    recipe.lineSeed = 7;
    recipe.date = date;
    return recipe;
}

void settle() {
    QCoreApplication::processEvents();
}

void runAnalyserHandler(benchmark::State& state, void (kestrana::gui::analyser::AnalyserScreen::*handler)()) {
    kestrana::gui::analyser::AnalyserScreen screen;
    screen.show();
    screen.runFileEdit->setText(QString::fromStdString(writeRun("analyser.run", fullRun(1, "150324"))));
    screen.outputFileEdit->setText(QString::fromStdString((benchFolder() / "Trcout.txt").string()));
    screen.processData();
    screen.processInformation();
    screen.lowTgiEdit->setText("0");
    screen.highTgiEdit->setText("32766");
    for (auto _ : state) {
        (screen.*handler)();
        settle();
    }
    // Rows and separators in the listing: 65534 when SHOW DETAILS listed every block.
    if (handler == &kestrana::gui::analyser::AnalyserScreen::showDetails)
        state.counters["listing_entries"] = screen.listingList->count();
}
void AnalyserProcessInformation(benchmark::State& state) {
    runAnalyserHandler(state, &kestrana::gui::analyser::AnalyserScreen::processInformation);
}
void AnalyserShowDetailsAll(benchmark::State& state) {
    runAnalyserHandler(state, &kestrana::gui::analyser::AnalyserScreen::showDetails);
}
void AnalyserCalcTrackShare(benchmark::State& state) {
    runAnalyserHandler(state, &kestrana::gui::analyser::AnalyserScreen::calcTrackShare);
}
BENCHMARK(AnalyserProcessInformation)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);
BENCHMARK(AnalyserShowDetailsAll)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(AnalyserCalcTrackShare)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

std::unique_ptr<kestrana::gui::comparator::ComparatorScreen> loadedComparator() {
    auto screen = std::make_unique<kestrana::gui::comparator::ComparatorScreen>();
    screen->show();
    const char* dates[] = {"150324", "140921", "180322", "120326"};
    for (int k = 0; k < 4; ++k) {
        const std::string path = writeRun("compare" + std::to_string(k) + ".run",
                                          fullRun(static_cast<unsigned>(11 + k), dates[k]));
        screen->runFileEdits[static_cast<std::size_t>(k)]->setText(QString::fromStdString(path));
    }
    screen->olderRunCountEdit->setText("3");
    screen->olderRunCountChanged();
    return screen;
}

void ComparatorProcessData(benchmark::State& state) {
    auto screen = loadedComparator();
    for (auto _ : state) {
        screen->processData();
        settle();
    }
}
BENCHMARK(ComparatorProcessData)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3)
    ->Repetitions(3)
    ->ReportAggregatesOnly(true);

void ComparatorCompare100Km(benchmark::State& state) {
    auto screen = loadedComparator();
    screen->processData();
    screen->kmRangeEdits[0]->setText("3000");
    screen->kmRangeEdits[1]->setText("3100");
    for (auto _ : state) {
        screen->compare();
        settle();
    }
}
BENCHMARK(ComparatorCompare100Km)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

std::unique_ptr<kestrana::gui::peaks::PeakScreen> peakScreen() {
    auto screen = std::make_unique<kestrana::gui::peaks::PeakScreen>();
    screen->show();
    kestrana::generator::RunRecipe recipe;
    recipe.startKm = 100;
    recipe.kmCount = 2000;
    recipe.seed = 5;
    screen->runFileEdit->setText(QString::fromStdString(writeRun("peaks.run", recipe)));
    return screen;
}

void PeakProcessData(benchmark::State& state) {
    auto screen = peakScreen();
    for (auto _ : state) {
        screen->processData();
        settle();
    }
}
BENCHMARK(PeakProcessData)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3)
    ->Repetitions(3)
    ->ReportAggregatesOnly(true);

void PeakShowDetails50Km(benchmark::State& state) {
    auto screen = peakScreen();
    screen->processData();
    screen->limitEdit->setText("5");
    screen->kmRangeEdits[0]->setText("1000");
    screen->kmRangeEdits[1]->setText("1050");
    for (auto _ : state) {
        screen->showDetails();
        settle();
    }
}
BENCHMARK(PeakShowDetails50Km)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    fs::create_directories(benchFolder() / "home");
    qputenv("KESTRANA_HOME", QByteArray::fromStdString((benchFolder() / "home").string()));
    qputenv("KESTRANA_PRINT_TO", QByteArray::fromStdString((benchFolder() / "prints").string()));
    QApplication application(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    // No dialog may wait for an answer while the clock runs.
    kestrana::gui::services::enableTestMode();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::error_code error;
    fs::remove_all(benchFolder(), error);
    return 0;
}
