// The kestrana program: prepares its home folder, then starts on its main menu.
#include "gui/app/first_start.h"
#include "gui/app/navigator.h"
#include "gui/services/message_box.h"
#include "gui/widgets/qt_text.h"

#include <QApplication>

using namespace kestrana::gui;

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    QApplication::setApplicationName(services::kApplicationTitle);
    QApplication::setApplicationVersion(QStringLiteral(KESTRANA_VERSION));

    // The display question and a first-start message come before any screen is shown; closing them
    // must not count as closing the program's last window.
    QApplication::setQuitOnLastWindowClosed(false);
    const app::FirstStartResult prepared = app::prepareHomeFolder();
    if (!prepared.error.empty())
        services::MessageBox::information(nullptr,
                                          QStringLiteral("The sample runs could not all be installed: ") +
                                              widgets::fromCore(prepared.error));
    app::Navigator::show(app::Screen::MainMenu);
    QApplication::setQuitOnLastWindowClosed(true);
    return application.exec();
}
