// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Kestrana developers

// The peak analyser on a run of 2000 km (24000 peak lines, 192000 peak rows): PROCESS DATA as a whole
// (one pass over the run: records, record width, database build with its index, direction), with and
// without the scratch files, what the command line does (rows kept in memory, SHOW DETAILS over
// 40 km of them), and SHOW DETAILS over 50 km of the database with the lists filled.

#include "core/common/paths.h"
#include "core/peaks/peak_database.h"
#include "core/peaks/query.h"
#include "run_generator.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <stdexcept>
#include <string>
#include <unistd.h>

namespace {

using namespace kestrana;

class PeakRun {
public:
    static PeakRun& get() {
        static PeakRun run;
        return run;
    }
    std::string folder;
    std::string runPath;
    peaks::PeakFiles files;

private:
    PeakRun() {
        folder =
            (std::filesystem::temp_directory_path() / ("kestrana-bench-peaks-" + std::to_string(::getpid())))
                .string();
        std::filesystem::create_directories(folder);
        runPath = common::joinPath(folder, "long.run");
        common::writeFileAtomically(runPath, generator::generateRun(generator::longPeakRunRecipe()));
        files = peaks::PeakFiles::in(folder);
        peaks::PeakSession session;
        const auto result = peaks::processPeakData(runPath, files, session);
        if (result.recordCount != 24000 || result.build.rowCount != 192000) {
            throw std::runtime_error("the generated run does not have 24000 peak lines of 8 pairs");
        }
    }
    ~PeakRun() {
        std::error_code error;
        std::filesystem::remove_all(folder, error);
    }
};

// PROCESS DATA as the screen runs it: the scratch files it keeps in the home folder, the database.
void BM_PeakProcessData(benchmark::State& state) {
    auto& run = PeakRun::get();
    peaks::PeakSession session;
    for (auto _ : state) {
        auto result = peaks::processPeakData(run.runPath, run.files, session);
        benchmark::DoNotOptimize(result);
    }
    state.counters["rows"] = 192000;
}
BENCHMARK(BM_PeakProcessData)->Unit(benchmark::kMillisecond)->MinTime(2.0);

// PROCESS DATA as the command line runs it, without scratch files.
void BM_PeakProcessDataWithoutScratchFiles(benchmark::State& state) {
    auto& run = PeakRun::get();
    peaks::PeakSession session;
    auto files = run.files;
    files.writeScratchFiles = false;
    for (auto _ : state) {
        auto result = peaks::processPeakData(run.runPath, files, session);
        benchmark::DoNotOptimize(result);
    }
}
BENCHMARK(BM_PeakProcessDataWithoutScratchFiles)->Unit(benchmark::kMillisecond)->MinTime(2.0);

// What `kestrana-cli peaks` does: PROCESS DATA with the rows kept in memory, then SHOW DETAILS over
// 40 km of them.
void BM_PeakCommandInMemory(benchmark::State& state) {
    auto& run = PeakRun::get();
    auto files = run.files;
    files.writeScratchFiles = false;
    std::size_t listed = 0;
    for (auto _ : state) {
        peaks::PeakSession session;
        peaks::PeakRowsInMemory rows;
        peaks::processPeakDataInMemory(run.runPath, files, session, rows);
        auto summary = peaks::showDetails({"UN2L", "15", "500", "540"}, session, rows);
        listed = summary.lists[0].size() / 2;
        benchmark::DoNotOptimize(summary);
    }
    state.counters["kms_listed"] = static_cast<double>(listed);
}
BENCHMARK(BM_PeakCommandInMemory)->Unit(benchmark::kMillisecond)->Repetitions(7)->ReportAggregatesOnly(true);

void BM_PeakShowDetails50Km(benchmark::State& state) {
    auto& run = PeakRun::get();
    peaks::PeakSession session;
    peaks::processPeakData(run.runPath, run.files, session);
    std::size_t listed = 0;
    for (auto _ : state) {
        auto summary = peaks::showDetails({"UN2L", "10", "1000", "1050"}, session, run.files.databaseBase);
        listed = summary.lists[0].size() / 2;
        benchmark::DoNotOptimize(summary);
    }
    if (listed == 0) {
        state.SkipWithError("no kilometre listed");
    }
    state.counters["kms_listed"] = static_cast<double>(listed);
}
BENCHMARK(BM_PeakShowDetails50Km)->Unit(benchmark::kMillisecond)->MinTime(1.0);

} // namespace
