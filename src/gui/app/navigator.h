// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Kestrana developers

#pragma once
// How the screens reach each other. The main menu opens the working screens through show(); a
// working screen's GO TO MAIN calls goToMain(this). Each screen exists at most once: show() creates
// it (its constructor is its load step) or, when it is open, only brings it forward. Screens are
// top-level windows deleted when closed (Qt::WA_DeleteOnClose), so a screen opened again starts
// from its design texts; values that must outlive a screen are kept outside its widget (the core's
// sessions, and the settings for what the user left in its boxes and its window's place).
//
// The program ends when no screen remains open (Qt quits when its last window closes); the help
// window does not count.

class QWidget;

namespace kestrana::gui::app {

enum class Screen { MainMenu, Analyser, Comparator, PeakAnalyser, TrackHistory };

class Navigator {
public:
    // Shows the screen: creates and shows it when it is not open, else brings it forward.
    static QWidget* show(Screen screen);
    // The open instance of a screen, or nullptr.
    static QWidget* find(Screen screen);
    // GO TO MAIN: shows the main menu (loading it again if it was closed), then closes `screen`.
    static void goToMain(QWidget* screen);
    // Closes every screen and the help window and deletes them at once (for tests and shutdown).
    static void closeAll();
};

} // namespace kestrana::gui::app
