// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Kestrana developers

#pragma once
// The full-size line of the defect benchmarks: 40 runs of 6,553 km (32767 block lines, 12 peak lines
// of 8 pairs per km), a month apart from January 1995, each with its own seed.

#include "core/history/dates.h"
#include "run_generator.h"

#include <cstdio>

namespace kestrana::bench {

inline constexpr int kRuns = 40;
inline constexpr int kStartKm = 100;
inline constexpr std::int16_t kFromKm = 3000; // a 100 km stretch in the middle of the line
inline constexpr std::int16_t kToKm = 3099;
inline constexpr int kBlocksPerKm = 5;

// Run i: a month after run i - 1 from January 1995, worn a little more every month, its own seed.
inline kestrana::generator::RunRecipe fullSizeRecipe(int i) {
    kestrana::generator::RunRecipe recipe;
    recipe.startKm = kStartKm;
    recipe.kmCount = 32767 / kBlocksPerKm + 1;
    recipe.maxBlockLines = 32767;
    recipe.lineSeed = 2024;
    recipe.seed = 100 + static_cast<unsigned>(i);
    recipe.wear = (i % 60) / 3;
    const kestrana::history::CivilDate date = kestrana::history::civilDateOf(
        kestrana::history::addMonths(kestrana::history::dayOf({1995, 1, 15}), i));
    char text[8];
    std::snprintf(text, sizeof text, "%02d%02d%02d", date.day, date.month, date.year % 100);
    recipe.date = text;
    recipe.runNumber = static_cast<char>('1' + i % 9);
    return recipe;
}

} // namespace kestrana::bench
