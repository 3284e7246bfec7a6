// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Kestrana developers

#include "core/defects/library_defects.h"

#include <algorithm>
#include <limits>

namespace kestrana::defects {

history::KmRange widenedRange(const history::KmRange& kms, std::size_t runs, std::int16_t tolerance) {
    const long long metres = static_cast<long long>(runs + 1) * std::max<std::int16_t>(tolerance, 0);
    const long long margin = (metres + 999) / 1000 + 1;
    const auto clamp = [](long long km) {
        return static_cast<std::int16_t>(std::clamp<long long>(km, std::numeric_limits<std::int16_t>::min(),
                                                               std::numeric_limits<std::int16_t>::max()));
    };
    return history::KmRange{clamp(kms.low - margin), clamp(kms.high + margin)};
}

TrackedDefects trackLibraryDefects(const library::RunLibrary& library, const history::Series& series,
                                   const TrackingSettings& settings,
                                   const std::optional<history::KmRange>& kms,
                                   std::span<const std::int16_t> codes) {
    const std::vector<library::RunRecord> runs = library.runsOf(series);
    std::optional<history::KmRange> read;
    if (kms) {
        read = widenedRange(*kms, runs.size(), settings.tolerance);
    }
    DefectTracker tracker(series.direction, settings);
    for (const library::RunRecord& run : runs) {
        const std::optional<RunPeaks> peaks = library.peaksOfRun(run.id, read, codes);
        tracker.addRun(run.day, run.runNumber, peaks ? &*peaks : nullptr);
    }
    // A whole line has hundreds of thousands of defects: a run's TGIs are read in one piece the first
    // time one of its blocks is asked for, rather than one question each, into a table by km and block
    // (a defect's block is 1 to 5).
    struct RunTgis {
        std::int32_t lowKm = 0;
        std::vector<std::int32_t> byKmAndBlock; // kNoBlock where the run has no such block
    };
    constexpr std::int32_t kNoBlock = std::numeric_limits<std::int32_t>::min();
    constexpr std::int32_t kBlocks = 5;
    std::vector<std::optional<RunTgis>> tgiOfRun(runs.size());
    const history::KmRange all{std::numeric_limits<std::int16_t>::min(),
                               std::numeric_limits<std::int16_t>::max()};
    return tracker.finish([&](std::size_t run,
                              const history::BlockKey& block) -> std::optional<std::int16_t> {
        std::optional<RunTgis>& tgis = tgiOfRun[run];
        if (!tgis) {
            const library::RunId only[] = {runs[run].id};
            const std::vector<library::RunValues> stored =
                library.valuesInRange(series, read ? *read : all, history::BlockIndex::TGI, only);
            tgis.emplace();
            if (!stored.empty() && !stored.front().values.empty()) {
                const std::vector<library::BlockValue>& values = stored.front().values;
                // In key order: the first has the lowest km, the last the highest.
                tgis->lowKm = values.front().key.km;
                tgis->byKmAndBlock.assign(
                    static_cast<std::size_t>(values.back().key.km - tgis->lowKm + 1) * kBlocks, kNoBlock);
                for (const library::BlockValue& value : values) {
                    if (value.key.block >= 1 && value.key.block <= kBlocks) {
                        tgis->byKmAndBlock[static_cast<std::size_t>((value.key.km - tgis->lowKm) * kBlocks +
                                                                    value.key.block - 1)] = value.value;
                    }
                }
            }
        }
        const std::int32_t index = (block.km - tgis->lowKm) * kBlocks + block.block - 1;
        if (block.block < 1 || block.block > kBlocks || block.km < tgis->lowKm ||
            index >= static_cast<std::int32_t>(tgis->byKmAndBlock.size()) ||
            tgis->byKmAndBlock[static_cast<std::size_t>(index)] == kNoBlock) {
            return std::nullopt;
        }
        return static_cast<std::int16_t>(tgis->byKmAndBlock[static_cast<std::size_t>(index)]);
    });
}

} // namespace kestrana::defects
