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
    // time one of its blocks is asked for, rather than one question each.
    std::vector<std::optional<std::vector<library::BlockValue>>> tgiOfRun(runs.size());
    const history::KmRange all{std::numeric_limits<std::int16_t>::min(),
                               std::numeric_limits<std::int16_t>::max()};
    return tracker.finish([&](std::size_t run,
                              const history::BlockKey& block) -> std::optional<std::int16_t> {
        std::optional<std::vector<library::BlockValue>>& values = tgiOfRun[run];
        if (!values) {
            const library::RunId only[] = {runs[run].id};
            std::vector<library::RunValues> stored =
                library.valuesInRange(series, read ? *read : all, history::BlockIndex::TGI, only);
            values = stored.empty() ? std::vector<library::BlockValue>() : std::move(stored.front().values);
        }
        const auto found = std::lower_bound(
            values->begin(), values->end(), block,
            [](const library::BlockValue& a, const history::BlockKey& key) { return a.key < key; });
        if (found == values->end() || !(found->key == block)) {
            return std::nullopt;
        }
        return found->value;
    });
}

} // namespace kestrana::defects
