#include "core/history/condition_map.h"

#include "core/history/dates.h"

#include <algorithm>

namespace kestrana::history {

ConditionMap conditionMapOf(const Series& series, BlockIndex index,
                            std::span<const library::RunValues> runs) {
    ConditionMap map{series, index, {}, {}, {}};
    for (const library::RunValues& run : runs) {
        for (const library::BlockValue& value : run.values) {
            map.columns.push_back(value.key);
        }
    }
    std::sort(map.columns.begin(), map.columns.end());
    map.columns.erase(std::unique(map.columns.begin(), map.columns.end()), map.columns.end());
    // Key order gives each block's column by binary search; the run direction gives the order shown.
    const std::vector<BlockKey> keyOrder = map.columns;
    std::sort(map.columns.begin(), map.columns.end(),
              [&](const BlockKey& a, const BlockKey& b) { return comesBefore(a, b, series.direction); });
    std::vector<std::size_t> columnOfKey(keyOrder.size());
    for (std::size_t column = 0; column < map.columns.size(); ++column) {
        const auto at = std::lower_bound(keyOrder.begin(), keyOrder.end(), map.columns[column]);
        columnOfKey[static_cast<std::size_t>(at - keyOrder.begin())] = column;
    }
    map.cells.assign(runs.size() * map.columns.size(), ConditionCell{});
    for (std::size_t row = 0; row < runs.size(); ++row) {
        map.rows.push_back(runs[row].run);
        for (const library::BlockValue& value : runs[row].values) {
            const auto at = std::lower_bound(keyOrder.begin(), keyOrder.end(), value.key);
            const std::size_t column = columnOfKey[static_cast<std::size_t>(at - keyOrder.begin())];
            map.cells[row * map.columns.size() + column] =
                ConditionCell{value.value, valueBandOf(value.value)};
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
