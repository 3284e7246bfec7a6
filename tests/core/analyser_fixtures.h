// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Kestrana developers

#pragma once
// Small block tables built in memory for the analyser's tests: only the fields a test is about are
// set, everything else stays 0.

#include "core/analyser/messages.h"
#include "core/runfile/block_table.h"

#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

namespace kestrana::test {

struct BlockRecipe {
    int kmFrom;
    int kmTo;
    int block;
    int tgi;
    // TGIU, TGIW, TGIG, TGIL
    int tgiu = 0;
    int tgiw = 0;
    int tgig = 0;
    int tgil = 0;
};

inline runfile::BlockResult makeBlock(const BlockRecipe& recipe) {
    namespace field = runfile::field;
    runfile::BlockResult row;
    row.field(1) = 60;
    row.field(field::KmFrom) = static_cast<std::int16_t>(recipe.kmFrom);
    row.field(field::KmTo) = static_cast<std::int16_t>(recipe.kmTo);
    row.field(4) = 68;
    row.field(field::BlockNumber) = static_cast<std::int16_t>(recipe.block);
    row.field(field::TGI) = static_cast<std::int16_t>(recipe.tgi);
    row.field(field::TGIU) = static_cast<std::int16_t>(recipe.tgiu);
    row.field(field::TGIW) = static_cast<std::int16_t>(recipe.tgiw);
    row.field(field::TGIG) = static_cast<std::int16_t>(recipe.tgig);
    row.field(field::TGIL) = static_cast<std::int16_t>(recipe.tgil);
    return row;
}

// A table whose run direction is taken from its first row, as loading sets it.
inline runfile::BlockTable makeTable(std::initializer_list<BlockRecipe> options) {
    runfile::BlockTable table;
    for (const BlockRecipe& recipe : options) {
        table.rows.push_back(makeBlock(recipe));
    }
    if (!table.rows.empty()) {
        table.runDirection = static_cast<std::int16_t>(table.rows.front().field(runfile::field::KmTo) -
                                                       table.rows.front().field(runfile::field::KmFrom));
    }
    return table;
}

// One block per kilometre from `firstKm` on, rising (direction 1) or falling (-1), with these TGIs.
inline runfile::BlockTable tableOfTgis(int firstKm, int direction, const std::vector<int>& tgis) {
    runfile::BlockTable table;
    int km = firstKm;
    for (int tgi : tgis) {
        table.rows.push_back(makeBlock({km, km + direction, 1, tgi}));
        km += direction;
    }
    table.runDirection = static_cast<std::int16_t>(direction);
    return table;
}

// The message of an analyser refusal, or "" when the operation went through.
template <typename Operation> std::string refusalOf(Operation&& operation) {
    try {
        operation();
    } catch (const kestrana::common::Error& refusal) {
        return refusal.what();
    }
    return "";
}

} // namespace kestrana::test
