#include "gui/widgets/screen_setup.h"

#include <QGuiApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QTimer>

namespace kestrana::gui::widgets {

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

QTimer* designTimer(QObject* owner, const char* name, int intervalMs) {
    auto* timer = new QTimer(owner);
    timer->setObjectName(QString::fromLatin1(name));
    timer->setInterval(intervalMs);
    return timer;
}

} // namespace kestrana::gui::widgets
