// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Kestrana developers

#pragma once
// Run files handed to the program when it starts, from a terminal or a file manager
// (`kestrana FILE.run...`): one run goes to the analyser, two to four to the comparator, put in their
// run file boxes ready for PROCESS DATA. The main menu stays open behind them, as if the screen had
// been opened from it.

#include <QStringList>

class QWidget;

namespace kestrana::gui::app {

// The run files among the program's arguments (without the program's own name): every argument
// that is not an option, and every argument after "--".
QStringList runFileArguments(const QStringList& arguments);

// Opens the screen that takes `paths` and puts them in its boxes; returns it, or nullptr when there
// is none to open (no file, or more than four, which is said in a message).
QWidget* openRunFiles(const QStringList& paths);

} // namespace kestrana::gui::app
