// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Kestrana developers

// The track history screen's condition map on the offscreen platform, painted into an image:
//   ConditionMapPaint100Km40Runs   a map of 100 km x 40 runs (500 blocks a run) drawn whole, fitted to
//                                  the width of a 1024 x 768 screen
//   ConditionMapPaintZoomed        the same map zoomed in until each cell is 12 pixels wide
//   ConditionMapPaintWide          the same map on a 1600 x 1200 screen
//   ConditionMapReadAndPaint       the map read from a library of 40 runs of 32767 blocks, then drawn
// On a line of 2,000 km (10,000 blocks) with 125 runs (1.25 M values), in a 1000 x 520 map:
//   ShowLine2000Km125Runs          what SHOW does from the press to the painted map: the map read, the
//                                  forecast of every block, the maintenance list, the map drawn fitted
//                                  (each pixel the worst of the 10 blocks it stands for); target 300 ms
//   ZoomStep2000Km / PanStep2000Km one zoom step or one pan step and the repaint; target 16 ms

#include "core/history/condition_map.h"
#include "core/history/forecast_list.h"
#include "core/history/maintenance_list.h"
#include "core/library/sqlite_run_library.h"

#include "gui/history/condition_map_view.h"

#include <QApplication>
#include <QImage>
#include <QPainter>

#include <benchmark/benchmark.h>

#include <filesystem>
#include <memory>
#include <random>
#include <string>

namespace {

namespace core = kestrana::history;
namespace library = kestrana::library;
namespace fs = std::filesystem;

constexpr int kRuns = 40;
constexpr int kBlocksPerKm = 5;
constexpr std::int16_t kFirstKm = 100;
const core::Series kSeries{"BENCH LINE", 1};

fs::path benchFolder() {
    static const fs::path folder = fs::temp_directory_path() / "kestrana-bench-history-map";
    return folder;
}

// A block's value in a run: worn a little more in every run, a few not recorded.
std::int16_t valueOf(std::mt19937& random, int run, int km) {
    if (random() % 50 == 0)
        return 0;
    return static_cast<std::int16_t>(20 + (km * 37) % 70 - run / 2 + static_cast<int>(random() % 6));
}

std::vector<library::RunValues> runValues(int kmCount) {
    std::mt19937 random(7);
    std::vector<library::RunValues> runs;
    for (int run = 0; run < kRuns; ++run) {
        library::RunValues values;
        values.run.id = run + 1;
        values.run.series = kSeries;
        values.run.day = 19000 + run * 90;
        for (int km = 0; km < kmCount; ++km)
            for (int block = 1; block <= kBlocksPerKm; ++block)
                values.values.push_back(
                    {{static_cast<std::int16_t>(kFirstKm + km), static_cast<std::int16_t>(block)},
                     valueOf(random, run, km)});
        runs.push_back(std::move(values));
    }
    return runs;
}

double paintOnce(kestrana::gui::history::ConditionMapView& view, QImage& image) {
    image.fill(Qt::white);
    QPainter painter(&image);
    view.paintMap(painter);
    return image.pixel(image.width() / 2, image.height() / 2);
}

void paintBenchmark(benchmark::State& state, QSize size, double cellWidth) {
    const std::vector<library::RunValues> runs = runValues(100);
    kestrana::gui::history::ConditionMapView view;
    view.resize(size);
    view.setMap(std::make_shared<const core::ConditionMap>(
        core::conditionMapOf(kSeries, core::BlockIndex::TGI, runs)));
    if (cellWidth > 0)
        view.setColumnWidth(cellWidth, size.width() / 2.0);
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state)
        benchmark::DoNotOptimize(paintOnce(view, image));
    state.counters["cells"] = static_cast<double>(view.map()->cells.size());
}

void ConditionMapPaint100Km40Runs(benchmark::State& state) {
    paintBenchmark(state, {1000, 520}, 0);
}
BENCHMARK(ConditionMapPaint100Km40Runs)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

void ConditionMapPaintZoomed(benchmark::State& state) {
    paintBenchmark(state, {1000, 520}, 12);
}
BENCHMARK(ConditionMapPaintZoomed)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

void ConditionMapPaintWide(benchmark::State& state) {
    paintBenchmark(state, {1580, 950}, 0);
}
BENCHMARK(ConditionMapPaintWide)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

