// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Kestrana developers

#pragma once
// Helpers for the screen tests. The GUI test program (gui_test_main.cpp) already:
//   - runs on the offscreen platform with one QApplication;
//   - switches the services to test mode (no real dialog, printer or display switch);
//   - gives the whole run a private KESTRANA_HOME and KESTRANA_PRINT_TO, and sets both back to
//     those before every test;
//   - before every test forgets all queued answers and records of the services and the main
//     menu's kept state; after every test closes and deletes every screen and the help window.

#include <QApplication>
#include <QByteArray>
#include <QTest>
#include <QWidget>

#include <optional>
#include <string>

namespace kestrana::test {

// Sets an environment variable for the life of the object, then puts the old value back.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const std::string& value) : name_(name) {
        if (qEnvironmentVariableIsSet(name))
            old_ = qgetenv(name);
        qputenv(name, QByteArray::fromStdString(value));
    }
    ~ScopedEnv() {
        if (old_)
            qputenv(name_, *old_);
        else
            qunsetenv(name_);
    }
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

private:
    const char* name_;
    std::optional<QByteArray> old_;
};

// Shows a window and makes it the active one, so its keyboard shortcuts (F1) work.
inline bool showActive(QWidget* window) {
    window->show();
    window->activateWindow();
    QApplication::setActiveWindow(window);
    return QTest::qWaitForWindowActive(window);
}

// The open top-level windows of a class, by object name ("AnalyserScreen", "MainMenu", ...).
inline int openWindowsNamed(const QString& objectName) {
    int count = 0;
    for (QWidget* window : QApplication::topLevelWidgets())
        if (window->objectName() == objectName && window->isVisible())
            ++count;
    return count;
}

} // namespace kestrana::test
