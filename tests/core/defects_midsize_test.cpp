// The defects list of a mid-size library (two series, rising and falling km, 16 runs of 300 km each,
// every run with its own seed, so that tens of thousands of defects start, and with a wide tolerance
// many compete for the same exceedances) exactly as the program wrote it before the whole-line list was made
// to fit in time and memory: the SHA-256 of each series' CSV is the one kestrana-cli defects wrote at commit
// 730b507 over the same library. Also: the list streamed in pieces is the list made whole, the
// summaries of many defects worked out side by side are each defect's own, and the packed sort keys
// give the order of the definition.
//
// To record the hashes again (only after the generator changed, with a program known to be right):
//   KESTRANA_MIDSIZE_LIBRARY=/tmp/midsize.sqlite build/tests/core_tests --gtest_filter='DefectsMidsize*'
//   kestrana-cli defects --line "NAGPUR - WARDHA UP MAIN LINE" --direction 1
//       --library /tmp/midsize.sqlite | sha256sum          (one command line)
// (and --direction -1, and both with --tolerance 200 --limit UN2L=3 --limit GAUGE=2).

#include "core/defects/defect_lists.h"
#include "core/defects/library_defects.h"
#include "core/history/dates.h"
#include "core/history/run_import.h"
#include "core/history/sha256.h"
#include "core/history/sqlite_run_library.h"
#include "run_generator.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <tuple>

