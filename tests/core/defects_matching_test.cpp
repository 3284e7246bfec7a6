// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Kestrana developers

// Matching exceedances into defects run by run, and what a defect's history says: the tolerance, the
// acceptance order, numbering, kilometre boundaries in both directions, covering runs with gaps, every
// status, growth, limits, blocks and their TGI.

#include "core/defects/defect_tracking.h"
#include "defects_fixtures.h"

#include <map>

namespace kestrana::defects {
namespace {

using test::histories;
using test::kGAUGE;
using test::kUN1L;
using test::kUN2L;
using test::kVACC;
using test::TestRun;
using test::track;

using Histories = std::vector<std::string>;

TEST(DefectMatching, ToleranceIsInclusiveInBothDirections) {
    struct Case {
        std::int16_t tolerance;
        std::int16_t step; // metres between the two runs' exceedances
        bool joins;
    };
    for (const Case c : {Case{10, 10, true},
                         {10, 11, false},
                         {10, -10, true},
                         {0, 0, true},
                         {0, 1, false},
                         {25, 25, true}}) {
        for (const int direction : {1, -1}) {
            const auto tracked =
                track(direction,
                      {{0, RunPeaks{{100, kUN2L, 500, 20}}},
                       {90, RunPeaks{{100, kUN2L, static_cast<std::int16_t>(500 + c.step), 21}}}},
                      c.tolerance);
            EXPECT_EQ(tracked.defects().size(), c.joins ? 1u : 2u)
                << "T " << c.tolerance << " step " << c.step << " direction " << direction;
        }
    }
}

TEST(DefectMatching, OfTwoExceedancesNearADefectTheBetterOneJoinsAndTheOtherStartsADefect) {
    const RunPeaks first{{100, kUN2L, 500, 20}};
    struct Case {
        int direction;
        RunPeaks second;
        Histories expected;
    };
    const std::vector<Case> cases = {
        // The nearer one, wherever it stands in the file.
        {1, {{100, kUN2L, 496, 21}, {100, kUN2L, 503, 22}}, {"100/500=20 100/503=22", "100/496=21"}},
        // At equal distance the smaller position, in either direction.
        {1, {{100, kUN2L, 505, 21}, {100, kUN2L, 495, 22}}, {"100/500=20 100/495=22", "100/505=21"}},
        {-1, {{100, kUN2L, 495, 21}, {100, kUN2L, 505, 22}}, {"100/500=20 100/505=22", "100/495=21"}},
        // At one position the first in the file.
        {1, {{100, kUN2L, 504, 21}, {100, kUN2L, 504, 22}}, {"100/500=20 100/504=21", "100/504=22"}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(histories(track(c.direction, {{0, first}, {90, c.second}})), c.expected);
    }
}

TEST(DefectMatching, OfTwoDefectsNearAnExceedanceTheNearerOneElseTheOlderOneTakesIt) {
    const RunPeaks first{{100, kUN2L, 510, 20}, {100, kUN2L, 490, 21}}; // 490 is numbered first
    EXPECT_EQ(histories(track(1, {{0, first}, {90, RunPeaks{{100, kUN2L, 502, 30}}}})),
              (Histories{"100/490=21", "100/510=20 100/502=30"}));
    EXPECT_EQ(histories(track(1, {{0, first}, {90, RunPeaks{{100, kUN2L, 500, 30}}}})),
              (Histories{"100/490=21 100/500=30", "100/510=20"}));
    // The smallest distance of all pairs goes first, even where another choice would pair more: 505
    // joins 500 at 5 m, so 491 (9 m from 500) starts a defect and 512 gets no partner.
    EXPECT_EQ(histories(track(1, {{0, RunPeaks{{100, kUN2L, 512, 20}, {100, kUN2L, 500, 21}}},
                                  {90, RunPeaks{{100, kUN2L, 505, 30}, {100, kUN2L, 491, 31}}}})),
              (Histories{"100/500=21 100/505=30", "100/512=20", "100/491=31"}));
}

TEST(DefectMatching, PiledUpExceedancesPairInOrder) {
    // Two thousand exceedances at one place in two runs (a garbled file): each defect takes the
    // exceedance of the same rank in the file, without comparing every pair with every other.
    RunPeaks first, second;
    for (std::int16_t i = 0; i < 2000; ++i) {
        first.push_back({100, kUN2L, 500, static_cast<std::int16_t>(16 + i)});
        second.push_back({100, kUN2L, 507, static_cast<std::int16_t>(-16 - i)});
    }
    const auto tracked = track(1, {{0, first}, {90, second}});
    ASSERT_EQ(tracked.defects().size(), 2000u);
    for (const std::size_t i : {0u, 1u, 1234u, 1999u}) {
        EXPECT_EQ(test::historyText(tracked, tracked.defects()[i]),
                  "100/500=" + std::to_string(16 + i) + " 100/507=-" + std::to_string(16 + i));
    }
}

TEST(DefectMatching, ExceedancesInAnyOrderOfTheFile) {
    // The car writes km by km; a file that does not (here the kms of the first run the other way
    // round, and every other one in the second) is matched all the same.
    for (const int direction : {1, -1}) {
        RunPeaks first, second;
        for (std::int16_t km = 0; km < 300; ++km) {
            first.push_back({static_cast<std::int16_t>(400 - km), kUN2L, 500, 20});
            second.push_back({static_cast<std::int16_t>(km % 2 == 0 ? 101 + km : 401 - km), kUN2L, 507, 21});
        }
        const auto tracked = track(direction, {{0, first}, {90, second}});
        EXPECT_EQ(tracked.defects().size(), 300u) << direction;
        for (const Defect& defect : tracked.defects()) {
            EXPECT_EQ(defect.exceedances, 2u);
        }
    }
}

TEST(DefectMatching, ADefectFollowedAcrossAKilometreBoundary) {
    // Falling km: km 410 location 995 is position 409005; km 409 location 3 is 408997, 8 m on.
    const RunPeaks before{{410, kUN2L, 995, 20}, {409, kUN2L, 400, 2}};
    const RunPeaks after{{410, kUN2L, 995, 3}, {409, kUN2L, 3, 24}};
    const auto falling = track(-1, {{0, before}, {91, after}});
    ASSERT_EQ(histories(falling), (Histories{"410/995=20 409/3=24"}));
    const Defect& crossed = falling.defects()[0];
    EXPECT_EQ(crossed.latest.km, 409);
    EXPECT_EQ(crossed.status, DefectStatus::Repeat);
    EXPECT_EQ(falling.coveringRunsOf(crossed), (std::vector<std::size_t>{0, 1}));

    // Rising km: km 100 location 998 to km 101 location 4 is 6 m.
    EXPECT_EQ(
        histories(track(1, {{0, RunPeaks{{100, kUN2L, 998, 20}}}, {91, RunPeaks{{101, kUN2L, 4, 21}}}})),
        (Histories{"100/998=20 101/4=21"}));
    // The same steps the other way round are 1998 m and 1992 m.
    EXPECT_EQ(track(1, {{0, before}, {91, after}}).defects().size(), 2u);
}

// One place of a series run by run: X exceeded, c covered by a peak under the limit, - a run with
// peaks but none of the parameter at the km, n a run without peaks stored.
DefectStatus statusOf(std::string_view runs) {
    std::vector<TestRun> series;
    for (std::size_t i = 0; i < runs.size(); ++i) {
        TestRun run{static_cast<history::Day>(100 * i), std::nullopt};
        switch (runs[i]) {
        case 'X':
            run.peaks = RunPeaks{{100, kUN2L, 500, 20}};
            break;
        case 'c':
            run.peaks = RunPeaks{{100, kUN2L, 200, 15}};
            break;
        case '-':
            run.peaks = RunPeaks{{101, kUN2L, 500, 3}, {100, kUN1L, 500, 3}};
            break;
        default:
            break;
        }
        series.push_back(run);
    }
    const auto tracked = track(1, series);
    EXPECT_EQ(tracked.defects().size(), 1u) << runs;
    return tracked.defects().at(0).status;
}

TEST(DefectStatus, FromTheLastAndThePreviousCoveringRun) {
    const std::map<std::string, DefectStatus> cases = {
        {"X", DefectStatus::New},           {"ccX", DefectStatus::New},
        {"-nX", DefectStatus::New},         {"XX", DefectStatus::Repeat},
        {"X-X", DefectStatus::Repeat},      {"XnnX", DefectStatus::Repeat},
        {"XX-", DefectStatus::Repeat},      {"XcXX", DefectStatus::Repeat},
        {"XcX", DefectStatus::Recurring},   {"XccX", DefectStatus::Recurring},
        {"Xc-nX", DefectStatus::Recurring}, {"Xc", DefectStatus::Gone},
        {"XXc", DefectStatus::Gone},        {"XX-c", DefectStatus::Gone},
        {"XcXc", DefectStatus::Gone},
    };
    for (const auto& [runs, status] : cases) {
        EXPECT_EQ(statusName(statusOf(runs)), statusName(status)) << runs;
    }
}

TEST(DefectStatus, ARunThatNeverCoveredTheNewKmDoesNotCountAsThePreviousCoveringRun) {
    // The defect moved to km 409 in the second run; the first run has no peak there, so the second is
    // the only covering run: exceeded in it and earlier, and not in a previous covering run.
    const auto tracked =
        track(-1, {{0, RunPeaks{{410, kUN2L, 995, 20}}}, {91, RunPeaks{{409, kUN2L, 3, 24}}}});
    EXPECT_EQ(tracked.defects().at(0).status, DefectStatus::Recurring);
}

TEST(DefectGrowth, LeastSquaresOfTheAbsoluteValuePerYear) {
    struct Case {
        std::vector<std::pair<history::Day, std::int16_t>> exceedances;
        std::optional<std::string> growth;
        std::int32_t largest;
    };
    const std::vector<Case> cases = {
        {{{0, 20}}, std::nullopt, 20},
        {{{0, 20}, {0, -22}}, std::nullopt, 22}, // two runs on one day
        {{{0, 16}, {365, 20}}, "4.00", 20},      // 4 / 365 x 365.25 = 4.0027
        {{{0, -20}, {730, 24}}, "2.00", 24},     // the sign does not count
        {{{0, 20}, {365, -16}}, "-4.00", 20},
        // Slope 0.02 a day: 7.305 a year, exactly half way, rounded away from zero.
        {{{0, 16}, {100, -18}, {200, 20}}, "7.31", 20},
        {{{0, -32768}, {1, 32767}}, "-365.25", 32768},
    };
    for (const Case& c : cases) {
        std::vector<TestRun> runs;
        for (const auto& [day, value] : c.exceedances) {
            runs.push_back({day, RunPeaks{{100, kUN2L, 500, value}}});
        }
        const auto tracked = track(1, runs);
        ASSERT_EQ(tracked.defects().size(), 1u);
        const DefectSummary summary = tracked.summaryOf(tracked.defects()[0]);
        EXPECT_EQ(summary.growthPerYear, c.growth) << c.exceedances.back().first;
        EXPECT_EQ(summary.largest, c.largest);
        EXPECT_EQ(summary.firstDay, c.exceedances.front().first);
        EXPECT_EQ(summary.latestDay, c.exceedances.back().first);
    }
}

TEST(DefectLimits, AnAbsoluteValueAboveTheLimitOfATrackedParameter) {
    Limits withVacc = Limits::defaults();
    withVacc.set(kVACC, 2);
    Limits strictGauge = Limits::defaults();
    strictGauge.set(kGAUGE, 0);
    struct Case {
        std::int16_t code;
        std::int16_t value;
        Limits limits;
        bool exceeds;
    };
    const Limits defaults = Limits::defaults();
    for (const Case& c : {Case{kUN2L, 15, defaults, false},
                          {kUN2L, 16, defaults, true},
                          {kUN2L, -16, defaults, true},
                          {kUN2L, -15, defaults, false},
                          {kGAUGE, 7, defaults, true},
                          {kGAUGE, 6, defaults, false},
                          {kGAUGE, 1, strictGauge, true},
                          {kGAUGE, 0, strictGauge, false},
                          {kVACC, 30000, defaults, false},
                          {kVACC, 3, withVacc, true},
                          {10, 30000, withVacc, false},
                          {-1, 30000, defaults, false},
                          {kUN2L, -32768, defaults, true}}) {
        const auto tracked = track(1, {{0, RunPeaks{{100, c.code, 500, c.value}}}}, 10, {}, c.limits);
        EXPECT_EQ(tracked.defects().size(), c.exceeds ? 1u : 0u) << c.code << " " << c.value;
    }
}

TEST(DefectBlock, BlockOfTheLatestExceedanceAndItsTgiInThatRun) {
    const std::map<std::int16_t, std::int16_t> blocks = {{-5, 1},  {0, 1},   {199, 1},  {200, 2},
                                                         {799, 4}, {800, 5}, {1000, 5}, {1500, 5}};
    for (const auto& [location, block] : blocks) {
        EXPECT_EQ(blockOfLocation(location), block) << location;
    }
    std::vector<std::pair<std::size_t, history::BlockKey>> asked;
    const auto tracked =
        track(1,
              {{0, RunPeaks{{100, kUN2L, 595, 20}, {101, kUN2L, 100, 20}}},
               {90, RunPeaks{{100, kUN2L, 603, 21}, {102, kUN2L, 100, 20}}}},
              10, [&](std::size_t run, const history::BlockKey& key) -> std::optional<std::int16_t> {
                  asked.emplace_back(run, key);
                  if (key.km == 101) {
                      return std::nullopt;
                  }
                  return static_cast<std::int16_t>(run * 100 + key.block);
              });
    ASSERT_EQ(tracked.defects().size(), 3u);
    EXPECT_EQ(tracked.defects()[0].block, 4);
    EXPECT_EQ(tracked.defects()[0].tgi, 104); // of run 1, where the latest exceedance is
    EXPECT_EQ(tracked.defects()[1].tgi, std::nullopt);
    EXPECT_EQ(tracked.defects()[2].tgi, 101);
    EXPECT_EQ(asked.size(), 3u);
}

TEST(DefectTracker, RunsBeyondTheSixteenBitIndexAreRefused) {
    DefectTracker tracker(1, TrackingSettings{});
    for (int run = 0; run < 65536; ++run) {
        tracker.addRun(run, "1", nullptr);
    }
    EXPECT_THROW(tracker.addRun(65536, "1", nullptr), common::Error);
}

} // namespace
} // namespace kestrana::defects
