// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Kestrana developers

#pragma once
// Isolated defects followed from run to run within one series (one line, one direction).
//
// - Position of a peak, in metres: 1000 x km from + direction x location.
// - Limits: one whole number per parameter code; a peak whose absolute value is greater than its
//   parameter's limit is an exceedance. Codes without a limit are not tracked.
// - Matching: the runs are taken in run order, each parameter on its own. For each run the candidate
//   pairs are (defect D, exceedance E of the run) with |position(E) - position(latest exceedance of
//   D)| <= T, the tolerance. Pairs are accepted smallest distance first, then the older defect, then
//   E's position (as a number), then E's order in the file; a pair is accepted when neither side has
//   a partner in this run yet. Every exceedance left over starts a new defect; the new defects of a
//   run are numbered by position, then order in the file. A defect stays open for every later run.
// - A covering run of a defect has at least one peak (any value) of the defect's parameter at the km
//   from of its latest exceedance; the status comes from the last covering run and the one before it.
// - Growth per year: least squares of the absolute value against the day over all the defect's
//   exceedances, slope x 365.25; needs two different days.
// - Block: the km from of the latest exceedance and block min(5, location div 200 + 1), block 1 for a
//   negative location; its TGI is that block's in the run of the latest exceedance.

#include "core/defects/run_peaks.h"
#include "core/history/terms.h"
#include "core/history/trend.h"

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <tuple>
#include <vector>

namespace kestrana::defects {

inline constexpr std::int16_t kDefaultTolerance = 10; // metres

// The limit of each parameter code that is tracked (codes 0 to 13; any other code is never tracked).
class Limits {
public:
    // The peak analyser's defaults for its ten parameters: UN1L, UN1R and TW1 10, GAUGE, AL1L and AL1R
    // 6, UN2L and UN2R 15, AL2L and AL2R 10. VACC, LACC and the codes without a name are not tracked.
    static Limits defaults();
    // Tracks `code` with this limit (replacing its default); a code outside 0 to 13 is ignored.
    void set(std::int16_t code, std::int16_t limit);
    // The limit of a tracked code.
    std::optional<std::int16_t> of(std::int16_t code) const {
        return code >= 0 && code < kCodes ? limits_[static_cast<std::size_t>(code)] : std::nullopt;
    }

private:
    static constexpr int kCodes = 14;
    std::array<std::optional<std::int16_t>, kCodes> limits_{};
};

struct TrackingSettings {
    Limits limits = Limits::defaults();
    std::int16_t tolerance = kDefaultTolerance; // T, whole metres, not negative
};

// In the order defect lists are sorted by.
enum class DefectStatus : std::uint8_t { Repeat, New, Recurring, Gone };
// "repeat", "new", "recurring", "gone".
std::string_view statusName(DefectStatus status);
// The status of a name, compared exactly; empty for any other text.
std::optional<DefectStatus> statusFromName(std::string_view name);

// The position of a peak at `km` and `location` in a series of `direction`.
inline std::int32_t positionOf(std::int16_t km, std::int16_t location, int direction) {
    return 1000 * std::int32_t{km} + direction * std::int32_t{location};
}

// The block a location falls in: min(5, location div 200 + 1), 1 for a negative location.
std::int16_t blockOfLocation(std::int16_t location);

// One exceedance of a defect.
struct Exceedance {
    std::uint16_t run = 0; // the run's index in run order
    std::int16_t km = 0;
    std::int16_t location = 0;
    std::int16_t value = 0; // signed, as the file writes it
    bool operator==(const Exceedance&) const = default;
};

// A defect: its parameter, its latest exceedance and what follows from its history. Defects are
// numbered by their index in TrackedDefects::defects(), which is the order they started.
struct Defect {
    std::int16_t code = 0;
    DefectStatus status = DefectStatus::New;
    std::int16_t block = 1;          // of the latest exceedance
    std::optional<std::int16_t> tgi; // of that block in that run; none when the run has no such block
    std::uint32_t exceedances = 0;   // how many (one per run at most)
    Exceedance latest;
    std::uint32_t latestLink = 0; // where the latest exceedance is kept (see TrackedDefects)
};

// A run of the series as the tracker knows it.
struct TrackedRun {
    history::Day day = 0;
    std::string runNumber; // as the file writes it
};

// What the whole history of a defect gives: first and latest day of its exceedances, the largest
// absolute value and the growth per year with two decimals (empty below two different days).
struct DefectSummary {
    std::size_t firstRun = 0; // the run of the first exceedance
    history::Day firstDay = 0;
    history::Day latestDay = 0;
    std::int32_t largest = 0; // 32768 for a peak of -32768
    std::optional<std::string> growthPerYear;
};

// The TGI of block `block` in the run with index `run`: none when the run has no such block (0 for a
// block that is there but not recorded).
using TgiLookup = std::function<std::optional<std::int16_t>(std::size_t run, const history::BlockKey& block)>;

// The defects of one series after matching every run.
class TrackedDefects {
public:
    int direction() const { return direction_; }
    const TrackingSettings& settings() const { return settings_; }
    const std::vector<TrackedRun>& runs() const { return runs_; }
    // In the order they started.
    const std::vector<Defect>& defects() const { return defects_; }

