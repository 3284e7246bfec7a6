// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Kestrana developers

#include "core/defects/defect_tracking.h"

#include "core/common/errors.h"
#include "core/common/text.h"
#include "core/history/trend.h"
#include "core/peaks/parameters.h"

#include <algorithm>
#include <limits>
#include <queue>
#include <tuple>

namespace kestrana::defects {

namespace {

constexpr std::array<std::string_view, 4> kStatusNames = {"repeat", "new", "recurring", "gone"};
constexpr std::uint32_t kNone = std::numeric_limits<std::uint32_t>::max();
// Codes 0 to 13 can be tracked (see Limits).
constexpr std::size_t kTrackableCodes = 14;
// Marks an open entry whose defect moved elsewhere in this run.
constexpr std::uint32_t kMovedAway = std::numeric_limits<std::uint32_t>::max();

// A km from and a parameter in one number, ordered by km, then code: the order a run on rising km
// gives them in.
std::uint32_t coverageKey(std::int16_t code, std::int16_t km) {
    return ((static_cast<std::uint32_t>(km) + 0x8000u) % 0x10000u) << 16 |
           static_cast<std::uint32_t>(static_cast<std::uint16_t>(code));
}

bool openBefore(const DefectTracker::OpenDefect& a, const DefectTracker::OpenDefect& b) {
    return std::tie(a.position, a.defect) < std::tie(b.position, b.defect);
}

bool hitBefore(const DefectTracker::Hit& a, const DefectTracker::Hit& b) {
    return std::tie(a.position, a.order) < std::tie(b.position, b.order);
}

// Sorts by insertion, which costs little on items already almost in order, and gives up for
// std::sort when they turn out to be far from it (a garbled run file), so that is never slow.
template <typename Iterator, typename Before>
void sortMostlyInOrder(Iterator first, Iterator last, Before before) {
    auto budget = 16 * (last - first);
    for (Iterator i = first; i != last; ++i) {
        const auto item = *i;
        Iterator j = i;
        for (; j != first && before(item, *(j - 1)); --j) {
            *j = *(j - 1);
            if (budget-- == 0) {
                *(j - 1) = item;
                std::sort(first, last, before);
                return;
            }
        }
        *j = item;
    }
}

} // namespace

Limits Limits::defaults() {
    // The parameters the peak analyser offers, with the limits it puts into its limit box (all whole
    // numbers); VACC and LACC, which it knows but does not offer, are left out.
    Limits limits;
    for (const std::string& name : peaks::comboParameterNames()) {
        const auto parameter = peaks::findPeakParameter(name);
        if (const auto limit = common::textToInt16(parameter->defaultLimit)) {
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

std::vector<Exceedance> TrackedDefects::exceedancesOf(const Defect& defect) const {
    std::vector<Exceedance> exceedances;
    exceedances.reserve(defect.exceedances);
    walkBack(defect, [&](const Exceedance& exceedance) { exceedances.push_back(exceedance); });
    std::reverse(exceedances.begin(), exceedances.end());
    return exceedances;
}

std::vector<std::size_t> TrackedDefects::coveringRunsOf(const Defect& defect) const {
    const std::uint32_t key = coverageKey(defect.code, defect.latest.km);
    std::vector<std::size_t> runs;
    for (std::size_t run = 0; run < runs_.size(); ++run) {
        const auto covered = coverageOf(run);
        if (std::binary_search(covered.begin(), covered.end(), key)) {
            runs.push_back(run);
        }
    }
    return runs;
}

DefectSummary TrackedDefects::summaryOf(const Defect& defect) const {
    std::vector<history::RatePoint> points;
    return summaryOf(defect, points);
}

DefectSummary TrackedDefects::summaryOf(const Defect& defect, std::vector<history::RatePoint>& points) const {
    DefectSummary summary;
    points.clear();
    walkBack(defect, [&](const Exceedance& exceedance) {
        const std::int32_t size = std::abs(std::int32_t{exceedance.value});
        points.push_back(history::RatePoint{runs_[exceedance.run].day, size});
        summary.largest = std::max(summary.largest, size);
        summary.firstRun = exceedance.run;
    });
    if (!points.empty()) {
        summary.latestDay = points.front().day;
        summary.firstDay = points.back().day;
    }
    summary.growthPerYear = history::ratePerYear(points);
    return summary;
}

std::vector<DefectSummary> TrackedDefects::summariesOf(std::span<const std::uint32_t> numbers) const {
    // How many histories are followed side by side: enough to keep the memory busy, few enough that
    // their points stay in the cache.
    constexpr std::size_t kSideBySide = 32;
    std::vector<DefectSummary> summaries(numbers.size());
    std::array<std::vector<history::RatePoint>, kSideBySide> points;
    std::array<std::uint32_t, kSideBySide> next{};
    for (std::size_t start = 0; start < numbers.size(); start += kSideBySide) {
        const std::size_t count = std::min(kSideBySide, numbers.size() - start);
        for (std::size_t i = 0; i < count; ++i) {
            __builtin_prefetch(&defects_[numbers[start + i]]);
        }
        for (std::size_t i = 0; i < count; ++i) {
            const Defect& defect = defects_[numbers[start + i]];
            next[i] = defect.exceedances > 0 ? defect.latestLink : kNoLink;
            if (next[i] != kNoLink) {
                __builtin_prefetch(&links_[next[i]]);
            }
            points[i].clear();
        }
        // One step back along every history still going, then the next, as walkBack does for one.
        for (bool going = true; going;) {
            going = false;
            for (std::size_t i = 0; i < count; ++i) {
                if (next[i] == kNoLink) {
                    continue;
                }
                const Link& link = links_[next[i]];
                const std::int32_t size = std::abs(std::int32_t{link.exceedance.value});
                points[i].push_back(history::RatePoint{runs_[link.exceedance.run].day, size});
                DefectSummary& summary = summaries[start + i];
                summary.largest = std::max(summary.largest, size);
                summary.firstRun = link.exceedance.run;
                next[i] = link.previous;
                if (next[i] != kNoLink) {
                    __builtin_prefetch(&links_[next[i]]);
                    going = true;
                }
            }
        }
        for (std::size_t i = 0; i < count; ++i) {
            DefectSummary& summary = summaries[start + i];
            if (!points[i].empty()) {
                summary.latestDay = points[i].front().day;
                summary.firstDay = points[i].back().day;
            }
            summary.growthPerYear = history::ratePerYear(points[i]);
        }
    }
    return summaries;
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
        throw common::Error("a series of more than 65536 runs cannot be tracked for defects");
    }
    const auto run = static_cast<std::uint16_t>(result_.runs_.size());
    result_.runs_.push_back(TrackedRun{day, std::move(runNumber)});
    std::vector<std::uint32_t>& coverage = result_.coverage_;
    const std::size_t coverageStart = coverage.size();
    if (peaks == nullptr) {
        result_.coverageStart_.push_back(coverage.size());
        return;
    }
    for (auto& hits : hitsOf_) {
        hits.clear();
    }
    // Each code's limit as a plain number, kUntracked for a code not tracked: looked up for every
    // peak, where an optional costs more than the rest of the test.
    constexpr std::int32_t kUntracked = std::numeric_limits<std::int32_t>::min();
    std::array<std::int32_t, kTrackableCodes> limitOf{};
    for (std::size_t code = 0; code < limitOf.size(); ++code) {
        const std::optional<std::int16_t> limit =
            result_.settings_.limits.of(static_cast<std::int16_t>(code));
        limitOf[code] = limit ? std::int32_t{*limit} : kUntracked;
    }
    std::uint32_t lastKey = kNone;
    for (std::size_t order = 0; order < peaks->size(); ++order) {
        const Peak& peak = (*peaks)[order];
        const auto code = static_cast<std::uint16_t>(peak.code);
        if (code >= limitOf.size() || limitOf[code] == kUntracked) {
            continue;
        }
        const std::int32_t limit = limitOf[code];
        // The peaks of one peak line share their key: most repeats are dropped here already.
        const std::uint32_t key = coverageKey(peak.code, peak.km);
        if (key != lastKey) {
            coverage.push_back(key);
            lastKey = key;
        }
        if (std::abs(std::int32_t{peak.value}) > limit) {
            hitsOf_[static_cast<std::size_t>(peak.code)].push_back(
                Hit{positionOf(peak.km, peak.location, result_.direction_), static_cast<std::uint32_t>(order),
                    peak.code, peak.km, peak.location, peak.value});
        }
    }
    // Rising km gives the keys in order, falling km in reverse order (each km's codes aside).
    const auto ofRun = coverage.begin() + static_cast<std::ptrdiff_t>(coverageStart);
    if (result_.direction_ < 0) {
        std::reverse(ofRun, coverage.end());
    }
    sortMostlyInOrder(ofRun, coverage.end(), std::less<>());
    coverage.erase(std::unique(ofRun, coverage.end()), coverage.end());
    result_.coverageStart_.push_back(coverage.size());

    // Each parameter's exceedances by position, then order in the file; the car writes them km by
    // km, so they come almost in order (in reverse order on falling km).
    unmatched_.clear();
    for (std::int16_t code = 0; code < static_cast<std::int16_t>(hitsOf_.size()); ++code) {
        std::vector<Hit>& hits = hitsOf_[static_cast<std::size_t>(code)];
        if (result_.direction_ < 0) {
            std::reverse(hits.begin(), hits.end());
        }
        sortMostlyInOrder(hits.begin(), hits.end(), hitBefore);
        const auto sortedUnmatched = static_cast<std::ptrdiff_t>(unmatched_.size());
        matchParameter(hits, code);
        // The defects matched are scattered over all the defects of the line: each is fetched a few
        // steps ahead of its turn, so that the waits for memory overlap.
        constexpr std::size_t kAhead = 8;
        for (std::size_t i = 0; i < accepted_.size(); ++i) {
            if (i + kAhead < accepted_.size()) {
                __builtin_prefetch(&result_.defects_[accepted_[i + kAhead].defect], 1);
            }
            addExceedance(accepted_[i].defect, accepted_[i].hit, run);
        }
        accepted_.clear();
        // The new defects of the run are numbered by position, then order in the file, over all
        // parameters; each parameter's are in that order already.
        std::inplace_merge(unmatched_.begin(), unmatched_.begin() + sortedUnmatched, unmatched_.end(),
                           hitBefore);
    }
    const auto firstStarted = static_cast<std::uint32_t>(result_.defects_.size());
    for (const Hit& hit : unmatched_) {
        const auto number = static_cast<std::uint32_t>(result_.defects_.size());
        Defect& defect = result_.defects_.emplace_back();
        defect.code = hit.code;
        addExceedance(number, hit, run);
        moved_[static_cast<std::size_t>(hit.code)].push_back(OpenDefect{hit.position, number});
    }
    for (std::int16_t code = 0; code < static_cast<std::int16_t>(open_.size()); ++code) {
        reorderOpen(code, firstStarted);
    }
}

// Within one run and one parameter, the exceedances at one position are taken in file order and the
// defects whose latest exceedance is at one position in the order they started: for any partner,
// the earlier one of such a group makes the better pair. So the best pair left between two such
// groups is always their first untaken members, and the pairs can be accepted group against group.
// Many exceedances piled up at one place (a garbled file) then cost no more than scattered ones.
void DefectTracker::matchParameter(std::span<const Hit> hits, std::int16_t code) {
    std::vector<OpenDefect>& open = open_[static_cast<std::size_t>(code)];
    std::vector<Group>& hitGroups = hitGroups_;
    std::vector<Group>& openGroups = openGroups_;
    std::vector<Candidate>& candidates = candidates_;
    hitGroups.clear();
    openGroups.clear();
    candidates.clear();
    for (std::uint32_t i = 0; i < hits.size(); ++i) {
        if (hitGroups.empty() || hits[i].position != hitGroups.back().position) {
            hitGroups.push_back(Group{hits[i].position, i, i});
        }
        hitGroups.back().end = i + 1;
    }
    // The groups of open defects are made only where an exceedance is near, not for the whole line.
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
    // The pairs are accepted in their order one connected set at a time: a set of hit groups and open
    // groups that pair only with each other (they lie apart from the rest by more than the tolerance)
    // is decided the same whatever is accepted elsewhere, so only its own pairs need sorting.
    std::vector<OpenDefect>& moved = moved_[static_cast<std::size_t>(code)];
    // Pairs of groups whose rank changed as members were taken wait here, in rank order.
    std::priority_queue<Candidate, std::vector<Candidate>, std::greater<>> reranked;
    const auto acceptPairs = [&] {
        if (candidates.size() > 1) {
            std::sort(candidates.begin(), candidates.end(),
                      [](const Candidate& a, const Candidate& b) { return b > a; });
        }
        for (std::size_t next = 0; next < candidates.size() || !reranked.empty();) {
            Candidate top;
            if (!reranked.empty() && (next == candidates.size() || candidates[next] > reranked.top())) {
                top = reranked.top();
                reranked.pop();
            } else {
                top = candidates[next++];
            }
            Group& h = hitGroups[top.hitGroup];
            Group& o = openGroups[top.openGroup];
            if (h.next == h.end || o.next == o.end) {
                continue;
            }
            // Taking members only makes a pair of groups worse: a stale one goes back with its new rank.
            const Candidate current = candidate(top.hitGroup, top.openGroup);
            if (current.defect != top.defect || current.order != top.order) {
                reranked.push(current);
                continue;
            }
            const Hit& hit = hits[h.next];
            accepted_.push_back(Accepted{top.defect, hit});
            moved.push_back(OpenDefect{hit.position, top.defect});
            open[o.next].defect = kMovedAway;
            ++h.next;
            ++o.next;
            if (h.next != h.end && o.next != o.end) {
                reranked.push(candidate(top.hitGroup, top.openGroup));
            }
        }
        candidates.clear();
    };
    const std::int32_t tolerance = result_.settings_.tolerance;
    std::uint32_t reach = 0;   // one past the last open group the pending pairs have
    std::size_t firstNear = 0; // of openGroups
    std::size_t unseen = 0;    // first open defect not in a group yet
    for (std::uint32_t h = 0; h < hitGroups.size(); ++h) {
        const std::int32_t low = hitGroups[h].position - tolerance;
        const std::int32_t high = hitGroups[h].position + tolerance;
        while (firstNear < openGroups.size() && openGroups[firstNear].position < low) {
            ++firstNear;
        }
        if (unseen < open.size() && open[unseen].position < low) {
            unseen = static_cast<std::size_t>(
                std::lower_bound(
                    open.begin() + static_cast<std::ptrdiff_t>(unseen), open.end(), low,
                    [](const OpenDefect& entry, std::int32_t at) { return entry.position < at; }) -
                open.begin());
        }
        while (unseen < open.size() && open[unseen].position <= high) {
            Group group{open[unseen].position, static_cast<std::uint32_t>(unseen), 0};
            while (unseen < open.size() && open[unseen].position == group.position) {
                ++unseen;
            }
            group.end = static_cast<std::uint32_t>(unseen);
            openGroups.push_back(group);
        }
        std::size_t o = firstNear;
        if (o < openGroups.size() && openGroups[o].position <= high) {
            // Groups that share no group with the pairs so far can only be paired among themselves.
            if (o >= reach && !candidates.empty()) {
                acceptPairs();
            }
            for (; o < openGroups.size() && openGroups[o].position <= high; ++o) {
                candidates.push_back(candidate(h, static_cast<std::uint32_t>(o)));
            }
            reach = o;
        }
    }
    if (!candidates.empty()) {
        acceptPairs();
    }
    for (const Group& group : hitGroups) {
        unmatched_.insert(unmatched_.end(), hits.begin() + group.next, hits.begin() + group.end);
    }
}

// The open defects sorted again in one pass: the untouched ones keep their order, and the moved and
// the new ones, sorted on their own, are merged in.
void DefectTracker::reorderOpen(std::int16_t code, std::uint32_t firstStarted) {
    std::vector<OpenDefect>& moved = moved_[static_cast<std::size_t>(code)];
    if (moved.empty()) {
        return;
    }
    std::vector<OpenDefect>& open = open_[static_cast<std::size_t>(code)];
    // The moved ones come almost in order of position (matched a connected set after another along
    // the line), the ones this run started after them, in order already.
    auto started = moved.end();
    while (started != moved.begin() && (started - 1)->defect >= firstStarted) {
        --started;
    }
    sortMostlyInOrder(moved.begin(), started, openBefore);
    std::inplace_merge(moved.begin(), started, moved.end(), openBefore);
    mergeBuffer_.clear();
    mergeBuffer_.reserve(open.size() + moved.size());
    auto added = moved.begin();
    for (const OpenDefect& entry : open) {
        if (entry.defect == kMovedAway) {
            continue;
        }
        for (; added != moved.end() && openBefore(*added, entry); ++added) {
            mergeBuffer_.push_back(*added);
        }
        mergeBuffer_.push_back(entry);
    }
    mergeBuffer_.insert(mergeBuffer_.end(), added, moved.end());
    open.swap(mergeBuffer_);
    moved.clear();
}

TrackedDefects DefectTracker::finish(const TgiLookup& tgi) {
    // What only the matching needed goes first, to make room for the statuses' work.
    open_ = {};
    moved_ = {};
    hitsOf_ = {};
    unmatched_ = {};
    mergeBuffer_ = {};
    hitGroups_ = {};
    openGroups_ = {};
    candidates_ = {};
    accepted_ = {};
    std::vector<Defect>& defects = result_.defects_;
    const TrackedDefects::Links& links = result_.links_;
    // The last and the previous covering run of every (parameter, km) over the kms the latest
    // exceedances are at, in a table by km and code (tracked codes are 0 to 13).
    constexpr std::size_t kCodes = kTrackableCodes;
    std::int32_t lowKm = std::numeric_limits<std::int16_t>::max();
    std::int32_t highKm = std::numeric_limits<std::int16_t>::min();
    for (const Defect& defect : defects) {
        lowKm = std::min<std::int32_t>(lowKm, defect.latest.km);
        highKm = std::max<std::int32_t>(highKm, defect.latest.km);
    }
    const auto cellOf = [&](std::int32_t km, std::uint32_t code) {
        return static_cast<std::size_t>(km - lowKm) * kCodes + code;
    };
    const std::size_t cells = defects.empty() ? 0 : cellOf(highKm, 0) + kCodes;
    std::vector<std::uint32_t> lastCovering(cells, kNone);
    std::vector<std::uint32_t> previousCovering(cells, kNone);
    for (std::uint32_t run = 0; run < result_.runs_.size() && cells > 0; ++run) {
        for (const std::uint32_t have : result_.coverageOf(run)) {
            const std::int32_t km = static_cast<std::int32_t>(have >> 16) - 0x8000;
            const std::uint32_t code = have & 0xFFFFu;
            if (km >= lowKm && km <= highKm && code < kCodes) {
                const std::size_t index = cellOf(km, code);
                previousCovering[index] = lastCovering[index];
                lastCovering[index] = run;
            }
        }
    }
    for (Defect& defect : defects) {
        const std::size_t index = cellOf(defect.latest.km, static_cast<std::uint32_t>(defect.code));
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
                std::uint32_t link = links[defect.latestLink].previous;
                while (link != TrackedDefects::kNoLink && links[link].exceedance.run > previous) {
                    link = links[link].previous;
                }
                inPrevious = link != TrackedDefects::kNoLink && links[link].exceedance.run == previous;
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
