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

QStringList FileDialog::showOpenMany() {
    const QString names = show(FileDialogKind::OpenMany);
    return names.isEmpty() ? QStringList() : names.split(QLatin1Char('\n'));
}

QString FileDialog::showFolder() {
    return show(FileDialogKind::Folder);
}

QString FileDialog::show(FileDialogKind kind) {
    std::optional<QString> choice;
    if (!queuedNames().empty()) {
        choice = queuedNames().front();
        queuedNames().pop_front();
    } else if (!inTestMode()) {
        QString chosen;
        if (kind == FileDialogKind::Open) {
            chosen = QFileDialog::getOpenFileName(parent_, QStringLiteral("Open"), startFolder());
        } else if (kind == FileDialogKind::OpenMany) {
            QStringList names = QFileDialog::getOpenFileNames(parent_, QStringLiteral("Open"), startFolder());
            for (QString& name : names)
                name = QDir::toNativeSeparators(name);
            chosen = names.join(QLatin1Char('\n'));
        } else if (kind == FileDialogKind::Folder) {
            chosen =
                QFileDialog::getExistingDirectory(parent_, QStringLiteral("Choose a folder"), startFolder());
        } else {
            chosen = QFileDialog::getSaveFileName(parent_, QStringLiteral("Save As"), startFolder(),
                                                  QString(), nullptr, QFileDialog::DontConfirmOverwrite);
        }
        if (!chosen.isEmpty())
            choice = kind == FileDialogKind::OpenMany ? chosen : QDir::toNativeSeparators(chosen);
    }
    record().push_back({kind, fileName_, choice.value_or(QString()), !choice.has_value()});
    lastCancelled_ = !choice.has_value();
    if (choice)
        fileName_ = kind == FileDialogKind::OpenMany ? choice->section(QLatin1Char('\n'), 0, 0) : *choice;
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

// Several names are kept as one choice, one name per line, as the multi-file dialog gives them.
void FileDialog::setNextFileNames(const QStringList& names) {
    queuedNames().push_back(names.join(QLatin1Char('\n')));
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
