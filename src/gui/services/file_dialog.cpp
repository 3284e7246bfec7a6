#include "gui/services/file_dialog.h"

#include "core/platform/paths.h"
#include "gui/services/test_mode.h"
#include "gui/widgets/qt_text.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QWidget>

#include <deque>
#include <optional>

namespace kestrana::gui::services {

namespace {

// A queued choice: a name, or nullopt for a cancel.
std::deque<std::optional<QString>>& queuedNames() {
    static std::deque<std::optional<QString>> names;
    return names;
}

std::vector<ShownFileDialog>& record() {
    static std::vector<ShownFileDialog> shown;
    return shown;
}

} // namespace

FileDialog::FileDialog(QWidget* parent) : parent_(parent) {}

QString FileDialog::showOpen() {
    show(FileDialogKind::Open);
    return fileName_;
}

QString FileDialog::showSave() {
    return show(FileDialogKind::Save);
}

QString FileDialog::show(FileDialogKind kind) {
    std::optional<QString> choice;
    if (!queuedNames().empty()) {
        choice = queuedNames().front();
        queuedNames().pop_front();
    } else if (!inTestMode()) {
        QString chosen;
        if (kind == FileDialogKind::Open)
            chosen = QFileDialog::getOpenFileName(parent_, QStringLiteral("Open"), startFolder());
        else
            chosen = QFileDialog::getSaveFileName(parent_, QStringLiteral("Save As"), startFolder(),
                                                  QString(), nullptr, QFileDialog::DontConfirmOverwrite);
        if (!chosen.isEmpty())
            choice = QDir::toNativeSeparators(chosen);
    }
    record().push_back({kind, fileName_, choice.value_or(QString()), !choice.has_value()});
    lastCancelled_ = !choice.has_value();
    if (choice)
        fileName_ = *choice;
    return choice.value_or(QString());
}

// The folder of the last chosen file, else the program's home folder.
QString FileDialog::startFolder() const {
    if (!fileName_.isEmpty())
        return QFileInfo(fileName_).absolutePath();
    return widgets::fromPath(kestrana::platform::homeFolder());
}

void FileDialog::setNextFileName(const QString& name) {
    queuedNames().push_back(name);
}

void FileDialog::setNextCancel() {
    queuedNames().push_back(std::nullopt);
}

const std::vector<ShownFileDialog>& FileDialog::shown() {
    return record();
}

void FileDialog::reset() {
    queuedNames().clear();
    record().clear();
}

} // namespace kestrana::gui::services
