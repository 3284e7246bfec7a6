// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Kestrana developers

#pragma once
// The colours of the quality bands, the one table every screen draws them from: the analyser's
// quality chart, the track history's condition map and its legend. A band means the same colour
// everywhere: red for the worst (1 to 35), amber, yellow-green, green for the best (81 and above).

#include <QColor>

#include <cstdint>
#include <vector>

namespace kestrana::history {
enum class ValueBand : std::uint8_t;
}

namespace kestrana::gui::widgets {

// The colour of a band of the condition map (and its legend): the four quality bands, grey for not
// recorded, purple for a value below 0, white where the run has no such block.
QColor bandColour(kestrana::history::ValueBand band);

// The four quality bands' colours, worst first: the bars of the analyser's quality chart in order.
std::vector<QColor> qualityBandColours();

} // namespace kestrana::gui::widgets
