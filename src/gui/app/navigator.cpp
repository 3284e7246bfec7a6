// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Kestrana developers

#include "gui/app/navigator.h"

#include "gui/analyser/analyser_screen.h"
#include "gui/app/main_menu.h"
#include "gui/comparator/comparator_screen.h"
#include "gui/history/history_screen.h"
#include "gui/peaks/peak_screen.h"
#include "gui/services/help.h"

#include <QCoreApplication>
#include <QEvent>
#include <QPointer>
#include <QWidget>

#include <array>

namespace kestrana::gui::app {

namespace {

std::array<QPointer<QWidget>, 5>& openScreens() {
    static std::array<QPointer<QWidget>, 5> screens;
    return screens;
}

QPointer<QWidget>& slotOf(Screen screen) {
    return openScreens()[static_cast<std::size_t>(screen)];
}

QWidget* create(Screen screen) {
    switch (screen) {
    case Screen::MainMenu:
        return new MainMenu;
    case Screen::Analyser:
        return new analyser::AnalyserScreen;
    case Screen::Comparator:
        return new comparator::ComparatorScreen;
    case Screen::PeakAnalyser:
        return new peaks::PeakScreen;
    case Screen::TrackHistory:
        return new history::HistoryScreen;
    }
    return nullptr;
}

void bringForward(QWidget* window) {
    window->setWindowState(window->windowState() & ~Qt::WindowMinimized);
    window->show();
    window->raise();
    window->activateWindow();
}

} // namespace

// Screens are never hidden except by closing, so a hidden one is on its way out (its deletion is
// only queued) and counts as gone.
QWidget* Navigator::find(Screen screen) {
    QWidget* open = slotOf(screen);
    return open != nullptr && !open->isHidden() ? open : nullptr;
}

QWidget* Navigator::show(Screen screen) {
    QPointer<QWidget>& slot = slotOf(screen);
    if (find(screen) == nullptr) {
        QWidget* created = create(screen);
        created->setAttribute(Qt::WA_DeleteOnClose);
        slot = created;
    }
    bringForward(slot);
    return slot;
}

void Navigator::goToMain(QWidget* screen) {
    show(Screen::MainMenu);
    if (screen != nullptr)
        screen->close();
}

void Navigator::closeAll() {
    for (QPointer<QWidget>& screen : openScreens())
        if (!screen.isNull())
            screen->close();
    if (QWidget* help = services::helpWindow())
        help->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

} // namespace kestrana::gui::app
