#include "gui/platform/canvas.h"

#include <QLabel>

namespace kestrana::gui::platform {

PictureCanvas::PictureCanvas(const QString& name, QSize pictureBox, QWidget* parent)
    : QWidget(parent, Qt::Window), pictureBox_(pictureBox) {
    setObjectName(name);
    setAttribute(Qt::WA_DontShowOnScreen);
    Picture1 = new QLabel(this);
    Picture1->setObjectName(QStringLiteral("Picture1"));
    Picture1->resize(pictureBox_);
}

void PictureCanvas::takePicture(const QPixmap& picture) {
    picture_ = picture;
    const qreal ratio = picture_.isNull() ? 1.0 : picture_.devicePixelRatio();
    const QSize box = pictureBox_ * ratio;
    if (!picture_.isNull() && (picture_.width() > box.width() || picture_.height() > box.height())) {
        picture_ = picture_.scaled(box, Qt::KeepAspectRatio, Qt::SmoothTransformation);
        picture_.setDevicePixelRatio(ratio);
    }
    Picture1->setPixmap(picture_);
}

} // namespace kestrana::gui::platform
