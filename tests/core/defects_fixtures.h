// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Kestrana developers

#pragma once
// Series of runs for the defect-tracking tests, written peak by peak.

#include "core/defects/defect_tracking.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace kestrana::defects::test {

inline constexpr std::int16_t kUN1L = 0;
inline constexpr std::int16_t kGAUGE = 3;
inline constexpr std::int16_t kUN2L = 6; // limit 15
inline constexpr std::int16_t kVACC = 12;

// A run of a series: its day, run number and peaks (none: the run has no peaks stored).
struct TestRun {
    history::Day day = 0;
    std::optional<RunPeaks> peaks;
    std::string runNumber = "1";
};

inline TrackedDefects track(int direction, const std::vector<TestRun>& runs, std::int16_t tolerance = 10,
                            const TgiLookup& tgi = {}, Limits limits = Limits::defaults()) {
    std::vector<SeriesRun> series;
    for (const TestRun& run : runs) {
        series.push_back(SeriesRun{run.day, run.runNumber, run.peaks ? &*run.peaks : nullptr});
    }
    return trackDefects(direction, series, TrackingSettings{limits, tolerance}, tgi);
}

// "km/location=value" of every exceedance of a defect, in run order: "100/500=20 100/503=-21".
inline std::string historyText(const TrackedDefects& tracked, const Defect& defect) {
    std::string text;
    for (const Exceedance& e : tracked.exceedancesOf(defect)) {
        text += (text.empty() ? "" : " ") + std::to_string(e.km) + "/" + std::to_string(e.location) + "=" +
                std::to_string(e.value);
    }
    return text;
}

// The histories of every defect in the order they started.
inline std::vector<std::string> histories(const TrackedDefects& tracked) {
    std::vector<std::string> all;
    for (const Defect& defect : tracked.defects()) {
        all.push_back(historyText(tracked, defect));
    }
    return all;
}

} // namespace kestrana::defects::test
