// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Kestrana developers

#pragma once
// The clipboard and picture canvas of the hard copies: "copy the chart picture to the clipboard"
// and "take the picture last copied". The picture travels as a QPixmap; HardCopyPrinter::print takes
// it for the Picture step of a hard copy.
//
//     QPixmap chartPicture = services::ChartClipboard::copyPicture(qualityChart);
//     services::HardCopyPrinter::print(this, script, services::ChartClipboard::picture());

#include <QPixmap>

class QWidget;

namespace kestrana::gui::services {

class ChartClipboard {
public:
    // Grabs the chart's current picture, puts it on the system clipboard and returns it. A chart that
    // was never laid out is grabbed at a readable size (see charts.h).
    static QPixmap copyPicture(QWidget* chart);
    // The picture last copied by copyPicture (kept by the program, so another program's clipboard
    // content never ends up on a hard copy); a null pixmap when nothing was copied yet.
    static QPixmap picture();
    static void reset();
};

} // namespace kestrana::gui::services
