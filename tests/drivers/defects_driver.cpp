// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Kestrana developers

// Reads series of runs and peaks written as plain text and prints, for each query, the defects CSV or
// one defect's CSV as the core computes them; tests/core/defects_check.py compares this output byte for
// byte with a computation written from the definitions (tests/core/defects_reference.py).
//
//   defects_driver FILE
//
// FILE, one item a line:
//   series DIRECTION TOLERANCE [NAME=LIMIT]...   a new series; its limits start from the defaults
//   run DAY RUN_NUMBER [nopeaks]                  the next run in run order (DAY: days since 1970-01-01)
//   60,...  67,...                                the run's kilometre and peak lines, as in a run file
//   tgi KM BLOCK VALUE                            a block of the run and its TGI
//   query defects [from=KM] [to=KM] [param=NAME]... [status=S[,S...]] [tgi=X]
//   query defect NAME KM LOCATION
// Each query prints its own line, then the CSV, or "refused: MESSAGE" when the core refuses.

#include "core/common/errors.h"
#include "core/defects/defect_lists.h"
#include "core/defects/defect_settings.h"
#include "core/history/history_settings.h"

#include <fstream>
#include <iostream>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

namespace {

using namespace kestrana;

struct DescribedRun {
    history::Day day = 0;
    std::string runNumber;
    std::unique_ptr<defects::RunPeakReader> reader; // none: no peaks stored
    std::optional<defects::RunPeaks> peaks;
    std::map<std::pair<int, int>, std::int16_t> tgi;
};

struct DescribedSeries {
    int direction = 1;
    defects::TrackingSettings settings;
    std::vector<DescribedRun> runs;
    std::optional<defects::TrackedDefects> tracked;

    const defects::TrackedDefects& track() {
        if (!tracked) {
            defects::DefectTracker tracker(direction, settings);
            for (DescribedRun& run : runs) {
                if (run.reader) {
                    run.peaks = run.reader->finish();
                }
                tracker.addRun(run.day, run.runNumber, run.peaks ? &*run.peaks : nullptr);
            }
            tracked = tracker.finish([&](std::size_t index, const history::BlockKey& block) {
                const auto& blocks = runs[index].tgi;
                const auto found = blocks.find({block.km, block.block});
                return found == blocks.end() ? std::nullopt : std::optional<std::int16_t>(found->second);
            });
        }
        return *tracked;
    }
};

std::vector<std::string> wordsOf(const std::string& line) {
    std::istringstream in(line);
    std::vector<std::string> words;
    for (std::string word; in >> word;) {
        words.push_back(word);
    }
    return words;
}

std::string answer(DescribedSeries& series, const std::vector<std::string>& words) {
    if (words.at(1) == "defect") {
        const std::int16_t code = defects::parameterFromText(words.at(2));
        const std::int16_t km = history::kmFromText(words.at(3));
        const std::int16_t location = history::kmFromText(words.at(4));
        return defects::defectCsvAt(series.track(), code, km, location);
    }
    defects::DefectFilter filter;
    std::optional<std::int16_t> from, to;
    for (std::size_t i = 2; i < words.size(); ++i) {
        const auto equals = words[i].find('=');
        const std::string key = words[i].substr(0, equals);
        const std::string value = words[i].substr(equals + 1);
        if (key == "from") {
            from = history::kmFromText(value);
        } else if (key == "to") {
            to = history::kmFromText(value);
        } else if (key == "param") {
            filter.codes.push_back(defects::parameterFromText(value));
        } else if (key == "status") {
            filter.statuses = defects::statusesFromText(value);
        } else if (key == "tgi") {
            filter.tgiAtLeast = defects::tgiAtLeastFromText(value);
        }
    }
    if (from || to) {
        filter.kms = history::kmRangeBetween(from.value_or(-32768), to.value_or(32767));
    }
    const defects::TrackedDefects& tracked = series.track();
    return defects::defectsCsv(tracked, defects::listDefects(tracked, filter));
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: defects_driver FILE\n";
        return 2;
    }
    std::ifstream in(argv[1], std::ios::binary);
    if (!in) {
        std::cerr << "defects_driver: cannot read " << argv[1] << "\n";
        return 2;
    }
    std::unique_ptr<DescribedSeries> series;
    long lineNumber = 0;
    try {
        for (std::string line; std::getline(in, line);) {
            ++lineNumber;
            const std::vector<std::string> words = wordsOf(line);
            if (line.rfind("60", 0) == 0 || line.rfind("67", 0) == 0) {
                DescribedRun& run = series->runs.back();
                if (run.reader) {
                    run.reader->line(line, lineNumber);
                }
            } else if (words.empty()) {
                continue;
            } else if (words[0] == "series") {
                series = std::make_unique<DescribedSeries>();
                series->direction = std::stoi(words.at(1));
                series->settings.tolerance = defects::toleranceFromText(words.at(2));
                for (std::size_t i = 3; i < words.size(); ++i) {
                    const defects::LimitSetting limit = defects::limitFromText(words[i]);
                    series->settings.limits.set(limit.code, limit.limit);
                }
            } else if (words[0] == "run") {
                DescribedRun& run = series->runs.emplace_back();
                run.day = std::stoi(words.at(1));
                run.runNumber = words.at(2);
                if (words.size() < 4 || words[3] != "nopeaks") {
                    run.reader = std::make_unique<defects::RunPeakReader>(argv[1]);
                }
            } else if (words[0] == "tgi") {
                series->runs.back().tgi[{std::stoi(words.at(1)), std::stoi(words.at(2))}] =
                    static_cast<std::int16_t>(std::stoi(words.at(3)));
            } else if (words[0] == "query") {
                std::cout << line << "\n";
                try {
                    std::cout << answer(*series, words);
                } catch (const common::Error& refusal) {
                    std::cout << "refused: " << refusal.message() << "\n";
                }
            }
        }
    } catch (const std::exception& error) {
        std::cerr << "defects_driver: line " << lineNumber << ": " << error.what() << "\n";
        return 1;
    }
    return 0;
}
