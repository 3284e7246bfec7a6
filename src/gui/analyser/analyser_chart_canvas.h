// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Kestrana developers

#pragma once
// The canvas `AnalyserChartCanvas`: a hidden window whose picture box `pictureBox` holds the chart picture on
// its way from the clipboard to the printer during PRINT GRAPH; the analyser unloads it after printing.
//
// The picture box has the size the printed page leaves for the chart between its top at 1000 twips
// and the page's text block at 7400 twips, so a chart grabbed from a large display is scaled down to
// fit there instead of running into the figures printed under it.

#include "gui/widgets/picture_canvas.h"

namespace kestrana::gui::analyser {

class AnalyserChartCanvas : public widgets::PictureCanvas {
    Q_OBJECT
public:
    // The largest picture the page takes, in screen pixels (15 twips each): 8400 x 6300 twips.
    static constexpr int kPictureWidth = 560;
    static constexpr int kPictureHeight = 420;

    explicit AnalyserChartCanvas(QWidget* parent = nullptr)
        : PictureCanvas(QStringLiteral("AnalyserChartCanvas"), QSize(kPictureWidth, kPictureHeight), parent) {
    }
};

} // namespace kestrana::gui::analyser