// A library of `runs` runs, each of `blocks` blocks, stored straight from their values.
std::string fullLibrary(int runs = kRuns, int blocks = 32767) {
    const fs::path path =
        benchFolder() / ("library-" + std::to_string(runs) + "x" + std::to_string(blocks) + ".sqlite");
    if (fs::exists(path))
        return path.string();
    fs::create_directories(benchFolder());
    auto library = library::openSqliteLibrary(path.string(), library::LibraryAccess::CreateIfMissing);
    std::mt19937 random(11);
    for (int run = 0; run < runs; ++run) {
        library::LoadedRun loaded;
        loaded.series = kSeries;
        loaded.day = 15000 + run * 60;
        loaded.dateText = "010120";
        loaded.runNumber = "1";
        loaded.file = "bench" + std::to_string(run) + ".run";
        loaded.contentHash = library::sha256(loaded.file);
        for (int i = 0; i < blocks; ++i) {
            const int km = i / kBlocksPerKm;
            library::StoredBlock block;
            block.key = {static_cast<std::int16_t>(kFirstKm + km),
                         static_cast<std::int16_t>(i % kBlocksPerKm + 1)};
            block.values.fill(valueOf(random, run, km));
            loaded.blocks.push_back(block);
        }
        library->addRun(loaded);
    }
    return path.string();
}

void ConditionMapReadAndPaint(benchmark::State& state) {
    const std::string path = fullLibrary();
    auto library = library::openSqliteLibrary(path, library::LibraryAccess::OpenExisting);
    kestrana::gui::history::ConditionMapView view;
    view.resize(1000, 520);
    QImage image(view.size(), QImage::Format_ARGB32_Premultiplied);
    const core::KmRange range{1000, 1099};
    for (auto _ : state) {
        view.setMap(std::make_shared<const core::ConditionMap>(
            core::conditionMap(*library, kSeries, range, core::BlockIndex::TGI)));
        benchmark::DoNotOptimize(paintOnce(view, image));
    }
    state.counters["cells"] = static_cast<double>(view.map()->cells.size());
}
BENCHMARK(ConditionMapReadAndPaint)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

constexpr int kLongLineRuns = 125;
constexpr int kLongLineBlocks = 10000;
const core::KmRange kLongLineRange{kFirstKm,
                                   static_cast<std::int16_t>(kFirstKm + kLongLineBlocks / kBlocksPerKm - 1)};

void ShowLine2000Km125Runs(benchmark::State& state) {
    const std::string path = fullLibrary(kLongLineRuns, kLongLineBlocks);
    kestrana::gui::history::ConditionMapView view;
    view.resize(1000, 520);
    QImage image(view.size(), QImage::Format_ARGB32_Premultiplied);
    const core::HistorySettings settings;
    std::size_t stretches = 0;
    for (auto _ : state) {
        auto library = library::openSqliteLibrary(path, library::LibraryAccess::OpenExisting);
        auto map = std::make_shared<const core::ConditionMap>(
            core::conditionMap(*library, kSeries, kLongLineRange, settings.index));
        const auto rows = core::forecastRowsOf(*map, settings);
        view.setMap(map);
        stretches = core::maintenanceList(rows, kSeries.direction, 20000).size();
        benchmark::DoNotOptimize(paintOnce(view, image));
    }
    state.counters["cells"] = static_cast<double>(view.map()->cells.size());
    state.counters["stretches"] = static_cast<double>(stretches);
}
BENCHMARK(ShowLine2000Km125Runs)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

// The long line's map in view, zoomed in `zoom` times from the fitted width.
struct LongLineView {
    kestrana::gui::history::ConditionMapView view;
    QImage image;
    explicit LongLineView(double zoom) {
        const std::string path = fullLibrary(kLongLineRuns, kLongLineBlocks);
        auto library = library::openSqliteLibrary(path, library::LibraryAccess::OpenExisting);
        view.resize(1000, 520);
        view.setMap(std::make_shared<const core::ConditionMap>(
            core::conditionMap(*library, kSeries, kLongLineRange, core::BlockIndex::TGI)));
        view.setColumnWidth(view.columnWidth() * zoom, 500);
        image = QImage(view.size(), QImage::Format_ARGB32_Premultiplied);
    }
};

void ZoomStep2000Km(benchmark::State& state) {
    LongLineView shown(1.0);
    bool in = true;
    for (auto _ : state) {
        in ? shown.view.zoomIn() : shown.view.zoomOut();
        in = !in;
        benchmark::DoNotOptimize(paintOnce(shown.view, shown.image));
    }
}
BENCHMARK(ZoomStep2000Km)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

void PanStep2000Km(benchmark::State& state) {
    LongLineView shown(4.0);
    double step = 40;
    for (auto _ : state) {
        shown.view.panBy(step, 0);
        step = -step;
        benchmark::DoNotOptimize(paintOnce(shown.view, shown.image));
    }
}
BENCHMARK(PanStep2000Km)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::error_code error;
    fs::remove_all(benchFolder(), error);
    return 0;
}
