// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Kestrana developers

// What the screen and the command line show of a library: a block's history, the forecast list, the
// maintenance list, the condition map, the CSV texts and the printed maintenance list.

#include "core/history/block_history.h"
#include "core/history/condition_map.h"
#include "core/history/dates.h"
#include "core/history/forecast_list.h"
#include "core/history/history_csv.h"
#include "core/history/history_screen_texts.h"
#include "core/history/maintenance_list.h"
#include "core/history/maintenance_print.h"

#include <gtest/gtest.h>

using namespace kestrana::history;
using namespace kestrana::library;

namespace {

Day day(const char* ddmmyy) {
    return *dayOfRunDate(ddmmyy);
}

RunRecord runOn(RunId id, const char* ddmmyy, const Series& series) {
    RunRecord run;
    run.id = id;
    run.series = series;
    run.day = day(ddmmyy);
    run.dateText = ddmmyy;
    run.runNumber = std::to_string(id);
    return run;
}

// Runs of a falling line, each with the values of the blocks given as {km, block, value}.
std::vector<RunValues>
runsOf(const Series& series,
       const std::vector<std::pair<const char*, std::vector<std::array<int, 3>>>>& runs) {
    std::vector<RunValues> result;
    RunId id = 1;
    for (const auto& [date, values] : runs) {
        RunValues run{runOn(id++, date, series), {}};
        for (const auto& [km, block, value] : values) {
            run.values.push_back({BlockKey{static_cast<std::int16_t>(km), static_cast<std::int16_t>(block)},
                                  static_cast<std::int16_t>(value)});
        }
        result.push_back(run);
    }
    return result;
}

const Series kFalling{"DOWN LINE", -1};

} // namespace

TEST(HistoryLists, BlockHistoryLeavesOutUnrecordedRunsAndNumbersSegments) {
    std::vector<RunValue> values;
    const std::pair<const char*, int> runs[] = {{"010124", 60}, {"010424", 0},  {"010724", 52},
                                                {"011024", 70}, {"010125", 64}, {"010425", 58}};
    RunId id = 1;
    for (const auto& [date, value] : runs) {
        values.push_back({runOn(id++, date, kFalling), static_cast<std::int16_t>(value)});
    }
    const BlockHistory history = blockHistoryOf(kFalling, {12, 3}, HistorySettings{}, values);
    EXPECT_EQ(historyCsv(history), "date,run,value,segment\n"
                                   "2024-01-01,1,60,1\n"
                                   "2024-07-01,3,52,1\n"
                                   "2024-10-01,4,70,2\n"
                                   "2025-01-01,5,64,2\n"
                                   "2025-04-01,6,58,2\n");
    ASSERT_EQ(history.segments.size(), 2U);
    EXPECT_EQ(history.maintenance, std::vector<std::size_t>{2});
    ASSERT_TRUE(history.segments[0].trend);
    EXPECT_LT(history.segments[0].trend->slope, 0);
    ASSERT_TRUE(history.forecast);
    EXPECT_EQ(history.forecast->points, 3U);
    const auto line = forecastLineOf(history);
    ASSERT_TRUE(line);
    EXPECT_EQ(line->fromDay, day("010425"));
    EXPECT_NEAR(line->fromValue, history.forecast->trend->valueAt(day("010425")), 1e-9);
    EXPECT_EQ(line->crossingDay, *history.forecast->crossingDay);
    EXPECT_EQ(historyCaption(history), "km 12 block 3, TGI: crossing 36 on " +
                                           isoDate(*history.forecast->crossingDay) + ", " +
                                           history.forecast->trend->ratePerYear + " per year");
    EXPECT_EQ(historyCaption(blockHistoryOf(kFalling, {1, 1}, HistorySettings{}, {})),
              "km 1 block 1, TGI: not recorded in any run");

    // The chart reaches ten years (or a longer horizon) past the latest run; a crossing beyond is cut
    // there, the line ending at its value on that day.
    EXPECT_EQ(chartEndDay(day("010425"), 12), day("010435"));
    EXPECT_EQ(chartEndDay(day("010425"), 180), day("010440"));
    const ForecastLine far{day("010125"), 50.0, day("010145"), 36.0, 36.0, true};
    const ForecastLine cut = forecastLineUntil(far, day("010135"));
    EXPECT_FALSE(cut.reachesThreshold);
    EXPECT_EQ(cut.crossingDay, day("010135"));
    EXPECT_NEAR(cut.endValue, 50.0 - 14.0 * (day("010135") - day("010125")) / (day("010145") - day("010125")),
                1e-9);
    EXPECT_TRUE(forecastLineUntil(*line, chartEndDay(line->fromDay, 12)).reachesThreshold);

    // A fitted line that met the threshold on or before the latest run: the block is due now.
    std::vector<RunValue> scattered;
    const std::pair<const char*, int> dueRuns[] = {{"010124", 60}, {"010724", 30}, {"010125", 37}};
    for (const auto& [date, value] : dueRuns) {
        scattered.push_back({runOn(id++, date, kFalling), static_cast<std::int16_t>(value)});
    }
    const BlockHistory due = blockHistoryOf(kFalling, {12, 4}, HistorySettings{}, scattered);
    ASSERT_EQ(due.forecast->status, ForecastStatus::Crossing);
    ASSERT_LE(*due.forecast->crossingDay, day("010125"));
    EXPECT_EQ(historyCaption(due), "km 12 block 4, TGI: due now (the fitted line crossed on " +
                                       isoDate(*due.forecast->crossingDay) + "), " +
                                       due.forecast->trend->ratePerYear + " per year");
}

