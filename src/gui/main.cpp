// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Kestrana developers

// The kestrana program: prepares its home folder, then starts on its main menu, with the screen that
// takes the run files named on its command line in front.
#include "gui/app/files_in.h"
#include "gui/app/first_start.h"
#include "gui/app/navigator.h"
#include "gui/services/message_box.h"
#include "gui/widgets/qt_text.h"

#include <QApplication>
#include <QIcon>
#include <QPainter>
#include <QPixmap>
#include <QSvgRenderer>

#include <csignal>
#include <cstring>
#include <iostream>

using namespace kestrana::gui;

namespace {

// The program's icon, drawn from its SVG at the sizes window managers and task bars ask for (the
// same drawing is installed into the icon theme for the desktop entry).
QIcon programIcon() {
    QSvgRenderer drawing(QStringLiteral(":/icons/kestrana.svg"));
    QIcon icon;
    for (int size : {16, 24, 32, 48, 64, 128, 256}) {
        QPixmap picture(size, size);
        picture.fill(Qt::transparent);
        QPainter painter(&picture);
        drawing.render(&painter);
        painter.end();
        icon.addPixmap(picture);
    }
    return icon;
}

const char* const kProgramHelp =
    "usage: kestrana [QT-OPTIONS] [FILE.run...]\n"
    "       kestrana --help | --version\n"
    "\n"
    "Kestrana is a desktop program for railway track engineers: it reads the run\n"
    "files a track recording car leaves and adds selection, aggregation, comparison\n"
    "and presentation. Its main menu opens four screens: the index analyser, the run\n"
    "comparator, the peak analyser and the track history. F1 on a screen opens the\n"
    "user guide. kestrana-cli runs the same operations without a window.\n"
    "\n"
    "One run file named opens the index analyser with it; two to four open the\n"
    "run comparator with them (the first as the current run).\n"
    "\n"
    "options:\n"
    "  -h, --help    Prints this help and exits.\n"
    "  --version     Prints the version and exits.\n"
    "\n"
    "The standard options of Qt programs are taken too, such as -platform NAME for\n"
    "the window system plug-in or -style NAME for the widget style.\n"
    "\n"
    "environment:\n"
    "  KESTRANA_HOME      the home folder (default ~/Kestrana)\n"
    "  KESTRANA_PRINT_TO  a folder: hard copies become PDF files there\n";

// What the command line asks for before any window: help or the version (answered on the terminal,
// so that they work without a display), or the program itself. Words after "--" are never options.
enum class Request { Program, Help, Version };

Request requestOf(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--") == 0) {
            break;
        }
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            return Request::Help;
        }
        if (std::strcmp(argv[i], "--version") == 0) {
            return Request::Version;
        }
    }
    return Request::Program;
}

} // namespace

int main(int argc, char** argv) {
    if (const Request request = requestOf(argc, argv); request != Request::Program) {
        std::cout << (request == Request::Help ? kProgramHelp : "kestrana " KESTRANA_VERSION "\n");
        return std::cout.flush() ? 0 : 1;
    }
    // Beyond a file-size limit (ulimit -f) a save then fails with "File too large" and says so, instead
    // of the program being killed in the middle of writing.
    std::signal(SIGXFSZ, SIG_IGN);
    QApplication application(argc, argv);
    QApplication::setApplicationName(services::kApplicationTitle);
    // Where the settings that last between starts are kept (~/.config/Kestrana/Kestrana.conf).
    QApplication::setOrganizationName(services::kApplicationTitle);
    QApplication::setApplicationVersion(QStringLiteral(KESTRANA_VERSION));
    QApplication::setDesktopFileName(QStringLiteral("org.kestrana.Kestrana"));
    QApplication::setWindowIcon(programIcon());

    // The display question and a first-start message come before any screen is shown; closing them
    // must not count as closing the program's last window.
    QApplication::setQuitOnLastWindowClosed(false);
    const app::FirstStartResult prepared = app::prepareHomeFolder();
    if (!prepared.error.empty())
        services::MessageBox::information(
            nullptr, QCoreApplication::translate("main", "The sample runs could not all be installed: ") +
                         widgets::fromCore(prepared.error));
    app::Navigator::show(app::Screen::MainMenu);
    // Run files named on the command line (or by a file manager) open on the screen that takes them.
    app::openRunFiles(app::runFileArguments(QApplication::arguments().mid(1)));
    QApplication::setQuitOnLastWindowClosed(true);
    return application.exec();
}
