#include "gui/analyser/form3.h"

#include <QLabel>

namespace kestrana::gui::analyser {

Form3::Form3(QWidget* parent) : QWidget(parent, Qt::Window) {
    setObjectName(QStringLiteral("Form3"));
    setAttribute(Qt::WA_DontShowOnScreen);
    Picture1 = new QLabel(this);
    Picture1->setObjectName(QStringLiteral("Picture1"));
    Picture1->resize(kPictureWidth, kPictureHeight);
}

void Form3::takePicture(const QPixmap& picture) {
    picture_ = picture;
    if (!picture_.isNull() && (picture_.width() > kPictureWidth * picture_.devicePixelRatio() ||
                               picture_.height() > kPictureHeight * picture_.devicePixelRatio())) {
        const qreal ratio = picture_.devicePixelRatio();
        picture_ = picture_.scaled(QSize(kPictureWidth, kPictureHeight) * ratio, Qt::KeepAspectRatio,
                                   Qt::SmoothTransformation);
        picture_.setDevicePixelRatio(ratio);
    }
    Picture1->setPixmap(picture_);
}

} // namespace kestrana::gui::analyser
