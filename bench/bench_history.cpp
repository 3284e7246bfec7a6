// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Kestrana developers

// Track history at full size: runs of 32767 blocks each (the most a run may hold, 6554 km of line).
//   Import40Runs        40 such runs (1.3 M block rows) into a new library (target: within 6 s; peak
//                       memory is measured on kestrana-cli library import, see the closing note).
// On a library of 400 such runs (13 M block rows), built once and kept in a cache file under the
// temporary folder (building it takes a few minutes; delete the folder to build it again):
//   BlockHistory        the history of one block over the 400 runs (within 10 ms);
//   Forecast100Km       the forecast of every block of 100 km over the 400 runs (within 300 ms);
//   ConditionMap100Km   the condition map data of 100 km over the latest 40 runs (the data only; the
//                       drawing is measured with the screen);
//   RemoveRun           one run (32767 block rows) taken out (within 1 s; it is taken in again after
//                       each removal, untimed), on a connection that has checked the file already;
//   FirstWriteCheck     what a program's first write to a library adds: opening it and SQLite's quick
//                       check of the whole file (on a copy of the library of 400 runs, 320 MB).
//   Forecast100KmWholeProcess/0   kestrana-cli forecast of those 100 km as a whole process.
//
// The same on a PostgreSQL server, when KESTRANA_BENCH_SERVER names one the benchmarks may make
// databases on, as a libpq URI without the database (through the local socket, for instance
// postgresql://%2Fvar%2Frun%2Fpostgresql; pg_virtualenv -t starts a throw-away one):
//   ServerImport40Runs  the 40 runs into a new server library (target: within 10 s);
//   ServerBlockHistory  the history of one block over 400 runs (within 20 ms);
//   Forecast100KmWholeProcess/1   the forecast of 100 km over 400 runs, whole process (within 500 ms).
// The server's library of 400 runs is copied from the file's (library copy) once per process.

#include "core/history/block_history.h"
#include "core/history/condition_map.h"
#include "core/history/dates.h"
#include "core/history/forecast_list.h"
#include "core/library/open_run_library.h"
#include "core/library/run_copy.h"
#include "core/library/run_import.h"
#include "core/library/sqlite_run_library.h"
#include "run_generator.h"

#include <benchmark/benchmark.h>

#include <libpq-fe.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>

namespace {

namespace fs = std::filesystem;
using namespace kestrana::history;
using namespace kestrana::library;

constexpr int kStartKm = 100;
constexpr std::int16_t kFromKm = 3000; // a 100 km stretch in the middle of the runs
constexpr std::int16_t kToKm = 3099;
const Series kSeries{"NAGPUR - WARDHA UP MAIN LINE", 1};

// One folder per schema version, so that libraries cached by a program of another version are left
// to it.
const fs::path& cacheFolder() {
    static const fs::path folder =
        fs::temp_directory_path() / ("kestrana-bench-history-" + std::to_string(kLibrarySchemaVersion));
    return folder;
}

// Run i of the line: a month after run i - 1 from January 1995; worn a little more every month and
// tamped every five years, so that blocks have segments; its own seed, so that values scatter.
kestrana::generator::RunRecipe fullSizeRecipe(int i) {
    kestrana::generator::RunRecipe recipe;
    recipe.startKm = kStartKm;
    recipe.kmCount = 32767 / 5 + 1;
    recipe.maxBlockLines = 32767;
    recipe.lineSeed = 2024;
    recipe.seed = 100 + static_cast<unsigned>(i);
    recipe.wear = (i % 60) / 3;
    const CivilDate date = civilDateOf(addMonths(dayOf({1995, 1, 15}), i));
    char text[8];
    std::snprintf(text, sizeof text, "%02d%02d%02d", date.day, date.month, date.year % 100);
    recipe.date = text;
    recipe.runNumber = static_cast<char>('1' + i % 9);
    return recipe;
}

void writeRun(const fs::path& path, int i) {
    const std::string text = kestrana::generator::generateRun(fullSizeRecipe(i));
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(text.data(), static_cast<std::streamsize>(text.size()));
    if (!out) {
        throw std::runtime_error("cannot write " + path.string());
    }
}

// The 40 runs of the import benchmark, written once.
const std::vector<std::string>& fortyRunFiles() {
    static const std::vector<std::string> files = [] {
        const fs::path folder = cacheFolder() / "runs40";
        fs::create_directories(folder);
        std::vector<std::string> paths;
        for (int i = 0; i < 40; ++i) {
            const fs::path path = folder / ("run" + std::to_string(i) + ".run");
            if (!fs::exists(path)) {
                writeRun(path, i);
            }
            paths.push_back(path.string());
        }
        return paths;
    }();
    return files;
}

// The library of 400 runs, built into the cache once (run by run through a scratch run file).
RunLibrary& library400() {
    static const std::unique_ptr<RunLibrary> library = [] {
        const fs::path path = cacheFolder() / "library400.sqlite";
        if (fs::exists(path)) {
            auto cached = openSqliteLibrary(path.string(), LibraryAccess::OpenExisting);
            if (cached->runs().size() == 400) {
                return cached;
            }
        }
        fs::create_directories(cacheFolder());
        fs::remove(path);
        auto built = openSqliteLibrary(path.string(), LibraryAccess::CreateIfMissing);
        const fs::path scratch = cacheFolder() / "building.run";
        for (int i = 0; i < 400; ++i) {
            writeRun(scratch, i);
            if (importRunFile(*built, scratch.string()).status != ImportStatus::Imported) {
                throw std::runtime_error("run " + std::to_string(i) + " was not imported");
            }
        }
        fs::remove(scratch);
        return built;
    }();
    return *library;
}

void Import40Runs(benchmark::State& state) {
    const std::vector<std::string>& files = fortyRunFiles();
    const fs::path path = cacheFolder() / "import40.sqlite";
    std::size_t imported = 0;
    for (auto _ : state) {
        state.PauseTiming();
        fs::remove(path);
        state.ResumeTiming();
        const auto library = openSqliteLibrary(path.string(), LibraryAccess::CreateIfMissing);
        imported = importPaths(*library, files).imported;
    }
    if (imported != files.size()) {
        state.SkipWithError("not every run was imported");
    }
    fs::remove(path);
    state.counters["block_rows"] = static_cast<double>(imported) * 32767;
}
BENCHMARK(Import40Runs)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1)->Repetitions(3);

