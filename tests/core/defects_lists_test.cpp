// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Kestrana developers

// The defects list (sort order, filters, CSV fields), one defect's history as CSV, and the refusals of
// the typed settings.

#include "core/defects/defect_lists.h"
#include "core/defects/defect_settings.h"
#include "defects_fixtures.h"
#include "peaks_fixtures.h"

#include <map>
#include <sstream>

namespace kestrana::defects {
namespace {

using test::kGAUGE;
using test::kUN1L;
using test::kUN2L;
using test::track;
constexpr std::int16_t kAL1L = 4;

// A falling-km series of two runs a year apart whose defects differ in status, excess over the
// limit, position, parameter and the order they started.
TrackedDefects sortedSeries() {
    const RunPeaks first{
        {200, kUN2L, 100, 20}, {200, kUN1L, 100, 12}, {201, kUN2L, 500, -18}, {202, kUN2L, 500, 16}};
    const RunPeaks second{
        {200, kUN2L, 102, 25},  // repeat, 10 over
        {200, kUN1L, 101, -20}, // repeat, 10 over, 1 m further up the line
        {201, kUN2L, 505, 19},  // repeat, 4 over
        {202, kUN2L, 500, 3},   // the defect of km 202 is gone
        {203, kUN2L, 700, 40},  // new, 25 over
        {199, kGAUGE, 10, 8},   // new, 2 over
        {204, kUN1L, 300, 11},  // new, 1 over, at one position with the next
        {204, kAL1L, 300, 7},   // new, 1 over
        {205, kUN2L, 0, 16},    // new, 1 over, first in run direction; two at one place
        {205, kUN2L, 0, -16},
    };
    const std::map<int, std::int16_t> tgiOfKm = {{199, 90}, {200, 50}, {201, 81},
                                                 {202, 0},  {204, 85}, {205, 30}};
    return track(-1, {{0, first}, {365, second}}, 10, [&](std::size_t, const history::BlockKey& key) {
        const auto found = tgiOfKm.find(key.km);
        return found == tgiOfKm.end() ? std::nullopt : std::optional<std::int16_t>(found->second);
    });
}

// "parameter,km,location,status" of each row of the defects CSV.
std::vector<std::string> rowKeys(const TrackedDefects& tracked, const DefectFilter& filter) {
    std::istringstream csv(defectsCsv(tracked, listDefects(tracked, filter)));
    std::vector<std::string> keys;
    std::string line;
    std::getline(csv, line);
    EXPECT_EQ(line, "parameter,km,location,status,first_date,latest_date,runs,latest_value,max_value,"
                    "growth_per_year,block,tgi");
    while (std::getline(csv, line)) {
        std::size_t cut = 0;
        for (int i = 0; i < 4; ++i) {
            cut = line.find(',', cut + 1);
        }
        keys.push_back(line.substr(0, cut));
    }
    return keys;
}

TEST(DefectsList, SortedByStatusExcessPositionInRunDirectionParameterAndStart) {
    EXPECT_EQ(
        rowKeys(sortedSeries(), {}),
        (std::vector<std::string>{"UN1L,200,101,repeat", "UN2L,200,102,repeat", "UN2L,201,505,repeat",
                                  "UN2L,203,700,new", "GAUGE,199,10,new", "UN2L,205,0,new", "UN2L,205,0,new",
                                  "UN1L,204,300,new", "AL1L,204,300,new", "UN2L,202,500,gone"}));
    // The two defects at one place in the order they started: the first in the file first.
    const auto tracked = sortedSeries();
    const std::string csv = defectsCsv(tracked, listDefects(tracked, {}));
    EXPECT_LT(csv.find("UN2L,205,0,new,1971-01-01,1971-01-01,1,16,"),
              csv.find("UN2L,205,0,new,1971-01-01,1971-01-01,1,-16,"));
}

TEST(DefectsList, RowsGiveTheDefectsHistoryAndBlock) {
    const auto tracked = sortedSeries();
    const std::string csv = defectsCsv(tracked, listDefects(tracked, {}), "\r\n");
    // 12 to 20 in 365 days is 8.0055 a year; block 1 of km 200 has TGI 50.
    EXPECT_NE(csv.find("\r\nUN1L,200,101,repeat,1970-01-01,1971-01-01,2,-20,20,8.01,1,50\r\n"),
              std::string::npos);
    // One exceedance: no growth; block 4 of km 203 is not in the run: no TGI.
    EXPECT_NE(csv.find("\r\nUN2L,203,700,new,1971-01-01,1971-01-01,1,40,40,,4,\r\n"), std::string::npos);
    // A gone defect keeps its latest exceedance; a TGI of 0 (not recorded) is written.
    EXPECT_NE(csv.find("\r\nUN2L,202,500,gone,1970-01-01,1970-01-01,1,16,16,,3,0\r\n"), std::string::npos);
    EXPECT_NE(csv.find("\r\nUN2L,201,505,repeat,1970-01-01,1971-01-01,2,19,19,1.00,3,81\r\n"),
              std::string::npos);
}

TEST(DefectsList, FiltersKeepRowsButNeverChangeTheMatching) {
    const auto tracked = sortedSeries();
    DefectFilter kms;
    kms.kms = history::kmRangeBetween(203, 201); // either order
    EXPECT_EQ(rowKeys(tracked, kms),
              (std::vector<std::string>{"UN2L,201,505,repeat", "UN2L,203,700,new", "UN2L,202,500,gone"}));
    DefectFilter parameters;
    parameters.codes = {kUN1L, kGAUGE};
    EXPECT_EQ(rowKeys(tracked, parameters),
              (std::vector<std::string>{"UN1L,200,101,repeat", "GAUGE,199,10,new", "UN1L,204,300,new"}));
    DefectFilter goodTrack;
    goodTrack.tgiAtLeast = 81;
    EXPECT_EQ(rowKeys(tracked, goodTrack),
              (std::vector<std::string>{"UN2L,201,505,repeat", "GAUGE,199,10,new", "UN1L,204,300,new",
                                        "AL1L,204,300,new"}));
    goodTrack.statuses = {DefectStatus::Gone, DefectStatus::New};
    goodTrack.tgiAtLeast = 0; // a block not recorded counts, a missing block does not
    EXPECT_EQ(rowKeys(tracked, goodTrack),
              (std::vector<std::string>{"GAUGE,199,10,new", "UN2L,205,0,new", "UN2L,205,0,new",
                                        "UN1L,204,300,new", "AL1L,204,300,new", "UN2L,202,500,gone"}));
}

TEST(DefectHistory, TheDefectThatStartedFirstAmongThoseEndingAtThePlace) {
    // Defects at 500 and 520; 510 goes to the older one at equal distance; two exceedances at 510 in
    // the third run end both defects there.
    const auto tracked = track(1, {{0, RunPeaks{{100, kUN2L, 500, 20}, {100, kUN2L, 520, 30}}, "1"},
                                   {90, RunPeaks{{100, kUN2L, 510, 21}}, "2"},
                                   {180, RunPeaks{{100, kUN2L, 510, 22}, {100, kUN2L, 510, -23}}, ","}});
    EXPECT_EQ(defectCsvAt(tracked, kUN2L, 100, 510, "\r\n"),
              "date,run,km,location,value\r\n1970-01-01,1,100,500,20\r\n1970-04-01,2,100,510,21\r\n"
              "1970-06-30,\",\",100,510,22\r\n");
    EXPECT_EQ(defectCsv(tracked, 1),
              "date,run,km,location,value\n1970-01-01,1,100,520,30\n1970-06-30,\",\",100,510,-23\n");
    kestrana::test::expectRefusal([&] { defectCsvAt(tracked, kUN2L, 100, 520); },
                                  "No defect of UN2L has its latest exceedance at km 100, location 520.");
    kestrana::test::expectRefusal([&] { defectCsvAt(tracked, kUN1L, 100, 510); },
                                  "No defect of UN1L has its latest exceedance at km 100, location 510.");
}

TEST(DefectSettings, TypedValuesAndTheirRefusals) {
    EXPECT_EQ(parameterFromText("GAUGE"), 3);
    EXPECT_EQ(parameterFromText("LACC"), 13);
    for (const auto& [text, code, limit] :
         {std::tuple{"UN2L=12", 6, 12}, {"VACC=0", 12, 0}, {"AL2R=32767", 9, 32767}, {"TW1=+7", 2, 7}}) {
        const LimitSetting setting = limitFromText(text);
        EXPECT_EQ(setting.code, code) << text;
        EXPECT_EQ(setting.limit, limit) << text;
    }
    EXPECT_EQ(toleranceFromText("0"), 0);
    EXPECT_EQ(toleranceFromText("1000"), 1000);
    EXPECT_EQ(statusesFromText("gone,repeat"),
              (std::vector<DefectStatus>{DefectStatus::Gone, DefectStatus::Repeat}));
    EXPECT_EQ(tgiAtLeastFromText("81"), 81);
    EXPECT_EQ(tgiAtLeastFromText("80.5"), 80); // typed numbers round halves to even

    const std::vector<std::pair<std::function<void()>, std::string_view>> refusals = {
        {[] { parameterFromText("un2l"); }, kParameterMessage},
        {[] { parameterFromText(""); }, kParameterMessage},
        {[] { limitFromText("UN2L"); }, kLimitFormMessage},
        {[] { limitFromText("UN3L=4"); }, kParameterMessage},
        {[] { limitFromText("UN2L=-1"); }, kLimitMessage},
        {[] { limitFromText("UN2L=12.5"); }, kLimitMessage},
        {[] { limitFromText("UN2L=32768"); }, kLimitMessage},
        {[] { limitFromText("UN2L="); }, kLimitMessage},
        {[] { limitFromText("UN2L=1=2"); }, kLimitMessage},
        {[] { toleranceFromText("1001"); }, kToleranceMessage},
        {[] { toleranceFromText("-1"); }, kToleranceMessage},
        {[] { toleranceFromText("5.0"); }, kToleranceMessage},
        {[] { toleranceFromText(" 5"); }, kToleranceMessage},
        {[] { statusesFromText("new,,gone"); }, kStatusMessage},
        {[] { statusesFromText(""); }, kStatusMessage},
        {[] { statusesFromText("New"); }, kStatusMessage},
        {[] { statusesFromText("repeat,"); }, kStatusMessage},
        {[] { tgiAtLeastFromText("good"); }, kGoodTrackMessage},
        {[] { tgiAtLeastFromText("40000"); }, kGoodTrackMessage},
    };
    for (const auto& [action, message] : refusals) {
        kestrana::test::expectRefusal(action, message);
    }
    try {
        statusesFromText("new,gnoe");
        ADD_FAILURE();
    } catch (const common::Error& error) {
        EXPECT_EQ(error.reason(), "\"gnoe\"");
    }
}

} // namespace
} // namespace kestrana::defects
