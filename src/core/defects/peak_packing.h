// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Kestrana developers

#pragma once
// The peaks of a run as a library stores them: one part per stretch of peaks of one km from in file
// order, each part a few bytes per peak, so that a run of 6,553 km (about 630,000 peaks) takes about
// 2.5 MB and a km range is read without the rest of the run. Within a part the peaks are groups of one
// parameter code: the code and the count, then the location and value of each peak, every number a
// 16-bit little-endian word. Reading the parts in order gives the peaks in file order again.

#include "core/defects/run_peaks.h"

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace kestrana::defects {

struct PackedPeakPart {
    std::int16_t km = 0;
    std::string bytes;
    bool operator==(const PackedPeakPart&) const = default;
};

// The parts of a run's peaks in file order: a new part wherever the km from changes. A run without
// peaks has no part.
std::vector<PackedPeakPart> packPeaks(std::span<const Peak> peaks);

// Appends the peaks of one part to `out`, keeping only the codes in `codes` (every code when it is
// empty). Returns false, leaving `out` as it was, when the bytes are not a part as packPeaks writes
// them (the caller's store is damaged).
bool unpackPeaks(std::int16_t km, std::string_view bytes, std::span<const std::int16_t> codes, RunPeaks& out);

} // namespace kestrana::defects
