// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Kestrana developers

#pragma once
// The values the analyser screen keeps behind its controls from one operation to the next: the
// kilometre range of PROCESS INFORMATION, its quality figures and the bounds of the last listing and
// track-share calculation. All start at 0 and are replaced only by the operation that computes them.

#include <array>
#include <cstdint>
#include <optional>

namespace kestrana::analyser {

// The kilometre range typed into "Starting KM" and "Ending KM". Start and end are kept as typed (the
// hard copies print them unordered); lower and upper are what selects the blocks.
struct AnalysisRange {
    std::int16_t startKm = 0;
    std::int16_t endKm = 0;
    std::int16_t lowerKm = 0;
    std::int16_t upperKm = 0;
    bool operator==(const AnalysisRange&) const = default;
};

// The quality figures of the blocks in range, in per cent of those blocks.
struct QualityDistribution {
    std::array<double, 4> bandShares{}; // bands 1 to 4: TGI 1-35, 36-50, 51-80, 81 and above
    float nonRecordedShare = 0.0F;      // TGI exactly 0; single precision as the screen keeps it
    // Mean TGI of the recorded blocks in range; empty when every block in range is non-recorded.
    std::optional<double> averageTgi = 0.0;
    bool operator==(const QualityDistribution&) const = default;
};

// Exclusive bounds of a listing or a track share: a value v is inside when lower < v < upper. They
// come from the typed LOW - 1 and HIGH + 1, so for whole numbers LOW <= v <= HIGH.
struct ExclusiveBounds {
    std::int16_t lower = 0;
    std::int16_t upper = 0;
    bool contains(int value) const { return lower < value && value < upper; }
    // The LOW and HIGH the reports print: lower + 1 and upper - 1 (not limited to 16 bits).
    int low() const { return lower + 1; }
    int high() const { return upper - 1; }
    bool operator==(const ExclusiveBounds&) const = default;
};

using ListingBounds = ExclusiveBounds; // SHOW DETAILS: LOW and HIGH
using ShareBounds = ExclusiveBounds;   // CALC TRACK %: TGI VALUE (Low) and (High)

} // namespace kestrana::analyser
