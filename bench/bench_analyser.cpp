// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Kestrana developers

// The analyser's views on the largest run the table holds (32767 blocks): PROCESS INFORMATION,
// SHOW DETAILS listing every block, and CALC TRACK %, each to stay well within 100 ms.

#include "core/analyser/listing.h"
#include "core/analyser/processing.h"
#include "core/analyser/quality.h"
#include "run_generator.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <stdexcept>

namespace {

using namespace kestrana;

// The processed run, made once: written by the generator, read through the real processing step.
const analyser::ProcessedRun& largestRun() {
    static const analyser::ProcessedRun run = [] {
        generator::RunRecipe recipe;
        recipe.startKm = 100;
        recipe.kmCount = 6554;
        recipe.maxBlockLines = 32767;
        const auto folder = std::filesystem::temp_directory_path() / "kestrana-bench-analyser";
        std::filesystem::create_directories(folder);
        const auto runPath = (folder / "largest.run").string();
        {
            std::ofstream out(runPath, std::ios::binary | std::ios::trunc);
            out << generator::generateRun(recipe);
        }
        analyser::ProcessedRun processed = analyser::processData(runPath, std::nullopt);
        std::filesystem::remove_all(folder);
        if (processed.table.rows.size() != 32767) {
            throw std::runtime_error("the generated run does not hold 32767 blocks");
        }
        return processed;
    }();
    return run;
}

void BM_ProcessInformation(benchmark::State& state) {
    const auto& run = largestRun();
    for (auto _ : state) {
        auto result = analyser::processInformation(run.table, run.kmFrom, run.kmTo);
        benchmark::DoNotOptimize(result);
    }
    state.counters["blocks"] =
        static_cast<double>(analyser::processInformation(run.table, run.kmFrom, run.kmTo).blocksInRange);
}

void BM_ShowDetailsEveryBlock(benchmark::State& state) {
    const auto& run = largestRun();
    const auto range = analyser::analysisRangeFromTexts(run.kmFrom, run.kmTo);
    std::size_t entries = 0;
    for (auto _ : state) {
        auto listing = analyser::showDetails(run.table, range, "-32767", "32766", "TGI");
        entries = listing.entries.size();
        benchmark::DoNotOptimize(listing);
    }
    if (entries != 2 * run.table.rows.size()) {
        state.SkipWithError("not every block was listed");
    }
    state.counters["rows"] = static_cast<double>(entries / 2);
}

void BM_CalcTrackShare(benchmark::State& state) {
    const auto& run = largestRun();
    const auto range = analyser::analysisRangeFromTexts(run.kmFrom, run.kmTo);
    for (auto _ : state) {
        auto share = analyser::calcTrackShare(run.table, range, "1", "100");
        benchmark::DoNotOptimize(share);
    }
}

BENCHMARK(BM_ProcessInformation)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(BM_ShowDetailsEveryBlock)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_CalcTrackShare)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

} // namespace
