// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Kestrana developers

#include "core/library/run_rows.h"

#include <pwd.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>

namespace kestrana::library {

void sortForListing(std::vector<RunRecord>& runs) {
    std::sort(runs.begin(), runs.end(), [](const RunRecord& a, const RunRecord& b) {
        if (a.series != b.series) {
            return a.series < b.series;
        }
        return runComesBefore(a, b);
    });
}

void sortInRunOrder(std::vector<RunValue>& values) {
    std::sort(values.begin(), values.end(),
              [](const RunValue& a, const RunValue& b) { return runComesBefore(a.run, b.run); });
}

KmRange kmSpanOf(std::span<const StoredBlock> blocks) {
    if (blocks.empty()) {
        return {};
    }
    const auto [low, high] =
        std::minmax_element(blocks.begin(), blocks.end(),
                            [](const StoredBlock& a, const StoredBlock& b) { return a.key.km < b.key.km; });
    return KmRange{low->key.km, high->key.km};
}

std::vector<RunId> distinctIds(std::span<const RunId> ids) {
    std::vector<RunId> unique;
    for (RunId id : ids) {
        if (std::find(unique.begin(), unique.end(), id) == unique.end()) {
            unique.push_back(id);
        }
    }
    return unique;
}

UtcMicroseconds utcNow() {
    return std::chrono::duration_cast<std::chrono::microseconds>(
               std::chrono::system_clock::now().time_since_epoch())
        .count();
}

std::string operatingSystemUser() {
    const uid_t uid = ::geteuid();
    const long suggested = ::sysconf(_SC_GETPW_R_SIZE_MAX);
    std::vector<char> buffer(suggested > 0 ? static_cast<std::size_t>(suggested) : 16384);
    struct passwd entry {};
    struct passwd* found = nullptr;
    if (::getpwuid_r(uid, &entry, buffer.data(), buffer.size(), &found) == 0 && found != nullptr &&
        found->pw_name != nullptr && found->pw_name[0] != '\0') {
        return found->pw_name;
    }
    // A user the system has no name for (a container's, say) is still told apart by number.
    return "uid " + std::to_string(uid);
}

RangeValues::RangeValues(std::vector<RunRecord> runsInOrder, std::span<const RunId> onlyRuns) {
    for (RunRecord& run : runsInOrder) {
        if (onlyRuns.empty() || std::find(onlyRuns.begin(), onlyRuns.end(), run.id) != onlyRuns.end()) {
            rowOfRun_.emplace(run.id, result_.size());
            result_.push_back(RunValues{std::move(run), {}});
        }
    }
}

void RangeValues::add(RunId run, BlockKey key, std::int16_t value) {
    const auto row = rowOfRun_.find(run);
    if (row != rowOfRun_.end()) {
        result_[row->second].values.push_back(BlockValue{key, value});
    }
}

std::vector<RunValues> RangeValues::take() {
    // Storage that walks a run's key gives its values in order already; checking costs less than a sort.
    const auto byKey = [](const BlockValue& a, const BlockValue& b) { return a.key < b.key; };
    for (RunValues& run : result_) {
        if (!std::is_sorted(run.values.begin(), run.values.end(), byKey)) {
            std::sort(run.values.begin(), run.values.end(), byKey);
        }
    }
    return std::move(result_);
}

} // namespace kestrana::library