void BlockHistory(benchmark::State& state) {
    const RunLibrary& library = library400();
    std::size_t points = 0;
    for (auto _ : state) {
        const auto history = blockHistory(library, kSeries, BlockKey{3050, 3}, HistorySettings{});
        points = history.points.size();
        benchmark::DoNotOptimize(history);
    }
    state.counters["points"] = static_cast<double>(points);
}
BENCHMARK(BlockHistory)->Unit(benchmark::kMillisecond)->UseRealTime()->Repetitions(5);

void Forecast100Km(benchmark::State& state) {
    const RunLibrary& library = library400();
    std::size_t rows = 0;
    for (auto _ : state) {
        const auto forecast = forecastRows(library, kSeries, KmRange{kFromKm, kToKm}, HistorySettings{});
        rows = forecast.size();
        benchmark::DoNotOptimize(forecast);
    }
    state.counters["blocks"] = static_cast<double>(rows);
}
BENCHMARK(Forecast100Km)->Unit(benchmark::kMillisecond)->UseRealTime()->Repetitions(5);

void ConditionMap100Km(benchmark::State& state) {
    const RunLibrary& library = library400();
    const std::vector<RunRecord> runs = library.runsOf(kSeries);
    std::vector<RunId> latest;
    for (std::size_t i = runs.size() - 40; i < runs.size(); ++i) {
        latest.push_back(runs[i].id);
    }
    std::size_t cells = 0;
    for (auto _ : state) {
        const auto map = conditionMap(library, kSeries, KmRange{kFromKm, kToKm}, BlockIndex::TGI, latest);
        cells = map.cells.size();
        benchmark::DoNotOptimize(map);
    }
    state.counters["cells"] = static_cast<double>(cells);
}
BENCHMARK(ConditionMap100Km)->Unit(benchmark::kMillisecond)->UseRealTime()->Repetitions(5);

void RemoveRun(benchmark::State& state) {
    RunLibrary& library = library400();
    // Run 200 of the line (monthly runs, so the 201st in date order), in the middle of the file.
    const int recipe = 200;
    const fs::path scratch = cacheFolder() / "removed.run";
    writeRun(scratch, recipe);
    const std::vector<RunId> noRun = {-1};
    library.removeRuns(noRun); // the file's check before the first write, measured apart below
    for (auto _ : state) {
        state.PauseTiming();
        const RunId id = library.runsOf(kSeries)[recipe].id;
        state.ResumeTiming();
        if (!library.removeRun(id)) {
            state.SkipWithError("the run was not there");
            break;
        }
        state.PauseTiming();
        if (importRunFile(library, scratch.string()).status != ImportStatus::Imported) {
            state.SkipWithError("the run could not be taken in again");
            break;
        }
        state.ResumeTiming();
    }
}
BENCHMARK(RemoveRun)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1)->Repetitions(3);

