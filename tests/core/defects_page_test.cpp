// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Kestrana developers

// Defect tracking over a library and what the Defects page shows of it, on the generator's defect line:
// a km range or one parameter read gives the range's defects exactly as the whole line does, a defect's
// history holds its exceedances and the covering runs without one, the map marks the exceeded blocks,
// and the printed list names its settings and range on every page.

#include "core/defects/defects_page.h"
#include "core/defects/library_defects.h"
#include "core/library/run_import.h"
#include "core/library/sqlite_run_library.h"
#include "run_generator.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

namespace kestrana::defects {
namespace {

class DefectsOverLibrary : public ::testing::Test {
protected:
    void SetUp() override {
        for (const auto& run : generator::defectSeriesRecipes().runs) {
            test::writeFile(folder_.file(run.fileName), generator::generateRun(run.recipe));
        }
        library_ =
            library::openSqliteLibrary(folder_.file("lib.sqlite"), library::LibraryAccess::CreateIfMissing);
        ASSERT_EQ(library::importPaths(*library_, {folder_.path()}).imported, 6u);
        series_ = library_->series().at(0);
    }
    test::TempFolder folder_;
    std::unique_ptr<library::RunLibrary> library_;
    history::Series series_;
};

TEST_F(DefectsOverLibrary, ARangeOrParameterReadGivesTheDefectsTheWholeLineGives) {
    const TrackedDefects whole = trackLibraryDefects(*library_, series_, TrackingSettings{});
    for (const history::KmRange range :
         {history::KmRange{433, 434}, history::KmRange{422, 422}, history::KmRange{430, 440}}) {
        DefectFilter filter;
        filter.kms = range;
        const TrackedDefects part = trackLibraryDefects(*library_, series_, TrackingSettings{}, range);
        EXPECT_EQ(defectsCsv(part, listDefects(part, filter)), defectsCsv(whole, listDefects(whole, filter)))
            << range.low << " to " << range.high;
    }
    const std::int16_t un2r[] = {7};
    const TrackedDefects one =
        trackLibraryDefects(*library_, series_, TrackingSettings{}, std::nullopt, un2r);
    DefectFilter filter;
    filter.codes = {7};
    EXPECT_EQ(defectsCsv(one, listDefects(one, {})), defectsCsv(whole, listDefects(whole, filter)));
    // Far more margin than the tolerance needs, never past the ends of the km scale.
    EXPECT_EQ(widenedRange({433, 434}, 6, 10), (history::KmRange{431, 436}));
    EXPECT_EQ(widenedRange({-32768, 32767}, 40, 1000), (history::KmRange{-32768, 32767}));
}

TEST_F(DefectsOverLibrary, TheHistoryChartTheMapMarksAndThePrintedList) {
    const TrackedDefects tracked = trackLibraryDefects(*library_, series_, TrackingSettings{});
    // The planted defect that came back after two clean runs: exceeded in runs 1, 2 and 6.
    const auto recurring = findDefect(tracked, 8, 427, 151);
    ASSERT_TRUE(recurring);
    const DefectHistory history = defectHistory(tracked, *recurring);
    EXPECT_EQ(history.title, "AL2L at km 427, location 151: recurring");
    EXPECT_EQ(history.limit, 10);
    ASSERT_EQ(history.points.size(), 6u);
    std::vector<std::optional<std::int32_t>> values;
    for (const auto& point : history.points) {
        values.push_back(point.value);
    }
    EXPECT_EQ(values, (std::vector<std::optional<std::int32_t>>{12, 13, std::nullopt, std::nullopt,
                                                                std::nullopt, 14}));
    EXPECT_EQ(history.points[0].label, "2025-01-10 run 1");
    ASSERT_TRUE(history.growth);
    EXPECT_NEAR(history.growth->slope * 365.25, std::stod(history.growth->ratePerYear), 0.006);
    EXPECT_EQ(history.growthText, "growth " + history.growth->ratePerYear + " per year");
    // The defect new in the latest run has one day only: no line.
    const DefectHistory single = defectHistory(tracked, *findDefect(tracked, 4, 425, 730));
    EXPECT_FALSE(single.growth);
    EXPECT_EQ(single.growthText, "growth: exceeded on one day only");

    // Marks: exactly the (run, block) pairs of the exceedances within the map's range.
    const history::KmRange range{425, 436};
    const history::ConditionMap map =
        history::conditionMap(*library_, series_, range, history::BlockIndex::TGI);
    std::vector<library::RunId> ids;
    for (const auto& run : library_->runsOf(series_)) {
        ids.push_back(run.id);
    }
    const std::vector<bool> marks = exceedanceCells(map, tracked, ids);
    std::set<std::pair<std::size_t, std::size_t>> exceeded; // (row, column)
    for (const Defect& defect : tracked.defects()) {
        for (const Exceedance& e : tracked.exceedancesOf(defect)) {
            const auto column = std::find(map.columns.begin(), map.columns.end(),
                                          history::BlockKey{e.km, blockOfLocation(e.location)});
            if (column != map.columns.end()) {
                exceeded.insert({e.run, static_cast<std::size_t>(column - map.columns.begin())});
            }
        }
    }
    ASSERT_FALSE(exceeded.empty());
    for (std::size_t cell = 0; cell < marks.size(); ++cell) {
        EXPECT_EQ(marks[cell], exceeded.count({cell / map.columns.size(), cell % map.columns.size()}) == 1)
            << cell;
    }

    // The printed list: its heading lines open every page, then the column headings.
    DefectFilter filter;
    filter.kms = range;
    filter.tgiAtLeast = kGoodTrackTgi;
    const DefectsHeading heading{series_, range, TrackingSettings{}, filter, 20500};
    const auto lines = defectsHeadingLines(heading);
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[0], "Defects: WARDHA - BALHARSHAH DN LINE, falling km (-1), km 425 to 436");
    EXPECT_EQ(lines[1], "Limits: UN1L 10, UN1R 10, TW1 10, GAUGE 6, AL1L 6, AL1R 6,");
    EXPECT_EQ(lines[2], "        UN2L 15, UN2R 15, AL2L 10, AL2R 10; tolerance 10 m");
    EXPECT_EQ(lines[3],
              "Shown: all statuses; all parameters; good track only (TGI at least 81); listed on 2026-02-16");
    std::vector<std::uint32_t> many(200, *recurring);
    const auto script = defectsPrintScript(heading, tracked, many);
    const auto printed = script.lines();
    ASSERT_EQ(printed.size(), 4u + 1u + 201u);
    EXPECT_EQ(std::vector<std::string>(printed.begin(), printed.begin() + 4), lines);
    EXPECT_TRUE(printed[5].starts_with("Parameter Km     Location Status")) << printed[5];
    // The heading, the blank line under it and the column headings open every later page.
    std::size_t repeated = 0;
    for (const auto& op : script.ops()) {
        repeated += op.kind == common::PrintOp::Kind::PageHeader ? 1 : 0;
    }
    EXPECT_EQ(repeated, 4u + 1u + 1u);
    EXPECT_EQ(defectsTableLines(tracked, {}), std::vector<std::string>{std::string(kNoDefectsNote)});
    EXPECT_EQ(defectsSummary(tracked, many), "200 defects listed (0 repeat, 0 new, 200 recurring, 0 gone)");
    EXPECT_EQ(defectsCsvName(series_, 20500), "defects WARDHA - BALHARSHAH DN LINE 2026-02-16.csv");
}

} // namespace
} // namespace kestrana::defects