TEST(HistoryLists, ForecastRowsSortByStatusCrossingThenKmInTheRunDirection) {
    // Falling line: km 12 comes before km 11 along the run.
    const auto runs =
        runsOf(kFalling, {{"010124", {{11, 1, 50}, {11, 2, 50}, {12, 1, 50}, {12, 2, 60}, {13, 1, 0}}},
                          {"010125", {{11, 1, 40}, {11, 2, 30}, {12, 1, 40}, {12, 2, 60}, {13, 1, 0}}},
                          {"010126", {{11, 1, 45}, {11, 2, 20}, {12, 1, 30}, {12, 2, 59}, {10, 5, 70}}}});
    const auto rows = forecastRowsOf(runs, kFalling.direction, HistorySettings{});
    // Read from the condition map of the same runs, the forecast is the same.
    EXPECT_EQ(forecastCsv(forecastRowsOf(conditionMapOf(kFalling, BlockIndex::TGI, runs), HistorySettings{})),
              forecastCsv(rows));
    // 12/1 and 11/2 are below (latest 30, 20): km 12 first. 11/1 (50, 40, 45) crosses earlier than 12/2
    // (60, 60, 59). 10/5 has one point. 13/1 was never recorded: no row.
    const std::string csv = forecastCsv(rows);
    EXPECT_EQ(csv.substr(0, csv.find('\n')),
              "km,block,points,latest_date,latest_value,rate_per_year,crossing_date,status");
    std::vector<std::string> keys;
    for (const ForecastRow& row : rows) {
        keys.push_back(std::to_string(row.block.km) + "/" + std::to_string(row.block.block) + " " +
                       std::string(statusName(row.forecast.status)));
    }
    EXPECT_EQ(keys, (std::vector<std::string>{"12/1 below", "11/2 below", "11/1 crossing", "12/2 crossing",
                                              "10/5 too few runs"}));
    EXPECT_LT(*rows[2].forecast.crossingDay, *rows[3].forecast.crossingDay);
    EXPECT_NE(csv.find("\n10,5,1,2026-01-01,70,,,too few runs\n"), std::string::npos);
    // A falling rate is a number: no quote mark in front of its minus sign.
    EXPECT_NE(csv.find("\n12,1,3,2026-01-01,30,-"), std::string::npos) << csv;
}

