// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Kestrana developers

#include "gui/widgets/band_colours.h"

#include "core/history/terms.h"

namespace kestrana::gui::widgets {

using kestrana::history::ValueBand;

QColor bandColour(ValueBand band) {
    switch (band) {
    case ValueBand::Band1:
        return {0xc6, 0x28, 0x28}; // worst: red
    case ValueBand::Band2:
        return {0xf5, 0x9e, 0x0b}; // amber
    case ValueBand::Band3:
        return {0xcd, 0xdc, 0x39}; // yellow-green
    case ValueBand::Band4:
        return {0x2e, 0x7d, 0x32}; // best: green
    case ValueBand::NotRecorded:
        return {0x9e, 0x9e, 0x9e}; // grey
    case ValueBand::NoBand:
        return {0x6a, 0x1b, 0x9a}; // purple: a value below 0
    case ValueBand::Absent:
        break;
    }
    return {0xff, 0xff, 0xff}; // the run has no such block
}

std::vector<QColor> qualityBandColours() {
    return {bandColour(ValueBand::Band1), bandColour(ValueBand::Band2), bandColour(ValueBand::Band3),
            bandColour(ValueBand::Band4)};
}

} // namespace kestrana::gui::widgets
