// PROCESS DATA on the largest run the analyser accepts: 32767 block lines with their kilometre and
// peak lines. The whole step (run file in, scratch file, block table, SD output file out), then its
// stages one by one to show where the time goes. Throughput is in bytes of run file.

#include "core/analyser/processing.h"
#include "core/platform/paths.h"
#include "core/runfile/block_table.h"
#include "core/runfile/output_files.h"
#include "core/runfile/run_reader.h"
#include "run_generator.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>
#include <unistd.h>

namespace {

using namespace kestrana;

// The generated run on disk, its scratch text and its table, made once for all benchmarks.
class LargeRun {
public:
    static LargeRun& get() {
        static LargeRun run;
        return run;
    }
    std::string folder;
    std::string runPath;
    std::string text;
    std::string scratchText;
    runfile::BlockTable table;

    std::string file(const std::string& name) const { return platform::joinPath(folder, name); }

private:
    LargeRun() {
        folder = (std::filesystem::temp_directory_path() / ("kestrana-bench-" + std::to_string(::getpid())))
                     .string();
        std::filesystem::create_directories(folder);
        bench::RunRecipe recipe;
        recipe.maxBlockLines = 32767;
        text = bench::generateRun(recipe);
        runPath = file("large.run");
        platform::writeFileAtomically(runPath, text);
        runfile::RunHeader header;
        runfile::readPairs(runPath, {}, header, [&](std::string_view km, std::string_view block, long) {
            runfile::appendScratchLine(scratchText, km, block);
        });
        table = runfile::loadBlockTable(runPath, file("temp.txt"));
    }
    ~LargeRun() {
        std::error_code error;
        std::filesystem::remove_all(folder, error);
    }
};

void setRunBytes(benchmark::State& state) {
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                            static_cast<int64_t>(LargeRun::get().text.size()));
}

// The whole step as the analyser's PROCESS DATA runs it.
void BM_ProcessData(benchmark::State& state) {
    auto& run = LargeRun::get();
    const std::string output = run.file("Trcout.txt");
    const std::string scratch = run.file("temp.txt");
    for (auto _ : state) {
        auto processed = analyser::processData(run.runPath, output, scratch);
        benchmark::DoNotOptimize(processed.table.rows.data());
    }
    setRunBytes(state);
    state.counters["blocks"] = static_cast<double>(run.table.rows.size());
    state.counters["run_MB"] = static_cast<double>(run.text.size()) / 1e6;
}
BENCHMARK(BM_ProcessData)->Unit(benchmark::kMillisecond)->Repetitions(7)->ReportAggregatesOnly(true);

// Stage 1: reading the run file whole.
void BM_ReadRunFile(benchmark::State& state) {
    auto& run = LargeRun::get();
    for (auto _ : state) {
        auto text = platform::readWholeFile(run.runPath);
        benchmark::DoNotOptimize(text.data());
    }
    setRunBytes(state);
}
BENCHMARK(BM_ReadRunFile)->Unit(benchmark::kMillisecond);

// Stages 1 and 2: reading and pairing the lines into the scratch text (in memory, no scratch file).
void BM_ReadPairs(benchmark::State& state) {
    auto& run = LargeRun::get();
    std::string scratch;
    for (auto _ : state) {
        scratch.clear();
        runfile::RunHeader header;
        const long pairs = runfile::readPairs(run.runPath, {}, header,
                                              [&](std::string_view km, std::string_view block, long) {
                                                  runfile::appendScratchLine(scratch, km, block);
                                              });
        benchmark::DoNotOptimize(pairs);
    }
    setRunBytes(state);
}
BENCHMARK(BM_ReadPairs)->Unit(benchmark::kMillisecond);

// Stage 3: the scratch text as one stream of numbers, 26 to a row.
void BM_ParseStream(benchmark::State& state) {
    auto& run = LargeRun::get();
    for (auto _ : state) {
        auto rows = runfile::parseBlockRows(run.scratchText, "temp.txt", 32767);
        benchmark::DoNotOptimize(rows.data());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                            static_cast<int64_t>(run.scratchText.size()));
}
BENCHMARK(BM_ParseStream)->Unit(benchmark::kMillisecond);

// Stage 4: the SD output text from the table.
void BM_SdOutputText(benchmark::State& state) {
    auto& run = LargeRun::get();
    for (auto _ : state) {
        auto text = runfile::sdOutputText(run.table);
        benchmark::DoNotOptimize(text.data());
    }
}
BENCHMARK(BM_SdOutputText)->Unit(benchmark::kMillisecond);

// Stage 5: the files written: the scratch file and the SD output file, each replaced whole.
void BM_WriteFiles(benchmark::State& state) {
    auto& run = LargeRun::get();
    const std::string sd = runfile::sdOutputText(run.table);
    for (auto _ : state) {
        platform::writeFileAtomically(run.file("temp.txt"), run.scratchText);
        platform::writeFileAtomically(run.file("Trcout.txt"), sd);
    }
}
BENCHMARK(BM_WriteFiles)->Unit(benchmark::kMillisecond);

} // namespace
