// The working screens at full size, list boxes and charts included, on the offscreen platform:
//   Form1ProcessInformation  PROCESS INFORMATION on a 32767-block run, labels and bar chart
//   Form1ShowDetailsAll      SHOW DETAILS listing every one of the 32767 blocks into List1
//   Form1CalcTrackShare      CALC TRACK % over the whole run
//   Form2ProcessData         PROCESS DATA of four runs of 32767 blocks
//   Form2Compare100Km        COMPARE over 100 km: the listing lists and the line chart
//   Form6ProcessData         PROCESS DATA of a 2000 km run (192000 peak rows)
//   Form6ShowDetails50Km     SHOW DETAILS over 50 km with the 22 column lists filled
// Each measurement ends after the pending events are handled, so the lists have been laid out.

#include "run_generator.h"

#include "gui/analyser/form1.h"
#include "gui/comparator/form2.h"
#include "gui/peaks/tgi_form6.h"
#include "gui/platform/list_box.h"
#include "gui/platform/test_mode.h"

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

std::string writeRun(const std::string& name, const kestrana::bench::RunRecipe& recipe) {
    const fs::path path = benchFolder() / name;
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << kestrana::bench::generateRun(recipe);
    return path.string();
}

kestrana::bench::RunRecipe fullRun(unsigned seed, const std::string& date) {
    kestrana::bench::RunRecipe recipe;
    recipe.startKm = 100;
    recipe.kmCount = 32767 / 5 + 1;
    recipe.maxBlockLines = 32767;
    recipe.peakPairs = 0;
    recipe.seed = seed;
    recipe.lineSeed = 7;
    recipe.date = date;
    return recipe;
}

void settle() { QCoreApplication::processEvents(); }

void Form1(benchmark::State& state, void (kestrana::gui::analyser::form1::*handler)()) {
    kestrana::gui::analyser::form1 screen;
    screen.show();
    screen.Text1->setText(QString::fromStdString(writeRun("analyser.run", fullRun(1, "150324"))));
    screen.Text2->setText(QString::fromStdString((benchFolder() / "Trcout.txt").string()));
    screen.Command1_Click();
    screen.Command2_Click();
    screen.Text3->setText("0");
    screen.Text4->setText("32766");
    for (auto _ : state) {
        (screen.*handler)();
        settle();
    }
    // Rows and separators in List1: 65534 when SHOW DETAILS listed every block.
    if (handler == &kestrana::gui::analyser::form1::Command3_Click)
        state.counters["list1_entries"] = screen.List1->count();
}
void Form1ProcessInformation(benchmark::State& state) { Form1(state, &kestrana::gui::analyser::form1::Command2_Click); }
void Form1ShowDetailsAll(benchmark::State& state) { Form1(state, &kestrana::gui::analyser::form1::Command3_Click); }
void Form1CalcTrackShare(benchmark::State& state) { Form1(state, &kestrana::gui::analyser::form1::Command4_Click); }
BENCHMARK(Form1ProcessInformation)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(Form1ShowDetailsAll)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(Form1CalcTrackShare)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

std::unique_ptr<kestrana::gui::comparator::form2> loadedComparator() {
    auto screen = std::make_unique<kestrana::gui::comparator::form2>();
    screen->show();
    const char* dates[] = {"150324", "140921", "180322", "120326"};
    for (int k = 0; k < 4; ++k) {
        const std::string path = writeRun("compare" + std::to_string(k) + ".run",
                                          fullRun(static_cast<unsigned>(11 + k), dates[k]));
        screen->Text1[static_cast<std::size_t>(k)]->setText(QString::fromStdString(path));
    }
    screen->Text3->setText("3");
    screen->Text3_Change();
    return screen;
}

void Form2ProcessData(benchmark::State& state) {
    auto screen = loadedComparator();
    for (auto _ : state) {
        screen->Command2_Click();
        settle();
    }
}
BENCHMARK(Form2ProcessData)->Unit(benchmark::kMillisecond)->Iterations(3)->Repetitions(3)->ReportAggregatesOnly(true);

void Form2Compare100Km(benchmark::State& state) {
    auto screen = loadedComparator();
    screen->Command2_Click();
    screen->Text2[0]->setText("3000");
    screen->Text2[1]->setText("3100");
    for (auto _ : state) {
        screen->Command1_Click();
        settle();
    }
}
BENCHMARK(Form2Compare100Km)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

std::unique_ptr<kestrana::gui::peaks::tgi_form6> peakScreen() {
    auto screen = std::make_unique<kestrana::gui::peaks::tgi_form6>();
    screen->show();
    kestrana::bench::RunRecipe recipe;
    recipe.startKm = 100;
    recipe.kmCount = 2000;
    recipe.seed = 5;
    screen->Text1->setText(QString::fromStdString(writeRun("peaks.run", recipe)));
    return screen;
}

void Form6ProcessData(benchmark::State& state) {
    auto screen = peakScreen();
    for (auto _ : state) {
        screen->Command1_Click();
        settle();
    }
}
BENCHMARK(Form6ProcessData)->Unit(benchmark::kMillisecond)->Iterations(3)->Repetitions(3)->ReportAggregatesOnly(true);

void Form6ShowDetails50Km(benchmark::State& state) {
    auto screen = peakScreen();
    screen->Command1_Click();
    screen->Text2->setText("5");
    screen->Text3[0]->setText("1000");
    screen->Text3[1]->setText("1050");
    for (auto _ : state) {
        screen->Command2_Click();
        settle();
    }
}
BENCHMARK(Form6ShowDetails50Km)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

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
    kestrana::gui::platform::enableTestMode();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::error_code error;
    fs::remove_all(benchFolder(), error);
    return 0;
}
