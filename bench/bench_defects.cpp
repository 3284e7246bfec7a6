// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Kestrana developers

// Defect tracking at full size: 40 runs of 6,553 km each (32767 block lines, 12 peak lines of 8 pairs
// per km: 629,088 peaks a run, 25 M in all), generated in memory. Every run has its own seed, so the
// car's own peaks stand at new places in every run and most exceedances start defects of their own:
// many more defects than a real line has, which is what the memory of the matching depends on.
//   ReadRunPeaks           the peaks of one run, its lines fed one by one as an import reads them;
//   MatchWholeLine40Runs   matching the 40 runs one after another (each run generated while the clock
//                          is stopped and dropped after it is matched), statuses and TGI included;
//                          heap_MiB is what the matched defects hold on the heap at the end (glibc's
//                          count of bytes in use), apart from the process's peak;
//   Match100Km40Runs       matching the peaks of km 3000 to 3099 of the 40 runs, then its defects CSV;
//   DefectsCsv100Km        the defects CSV of km 3000 to 3099 from the whole line's matching;
//   OneDefectCsv           one defect's CSV from the whole line's matching.
// Peak memory: run one benchmark alone under /usr/bin/time -v, e.g.
//   /usr/bin/time -v build/bench/bench_defects --benchmark_filter=MatchWholeLine40Runs

#include "core/defects/defect_lists.h"
#include "core/history/dates.h"
#include "full_size_line.h"
#include "run_generator.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <malloc.h>

namespace {

using namespace kestrana;

using bench::fullSizeRecipe;
using bench::kBlocksPerKm;
using bench::kFromKm;
using bench::kRuns;
using bench::kStartKm;
using bench::kToKm;

// A run as the tracker takes it: day, run number, peaks, and the TGI of every block by position.
struct GeneratedRun {
    history::Day day = 0;
    std::string runNumber;
    defects::RunPeaks peaks;
    std::vector<std::int16_t> tgi; // (km - start) x 5 + block - 1; -1 where the run has no such block
};

defects::RunPeaks peaksOf(const std::string& text) {
    defects::RunPeakReader reader("bench.run");
    const std::vector<std::string_view> lines = generator::linesOf(text);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        reader.line(lines[i], static_cast<long>(i + 1));
    }
    return reader.finish();
}

GeneratedRun generatedRun(int i) {
    const generator::RunRecipe recipe = fullSizeRecipe(i);
    const generator::GeneratedRun generated = generator::generateRunWithValues(recipe);
    GeneratedRun run{*history::dayOfRunDate(recipe.date), std::string(1, recipe.runNumber),
                     peaksOf(generated.text),
                     std::vector<std::int16_t>(static_cast<std::size_t>(recipe.kmCount * kBlocksPerKm), -1)};
    for (const auto& row : generated.blocks) {
        run.tgi[static_cast<std::size_t>((row[1] - kStartKm) * kBlocksPerKm + row[4] - 1)] =
            static_cast<std::int16_t>(row[16]);
    }
    return run;
}

std::optional<std::int16_t> tgiIn(const std::vector<std::int16_t>& tgi, const history::BlockKey& key) {
    const long index = (long{key.km} - kStartKm) * kBlocksPerKm + key.block - 1;
    if (index < 0 || index >= static_cast<long>(tgi.size()) || tgi[static_cast<std::size_t>(index)] < 0) {
        return std::nullopt;
    }
    return tgi[static_cast<std::size_t>(index)];
}

// The TGI tables of the 40 runs and the peaks of the 100 km stretch, made in one pass over the runs,
// which also matches the whole line once for the list benchmarks.
struct Line {
    std::vector<std::vector<std::int16_t>> tgi;
    std::vector<GeneratedRun> stretch; // peaks of km kFromKm to kToKm only
    std::optional<defects::TrackedDefects> whole;
    std::size_t peaks = 0;
};

defects::TgiLookup lookupIn(const std::vector<std::vector<std::int16_t>>& tgi) {
    return [&tgi](std::size_t run, const history::BlockKey& key) { return tgiIn(tgi[run], key); };
}

const Line& line() {
    static const Line built = [] {
        Line line;
        defects::DefectTracker tracker(1, defects::TrackingSettings{});
        for (int i = 0; i < kRuns; ++i) {
            GeneratedRun run = generatedRun(i);
            tracker.addRun(run.day, run.runNumber, &run.peaks);
            line.peaks += run.peaks.size();
            GeneratedRun& stretch = line.stretch.emplace_back(GeneratedRun{run.day, run.runNumber, {}, {}});
            for (const defects::Peak& peak : run.peaks) {
                if (peak.km >= kFromKm && peak.km <= kToKm) {
                    stretch.peaks.push_back(peak);
                }
            }
            line.tgi.push_back(std::move(run.tgi));
        }
        line.whole.emplace(tracker.finish(lookupIn(line.tgi)));
        return line;
    }();
    return built;
}

