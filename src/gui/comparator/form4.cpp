#include "gui/comparator/form4.h"

#include <QLabel>

namespace kestrana::gui::comparator {

Form4::Form4(QWidget* parent) : QWidget(parent, Qt::Window) {
    setObjectName(QStringLiteral("Form4"));
    setAttribute(Qt::WA_DontShowOnScreen);
    Picture1 = new QLabel(this);
    Picture1->setObjectName(QStringLiteral("Picture1"));
    Picture1->resize(kPictureWidth, kPictureHeight);
}

void Form4::takePicture(const QPixmap& picture) {
    picture_ = picture;
    const qreal ratio = picture_.isNull() ? 1.0 : picture_.devicePixelRatio();
    const QSize box = QSize(kPictureWidth, kPictureHeight) * ratio;
    if (!picture_.isNull() && (picture_.width() > box.width() || picture_.height() > box.height())) {
        picture_ = picture_.scaled(box, Qt::KeepAspectRatio, Qt::SmoothTransformation);
        picture_.setDevicePixelRatio(ratio);
    }
    Picture1->setPixmap(picture_);
}

} // namespace kestrana::gui::comparator
