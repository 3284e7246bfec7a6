// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Kestrana developers

#pragma once
// The canvas `ComparisonChartCanvas`: a hidden window whose picture box `pictureBox` holds the comparison
// chart's picture on its way from the clipboard to the printer during PRINT GRAPH; it is unloaded after
// printing.
//
// The graph page is printed across the paper. Its picture starts at 1850 twips from the top and the
// page's heading starts at 6000 twips, so the picture box is as tall as the space between them and as
// wide as the page across: a chart grabbed from a large display is scaled down to fit there (never up)
// instead of running into the heading printed under it.

#include "gui/widgets/picture_canvas.h"

namespace kestrana::gui::comparator {

class ComparisonChartCanvas : public widgets::PictureCanvas {
    Q_OBJECT
public:
    // The largest picture the page takes, in screen pixels (15 twips each): 14550 x 4050 twips.
    static constexpr int kPictureWidth = 970;
    static constexpr int kPictureHeight = 270;

    explicit ComparisonChartCanvas(QWidget* parent = nullptr)
        : PictureCanvas(QStringLiteral("ComparisonChartCanvas"), QSize(kPictureWidth, kPictureHeight),
                        parent) {}
};

} // namespace kestrana::gui::comparator