void FirstWriteCheck(benchmark::State& state) {
    library400();
    // A copy: a program checks each file once, and this one has checked the library of 400 already.
    const fs::path copy = cacheFolder() / "checked.sqlite";
    const std::vector<RunId> noRun = {-1};
    for (auto _ : state) {
        state.PauseTiming();
        fs::remove(copy);
        fs::copy_file(cacheFolder() / "library400.sqlite", copy);
        state.ResumeTiming();
        const auto library = openSqliteLibrary(copy.string(), LibraryAccess::OpenExisting);
        // Removing a run that is not there writes nothing, but checks the file first.
        benchmark::DoNotOptimize(library->removeRuns(noRun));
    }
    fs::remove(copy);
}
BENCHMARK(FirstWriteCheck)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1)->Repetitions(3);

// ---------------------------------------------------------------------------------------------
// The same on a PostgreSQL server, and the forecast as a whole process on either.

// KESTRANA_BENCH_SERVER with a database's name, or empty when no server is named.
std::string serverDatabase(const std::string& database) {
    const char* server = std::getenv("KESTRANA_BENCH_SERVER");
    return server != nullptr && *server != '\0' ? std::string(server) + "/" + database : std::string();
}

// Runs SQL on the server's maintenance database (to make and drop the benchmarks' databases).
void onServer(const std::string& sql) {
    PGconn* conn = PQconnectdb(serverDatabase("postgres").c_str());
    PGresult* result = PQexec(conn, sql.c_str());
    const bool done = PQresultStatus(result) == PGRES_COMMAND_OK;
    const std::string failure = PQerrorMessage(conn);
    PQclear(result);
    PQfinish(conn);
    if (!done) {
        throw std::runtime_error(sql + ": " + failure);
    }
}

// A new, empty server library in the database `database` (made anew).
std::string newServerLibrary(const std::string& database) {
    onServer("DROP DATABASE IF EXISTS " + database);
    onServer("CREATE DATABASE " + database);
    const std::string location = serverDatabase(database);
    initRunLibrary(location);
    return location;
}

// The server's library of the 400 runs, copied from the file's once per process.
const std::string& serverLibrary400() {
    static const std::string location = [] {
        const std::string made = newServerLibrary("kestrana_bench_400");
        const auto server = openRunLibrary(made, LibraryAccess::OpenExisting);
        if (copyRuns(library400(), *server).imported != 400) {
            throw std::runtime_error("the 400 runs were not all copied to the server");
        }
        return made;
    }();
    return location;
}

void ServerImport40Runs(benchmark::State& state) {
    if (serverDatabase("").empty()) {
        state.SkipWithError("KESTRANA_BENCH_SERVER names no server");
        return;
    }
    const std::vector<std::string>& files = fortyRunFiles();
    std::size_t imported = 0;
    for (auto _ : state) {
        state.PauseTiming();
        const std::string location = newServerLibrary("kestrana_bench_import");
        state.ResumeTiming();
        const auto library = openRunLibrary(location, LibraryAccess::OpenExisting);
        imported = importPaths(*library, files).imported;
    }
    if (imported != files.size()) {
        state.SkipWithError("not every run was imported");
    }
    state.counters["block_rows"] = static_cast<double>(imported) * 32767;
}
BENCHMARK(ServerImport40Runs)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1)->Repetitions(3);

void ServerBlockHistory(benchmark::State& state) {
    if (serverDatabase("").empty()) {
        state.SkipWithError("KESTRANA_BENCH_SERVER names no server");
        return;
    }
    const auto library = openRunLibrary(serverLibrary400(), LibraryAccess::OpenExisting);
    std::size_t points = 0;
    for (auto _ : state) {
        const auto history = blockHistory(*library, kSeries, BlockKey{3050, 3}, HistorySettings{});
        points = history.points.size();
        benchmark::DoNotOptimize(history);
    }
    state.counters["points"] = static_cast<double>(points);
}
BENCHMARK(ServerBlockHistory)->Unit(benchmark::kMillisecond)->UseRealTime()->Repetitions(5);

// kestrana-cli forecast of 100 km over the 400 runs, from its start to its end: on the file (0) or on
// the server (1).
void Forecast100KmWholeProcess(benchmark::State& state) {
    const bool server = state.range(0) == 1;
    if (server && serverDatabase("").empty()) {
        state.SkipWithError("KESTRANA_BENCH_SERVER names no server");
        return;
    }
    const std::string location =
        server ? serverLibrary400() : (library400(), (cacheFolder() / "library400.sqlite").string());
    const std::string command = std::string("'") + KESTRANA_CLI_PATH + "' forecast --line '" + kSeries.line +
                                "' --direction 1 --from " + std::to_string(kFromKm) + " --to " +
                                std::to_string(kToKm) + " --library '" + location + "' > /dev/null";
    for (auto _ : state) {
        if (std::system(command.c_str()) != 0) {
            state.SkipWithError("kestrana-cli forecast failed");
            break;
        }
    }
}
BENCHMARK(Forecast100KmWholeProcess)
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Repetitions(5);

} // namespace