TEST(HistoryLists, MaintenanceStretchesMergeNeighboursOfOneStatusWithinTheHorizon) {
    const Day until = day("010127");
    auto row = [](int km, int block, ForecastStatus status, const char* crossing = nullptr) {
        ForecastRow r{{static_cast<std::int16_t>(km), static_cast<std::int16_t>(block)}, {}};
        r.forecast.status = status;
        if (crossing != nullptr) {
            r.forecast.crossingDay = day(crossing);
        }
        return r;
    };
    using S = ForecastStatus;
    // Along a rising line: 1/1-1/3 crossing (1/3 after the horizon ends it at 1/2), 1/4-2/1 below,
    // 2/2 stable, 2/3-2/4 crossing, 3/1 below alone.
    const std::vector<ForecastRow> rows = {
        row(2, 3, S::Crossing, "010626"),
        row(1, 2, S::Crossing, "010326"),
        row(1, 1, S::Crossing, "010526"),
        row(1, 3, S::Crossing, "010227"),
        row(1, 4, S::Below),
        row(1, 5, S::Below),
        row(2, 1, S::Below),
        row(2, 2, S::Stable),
        row(2, 4, S::Crossing, "010426"),
        row(3, 1, S::Below),
        row(3, 2, S::TooFewRuns),
    };
    const Series rising{"UP, \"MAIN\"", 1};
    EXPECT_EQ(maintenanceCsv(rising, maintenanceList(rows, 1, until)),
              "line,direction,status,from_km,from_block,to_km,to_block,blocks,earliest_date\n"
              "\"UP, \"\"MAIN\"\"\",1,below,1,4,2,1,3,\n"
              "\"UP, \"\"MAIN\"\"\",1,below,3,1,3,1,1,\n"
              "\"UP, \"\"MAIN\"\"\",1,crossing,1,1,1,2,2,2026-03-01\n"
              "\"UP, \"\"MAIN\"\"\",1,crossing,2,3,2,4,2,2026-04-01\n");
    // Falling: the run meets km 3, then 2, then 1 (blocks of a km in their order), so 2/2 now parts 2/1
    // from 1/4-1/5. 2/4 is not followed by 1/1 on the track (2/5 was never recorded), so the crossing
    // blocks 2/3-2/4 and 1/1-1/2 are two stretches, each counting only blocks it covers.
    EXPECT_EQ(maintenanceCsv(kFalling, maintenanceList(rows, -1, until)),
              "line,direction,status,from_km,from_block,to_km,to_block,blocks,earliest_date\n"
              "DOWN LINE,-1,below,3,1,3,1,1,\n"
              "DOWN LINE,-1,below,2,1,2,1,1,\n"
              "DOWN LINE,-1,below,1,4,1,5,2,\n"
              "DOWN LINE,-1,crossing,1,1,1,2,2,2026-03-01\n"
              "DOWN LINE,-1,crossing,2,3,2,4,2,2026-04-01\n");
    EXPECT_TRUE(blockFollows({2, 5}, {1, 1}, -1));
    EXPECT_FALSE(blockFollows({2, 5}, {3, 1}, -1));
    EXPECT_TRUE(blockFollows({2, 5}, {3, 1}, 1));
    EXPECT_FALSE(blockFollows({2, 3}, {2, 5}, 1));
    EXPECT_EQ(horizonEnd(day("061226"), 12), day("061227"));
}

TEST(HistoryLists, ConditionMapHasEveryBlockOfAnyRunInTheRunDirection) {
    const auto runs =
        runsOf(kFalling, {{"010124", {{11, 1, 40}, {12, 2, 0}}}, {"010125", {{11, 2, 90}, {12, 2, -3}}}});
    const ConditionMap map = conditionMapOf(kFalling, BlockIndex::TGIU, runs);
    EXPECT_EQ(map.columns, (std::vector<BlockKey>{{12, 2}, {11, 1}, {11, 2}}));
    ASSERT_EQ(map.rows.size(), 2U);
    const ValueBand expected[2][3] = {{ValueBand::NotRecorded, ValueBand::Band2, ValueBand::Absent},
                                      {ValueBand::NoBand, ValueBand::Absent, ValueBand::Band4}};
    for (std::size_t r = 0; r < 2; ++r) {
        for (std::size_t c = 0; c < 3; ++c) {
            EXPECT_EQ(map.cell(r, c).band, expected[r][c]) << r << "," << c;
        }
    }
    EXPECT_EQ(map.cell(1, 0).value, -3);
    EXPECT_EQ(cellDescription(map, 0, 1), "km 11 block 1, 2024-01-01 run 1: TGIU 40");
    EXPECT_EQ(cellDescription(map, 0, 0), "km 12 block 2, 2024-01-01 run 1: not recorded");
    EXPECT_EQ(cellDescription(map, 1, 1), "km 11 block 1, 2025-01-01 run 2: no such block in this run");
}

