// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Kestrana developers

#include "gui/services/help.h"

#include "gui/services/message_box.h"
#include "gui/widgets/screen_setup.h"

#include <QCoreApplication>
#include <QPointer>
#include <QShortcut>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>
#include <QWidget>

// The resource lives in this static library; it must be registered by hand before first use.
static void registerHelpResource() {
    Q_INIT_RESOURCE(help);
}

namespace kestrana::gui::services {

namespace {

QPointer<QWidget>& window() {
    static QPointer<QWidget> help;
    return help;
}

QWidget* createHelpWindow() {
    registerHelpResource();
    auto* help = new QWidget(nullptr, Qt::Window);
    help->setObjectName(QStringLiteral("helpWindow"));
    help->setAttribute(Qt::WA_DeleteOnClose);
    // The help window never keeps the program running once its last screen is closed.
    help->setAttribute(Qt::WA_QuitOnClose, false);
    help->setWindowTitle(widgets::windowTitle(QCoreApplication::translate("Help", "Help")));
    auto* browser = new QTextBrowser(help);
    browser->setObjectName(QStringLiteral("helpBrowser"));
    browser->setOpenExternalLinks(true);
    browser->setSource(QUrl(kHelpDocument));
    auto* layout = new QVBoxLayout(help);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(browser);
    help->resize(760, 640);
    return help;
}

} // namespace

void installHelp(QWidget* screen, const QString& section) {
    auto* f1 = new QShortcut(QKeySequence(Qt::Key_F1), screen);
    f1->setContext(Qt::WindowShortcut);
    QObject::connect(f1, &QShortcut::activated, [section] { showHelp(section); });
}

QWidget* showHelp(const QString& section) {
    if (window().isNull())
        window() = createHelpWindow();
    QWidget* help = window();
    help->setWindowState(help->windowState() & ~Qt::WindowMinimized);
    help->show();
    help->raise();
    help->activateWindow();
    // After show(), so that the document is laid out and the anchor has a place to scroll to.
    if (!section.isEmpty())
        helpBrowser()->scrollToAnchor(section);
    return help;
}

QWidget* helpWindow() {
    return window();
}

QTextBrowser* helpBrowser() {
    return window().isNull() ? nullptr : window()->findChild<QTextBrowser*>(QStringLiteral("helpBrowser"));
}

} // namespace kestrana::gui::services