    // A defect's exceedances in run order.
    std::vector<Exceedance> exceedancesOf(const Defect& defect) const;
    // The runs covering a defect, in run order.
    std::vector<std::size_t> coveringRunsOf(const Defect& defect) const;
    DefectSummary summaryOf(const Defect& defect) const;
    // The same with `points` as room to work in, for going through many defects.
    DefectSummary summaryOf(const Defect& defect, std::vector<history::RatePoint>& points) const;
    // summaryOf of each of the defects numbered, in the order given. A long list is much faster so:
    // the histories of a few dozen defects are followed side by side, so that the memory reads of one
    // overlap those of the others instead of waiting one after another.
    std::vector<DefectSummary> summariesOf(std::span<const std::uint32_t> numbers) const;
    // How far the latest absolute value is over the parameter's limit.
    std::int32_t excessOf(const Defect& defect) const;
    std::int32_t positionOf(const Defect& defect) const {
        return defects::positionOf(defect.latest.km, defect.latest.location, direction_);
    }

private:
    friend class DefectTracker;
    // Exceedances are kept in the order they are found, each linked to the one before it of its
    // defect, so that no defect needs a list of its own and none has to be moved: a whole line can
    // have millions. Only what is listed is ever walked.
    struct Link {
        Exceedance exceedance;
        std::uint32_t previous = kNoLink;
    };
    static constexpr std::uint32_t kNoLink = 0xFFFFFFFFu;
    // The links in pieces of a fixed size rather than one block: a whole line has millions, and one
    // block growing would need its old and its new copy at once.
    class Links {
    public:
        const Link& operator[](std::uint32_t link) const {
            return pieces_[link >> kPieceBits][link & kPieceMask];
        }
        std::uint32_t size() const { return size_; }
        void push_back(const Link& link) {
            if ((size_ & kPieceMask) == 0) {
                pieces_.emplace_back().reserve(std::size_t{1} << kPieceBits);
            }
            pieces_.back().push_back(link);
            ++size_;
        }

    private:
        static constexpr unsigned kPieceBits = 16;
        static constexpr std::uint32_t kPieceMask = (1u << kPieceBits) - 1;
        std::vector<std::vector<Link>> pieces_;
        std::uint32_t size_ = 0;
    };
    // Calls visit(exceedance) from the latest exceedance of the defect back to its first.
    template <typename Visit> void walkBack(const Defect& defect, Visit visit) const {
        for (std::uint32_t link = defect.exceedances > 0 ? defect.latestLink : kNoLink; link != kNoLink;
             link = links_[link].previous) {
            visit(links_[link].exceedance);
        }
    }

