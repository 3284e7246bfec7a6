// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Kestrana developers

// PROCESS DATA of the analyser, read as a stream: the largest run the analyser accepts (32767 block
// lines with their kilometre and peak lines, 6.8 MB), and a valid run whose one kilometre line is
// 200,000 characters long over 5000 blocks (a reader that copied the kilometre line once per block
// would make a gigabyte of it). The whole step, then its stages to show where the time goes.
// Throughput is in bytes of run file.

#include "core/analyser/processing.h"
#include "core/common/paths.h"
#include "core/runfile/block_table.h"
#include "core/runfile/line_reader.h"
#include "core/runfile/output_files.h"
#include "core/runfile/run_reader.h"
#include "run_generator.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <stdexcept>
#include <string>
#include <unistd.h>

namespace {

using namespace kestrana;

// The generated runs on disk and the largest one's table, made once for all benchmarks.
class MeasuredRuns {
public:
    static MeasuredRuns& get() {
        static MeasuredRuns runs;
        return runs;
    }
    std::string folder;
    std::string largestPath;
    std::string longLinePath;
    std::size_t largestBytes = 0;
    std::size_t longLineBytes = 0;
    runfile::BlockTable table;

    std::string file(const std::string& name) const { return common::joinPath(folder, name); }

private:
    MeasuredRuns() {
        folder = (std::filesystem::temp_directory_path() / ("kestrana-bench-" + std::to_string(::getpid())))
                     .string();
        std::filesystem::create_directories(folder);
        const std::string largest = generator::generateRun(generator::largestRunRecipe());
        const std::string longLine = generator::generateRun(generator::longKilometreLineRecipe());
        largestBytes = largest.size();
        longLineBytes = longLine.size();
        largestPath = file("largest.run");
        longLinePath = file("long-km-line.run");
        common::writeFileAtomically(largestPath, largest);
        common::writeFileAtomically(longLinePath, longLine);
        table = runfile::loadBlockTable(largestPath);
        if (table.rows.size() != 32767 || runfile::loadBlockTable(longLinePath).rows.size() != 5000) {
            throw std::runtime_error("the generated runs do not hold 32767 and 5000 blocks");
        }
    }
    ~MeasuredRuns() {
        std::error_code error;
        std::filesystem::remove_all(folder, error);
    }
};

void setBytes(benchmark::State& state, std::size_t bytes) {
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(bytes));
}

// The whole step as the analyser's PROCESS DATA runs it, SD output file included.
void BM_ProcessData(benchmark::State& state) {
    auto& runs = MeasuredRuns::get();
    const std::string output = runs.file("Trcout.txt");
    for (auto _ : state) {
        auto processed = analyser::processData(runs.largestPath, output);
        benchmark::DoNotOptimize(processed.table.rows.data());
    }
    setBytes(state, runs.largestBytes);
    state.counters["blocks"] = static_cast<double>(runs.table.rows.size());
}
BENCHMARK(BM_ProcessData)->Unit(benchmark::kMillisecond)->Repetitions(7)->ReportAggregatesOnly(true);

// The step without an output file, as `kestrana-cli process RUN` runs it.
void BM_LoadBlockTable(benchmark::State& state) {
    auto& runs = MeasuredRuns::get();
    for (auto _ : state) {
        auto table = runfile::loadBlockTable(runs.largestPath);
        benchmark::DoNotOptimize(table.rows.data());
    }
    setBytes(state, runs.largestBytes);
}
BENCHMARK(BM_LoadBlockTable)->Unit(benchmark::kMillisecond)->Repetitions(7)->ReportAggregatesOnly(true);

// The run with one 200,000-character kilometre line over 5000 blocks (target: within 0.2 s).
void BM_LoadLongKilometreLine(benchmark::State& state) {
    auto& runs = MeasuredRuns::get();
    for (auto _ : state) {
        auto table = runfile::loadBlockTable(runs.longLinePath);
        benchmark::DoNotOptimize(table.rows.data());
    }
    setBytes(state, runs.longLineBytes);
}
BENCHMARK(BM_LoadLongKilometreLine)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(7)
    ->ReportAggregatesOnly(true);

// Stage 1: the lines of the run file through the reader's buffer.
void BM_ReadLines(benchmark::State& state) {
    auto& runs = MeasuredRuns::get();
    for (auto _ : state) {
        runfile::LineReader reader(runs.largestPath);
        runfile::LineReader::Line line;
        long lines = 0;
        while (reader.next(line)) {
            ++lines;
        }
        benchmark::DoNotOptimize(lines);
    }
    setBytes(state, runs.largestBytes);
}
BENCHMARK(BM_ReadLines)->Unit(benchmark::kMillisecond);

// Stages 1 and 2: the lines paired, without taking their numbers.
void BM_ReadPairs(benchmark::State& state) {
    auto& runs = MeasuredRuns::get();
    for (auto _ : state) {
        runfile::RunHeader header;
        std::size_t bytes = 0;
        runfile::readPairs(
            runs.largestPath, {}, header,
            [&](std::string_view km, std::string_view block, long) { bytes += km.size() + block.size(); });
        benchmark::DoNotOptimize(bytes);
    }
    setBytes(state, runs.largestBytes);
}
BENCHMARK(BM_ReadPairs)->Unit(benchmark::kMillisecond);

// Stage 3: the SD output text from the table.
void BM_SdOutputText(benchmark::State& state) {
    auto& runs = MeasuredRuns::get();
    for (auto _ : state) {
        auto text = runfile::sdOutputText(runs.table);
        benchmark::DoNotOptimize(text.data());
    }
}
BENCHMARK(BM_SdOutputText)->Unit(benchmark::kMillisecond);

// Stage 4: the SD output file replaced whole.
void BM_WriteSdOutputFile(benchmark::State& state) {
    auto& runs = MeasuredRuns::get();
    const std::string sd = runfile::sdOutputText(runs.table);
    for (auto _ : state) {
        common::writeFileAtomically(runs.file("Trcout.txt"), sd);
    }
}
BENCHMARK(BM_WriteSdOutputFile)->Unit(benchmark::kMillisecond);

} // namespace
