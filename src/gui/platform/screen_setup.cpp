#include "gui/platform/screen_setup.h"

#include <QGuiApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>

namespace kestrana::gui::platform {

void fillDisplay(QWidget* screen) {
    screen->setWindowState(screen->windowState() | Qt::WindowMaximized);
    if (const QScreen* display = QGuiApplication::primaryScreen())
        screen->resize(display->availableGeometry().size());
}

void pressOnEnter(QLineEdit* box, QPushButton* button) {
    QObject::connect(box, &QLineEdit::returnPressed, button, [button] {
        if (button->isEnabled())
            button->click();
    });
}

} // namespace kestrana::gui::platform
