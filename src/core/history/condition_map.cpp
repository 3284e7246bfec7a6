// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Kestrana developers

#include "core/history/condition_map.h"

#include "core/history/dates.h"

#include <algorithm>

namespace kestrana::history {

namespace {
bool inKeyOrder(const library::RunValues& run) {
    return std::is_sorted(
        run.values.begin(), run.values.end(),
        [](const library::BlockValue& a, const library::BlockValue& b) { return a.key < b.key; });
}
} // namespace

ConditionMap conditionMapOf(const Series& series, BlockIndex index,
                            std::span<const library::RunValues> runs) {
    // The library gives each run's values in key order; values put together otherwise are sorted
    // first.
    if (!std::all_of(runs.begin(), runs.end(), inKeyOrder)) {
        std::vector<library::RunValues> sorted(runs.begin(), runs.end());
        for (library::RunValues& run : sorted) {
            std::stable_sort(
                run.values.begin(), run.values.end(),
                [](const library::BlockValue& a, const library::BlockValue& b) { return a.key < b.key; });
        }
        return conditionMapOf(series, index, sorted);
    }
    ConditionMap map{series, index, {}, {}, {}};
    // Every run's values come in key order, and the runs of a line mostly have the same blocks: the
    // union of their keys is built by merging each run's keys that differ from it, and each value
    // finds its column by walking the union alongside.
    std::vector<BlockKey> keyOrder;
    std::vector<BlockKey> merged;
    for (const library::RunValues& run : runs) {
        const auto sameKeys = [&] {
            return run.values.size() == keyOrder.size() &&
                   std::equal(run.values.begin(), run.values.end(), keyOrder.begin(),
                              [](const library::BlockValue& value, const BlockKey& key) {
                                  return value.key == key;
                              });
        };
        if (sameKeys()) {
            continue;
        }
        merged.clear();
        merged.reserve(keyOrder.size() + run.values.size());
        auto key = keyOrder.begin();
        for (const library::BlockValue& value : run.values) {
            for (; key != keyOrder.end() && *key < value.key; ++key) {
                merged.push_back(*key);
            }
            if (key != keyOrder.end() && *key == value.key) {
                ++key;
            }
            merged.push_back(value.key);
        }
        merged.insert(merged.end(), key, keyOrder.end());
        keyOrder.swap(merged);
    }
    // Key order is the run direction's order on a rising line; a falling line takes its km in
    // reverse, each km's blocks still by number.
    map.columns = keyOrder;
    std::sort(map.columns.begin(), map.columns.end(),
              [&](const BlockKey& a, const BlockKey& b) { return comesBefore(a, b, series.direction); });
    std::vector<std::size_t> columnOfKey(keyOrder.size());
    for (std::size_t column = 0; column < map.columns.size(); ++column) {
        const auto at = std::lower_bound(keyOrder.begin(), keyOrder.end(), map.columns[column]);
        columnOfKey[static_cast<std::size_t>(at - keyOrder.begin())] = column;
    }
    map.cells.assign(runs.size() * map.columns.size(), ConditionCell{});
    map.rows.reserve(runs.size());
    for (std::size_t row = 0; row < runs.size(); ++row) {
        map.rows.push_back(runs[row].run);
        ConditionCell* cells = map.cells.data() + row * map.columns.size();
        std::size_t at = 0;
        for (const library::BlockValue& value : runs[row].values) {
            while (keyOrder[at] < value.key) {
                ++at;
            }
            cells[columnOfKey[at]] = ConditionCell{value.value, valueBandOf(value.value)};
        }
    }
    return map;
}

ConditionMap conditionMap(const library::RunLibrary& library, const Series& series, const KmRange& range,
                          BlockIndex index, std::span<const library::RunId> onlyRuns) {
    const std::vector<library::RunValues> runs = library.valuesInRange(series, range, index, onlyRuns);
    return conditionMapOf(series, index, runs);
}

namespace {
// Lower ranks are worse: any recorded value (ranked by the value itself), then not recorded, then a
// block the run does not have.
int badnessRank(const ConditionCell& cell) {
    switch (cell.band) {
    case ValueBand::Absent:
        return 1 << 17;
    case ValueBand::NotRecorded:
        return 1 << 16;
    default:
        return cell.value;
    }
}
} // namespace

std::size_t worstColumn(const ConditionMap& map, std::size_t row, std::size_t first, std::size_t end) {
    std::size_t worst = first;
    int worstRank = 1 << 18;
    const std::size_t columns = map.columns.size();
    end = std::min(end, columns);
    for (std::size_t column = first; column < end; ++column) {
        const int rank = badnessRank(map.cells[row * columns + column]);
        if (rank < worstRank) {
            worstRank = rank;
            worst = column;
        }
    }
    return worst;
}

std::string cellDescription(const ConditionMap& map, std::size_t row, std::size_t column) {
    const BlockKey& key = map.columns[column];
    const library::RunRecord& run = map.rows[row];
    const ConditionCell& cell = map.cell(row, column);
    std::string text = "km " + std::to_string(key.km) + " block " + std::to_string(key.block) + ", " +
                       isoDate(run.day) + " run " + run.runNumber + ": ";
    switch (cell.band) {
    case ValueBand::Absent:
        return text + "no such block in this run";
    case ValueBand::NotRecorded:
        return text + "not recorded";
    default:
        return text + std::string(indexName(map.index)) + " " + std::to_string(cell.value);
    }
}

} // namespace kestrana::history
