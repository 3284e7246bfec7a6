#include "core/defects/defect_tracking.h"

#include "core/history/trend.h"
#include "core/peaks/parameters.h"
#include "core/platform/errors.h"
#include "core/platform/text.h"

#include <algorithm>
#include <limits>
#include <queue>
#include <tuple>

namespace kestrana::defects {

namespace {

constexpr std::array<std::string_view, 4> kStatusNames = {"repeat", "new", "recurring", "gone"};
constexpr std::uint32_t kNone = std::numeric_limits<std::uint32_t>::max();
// Marks an open entry whose defect moved elsewhere in this run.
constexpr std::uint32_t kMovedAway = std::numeric_limits<std::uint32_t>::max();

// A parameter and a km from in one number, ordered by code, then km.
std::uint32_t coverageKey(std::int16_t code, std::int16_t km) {
    return (static_cast<std::uint32_t>(static_cast<std::uint16_t>(code)) << 16) |
           (static_cast<std::uint32_t>(km) + 0x8000u) % 0x10000u;
}

bool openBefore(const DefectTracker::OpenDefect& a, const DefectTracker::OpenDefect& b) {
    return std::tie(a.position, a.defect) < std::tie(b.position, b.defect);
}

} // namespace

Limits Limits::defaults() {
    // The parameters the peak analyser offers, with the limits it puts into its limit box (all whole
    // numbers); VACC and LACC, which it knows but does not offer, are left out.
    Limits limits;
    for (const std::string& name : peaks::comboParameterNames()) {
        const auto parameter = peaks::findPeakParameter(name);
        if (const auto limit = platform::textToInt16(parameter->defaultLimit)) {
            limits.set(parameter->code, *limit);
        }
    }
    return limits;
}

void Limits::set(std::int16_t code, std::int16_t limit) {
    if (code >= 0 && code < kCodes) {
        limits_[static_cast<std::size_t>(code)] = limit;
    }
}

std::string_view statusName(DefectStatus status) {
    return kStatusNames[static_cast<std::size_t>(status)];
}

std::optional<DefectStatus> statusFromName(std::string_view name) {
    for (std::size_t i = 0; i < kStatusNames.size(); ++i) {
        if (kStatusNames[i] == name) {
            return static_cast<DefectStatus>(i);
        }
    }
    return std::nullopt;
}

std::int16_t blockOfLocation(std::int16_t location) {
    return location < 0 ? 1 : static_cast<std::int16_t>(std::min(5, location / 200 + 1));
}

// ------------------------------------------------------------------------------------ the defects

template <typename Visit> void TrackedDefects::walk(const Defect& defect, Visit visit) const {
    for (std::uint32_t link = defect.exceedances > 0 ? defect.latestLink : kNoLink; link != kNoLink;
         link = links_[link].previous) {
        visit(links_[link].exceedance);
    }
}

std::vector<Exceedance> TrackedDefects::exceedancesOf(const Defect& defect) const {
    std::vector<Exceedance> exceedances;
    exceedances.reserve(defect.exceedances);
    walk(defect, [&](const Exceedance& exceedance) { exceedances.push_back(exceedance); });
    std::reverse(exceedances.begin(), exceedances.end());
    return exceedances;
}

std::vector<std::size_t> TrackedDefects::coveringRunsOf(const Defect& defect) const {
    const std::uint32_t key = coverageKey(defect.code, defect.latest.km);
    std::vector<std::size_t> runs;
    for (std::size_t run = 0; run < coverage_.size(); ++run) {
        if (std::binary_search(coverage_[run].begin(), coverage_[run].end(), key)) {
            runs.push_back(run);
        }
    }
    return runs;
}

DefectSummary TrackedDefects::summaryOf(const Defect& defect) const {
    DefectSummary summary;
    std::vector<history::RatePoint> points;
    points.reserve(defect.exceedances);
    walk(defect, [&](const Exceedance& exceedance) {
        const std::int32_t size = std::abs(std::int32_t{exceedance.value});
        points.push_back(history::RatePoint{runs_[exceedance.run].day, size});
        summary.largest = std::max(summary.largest, size);
    });
    if (!points.empty()) {
        summary.latestDay = points.front().day;
        summary.firstDay = points.back().day;
    }
    summary.growthPerYear = history::ratePerYear(points);
    return summary;
}

std::int32_t TrackedDefects::excessOf(const Defect& defect) const {
    return std::abs(std::int32_t{defect.latest.value}) - settings_.limits.of(defect.code).value_or(0);
}

// ------------------------------------------------------------------------------------ the matching

DefectTracker::DefectTracker(int direction, const TrackingSettings& settings) {
    result_.direction_ = direction;
    result_.settings_ = settings;
}

void DefectTracker::addExceedance(std::uint32_t defect, const Hit& hit, std::uint16_t run) {
    Defect& target = result_.defects_[defect];
    const Exceedance exceedance{run, hit.km, hit.location, hit.value};
    result_.links_.push_back(TrackedDefects::Link{
        exceedance, target.exceedances > 0 ? target.latestLink : TrackedDefects::kNoLink});
    target.latestLink = static_cast<std::uint32_t>(result_.links_.size() - 1);
    target.latest = exceedance;
    ++target.exceedances;
}

void DefectTracker::addRun(history::Day day, std::string runNumber, const RunPeaks* peaks) {
    if (result_.runs_.size() > std::numeric_limits<std::uint16_t>::max()) {
        throw platform::Error("a series of more than 65536 runs cannot be tracked for defects");
    }
    const auto run = static_cast<std::uint16_t>(result_.runs_.size());
    result_.runs_.push_back(TrackedRun{day, std::move(runNumber)});
    std::vector<std::uint32_t>& covered = result_.coverage_.emplace_back();
    if (peaks == nullptr) {
        return;
    }
    hits_.clear();
    const Limits& limits = result_.settings_.limits;
    std::uint32_t lastKey = kNone;
    for (std::size_t order = 0; order < peaks->size(); ++order) {
        const Peak& peak = (*peaks)[order];
        const auto limit = limits.of(peak.code);
        if (!limit) {
            continue;
        }
        // The peaks of one peak line share their key: most repeats are dropped here already.
        const std::uint32_t key = coverageKey(peak.code, peak.km);
        if (key != lastKey) {
            covered.push_back(key);
            lastKey = key;
        }
        if (std::abs(std::int32_t{peak.value}) > *limit) {
            hits_.push_back(Hit{positionOf(peak.km, peak.location, result_.direction_),
                                static_cast<std::uint32_t>(order), peak.code, peak.km, peak.location,
                                peak.value});
        }
    }
    std::sort(covered.begin(), covered.end());
    covered.erase(std::unique(covered.begin(), covered.end()), covered.end());
    covered.shrink_to_fit();

    std::sort(hits_.begin(), hits_.end(), [](const Hit& a, const Hit& b) {
        return std::tie(a.code, a.position, a.order) < std::tie(b.code, b.position, b.order);
    });
    unmatched_.clear();
    for (auto first = hits_.begin(); first != hits_.end();) {
        const auto last =
            std::find_if(first, hits_.end(), [&](const Hit& hit) { return hit.code != first->code; });
        matchParameter(std::span<const Hit>(first, last), first->code, run);
        first = last;
    }
    // The new defects of the run, numbered by position, then order in the file, over all parameters.
    std::sort(unmatched_.begin(), unmatched_.end(), [](const Hit& a, const Hit& b) {
        return std::tie(a.position, a.order) < std::tie(b.position, b.order);
    });
    for (const Hit& hit : unmatched_) {
        const auto number = static_cast<std::uint32_t>(result_.defects_.size());
        Defect& defect = result_.defects_.emplace_back();
        defect.code = hit.code;
        addExceedance(number, hit, run);
        moved_[static_cast<std::size_t>(hit.code)].push_back(OpenDefect{hit.position, number});
    }
    for (std::int16_t code = 0; code < static_cast<std::int16_t>(open_.size()); ++code) {
        reorderOpen(code);
    }
}

// Within one run and one parameter, the exceedances at one position are taken in file order and the
// defects whose latest exceedance is at one position in the order they started: for any partner,
// the earlier one of such a group makes the better pair. So the best pair left between two such
// groups is always their first untaken members, and the pairs can be accepted group against group
// from one queue. Many exceedances piled up at one place (a garbled file) then cost no more than
// scattered ones.
void DefectTracker::matchParameter(std::span<const Hit> hits, std::int16_t code, std::uint16_t run) {
    std::vector<OpenDefect>& open = open_[static_cast<std::size_t>(code)];
    struct Group {
        std::int32_t position = 0;
        std::uint32_t next = 0; // first untaken member
        std::uint32_t end = 0;
    };
    auto groupsOf = [](const auto& items) {
        std::vector<Group> groups;
        for (std::uint32_t i = 0; i < items.size(); ++i) {
            if (groups.empty() || items[i].position != groups.back().position) {
                groups.push_back(Group{items[i].position, i, i});
            }
            groups.back().end = i + 1;
        }
        return groups;
    };
    std::vector<Group> hitGroups = groupsOf(hits);
    std::vector<Group> openGroups = groupsOf(open);

    // A pair of groups by the acceptance order of their best pair.
    struct Candidate {
        std::uint32_t distance = 0;
        std::uint32_t defect = 0;
        std::int32_t position = 0;
        std::uint32_t order = 0;
        std::uint32_t hitGroup = 0;
        std::uint32_t openGroup = 0;
        bool operator>(const Candidate& other) const {
            return std::tie(distance, defect, position, order) >
                   std::tie(other.distance, other.defect, other.position, other.order);
        }
    };
    auto candidate = [&](std::uint32_t hitGroup, std::uint32_t openGroup) {
        const Group& h = hitGroups[hitGroup];
        const Group& o = openGroups[openGroup];
        return Candidate{static_cast<std::uint32_t>(std::abs(h.position - o.position)),
                         open[o.next].defect,
                         h.position,
                         hits[h.next].order,
                         hitGroup,
                         openGroup};
    };
    std::priority_queue<Candidate, std::vector<Candidate>, std::greater<>> queue;
    const std::int32_t tolerance = result_.settings_.tolerance;
    std::size_t low = 0;
    for (std::uint32_t h = 0; h < hitGroups.size(); ++h) {
        const std::int32_t position = hitGroups[h].position;
        while (low < openGroups.size() && openGroups[low].position < position - tolerance) {
            ++low;
        }
        for (std::size_t o = low; o < openGroups.size() && openGroups[o].position <= position + tolerance;
             ++o) {
            queue.push(candidate(h, static_cast<std::uint32_t>(o)));
        }
    }
    std::vector<OpenDefect>& moved = moved_[static_cast<std::size_t>(code)];
    while (!queue.empty()) {
        const Candidate top = queue.top();
        queue.pop();
        Group& h = hitGroups[top.hitGroup];
        Group& o = openGroups[top.openGroup];
        if (h.next == h.end || o.next == o.end) {
            continue;
        }
        // Taking members only makes a pair of groups worse: a stale entry goes back with its new rank.
        const Candidate current = candidate(top.hitGroup, top.openGroup);
        if (current.defect != top.defect || current.order != top.order) {
            queue.push(current);
            continue;
        }
        const Hit& hit = hits[h.next];
        addExceedance(top.defect, hit, run);
        moved.push_back(OpenDefect{hit.position, top.defect});
        open[o.next].defect = kMovedAway;
        ++h.next;
        ++o.next;
        if (h.next != h.end && o.next != o.end) {
            queue.push(candidate(top.hitGroup, top.openGroup));
        }
    }
    for (const Group& group : hitGroups) {
        unmatched_.insert(unmatched_.end(), hits.begin() + group.next, hits.begin() + group.end);
    }
}

// The open defects sorted again: the untouched ones keep their order, the moved and the new ones are
// sorted on their own and merged in, so a run costs one pass over the open defects.
void DefectTracker::reorderOpen(std::int16_t code) {
    std::vector<OpenDefect>& moved = moved_[static_cast<std::size_t>(code)];
    if (moved.empty()) {
        return;
    }
    std::vector<OpenDefect>& open = open_[static_cast<std::size_t>(code)];
    std::erase_if(open, [](const OpenDefect& entry) { return entry.defect == kMovedAway; });
    std::sort(moved.begin(), moved.end(), openBefore);
    const auto middle = static_cast<std::ptrdiff_t>(open.size());
    open.insert(open.end(), moved.begin(), moved.end());
    std::inplace_merge(open.begin(), open.begin() + middle, open.end(), openBefore);
    moved.clear();
}

TrackedDefects DefectTracker::finish(const TgiLookup& tgi) {
    std::vector<Defect>& defects = result_.defects_;
    // The last and the previous covering run of every (parameter, km) a latest exceedance is at.
    std::vector<std::uint32_t> keys;
    keys.reserve(defects.size());
    for (const Defect& defect : defects) {
        keys.push_back(coverageKey(defect.code, defect.latest.km));
    }
    std::sort(keys.begin(), keys.end());
    keys.erase(std::unique(keys.begin(), keys.end()), keys.end());
    std::vector<std::uint32_t> lastCovering(keys.size(), kNone);
    std::vector<std::uint32_t> previousCovering(keys.size(), kNone);
    for (std::uint32_t run = 0; run < result_.coverage_.size(); ++run) {
        const std::vector<std::uint32_t>& covered = result_.coverage_[run];
        auto key = keys.begin();
        for (const std::uint32_t have : covered) {
            key = std::lower_bound(key, keys.end(), have);
            if (key == keys.end()) {
                break;
            }
            if (*key == have) {
                const auto index = static_cast<std::size_t>(key - keys.begin());
                previousCovering[index] = lastCovering[index];
                lastCovering[index] = run;
            }
        }
    }
    for (Defect& defect : defects) {
        const auto index = static_cast<std::size_t>(
            std::lower_bound(keys.begin(), keys.end(), coverageKey(defect.code, defect.latest.km)) -
            keys.begin());
        // The run of the latest exceedance covers its km, so the last covering run is that run or later.
        const std::uint32_t last = lastCovering[index];
        const std::uint32_t previous = previousCovering[index];
        if (last != defect.latest.run) {
            defect.status = DefectStatus::Gone;
        } else if (defect.exceedances == 1) {
            defect.status = DefectStatus::New;
        } else {
            bool inPrevious = false;
            if (previous != kNone) {
                std::uint32_t link = result_.links_[defect.latestLink].previous;
                while (link != TrackedDefects::kNoLink && result_.links_[link].exceedance.run > previous) {
                    link = result_.links_[link].previous;
                }
                inPrevious =
                    link != TrackedDefects::kNoLink && result_.links_[link].exceedance.run == previous;
            }
            defect.status = inPrevious ? DefectStatus::Repeat : DefectStatus::Recurring;
        }
        defect.block = blockOfLocation(defect.latest.location);
        defect.tgi =
            tgi ? tgi(defect.latest.run, history::BlockKey{defect.latest.km, defect.block}) : std::nullopt;
    }
    return std::move(result_);
}

TrackedDefects trackDefects(int direction, std::span<const SeriesRun> runs, const TrackingSettings& settings,
                            const TgiLookup& tgi) {
    DefectTracker tracker(direction, settings);
    for (const SeriesRun& run : runs) {
        tracker.addRun(run.day, run.runNumber, run.peaks);
    }
    return tracker.finish(tgi);
}

} // namespace kestrana::defects
