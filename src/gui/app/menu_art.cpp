// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Kestrana developers

#include "gui/app/menu_art.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

#include <cmath>

namespace kestrana::gui::app {

QPixmap trackPicture(QSize size) {
    QPixmap picture(size);
    const double w = size.width();
    const double h = size.height();
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);

    const double horizon = h * 0.42;
    QLinearGradient sky(0, 0, 0, horizon);
    sky.setColorAt(0, QColor(0x8f, 0xb8, 0xe6));
    sky.setColorAt(1, QColor(0xe6, 0xef, 0xf8));
    painter.fillRect(QRectF(0, 0, w, horizon), sky);
    QLinearGradient ground(0, horizon, 0, h);
    ground.setColorAt(0, QColor(0x9a, 0xa6, 0x7c));
    ground.setColorAt(1, QColor(0x5d, 0x6b, 0x45));
    painter.fillRect(QRectF(0, horizon, w, h - horizon), ground);

    // Ballast bed and track in one-point perspective towards the vanishing point.
    const QPointF vanish(w * 0.5, horizon);
    const double gaugeNear = w * 0.46;
    auto railX = [&](double side, double t) { return vanish.x() + side * gaugeNear * 0.5 * t; };
    auto depthY = [&](double t) { return horizon + (h - horizon) * t; };
    QPainterPath ballast;
    ballast.moveTo(vanish.x() - 4, horizon);
    ballast.lineTo(vanish.x() + 4, horizon);
    ballast.lineTo(vanish.x() + gaugeNear * 0.85, h);
    ballast.lineTo(vanish.x() - gaugeNear * 0.85, h);
    ballast.closeSubpath();
    painter.fillPath(ballast, QColor(0x8a, 0x82, 0x78));

    // Sleepers: equal steps along the track come closer together with distance.
    painter.setPen(Qt::NoPen);
    for (int i = 1; i <= 24; ++i) {
        const double t = std::pow(i / 24.0, 1.9);
        const double y = depthY(t);
        const double half = gaugeNear * 0.68 * t;
        const double thick = std::max(1.0, 9.0 * t);
        painter.setBrush(QColor(0x5a, 0x3e, 0x2b));
        painter.drawRect(QRectF(vanish.x() - half, y - thick / 2, 2 * half, thick));
    }
    QPen rail(QColor(0x3b, 0x3f, 0x46), 4.0);
    rail.setCapStyle(Qt::FlatCap);
    painter.setPen(rail);
    painter.drawLine(vanish, QPointF(railX(-1, 1), h));
    painter.drawLine(vanish, QPointF(railX(1, 1), h));
    QPen shine(QColor(0xd8, 0xdc, 0xe2), 1.2);
    painter.setPen(shine);
    painter.drawLine(vanish, QPointF(railX(-1, 1) + 1.5, h));
    painter.drawLine(vanish, QPointF(railX(1, 1) + 1.5, h));

    // A recorded geometry trace across the sky, with the band limits of a quality chart.
    const QRectF trace(w * 0.05, h * 0.06, w * 0.9, horizon * 0.62);
    painter.setPen(QPen(QColor(255, 255, 255, 150), 1.0, Qt::DashLine));
    for (int band = 1; band <= 3; ++band) {
        const double y = trace.top() + trace.height() * band / 4.0;
        painter.drawLine(QPointF(trace.left(), y), QPointF(trace.right(), y));
    }
    QPainterPath signal;
    for (int i = 0; i <= 200; ++i) {
        const double x = trace.left() + trace.width() * i / 200.0;
        const double v =
            0.5 + 0.28 * std::sin(i * 0.19) + 0.12 * std::sin(i * 0.71 + 1.3) + 0.06 * std::sin(i * 2.3);
        const QPointF point(x, trace.top() + trace.height() * (1.0 - v));
        if (i == 0)
            signal.moveTo(point);
        else
            signal.lineTo(point);
    }
    painter.setPen(QPen(QColor(0xc6, 0x28, 0x28), 2.0));
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(signal);

    painter.setPen(QPen(QColor(0x1d, 0x3f, 0x6e), 2.0));
    painter.drawRect(QRectF(1, 1, w - 2, h - 2));
    return picture;
}

} // namespace kestrana::gui::app