TEST(HistoryLists, HistoryCsvQuotesWhatNeedsItKeepsFormulasFromRunningAndWritesUtcTimes) {
    RunRecord run = runOn(3, "290224", Series{"A, B \"UP\"", -1});
    run.blocks = 120;
    run.file = "/data/runs/x.run";
    RunRecord formula = runOn(4, "010324", Series{"=HYPERLINK(\"http://x\";\"y\")", -1});
    formula.runNumber = "-";
    formula.blocks = 5;
    formula.file = "@runs/x.run";
    // The last second of a leap day; a run from before the audit trail has neither time nor user.
    run.imported = ImportStamp{1709251199999999, "j.smith"};
    formula.imported = ImportStamp{std::nullopt, "+cmd"};
    EXPECT_EQ(runsCsv(std::vector<RunRecord>{run, formula}, "\r\n"),
              "id,line,direction,date,run,blocks,imported_at,imported_by,file\r\n3,\"A, B "
              "\"\"UP\"\"\",-1,2024-02-29,3,120,2024-02-29T23:59:59Z,j.smith,/data/runs/x.run\r\n"
              "4,\"'=HYPERLINK(\"\"http://x\"\";\"\"y\"\")\",-1,2024-03-01,'-,5,,'+cmd,'@runs/x.run\r\n");
    LogEntry imported{1709251199000001,
                      "j.smith",
                      LogEntry::Action::Imported,
                      3,
                      Series{"A UP", 1},
                      *dayOfRunDate("290224"),
                      "2",
                      "/data/x.run"};
    LogEntry removed = imported;
    removed.action = LogEntry::Action::Removed;
    removed.time = -3599999999; // before 1970 still reads as a time of day
    removed.user = "=x";
    LogEntry unknown = imported;
    unknown.time.reset();
    EXPECT_EQ(logCsv(std::vector<LogEntry>{unknown, imported, removed}),
              "time,user,action,line,direction,date,run,file\n"
              ",j.smith,imported,A UP,1,2024-02-29,2,/data/x.run\n"
              "2024-02-29T23:59:59Z,j.smith,imported,A UP,1,2024-02-29,2,/data/x.run\n"
              "1969-12-31T23:00:00Z,'=x,removed,A UP,1,2024-02-29,2,/data/x.run\n");
    // The log's order puts runs without a time first, and an import before a removal at the same time.
    std::vector<LogEntry> shuffled = {removed, imported, unknown};
    removed.time = imported.time;
    shuffled[0] = removed;
    std::sort(shuffled.begin(), shuffled.end(), logComesBefore);
    EXPECT_EQ(shuffled, (std::vector<LogEntry>{unknown, imported, removed}));
}

TEST(HistoryLists, TheRunListShowsWhoTookEachRunInAndWhenAsLibraryRunsPrintsIt) {
    RunRecord stamped = runOn(7, "010324", Series{"A UP", 1});
    stamped.blocks = 1;
    stamped.file = "/data/a.run";
    const struct {
        ImportStamp stamp;
        const char* shown;
    } cases[] = {
        {{1709251199999999, "j.smith"}, "2024-02-29T23:59:59Z"}, // cut to its second, never rounded up
        {{1709251200000000, "j.smith"}, "2024-03-01T00:00:00Z"},
        {{-1, "postgres"}, "1969-12-31T23:59:59Z"},
        {{std::nullopt, ""}, ""}, // taken in before libraries kept the stamp
    };
    for (const auto& [stamp, shown] : cases) {
        stamped.imported = stamp;
        EXPECT_EQ(runListRow(stamped),
                  (std::vector<std::string>{"2024-03-01", "7", "1", shown, stamp.by, "/data/a.run"}));
        // The same cells as the runs CSV of the library writes for the run.
        const std::string csv = runsCsv(std::vector<RunRecord>{stamped});
        EXPECT_NE(csv.find(",1," + std::string(shown) + "," + stamp.by + ",/data/a.run\n"), std::string::npos)
            << csv;
    }
}