namespace kestrana::defects {
namespace {

constexpr int kRuns = 16;
constexpr int kKms = 300;
const char* const kLine = "NAGPUR - WARDHA UP MAIN LINE";

// Run i of the series of `direction`: a month after run i - 1 from January 1995, a little more worn.
generator::RunRecipe midsizeRecipe(int direction, int i) {
    generator::RunRecipe recipe;
    recipe.direction = direction;
    recipe.startKm = direction > 0 ? 100 : 100 + kKms - 1;
    recipe.kmCount = kKms;
    recipe.lineSeed = 2024;
    recipe.seed = (direction > 0 ? 100u : 300u) + static_cast<unsigned>(i);
    recipe.wear = i / 2;
    const history::CivilDate date =
        history::civilDateOf(history::addMonths(history::dayOf({1995, 1, 15}), i));
    char text[8];
    std::snprintf(text, sizeof text, "%02d%02d%02d", date.day, date.month, date.year % 100);
    recipe.date = text;
    recipe.runNumber = static_cast<char>('1' + i % 9);
    return recipe;
}

// The library of both series, made once: in $KESTRANA_MIDSIZE_LIBRARY when that is set (and kept).
const history::RunLibrary& midsizeLibrary() {
    static test::TempFolder folder;
    static const std::unique_ptr<history::RunLibrary> library = [] {
        const char* kept = std::getenv("KESTRANA_MIDSIZE_LIBRARY");
        const std::string path = kept != nullptr ? std::string(kept) : folder.file("midsize.sqlite");
        std::filesystem::remove(path);
        auto made = history::openSqliteLibrary(path, history::LibraryAccess::CreateIfMissing);
        const std::string runPath = folder.file("run.run");
        for (const int direction : {1, -1}) {
            for (int i = 0; i < kRuns; ++i) {
                {
                    std::ofstream out(runPath, std::ios::binary | std::ios::trunc);
                    out << generator::generateRun(midsizeRecipe(direction, i));
                }
                const history::FileOutcome outcome = history::importRunFile(*made, runPath);
                EXPECT_EQ(outcome.status, history::ImportStatus::Imported) << history::outcomeLine(outcome);
                EXPECT_EQ(outcome.reason, "");
            }
        }
        return made;
    }();
    return *library;
}

history::Series seriesOf(int direction) {
    for (const history::Series& series : midsizeLibrary().series()) {
        if (series.direction == direction) {
            return series;
        }
    }
    ADD_FAILURE() << "no series of direction " << direction;
    return {};
}

TrackedDefects trackedOf(int direction) {
    return trackLibraryDefects(midsizeLibrary(), seriesOf(direction), TrackingSettings{});
}

std::string streamed(const TrackedDefects& tracked, std::span<const std::uint32_t> listed) {
    std::ostringstream out;
    writeDefectsCsv(out, tracked, listed);
    return out.str();
}

// kestrana-cli defects over the whole of each series at commit 730b507: sha256sum of its output, with
// the default settings, and with a tolerance of 200 m and limits of UN2L 3 and GAUGE 2, where many
// more exceedances compete for the same defects.
struct Recorded {
    int direction;
    bool dense;
    std::size_t bytes;
    const char* sha256;
};
constexpr Recorded kRecorded[] = {
    {1, false, 3051473, "5669150c5b7030f28352b5842cc0176bff3a859ae0d1eacc7b0eefa167b59020"},
    {-1, false, 3038733, "26fb2aa9c6bf26b3c8a1c410136ab7d5cddb8de3414ba5d500ce669d3f759da8"},
    {1, true, 1144243, "b41161d2fdfa459e266c3e65b8edb6e3822a9d96291c655612f803779bb5505c"},
    {-1, true, 1143776, "aa295b339ef091378f7f3868635774d2b5124b0c79066ccb741ad3c6d2d86daa"},
};

TEST(DefectsMidsize, WholeListIsTheOneRecordedBeforeTheSpeedWork) {
    for (const Recorded& recorded : kRecorded) {
        SCOPED_TRACE("direction " + std::to_string(recorded.direction) + (recorded.dense ? ", dense" : ""));
        TrackingSettings settings;
        if (recorded.dense) {
            settings.tolerance = 200;
            settings.limits.set(6, 3); // UN2L
            settings.limits.set(3, 2); // GAUGE
        }
        const TrackedDefects tracked =
            trackLibraryDefects(midsizeLibrary(), seriesOf(recorded.direction), settings);
        ASSERT_GT(tracked.defects().size(), 15000u); // a list of many pieces and batches
        const std::vector<std::uint32_t> listed = listDefects(tracked, {});
        const std::string csv = streamed(tracked, listed);
        EXPECT_EQ(csv.size(), recorded.bytes);
        EXPECT_EQ(history::hexText(history::sha256(csv)), recorded.sha256);
        EXPECT_EQ(defectsCsv(tracked, listed), csv);
    }
}

TEST(DefectsMidsize, FilteredListsStreamedAreTheListsMadeWhole) {
    const TrackedDefects tracked = trackedOf(-1);
    DefectFilter filter;
    filter.kms = history::KmRange{150, 260};
    filter.codes = {6, 3};
    filter.statuses = {DefectStatus::Gone, DefectStatus::Recurring};
    const std::vector<std::uint32_t> listed = listDefects(tracked, filter);
    ASSERT_GT(listed.size(), 1024u);
    EXPECT_EQ(streamed(tracked, listed), defectsCsv(tracked, listed, "\n"));
    EXPECT_EQ(streamed(tracked, {}), defectsCsv(tracked, {}));
}

TEST(DefectsMidsize, SummariesSideBySideAreEachDefectsOwn) {
    for (const int direction : {1, -1}) {
        const TrackedDefects tracked = trackedOf(direction);
        // Every defect, in the list's order and in reverse (histories of different lengths side by side).
        std::vector<std::uint32_t> numbers = listDefects(tracked, {});
        numbers.insert(numbers.end(), numbers.rbegin(), numbers.rend());
        const std::vector<DefectSummary> summaries = tracked.summariesOf(numbers);
        ASSERT_EQ(summaries.size(), numbers.size());
        std::size_t differing = 0;
        for (std::size_t i = 0; i < numbers.size(); ++i) {
            const DefectSummary one = tracked.summaryOf(tracked.defects()[numbers[i]]);
            const DefectSummary& side = summaries[i];
            differing += std::tie(one.firstRun, one.firstDay, one.latestDay, one.largest,
                                  one.growthPerYear) != std::tie(side.firstRun, side.firstDay, side.latestDay,
                                                                 side.largest, side.growthPerYear)
                             ? 1
                             : 0;
        }
        EXPECT_EQ(differing, 0u) << "direction " << direction;
    }
}

TEST(DefectsMidsize, ListIsInTheOrderOfTheDefinition) {
    for (const int direction : {1, -1}) {
        const TrackedDefects tracked = trackedOf(direction);
        const std::vector<std::uint32_t> listed = listDefects(tracked, {});
        ASSERT_EQ(listed.size(), tracked.defects().size());
        const auto key = [&](std::uint32_t number) {
            const Defect& defect = tracked.defects()[number];
            return std::make_tuple(defect.status, -tracked.excessOf(defect),
                                   tracked.direction() * tracked.positionOf(defect), defect.code, number);
        };
        std::size_t outOfOrder = 0;
        for (std::size_t i = 1; i < listed.size(); ++i) {
            outOfOrder += key(listed[i - 1]) < key(listed[i]) ? 0 : 1;
        }
        EXPECT_EQ(outOfOrder, 0u) << "direction " << direction;
    }
}

} // namespace
} // namespace kestrana::defects
