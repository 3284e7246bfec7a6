// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Kestrana developers

#include "gui/widgets/picture_canvas.h"

#include <QLabel>

namespace kestrana::gui::widgets {

PictureCanvas::PictureCanvas(const QString& name, QSize boxSize, QWidget* parent)
    : QWidget(parent, Qt::Window), boxSize_(boxSize) {
    setObjectName(name);
    setAttribute(Qt::WA_DontShowOnScreen);
    pictureBox = new QLabel(this);
    pictureBox->setObjectName(QStringLiteral("pictureBox"));
    pictureBox->resize(boxSize_);
}

void PictureCanvas::takePicture(const QPixmap& picture) {
    picture_ = picture;
    const qreal ratio = picture_.isNull() ? 1.0 : picture_.devicePixelRatio();
    const QSize box = boxSize_ * ratio;
    if (!picture_.isNull() && (picture_.width() > box.width() || picture_.height() > box.height())) {
        picture_ = picture_.scaled(box, Qt::KeepAspectRatio, Qt::SmoothTransformation);
        picture_.setDevicePixelRatio(ratio);
    }
    pictureBox->setPixmap(picture_);
}

} // namespace kestrana::gui::widgets
