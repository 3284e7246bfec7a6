// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Kestrana developers

#pragma once
// Help: F1 on any screen of the program opens the help window, which shows the program's user guide,
// the bundled HTML document help_ver03 (a Qt resource, so the installed program carries it).
//
//     services::installHelp(this, QStringLiteral("analyser")); // in every screen's constructor
//
// F1 opens the help at the screen's own section (the document's anchor of that name).

#include <QString>

class QTextBrowser;
class QWidget;

namespace kestrana::gui::services {

// The address of the bundled help document.
inline const QString kHelpDocument = QStringLiteral("qrc:/help/help_ver03.html");

// Makes F1 anywhere in the screen's window open the help window at `section`.
void installHelp(QWidget* screen, const QString& section);
// Opens the help window, or brings it forward when it is open, at `section` when one is named;
// returns it.
QWidget* showHelp(const QString& section = {});
// The help window while it is open, else nullptr; and its text browser.
QWidget* helpWindow();
QTextBrowser* helpBrowser();

} // namespace kestrana::gui::services
