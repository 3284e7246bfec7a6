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

TrackedDefects trackLibraryDefects(const history::RunLibrary& library, const history::Series& series,
                                   const TrackingSettings& settings,
                                   const std::optional<history::KmRange>& kms,
                                   std::span<const std::int16_t> codes) {
    const std::vector<history::RunRecord> runs = library.runsOf(series);
    std::optional<history::KmRange> read;
    if (kms) {
        read = widenedRange(*kms, runs.size(), settings.tolerance);
    }
    DefectTracker tracker(series.direction, settings);
    for (const history::RunRecord& run : runs) {
        const std::optional<RunPeaks> peaks = library.peaksOfRun(run.id, read, codes);
        tracker.addRun(run.day, run.runNumber, peaks ? &*peaks : nullptr);
    }
    return tracker.finish([&](std::size_t run, const history::BlockKey& block) {
        return library.blockValueOfRun(runs[run].id, block, history::BlockIndex::TGI);
    });
}

} // namespace kestrana::defects
