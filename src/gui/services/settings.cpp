// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Kestrana developers

#include "gui/services/settings.h"

#include "gui/services/test_hook.h"
#include "gui/services/test_mode.h"

#include <QSettings>

#include <map>

namespace kestrana::gui::services {

namespace {
std::map<QString, QVariant>& testSettings() {
    static std::map<QString, QVariant> stored = [] {
        onServicesReset([] { testSettings().clear(); });
        return std::map<QString, QVariant>();
    }();
    return stored;
}

QString recentFilesKey(const QString& screenName) {
    return screenName + QStringLiteral("/recentFiles");
}
} // namespace

QVariant storedValue(const QString& key) {
    if (inTestMode()) {
        const auto found = testSettings().find(key);
        return found != testSettings().end() ? found->second : QVariant();
    }
    return QSettings().value(key);
}

void storeValue(const QString& key, const QVariant& value) {
    if (inTestMode()) {
        testSettings()[key] = value;
        return;
    }
    QSettings().setValue(key, value);
}

QString storedText(const QString& key) {
    return storedValue(key).toString();
}

void storeText(const QString& key, const QString& value) {
    storeValue(key, value);
}

QStringList recentFiles(const QString& screenName) {
    QStringList files = storedValue(recentFilesKey(screenName)).toStringList();
    files.removeAll(QString());
    files.removeDuplicates();
    return files.mid(0, kRecentFileCount);
}

void addRecentFile(const QString& screenName, const QString& path) {
    if (path.trimmed().isEmpty())
        return;
    QStringList files = recentFiles(screenName);
    files.removeAll(path);
    files.prepend(path);
    storeValue(recentFilesKey(screenName), files.mid(0, kRecentFileCount));
}

} // namespace kestrana::gui::services
