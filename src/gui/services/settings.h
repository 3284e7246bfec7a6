// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Kestrana developers

#pragma once
// Settings that last from one start of the program to the next, kept where the platform keeps a
// program's settings (QSettings). In test mode they live in memory only and are forgotten before each
// test, so that no test reads or writes the user's own settings.

#include <QString>
#include <QStringList>
#include <QVariant>

namespace kestrana::gui::services {

// The value stored under `key`, or an invalid QVariant when nothing is.
QVariant storedValue(const QString& key);
void storeValue(const QString& key, const QVariant& value);

// The text stored under `key`, or an empty text when nothing is.
QString storedText(const QString& key);
void storeText(const QString& key, const QString& value);

// The run files a screen opened last, newest first, at most kRecentFileCount of them.
inline constexpr int kRecentFileCount = 8;
QStringList recentFiles(const QString& screenName);
// Puts `path` first in the screen's recent files (once only), dropping the oldest beyond the count.
void addRecentFile(const QString& screenName, const QString& path);

} // namespace kestrana::gui::services
