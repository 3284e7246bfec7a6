// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Kestrana developers

#include "core/history/terms.h"

namespace kestrana::history {

namespace {
constexpr std::array<std::string_view, 5> kIndexNames = {"TGI", "TGIU", "TGIW", "TGIG", "TGIL"};
} // namespace

std::string_view indexName(BlockIndex index) {
    return kIndexNames[static_cast<std::size_t>(index)];
}

std::optional<BlockIndex> indexFromName(std::string_view name) {
    for (BlockIndex index : kBlockIndices) {
        if (indexName(index) == name) {
            return index;
        }
    }
    return std::nullopt;
}

KmRange kmRangeBetween(std::int16_t first, std::int16_t second) {
    return first <= second ? KmRange{first, second} : KmRange{second, first};
}

bool comesBefore(const BlockKey& a, const BlockKey& b, int direction) {
    if (a.km != b.km) {
        return direction < 0 ? a.km > b.km : a.km < b.km;
    }
    return a.block < b.block;
}

bool blockFollows(const BlockKey& a, const BlockKey& b, int direction) {
    if (a.km == b.km) {
        return b.block == a.block + 1;
    }
    return a.block == 5 && b.block == 1 && b.km == a.km + (direction < 0 ? -1 : 1);
}

ValueBand valueBandOf(std::int16_t value) {
    if (value == 0) {
        return ValueBand::NotRecorded;
    }
    if (value < 0) {
        return ValueBand::NoBand;
    }
    if (value < 36) {
        return ValueBand::Band1;
    }
    if (value < 51) {
        return ValueBand::Band2;
    }
    if (value < 81) {
        return ValueBand::Band3;
    }
    return ValueBand::Band4;
}

std::string_view valueBandLegend(ValueBand band) {
    switch (band) {
    case ValueBand::Band1:
        return "1 to 35";
    case ValueBand::Band2:
        return "36 to 50";
    case ValueBand::Band3:
        return "51 to 80";
    case ValueBand::Band4:
        return "81 and above";
    case ValueBand::NotRecorded:
        return "not recorded";
    case ValueBand::NoBand:
        return "below 0";
    case ValueBand::Absent:
        break;
    }
    return "no such block";
}

} // namespace kestrana::history
