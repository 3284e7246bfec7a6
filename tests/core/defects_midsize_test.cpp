// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Kestrana developers

// The defects list of a mid-size library (two series, rising and falling km, 16 runs of 300 km each,
// every run with its own seed, so that tens of thousands of defects start, and with a wide tolerance
// many compete for the same exceedances), made the fast way: the list streamed in pieces is the list
// made whole, the summaries of many defects worked out side by side are each defect's own, and the
// packed sort keys give the order of the definition. (What the list holds is checked against the
// definitions by the reference checks, tests/core/defects_check.py and tests/cli/defects_cli_check.py.)

#include "core/defects/defect_lists.h"
#include "core/defects/library_defects.h"
#include "core/history/dates.h"
#include "core/library/run_import.h"
#include "core/library/sqlite_run_library.h"
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

// The library of both series, made once.
const library::RunLibrary& midsizeLibrary() {
    static test::TempFolder folder;
    static const std::unique_ptr<library::RunLibrary> library = [] {
        const std::string path = folder.file("midsize.sqlite");
        auto made = library::openSqliteLibrary(path, library::LibraryAccess::CreateIfMissing);
        const std::string runPath = folder.file("run.run");
        for (const int direction : {1, -1}) {
            for (int i = 0; i < kRuns; ++i) {
                {
                    std::ofstream out(runPath, std::ios::binary | std::ios::trunc);
                    out << generator::generateRun(midsizeRecipe(direction, i));
                }
                const library::FileOutcome outcome = library::importRunFile(*made, runPath);
                EXPECT_EQ(outcome.status, library::ImportStatus::Imported) << library::outcomeLine(outcome);
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
