// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Kestrana developers

#pragma once
// The title band at the top of a working screen: a band with the screen's title moving through it
// from right to left, 5 twips a tick, coming back in at the band's right end once it has left at the
// left edge. Positions are kept in twips as the design gives them (kTwipsPerPixel to a pixel), so the
// title moves one whole pixel every third tick.

#include <QLabel>

#include <functional>

namespace kestrana::gui::widgets {

// Twips per screen pixel: the designs give positions and sizes in twips, 1440 to an inch.
inline constexpr int kTwipsPerPixel = 15;

// The pace of the title band's timer (a 5-twip step a tick) and of the credit line's.
inline constexpr int kTitleIntervalMs = 10;
inline constexpr int kCreditIntervalMs = 200;

class TitleBand : public QLabel {
    Q_OBJECT
public:
    // Where the title's left edge starts, in twips, from the band's and the title's widths in twips.
    using StartPosition = std::function<int(int bandTwips, int titleTwips)>;

    // The band is named titleBand and its title titleLabel, on every screen.
    TitleBand(const QString& title, StartPosition start, QWidget* parent);

    // The title moving through the band.
    QLabel* title() const { return title_; }
    // One tick of the title's timer: places the title on the first tick, then moves it 5 twips left.
    void scroll();
    // The title's left edge inside the band, in twips.
    int titleLeftTwips() const { return titleLeftTwips_; }

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void placeTitle();

    QLabel* title_ = nullptr;
    StartPosition start_;
    int titleLeftTwips_ = 0;
    bool titlePlaced_ = false;
};

// The band of the analyser and the comparator: the title in Arial Black, the band 4 pixels higher
// and lower than the title.
TitleBand* makeHeadingBand(QWidget* screen, const QString& title, TitleBand::StartPosition start);

// The credit line under a screen's title band, in italics, named creditLabel.
QLabel* makeCreditLine(QWidget* screen);

} // namespace kestrana::gui::widgets
