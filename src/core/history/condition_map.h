// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Kestrana developers

#pragma once
// The condition map of a km range: one row per run in run order, one column per block in the run
// direction, each cell the block's value in that run and its quality band.

#include "core/library/run_library.h"

#include <cstddef>
#include <span>
#include <string>
#include <vector>

namespace kestrana::history {

struct ConditionCell {
    std::int16_t value = 0;
    ValueBand band = ValueBand::Absent;
};

struct ConditionMap {
    Series series;
    BlockIndex index = BlockIndex::TGI;
    std::vector<BlockKey> columns; // every block any of the runs has in the range, in the run direction
    std::vector<library::RunRecord> rows; // run order
    std::vector<ConditionCell> cells;     // row by row: cells[row * columns.size() + column]

    const ConditionCell& cell(std::size_t row, std::size_t column) const {
        return cells[row * columns.size() + column];
    }
};

// From the values of the runs (as library::RunLibrary::valuesInRange gives them).
ConditionMap conditionMapOf(const Series& series, BlockIndex index, std::span<const library::RunValues> runs);
// The same read from the library; `onlyRuns` empty = every run of the series.
ConditionMap conditionMap(const library::RunLibrary& library, const Series& series, const KmRange& range,
                          BlockIndex index, std::span<const library::RunId> onlyRuns = {});

// Where one pixel of the map stands for several cells of a row (columns [first, end)), it shows the
// worst of them, so that zooming out never hides a bad block: the lowest recorded value; a
// not-recorded cell only when none of them is recorded; a missing block only when all are missing.
// Returns that cell's column (the first of equals); `first` when the span is empty.
std::size_t worstColumn(const ConditionMap& map, std::size_t row, std::size_t first, std::size_t end);

// What hovering over a cell shows: "km 123 block 4, 2025-03-12 run 1: TGI 45", with "not recorded"
// or "no such block in this run" instead of the value.
std::string cellDescription(const ConditionMap& map, std::size_t row, std::size_t column);

} // namespace kestrana::history
