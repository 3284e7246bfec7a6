// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Kestrana developers

// The generator's line with planted defects, read and matched as a whole: each planted defect ends
// where it was put with the status its story gives, besides the car's own peaks of a wearing line.

#include "core/defects/defect_lists.h"
#include "core/history/dates.h"
#include "run_generator.h"

#include <gtest/gtest.h>

#include <map>
#include <set>

namespace kestrana::defects {
namespace {

// The peaks of a generated run, fed line by line.
RunPeaks peaksOf(const std::string& text) {
    RunPeakReader reader("generated.run");
    const std::vector<std::string_view> lines = generator::linesOf(text);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        reader.line(lines[i], static_cast<long>(i + 1));
    }
    return reader.finish();
}

TEST(GeneratedDefects, EveryPlantedDefectEndsWhereItWasPutWithItsStatus) {
    const generator::DefectSeries series = generator::defectSeriesRecipes();
    std::vector<RunPeaks> peaks;
    std::vector<SeriesRun> runs;
    std::vector<std::map<std::pair<int, int>, std::int16_t>> tgi;
    for (const auto& run : series.runs) {
        const generator::GeneratedRun generated = generator::generateRunWithValues(run.recipe);
        peaks.push_back(peaksOf(generated.text));
        auto& blocks = tgi.emplace_back();
        for (const auto& row : generated.blocks) {
            // Fields 2 (km from), 5 (block number) and 17 (TGI) of the block's row.
            blocks[{row[1], row[4]}] = static_cast<std::int16_t>(row[16]);
        }
        runs.push_back(
            SeriesRun{*history::dayOfRunDate(run.recipe.date), std::string(1, run.recipe.runNumber)});
    }
    for (std::size_t i = 0; i < runs.size(); ++i) {
        runs[i].peaks = &peaks[i];
    }
    const TrackedDefects tracked =
        trackDefects(-1, runs, TrackingSettings{}, [&](std::size_t run, const history::BlockKey& key) {
            const auto found = tgi[run].find({key.km, key.block});
            return found == tgi[run].end() ? std::nullopt : std::optional<std::int16_t>(found->second);
        });

    std::set<std::string> statuses;
    for (const generator::PlantedDefect& planted : series.defects) {
        const auto number =
            findDefect(tracked, static_cast<std::int16_t>(planted.code),
                       static_cast<std::int16_t>(planted.km), static_cast<std::int16_t>(planted.location));
        ASSERT_TRUE(number) << planted.story;
        const Defect& defect = tracked.defects()[*number];
        EXPECT_EQ(statusName(defect.status), planted.status) << planted.story;
        statuses.insert(planted.status);
        const auto growth = tracked.summaryOf(defect).growthPerYear;
        if (planted.story.find("grow") != std::string::npos) {
            ASSERT_TRUE(growth) << planted.story;
            EXPECT_GT(std::stod(*growth), 1.0) << planted.story;
        }
        if (planted.story.find("good track") != std::string::npos) {
            ASSERT_TRUE(defect.tgi);
            EXPECT_GE(*defect.tgi, 81); // the best quality band
        }
    }
    EXPECT_EQ(statuses, (std::set<std::string>{"repeat", "new", "recurring", "gone"}));
    // The line itself wears: the car's own peaks exceed the limits in many places too.
    EXPECT_GT(tracked.defects().size(), 2 * series.defects.size());
}

} // namespace
} // namespace kestrana::defects
