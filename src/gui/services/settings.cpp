#include "gui/services/settings.h"

#include "gui/services/test_hook.h"
#include "gui/services/test_mode.h"

#include <QSettings>

#include <map>

namespace kestrana::gui::services {

namespace {
std::map<QString, QString>& testSettings() {
    static std::map<QString, QString> stored = [] {
        onServicesReset([] { testSettings().clear(); });
        return std::map<QString, QString>();
    }();
    return stored;
}
} // namespace

QString storedText(const QString& key) {
    if (inTestMode()) {
        const auto found = testSettings().find(key);
        return found != testSettings().end() ? found->second : QString();
    }
    return QSettings().value(key).toString();
}

void storeText(const QString& key, const QString& value) {
    if (inTestMode()) {
        testSettings()[key] = value;
        return;
    }
    QSettings().setValue(key, value);
}

} // namespace kestrana::gui::services
