// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Kestrana developers

// The comparator at full size: four runs of 32767 blocks each (the most a run may hold).
//   ProcessData      PROCESS DATA: the four runs into the run database (target: within 200 ms).
//   Compare100Km     COMPARE over 100 km: listing, lookups and the per-km chart query (within 40 ms).
//   Compare100KmOneQueryPerCell
//                    the same listing with one query per block and run on tables without an index, as
//                    the lookups were first described; only to show what reading each table once saves.

#include "core/comparator/comparison.h"
#include "core/comparator/run_database.h"
#include "core/storage/record_store.h"
#include "run_generator.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <stdexcept>

namespace {

using namespace kestrana::comparator;
using kestrana::storage::RecordStore;

constexpr int kFromKm = 3000; // a 100 km stretch in the middle of the runs
constexpr int kToKm = 3100;

// Four generated runs of the same line on disk, written once for all benchmarks.
class FullSizeRuns {
public:
    static FullSizeRuns& get() {
        static FullSizeRuns runs;
        return runs;
    }
    BuildRequest request(const std::string& databaseName) const {
        BuildRequest request;
        for (int k = 0; k < kSlotCount; ++k) {
            request.slotPaths[static_cast<std::size_t>(k)] = paths_[static_cast<std::size_t>(k)];
        }
        request.olderRuns = 3;
        request.parameter = "TGI";
        request.databaseBase = (folder_ / databaseName).string();
        request.scratchPath = (folder_ / "temp_1.txt").string();
        return request;
    }
    ~FullSizeRuns() {
        std::error_code error;
        std::filesystem::remove_all(folder_, error);
    }

private:
    FullSizeRuns() {
        folder_ = std::filesystem::temp_directory_path() / "kestrana-bench-comparator";
        std::filesystem::create_directories(folder_);
        for (int k = 0; k < kSlotCount; ++k) {
            const kestrana::generator::RunRecipe recipe = kestrana::generator::comparedRunRecipe(k);
            const auto path = folder_ / ("trcdata" + std::to_string(k) + ".run");
            std::ofstream(path, std::ios::binary) << kestrana::generator::generateRun(recipe);
            paths_[static_cast<std::size_t>(k)] = path.string();
        }
    }
    std::filesystem::path folder_;
    std::array<std::string, kSlotCount> paths_;
};

void requireBuilt(const BuildResult& result) {
    if (result.outcome != BuildResult::Outcome::Built) {
        throw std::runtime_error(result.failure->message() + ": " + result.failure->reason());
    }
}

// The four runs built into the request's database; returns the session the build leaves.
ComparatorSession builtSession(const BuildRequest& request) {
    ComparatorSession session;
    session.olderRuns = 3;
    requireBuilt(buildRunDatabase(request, session));
    return session;
}

void ProcessData(benchmark::State& state) {
    const BuildRequest request = FullSizeRuns::get().request("trcdbase");
    for (auto _ : state) {
        ComparatorSession session;
        requireBuilt(buildRunDatabase(request, session));
    }
}
BENCHMARK(ProcessData)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(5)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

void Compare100Km(benchmark::State& state) {
    const BuildRequest request = FullSizeRuns::get().request("trcdbase");
    const ComparatorSession session = builtSession(request);
    const std::string from = std::to_string(kFromKm);
    const std::string to = std::to_string(kToKm);
    for (auto _ : state) {
        CompareResult result = compareRuns(from, to, session, request.databaseBase);
        if (result.outcome != CompareResult::Outcome::Compared || !result.chart ||
            result.listing.blocks.size() != 1000) {
            throw std::runtime_error(std::string("the comparison did not run: ") +
                                     (result.failure ? result.failure->what() : ""));
        }
        benchmark::DoNotOptimize(result);
    }
}
BENCHMARK(Compare100Km)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(20)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

void Compare100KmOneQueryPerCell(benchmark::State& state) {
    const BuildRequest request = FullSizeRuns::get().request("trcdbase_plain");
    const ComparatorSession session = builtSession(request);
    {
        RecordStore store = RecordStore::open(request.databaseBase);
        for (int k = 0; k < kSlotCount; ++k) {
            store.execute("DROP INDEX " + kestrana::storage::quoteIdentifier(runTableIndexName(k)));
        }
    }
    const CompareRange range = readCompareRange(std::to_string(kFromKm), std::to_string(kToKm), 1);
    for (auto _ : state) {
        RecordStore store = RecordStore::open(request.databaseBase);
        ComparisonListing listing;
        fillListing(listing, range.bounds, 3,
                    [&](int slot, std::int16_t km, std::int16_t nextKm, std::int16_t block) {
                        return lookupCellByQuery(store, slot, km, nextKm, block);
                    });
        KmAverageTable chart = readKmAverages(store, 3, range.fromKm, range.toKm, session.runDates());
        benchmark::DoNotOptimize(listing);
        benchmark::DoNotOptimize(chart);
    }
}
BENCHMARK(Compare100KmOneQueryPerCell)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->Repetitions(3)
    ->ReportAggregatesOnly(true);

} // namespace