defects::DefectFilter stretchFilter() {
    defects::DefectFilter filter;
    filter.kms = history::KmRange{kFromKm, kToKm};
    return filter;
}

void ReadRunPeaks(benchmark::State& state) {
    const std::string text = generator::generateRun(fullSizeRecipe(0));
    std::size_t peaks = 0;
    for (auto _ : state) {
        peaks = peaksOf(text).size();
    }
    state.counters["peaks"] = static_cast<double>(peaks);
}
BENCHMARK(ReadRunPeaks)->Unit(benchmark::kMillisecond)->UseRealTime()->Repetitions(5);

double heapInUseMiB() {
    const struct mallinfo2 heap = mallinfo2();
    return static_cast<double>(heap.uordblks + heap.hblkhd) / (1024.0 * 1024.0);
}

void MatchWholeLine40Runs(benchmark::State& state) {
    std::size_t defectCount = 0, peaks = 0;
    double heapMiB = 0;
    for (auto _ : state) {
        std::vector<std::vector<std::int16_t>> tgi;
        defects::DefectTracker tracker(1, defects::TrackingSettings{});
        peaks = 0;
        for (int i = 0; i < kRuns; ++i) {
            state.PauseTiming();
            GeneratedRun run = generatedRun(i);
            peaks += run.peaks.size();
            state.ResumeTiming();
            tracker.addRun(run.day, run.runNumber, &run.peaks);
            state.PauseTiming();
            tgi.push_back(std::move(run.tgi));
            run = GeneratedRun{};
            state.ResumeTiming();
        }
        const defects::TrackedDefects tracked = tracker.finish(lookupIn(tgi));
        defectCount = tracked.defects().size();
        state.PauseTiming();
        tgi = {}; // the bench's, not the matching's
        heapMiB = heapInUseMiB();
        state.ResumeTiming();
    }
    state.counters["heap_MiB"] = heapMiB;
    state.counters["peaks"] = static_cast<double>(peaks);
    state.counters["defects"] = static_cast<double>(defectCount);
}
BENCHMARK(MatchWholeLine40Runs)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1)->Repetitions(3);

void Match100Km40Runs(benchmark::State& state) {
    const Line& built = line();
    std::size_t bytes = 0;
    for (auto _ : state) {
        defects::DefectTracker tracker(1, defects::TrackingSettings{});
        for (const GeneratedRun& run : built.stretch) {
            tracker.addRun(run.day, run.runNumber, &run.peaks);
        }
        const defects::TrackedDefects tracked = tracker.finish(lookupIn(built.tgi));
        bytes = defects::defectsCsv(tracked, defects::listDefects(tracked, stretchFilter())).size();
    }
    state.counters["csv_bytes"] = static_cast<double>(bytes);
}
BENCHMARK(Match100Km40Runs)->Unit(benchmark::kMillisecond)->UseRealTime()->Repetitions(5);

void DefectsCsv100Km(benchmark::State& state) {
    const defects::TrackedDefects& tracked = *line().whole;
    std::size_t rows = 0;
    for (auto _ : state) {
        const auto listed = defects::listDefects(tracked, stretchFilter());
        rows = listed.size();
        benchmark::DoNotOptimize(defects::defectsCsv(tracked, listed));
    }
    state.counters["rows"] = static_cast<double>(rows);
    state.counters["defects_of_line"] = static_cast<double>(tracked.defects().size());
    state.counters["peaks_of_line"] = static_cast<double>(line().peaks);
}
BENCHMARK(DefectsCsv100Km)->Unit(benchmark::kMillisecond)->UseRealTime()->Repetitions(5);

void OneDefectCsv(benchmark::State& state) {
    const defects::TrackedDefects& tracked = *line().whole;
    // The defect with the most exceedances in the stretch.
    const auto listed = defects::listDefects(tracked, stretchFilter());
    const defects::Defect* longest = &tracked.defects()[listed.front()];
    for (const std::uint32_t number : listed) {
        if (tracked.defects()[number].exceedances > longest->exceedances) {
            longest = &tracked.defects()[number];
        }
    }
    for (auto _ : state) {
        benchmark::DoNotOptimize(
            defects::defectCsvAt(tracked, longest->code, longest->latest.km, longest->latest.location));
    }
    state.counters["exceedances"] = static_cast<double>(longest->exceedances);
}
BENCHMARK(OneDefectCsv)->Unit(benchmark::kMillisecond)->UseRealTime()->Repetitions(5);

} // namespace
