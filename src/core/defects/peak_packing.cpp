// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Kestrana developers

#include "core/defects/peak_packing.h"

#include <algorithm>
#include <limits>

namespace kestrana::defects {

namespace {

void putWord(std::string& out, std::uint16_t word) {
    out.push_back(static_cast<char>(word & 0xFF));
    out.push_back(static_cast<char>(word >> 8));
}

std::uint16_t wordAt(std::string_view bytes, std::size_t at) {
    return static_cast<std::uint16_t>(static_cast<unsigned char>(bytes[at]) |
                                      (static_cast<unsigned char>(bytes[at + 1]) << 8));
}

} // namespace

std::vector<PackedPeakPart> packPeaks(std::span<const Peak> peaks) {
    std::vector<PackedPeakPart> parts;
    std::size_t count = 0;      // peaks in the current group
    std::size_t countAt = 0;    // where its count is written
    std::int16_t groupCode = 0; // its code
    for (std::size_t i = 0; i < peaks.size(); ++i) {
        const Peak& peak = peaks[i];
        const bool newPart = parts.empty() || parts.back().km != peak.km;
        if (newPart) {
            parts.push_back(PackedPeakPart{peak.km, {}});
        }
        std::string& bytes = parts.back().bytes;
        if (newPart || peak.code != groupCode || count == std::numeric_limits<std::uint16_t>::max()) {
            putWord(bytes, static_cast<std::uint16_t>(peak.code));
            countAt = bytes.size();
            putWord(bytes, 0);
            groupCode = peak.code;
            count = 0;
        }
        putWord(bytes, static_cast<std::uint16_t>(peak.location));
        putWord(bytes, static_cast<std::uint16_t>(peak.value));
        ++count;
        bytes[countAt] = static_cast<char>(count & 0xFF);
        bytes[countAt + 1] = static_cast<char>(count >> 8);
    }
    return parts;
}

bool unpackPeaks(std::int16_t km, std::string_view bytes, std::span<const std::int16_t> codes,
                 RunPeaks& out) {
    const std::size_t before = out.size();
    std::size_t at = 0;
    while (at < bytes.size()) {
        if (bytes.size() - at < 4) {
            out.resize(before);
            return false;
        }
        const auto code = static_cast<std::int16_t>(wordAt(bytes, at));
        const std::size_t count = wordAt(bytes, at + 2);
        at += 4;
        if (count == 0 || (bytes.size() - at) / 4 < count) {
            out.resize(before);
            return false;
        }
        if (codes.empty() || std::find(codes.begin(), codes.end(), code) != codes.end()) {
            for (std::size_t i = 0; i < count; ++i, at += 4) {
                out.push_back(Peak{km, code, static_cast<std::int16_t>(wordAt(bytes, at)),
                                   static_cast<std::int16_t>(wordAt(bytes, at + 2))});
            }
        } else {
            at += 4 * count;
        }
    }
    return true;
}

} // namespace kestrana::defects