    int direction_ = 1;
    TrackingSettings settings_;
    std::vector<TrackedRun> runs_;
    std::vector<Defect> defects_;
    Links links_;
    // Per run: the (km from, code) of every tracked parameter it has a peak of, packed and sorted, all
    // runs in one list so that a long series does not leave thousands of small blocks behind.
    std::vector<std::uint32_t> coverage_;
    std::vector<std::size_t> coverageStart_{0}; // run r's are from coverageStart_[r] to [r + 1]
    std::span<const std::uint32_t> coverageOf(std::size_t run) const {
        return std::span<const std::uint32_t>(coverage_).subspan(
            coverageStart_[run], coverageStart_[run + 1] - coverageStart_[run]);
    }
};

// Matching run by run: give it the runs of one series in run order, then finish(). Only the current
// run's peaks are needed at a time, so a whole line's history can be matched one run after another.
class DefectTracker {
public:
    // `direction` is the series' direction: 1 rising km, -1 falling km.
    DefectTracker(int direction, const TrackingSettings& settings);

    // The next run in run order; `peaks` is null for a run without peaks (it covers nothing).
    // Throws common::Error past 65,536 runs.
    void addRun(history::Day day, std::string runNumber, const RunPeaks* peaks);
    // The statuses, blocks and TGIs (asking `tgi` once per defect). Call once.
    TrackedDefects finish(const TgiLookup& tgi);

    // An exceedance of the run being matched.
    struct Hit {
        std::int32_t position = 0;
        std::uint32_t order = 0; // in the file
        std::int16_t code = 0;
        std::int16_t km = 0;
        std::int16_t location = 0;
        std::int16_t value = 0;
    };
    // An open defect of one parameter by the position of its latest exceedance.
    struct OpenDefect {
        std::int32_t position = 0;
        std::uint32_t defect = 0;
    };

private:
    // Accepts the pairs of this run's exceedances `hits` of parameter `code` (into accepted_) and
    // leaves the exceedances without a partner in unmatched_.
    void matchParameter(std::span<const Hit> hits, std::int16_t code);
    void addExceedance(std::uint32_t defect, const Hit& hit, std::uint16_t run);
    // `firstStarted`: the number of the first defect this run started.
    void reorderOpen(std::int16_t code, std::uint32_t firstStarted);

    TrackedDefects result_;
    // Per parameter code 0 to 13: the open defects sorted by position, then number, and those whose
    // position this run changed or that this run started, to be merged back in once it is matched.
    std::array<std::vector<OpenDefect>, 14> open_;
    std::array<std::vector<OpenDefect>, 14> moved_;
    std::array<std::vector<Hit>, 14> hitsOf_; // of the current run, per parameter code
    std::vector<Hit> unmatched_;              // of the current run
    std::vector<OpenDefect> mergeBuffer_;
    // Groups of exceedances and of open defects at one position, and pairs of them (see
    // matchParameter); room kept from run to run.
    struct Group {
        std::int32_t position = 0;
        std::uint32_t next = 0; // first untaken member
        std::uint32_t end = 0;
    };
    struct Candidate {
        std::uint32_t distance = 0;
        std::uint32_t defect = 0;
        std::int32_t position = 0;
        std::uint32_t order = 0;
        std::uint32_t hitGroup = 0;
        std::uint32_t openGroup = 0;
        // By the acceptance order of the best pair of the two groups.
        bool operator>(const Candidate& other) const {
            return std::tie(distance, defect, position, order) >
                   std::tie(other.distance, other.defect, other.position, other.order);
        }
    };
    // The pairs matchParameter accepted, added to their defects after it.
    struct Accepted {
        std::uint32_t defect = 0;
        Hit hit;
    };
    std::vector<Accepted> accepted_;
    std::vector<Group> hitGroups_;
    std::vector<Group> openGroups_;
    std::vector<Candidate> candidates_;
};

// One run of a series for trackDefects.
struct SeriesRun {
    history::Day day = 0;
    std::string runNumber;
    const RunPeaks* peaks = nullptr; // null: no peaks stored
};
// The defects of the runs of one series given in run order.
TrackedDefects trackDefects(int direction, std::span<const SeriesRun> runs, const TrackingSettings& settings,
                            const TgiLookup& tgi);

} // namespace kestrana::defects
