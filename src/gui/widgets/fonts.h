// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Kestrana developers

#pragma once
// The fonts of the screen designs ("Arial Black", "MS Serif", "MS Sans Serif", "Palatino Linotype",
// "Bookman Old Style", "Arial") by their design names. Where the system lacks a face, the closest
// installed substitute of the same kind is used (a heavy sans for Arial Black, a Palatino-like serif
// for Palatino Linotype, ...), and the generic family of that kind when none of them is there.
//
//     quitButton->setFont(widgets::designFont("Arial Black", 14));

#include <QFont>
#include <QString>
#include <QStringList>

namespace kestrana::gui::widgets {

// Asks for the design face first, then its substitutes.
QFont designFont(const QString& designFamily, double pointSize, bool bold = false);

} // namespace kestrana::gui::widgets
