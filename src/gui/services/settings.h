#pragma once
// Settings that last from one start of the program to the next, kept where the platform keeps a
// program's settings (QSettings). In test mode they live in memory only and are forgotten before each
// test, so that no test reads or writes the user's own settings.

#include <QString>

namespace kestrana::gui::services {

// The text stored under `key`, or an empty text when nothing is.
QString storedText(const QString& key);
void storeText(const QString& key, const QString& value);

} // namespace kestrana::gui::services
