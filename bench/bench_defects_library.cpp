// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Kestrana developers

// Defect tracking over a run library at full size: 40 runs of 6,553 km (full_size_line.h) imported
// into a new library with their peaks, then the commands over it.
//   ImportWithPeaks40Runs  library import of the 40 runs one after another (each run file written while
//                          the clock is stopped and removed after), library MB per run and the peaks'
//                          share of it;
//   DefectsCli100Km        kestrana-cli defects of km 3000 to 3099, the whole process;
//   DefectsCliWholeLine    kestrana-cli defects of the whole line, the whole process (target: 5 s,
//                          256 MiB);
//   OneDefectHistory       one defect's CSV read from the library as kestrana-cli defect does it;
//   DefectCli              kestrana-cli defect, the whole process.
// The kestrana-cli benchmarks give peak_MiB: the process's peak resident memory as the kernel counts
// it (wait4), the whole process with its libraries. The library is kept in $TMPDIR/kestrana-bench-defects
// for the later benchmarks (made by the first when it is not there). Peak memory of the import: run it
// alone under /usr/bin/time -v, e.g.
//   /usr/bin/time -v build/bench/bench_defects_library --benchmark_filter=ImportWithPeaks40Runs

#include "core/defects/defect_lists.h"
#include "core/defects/library_defects.h"
#include "core/library/run_import.h"
#include "core/library/sqlite_run_library.h"
#include "full_size_line.h"

#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>

extern char** environ;

namespace {

using namespace kestrana;
namespace fs = std::filesystem;

fs::path benchFolder() {
    const char* tmp = std::getenv("TMPDIR");
    return fs::path(tmp != nullptr ? tmp : "/tmp") / "kestrana-bench-defects";
}
std::string libraryPath() {
    return (benchFolder() / "library.sqlite").string();
}

// Imports the 40 runs into a new library; returns the library's size.
void importLine(benchmark::State* state) {
    fs::create_directories(benchFolder());
    fs::remove(libraryPath());
    const auto library = library::openSqliteLibrary(libraryPath(), library::LibraryAccess::CreateIfMissing);
    const std::string runPath = (benchFolder() / "run.run").string();
    for (int i = 0; i < bench::kRuns; ++i) {
        if (state != nullptr) {
            state->PauseTiming();
        }
        {
            std::ofstream out(runPath, std::ios::binary | std::ios::trunc);
            out << generator::generateRun(bench::fullSizeRecipe(i));
        }
        if (state != nullptr) {
            state->ResumeTiming();
        }
        const library::FileOutcome outcome = library::importRunFile(*library, runPath);
        if (outcome.status != library::ImportStatus::Imported || !outcome.reason.empty()) {
            std::fprintf(stderr, "%s\n", library::outcomeLine(outcome).c_str());
            std::abort();
        }
    }
    fs::remove(runPath);
}

const library::RunLibrary& line() {
    static const std::unique_ptr<library::RunLibrary> library = [] {
        if (!fs::exists(libraryPath())) {
            importLine(nullptr);
        }
        return library::openSqliteLibrary(libraryPath(), library::LibraryAccess::OpenExisting);
    }();
    return *library;
}

history::Series series() {
    return line().series().at(0);
}

// Runs kestrana-cli with `arguments` and the library, its output thrown away; returns the child's peak
// resident memory in MiB (its maximum resident set size as the kernel counts it).
double runCli(std::vector<std::string> arguments) {
    std::vector<std::string> words{KESTRANA_CLI_PATH};
    words.insert(words.end(), arguments.begin(), arguments.end());
    words.push_back("--library");
    words.push_back(libraryPath());
    std::vector<char*> argv;
    for (std::string& word : words) {
        argv.push_back(word.data());
    }
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    pid_t child = 0;
    int status = -1;
    struct rusage usage {};
    if (posix_spawn(&child, words[0].c_str(), &actions, nullptr, argv.data(), environ) != 0 ||
        wait4(child, &status, 0, &usage) != child || status != 0) {
        std::fprintf(stderr, "kestrana-cli %s failed\n", arguments.at(0).c_str());
        std::abort();
    }
    posix_spawn_file_actions_destroy(&actions);
    return static_cast<double>(usage.ru_maxrss) / 1024.0; // ru_maxrss is in KiB
}

std::vector<std::string> seriesArguments(const char* command) {
    const history::Series line = series();
    return {command, "--line", line.line, "--direction=" + std::to_string(line.direction)};
}

void ImportWithPeaks40Runs(benchmark::State& state) {
    for (auto _ : state) {
        importLine(&state);
    }
    const double megabytes = static_cast<double>(fs::file_size(libraryPath())) / 1e6;
    state.counters["library_MB_per_run"] = megabytes / bench::kRuns;
}
BENCHMARK(ImportWithPeaks40Runs)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);

void DefectsCli100Km(benchmark::State& state) {
    std::vector<std::string> arguments = seriesArguments("defects");
    arguments.insert(arguments.end(),
                     {"--from", std::to_string(bench::kFromKm), "--to", std::to_string(bench::kToKm)});
    double peakMiB = 0;
    for (auto _ : state) {
        peakMiB = std::max(peakMiB, runCli(arguments));
    }
    state.counters["peak_MiB"] = peakMiB;
}
BENCHMARK(DefectsCli100Km)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1)->Repetitions(5);

void DefectsCliWholeLine(benchmark::State& state) {
    const std::vector<std::string> arguments = seriesArguments("defects");
    double peakMiB = 0;
    for (auto _ : state) {
        peakMiB = std::max(peakMiB, runCli(arguments));
    }
    state.counters["peak_MiB"] = peakMiB;
}
BENCHMARK(DefectsCliWholeLine)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1)->Repetitions(3);

// A defect of the 100 km stretch: the first of its list.
defects::Exceedance oneDefect(std::int16_t& code) {
    const defects::TrackedDefects tracked = defects::trackLibraryDefects(
        line(), series(), defects::TrackingSettings{}, history::KmRange{bench::kFromKm, bench::kToKm});
    defects::DefectFilter filter;
    filter.kms = history::KmRange{bench::kFromKm, bench::kToKm};
    const defects::Defect& defect = tracked.defects().at(defects::listDefects(tracked, filter).at(0));
    code = defect.code;
    return defect.latest;
}

void OneDefectHistory(benchmark::State& state) {
    std::int16_t code = 0;
    const defects::Exceedance latest = oneDefect(code);
    const std::int16_t only[] = {code};
    std::size_t bytes = 0;
    for (auto _ : state) {
        const defects::TrackedDefects tracked = defects::trackLibraryDefects(
            line(), series(), defects::TrackingSettings{}, history::KmRange{latest.km, latest.km}, only);
        bytes = defects::defectCsvAt(tracked, code, latest.km, latest.location).size();
    }
    state.counters["csv_bytes"] = static_cast<double>(bytes);
}
BENCHMARK(OneDefectHistory)->Unit(benchmark::kMillisecond)->UseRealTime()->Repetitions(5);

void DefectCli(benchmark::State& state) {
    std::int16_t code = 0;
    const defects::Exceedance latest = oneDefect(code);
    std::vector<std::string> arguments = seriesArguments("defect");
    arguments.insert(arguments.end(),
                     {"--param", defects::parameterName(code), "--km", std::to_string(latest.km),
                      "--location", std::to_string(latest.location)});
    double peakMiB = 0;
    for (auto _ : state) {
        peakMiB = std::max(peakMiB, runCli(arguments));
    }
    state.counters["peak_MiB"] = peakMiB;
}
BENCHMARK(DefectCli)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1)->Repetitions(5);

} // namespace
