// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Kestrana developers

#pragma once
// What a screen remembers from one opening to the next, and from one start of the program to the
// next: its window's size and place, and what the user last put in the boxes and choices named
// (run files, thresholds, limits, the index ...). It is kept in the settings (settings.h) under the
// screen's object name and the control's, "AnalyserScreen/runFileEdit".
//
//     services::rememberScreen(this, {runFileEdit, lowTgiEdit}, {indexCombo});
//
// Call it once the screen is built and has taken its opening size: what was kept replaces the design
// texts and size at once, and everything is kept again whenever the screen closes.

#include <QString>

#include <vector>

class QComboBox;
class QLineEdit;
class QToolButton;
class QWidget;

namespace kestrana::gui::services {

void rememberScreen(QWidget* screen, const std::vector<QLineEdit*>& boxes,
                    const std::vector<QComboBox*>& choices = {});

// A button beside a run-file box whose menu offers the screen's recent run files (settings.h), newest
// first; picking one puts it in the box. The list is read each time the menu opens, so a file
// processed a moment ago is there.
QToolButton* makeRecentFilesButton(QWidget* screen, QLineEdit* box, const QString& name);

} // namespace kestrana::gui::services
