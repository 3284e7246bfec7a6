// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Kestrana developers

#include "gui/widgets/title_band.h"

#include "core/analyser/screen_state.h"
#include "gui/widgets/fonts.h"

namespace kestrana::gui::widgets {

TitleBand::TitleBand(const QString& title, StartPosition start, QWidget* parent)
    : QLabel(parent), title_(new QLabel(title, this)), start_(std::move(start)) {
    setObjectName(QStringLiteral("titleBand"));
    title_->setObjectName(QStringLiteral("titleLabel"));
    setTextFormat(Qt::PlainText);
    title_->setTextFormat(Qt::PlainText);
}

void TitleBand::scroll() {
    const int bandTwips = width() * kTwipsPerPixel;
    const int titleTwips = title_->width() * kTwipsPerPixel;
    if (!titlePlaced_) {
        titleLeftTwips_ = start_(bandTwips, titleTwips);
        titlePlaced_ = true;
    }
    titleLeftTwips_ = kestrana::analyser::scrolledTitleLeft(titleLeftTwips_, titleTwips, 0, bandTwips);
    placeTitle();
}

void TitleBand::resizeEvent(QResizeEvent* event) {
    QLabel::resizeEvent(event);
    if (titlePlaced_)
        placeTitle();
}

void TitleBand::placeTitle() {
    const QPoint at(titleLeftTwips_ / kTwipsPerPixel, (height() - title_->height()) / 2);
    // Two ticks of three leave the title where it is; those cost nothing.
    if (title_->pos() != at)
        title_->move(at);
}

TitleBand* makeHeadingBand(QWidget* screen, const QString& title, TitleBand::StartPosition start) {
    auto* band = new TitleBand(title, std::move(start), screen);
    band->title()->setFont(designFont(QStringLiteral("Arial Black"), 13));
    band->title()->adjustSize();
    band->setFixedHeight(band->title()->height() + 8);
    return band;
}

QLabel* makeCreditLine(QWidget* screen) {
    auto* credit = new QLabel(screen);
    credit->setObjectName(QStringLiteral("creditLabel"));
    credit->setTextFormat(Qt::PlainText);
    QFont italic = credit->font();
    italic.setItalic(true);
    credit->setFont(italic);
    return credit;
}

} // namespace kestrana::gui::widgets
