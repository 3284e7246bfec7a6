// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Kestrana developers

#pragma once
// A canvas: a hidden window whose picture box `pictureBox` holds a chart's picture on its way from the
// clipboard to the printer during PRINT GRAPH; the screen unloads it after printing. Each screen's
// canvas (AnalyserChartCanvas, ComparisonChartCanvas) names itself and gives its picture box the size its
// printed page leaves for the chart, so that a chart grabbed from a large display is scaled down to fit there
// instead of running into the text printed beside it.

#include <QPixmap>
#include <QSize>
#include <QWidget>

class QLabel;

namespace kestrana::gui::widgets {

class PictureCanvas : public QWidget {
    Q_OBJECT
public:
    // Takes the picture into pictureBox, scaled down (never up) to fit the picture box.
    void takePicture(const QPixmap& picture);
    QPixmap picture() const { return picture_; }

    QLabel* pictureBox = nullptr;

protected:
    // `name` is the canvas's object name; `boxSize` the picture box's size in screen pixels.
    PictureCanvas(const QString& name, QSize boxSize, QWidget* parent);

private:
    QSize boxSize_;
    QPixmap picture_;
};

} // namespace kestrana::gui::widgets