TEST(HistoryLists, PrintedMaintenanceListHasHeadingColumnsAndStretches) {
    MaintenanceHeading heading{"Section 4 plan",
                               Series{"AKOLA UP", 1},
                               HistorySettings{},
                               day("061226"),
                               day("061227"),
                               KmRange{300, 320},
                               12};
    const std::vector<MaintenanceStretch> stretches = {
        {ForecastStatus::Below, {300, 1}, {301, 4}, 9, std::nullopt},
        {ForecastStatus::Crossing, {305, 2}, {305, 2}, 1, day("010327")}};
    const auto lines = maintenancePrintScript(heading, stretches).lines();
    const std::vector<std::string> expected = {
        "Section 4 plan",
        "Maintenance list: AKOLA UP",
        "Rising km (1), km 300 to 320",
        "TGI below 36 now or by 2027-12-06, maintenance jump 15",
        "Horizon 12 months from 2026-12-06",
        "",
        "Status    From                  To                    Blocks  Earliest date",
        "below     km 300 block 1        km 301 block 4        9       ",
        "crossing  km 305 block 2        km 305 block 2        1       2027-03-01",
    };
    EXPECT_EQ(lines, expected);
    // Every later page opens with the same heading and column heading, so a loose page says what
    // it covers.
    std::vector<std::string> repeated;
    const kestrana::common::HardCopyScript script = maintenancePrintScript(heading, stretches);
    for (const kestrana::common::PrintOp& op : script.ops()) {
        if (op.kind == kestrana::common::PrintOp::Kind::PageHeader) {
            repeated.push_back(op.text);
        }
    }
    EXPECT_EQ(repeated, std::vector<std::string>(expected.begin(), expected.begin() + 7));
    heading.title.clear();
    EXPECT_EQ(maintenanceHeadingLines(heading).size(), 4U);
    EXPECT_EQ(maintenanceTableLines({}),
              std::vector<std::string>{"No block needs maintenance within the horizon."});
}

TEST(HistoryLists, ACrossingNotAfterTheLatestRunIsDueNow) {
    auto row = [](int block, ForecastStatus status, const char* latest, const char* crossing) {
        ForecastRow r{{7, static_cast<std::int16_t>(block)}, {}};
        r.forecast.status = status;
        r.forecast.latestDay = day(latest);
        if (crossing != nullptr) {
            r.forecast.crossingDay = day(crossing);
        }
        return r;
    };
    // The latest run of the list is 2026-06-01 (block 3's); block 1's line crossed before it.
    const std::vector<ForecastRow> rows = {row(1, ForecastStatus::Crossing, "010126", "010326"),
                                           row(3, ForecastStatus::Crossing, "010626", "010926")};
    const std::vector<MaintenanceStretch> stretches = maintenanceList(rows, 1, day("010127"));
    ASSERT_EQ(stretches.size(), 2U);
    EXPECT_TRUE(stretches[0].dueNow);
    EXPECT_FALSE(stretches[1].dueNow);
    const std::vector<std::string> lines = maintenanceTableLines(stretches);
    EXPECT_EQ(lines[1].substr(62), "due now (the fitted line crossed on 2026-03-01)");
    EXPECT_EQ(lines[2].substr(62), "2026-09-01");
    // The CSV keeps the date.
    EXPECT_NE(maintenanceCsv(kFalling, stretches).find(",1,2026-03-01\n"), std::string::npos);
}

TEST(HistoryLists, MapPixelsShowTheWorstOfTheirBlocks) {
    const auto runs =
        runsOf(kFalling, {{"010124", {{9, 1, 90}, {9, 2, 0}, {9, 3, 20}, {9, 4, 90}, {9, 5, -2}}},
                          {"010125", {{9, 1, 0}, {9, 2, 0}, {9, 4, 85}}}});
    const ConditionMap map = conditionMapOf(kFalling, BlockIndex::TGI, runs);
    EXPECT_EQ(worstColumn(map, 0, 0, 4), 2U); // 20 among 90, not recorded and 90
    EXPECT_EQ(worstColumn(map, 0, 0, 5), 4U); // a value below 0 is lower still
    EXPECT_EQ(worstColumn(map, 0, 0, 2), 0U); // a recorded 90 before a not-recorded block
    EXPECT_EQ(worstColumn(map, 1, 0, 3), 0U); // all not recorded or missing: not recorded first
    EXPECT_EQ(worstColumn(map, 1, 2, 4), 3U); // a missing block only when nothing else is there
    EXPECT_EQ(worstColumn(map, 1, 2, 3), 2U);
}

TEST(HistoryLists, ExportedListIsNamedForItsLineAndDay) {
    EXPECT_EQ(maintenanceCsvName(Series{"A/B: \"UP\"", 1}, day("071226")),
              "maintenance A_B_ _UP_ 2026-12-07.csv");
    EXPECT_EQ(withCsvExtension("/tmp/plan"), "/tmp/plan.csv");
    EXPECT_EQ(withCsvExtension("/tmp/plan.CSV"), "/tmp/plan.CSV");
    EXPECT_EQ(withCsvExtension("/tmp/plan.csv.txt"), "/tmp/plan.csv.txt.csv");
}
