// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Kestrana developers

#include "gui/services/chart_clipboard.h"

#include "gui/services/test_hook.h"
#include "gui/widgets/charts.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QWidget>

namespace kestrana::gui::services {

namespace {

QPixmap& lastPicture() {
    // Made on first use, when it also asks resetServices() to forget it.
    static QPixmap picture = [] {
        onServicesReset([] { lastPicture() = QPixmap(); });
        return QPixmap();
    }();
    return picture;
}

} // namespace

QPixmap ChartClipboard::copyPicture(QWidget* chart) {
    QPixmap picture;
    if (auto* bars = qobject_cast<widgets::BarChart*>(chart))
        picture = bars->picture();
    else if (auto* lines = qobject_cast<widgets::LineChart*>(chart))
        picture = lines->picture();
    else if (chart != nullptr)
        picture = chart->grab();
    lastPicture() = picture;
    if (!picture.isNull())
        if (QClipboard* clipboard = QGuiApplication::clipboard())
            clipboard->setPixmap(picture);
    return picture;
}

QPixmap ChartClipboard::picture() {
    return lastPicture();
}

void ChartClipboard::reset() {
    lastPicture() = QPixmap();
}

} // namespace kestrana::gui::services
