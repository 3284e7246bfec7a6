// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Kestrana developers

#include "gui/services/file_dialog.h"

#include "core/common/paths.h"
#include "gui/services/settings.h"
#include "gui/services/test_hook.h"
#include "gui/services/test_mode.h"
#include "gui/widgets/qt_text.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QWidget>

#include <optional>

namespace kestrana::gui::services {

namespace {

// A queued choice is a name, or nullopt for a cancel.
TestHook<std::optional<QString>, ShownFileDialog>& hook() {
    static TestHook<std::optional<QString>, ShownFileDialog> dialogs;
    return dialogs;
}

// Where a screen's dialog keeps the name chosen last, so it opens there again next time; empty for a
// dialog of no named screen, which keeps nothing.
QString lastChosenKey(const QWidget* screen) {
    if (screen == nullptr || screen->objectName().isEmpty())
        return {};
    return screen->objectName() + QStringLiteral("/lastChosenFile");
}

} // namespace

FileDialog::FileDialog(QWidget* parent) : parent_(parent) {}

QString FileDialog::showOpen(const QString& currentPath, const QString& filter) {
    return show(FileDialogKind::Open, currentPath, filter);
}

QString FileDialog::showSave(const QString& currentPath, const QString& filter) {
    return show(FileDialogKind::Save, currentPath, filter);
}

QString FileDialog::showSaveAs(const QString& suggestedName, const QString& filter) {
    return show(FileDialogKind::Save, QString(), filter, suggestedName);
}

QStringList FileDialog::showOpenMany(const QString& currentPath) {
    const QString names = show(FileDialogKind::OpenMany, currentPath, kRunFileFilter);
    return names.isEmpty() ? QStringList() : names.split(QLatin1Char('\n'));
}

QString FileDialog::showFolder(const QString& currentPath) {
    return show(FileDialogKind::Folder, currentPath, QString());
}

QString FileDialog::show(FileDialogKind kind, const QString& currentPath, const QString& filter,
                         const QString& suggestedName) {
    const QString folder = startFolder(currentPath);
    const QString shownFilter = QCoreApplication::translate("FileDialog", filter.toUtf8().constData());
    std::optional<QString> choice;
    if (std::optional<std::optional<QString>> queued = hook().takeNext()) {
        choice = *queued;
    } else if (!inTestMode()) {
        QString chosen;
        if (kind == FileDialogKind::Open) {
            chosen = QFileDialog::getOpenFileName(parent_, QCoreApplication::translate("FileDialog", "Open"),
                                                  folder, shownFilter);
        } else if (kind == FileDialogKind::OpenMany) {
            QStringList names = QFileDialog::getOpenFileNames(
                parent_, QCoreApplication::translate("FileDialog", "Open"), folder, shownFilter);
            for (QString& name : names)
                name = QDir::toNativeSeparators(name);
            chosen = names.join(QLatin1Char('\n'));
        } else if (kind == FileDialogKind::Folder) {
            chosen = QFileDialog::getExistingDirectory(
                parent_, QCoreApplication::translate("FileDialog", "Choose a folder"), folder);
        } else {
            // The screen asks before replacing a file itself, once it has added its own extension.
            const QString start = suggestedName.isEmpty() ? folder : QDir(folder).filePath(suggestedName);
            chosen =
                QFileDialog::getSaveFileName(parent_, QCoreApplication::translate("FileDialog", "Save As"),
                                             start, shownFilter, nullptr, QFileDialog::DontConfirmOverwrite);
        }
        if (!chosen.isEmpty())
            choice = kind == FileDialogKind::OpenMany ? chosen : QDir::toNativeSeparators(chosen);
    }
    hook().record({kind, folder, filter, suggestedName, choice.value_or(QString()), !choice.has_value()});
    if (choice) {
        lastChosen_ = kind == FileDialogKind::OpenMany ? choice->section(QLatin1Char('\n'), 0, 0) : *choice;
        if (const QString key = lastChosenKey(parent_); !key.isEmpty())
            storeText(key, lastChosen_);
    }
    return choice.value_or(QString());
}

// The folder of the path in the box when that folder exists, else that of the last chosen file, else
// the program's home folder.
QString FileDialog::startFolder(const QString& currentPath) const {
    if (!currentPath.trimmed().isEmpty()) {
        const QFileInfo current(
            widgets::fromPath(kestrana::common::mapDesignPath(widgets::toPath(currentPath.trimmed()))));
        if (current.absoluteDir().exists())
            return current.absolutePath();
    }
    if (!lastChosen_.isEmpty())
        return QFileInfo(lastChosen_).absolutePath();
    // The screen's dialog of an earlier opening, or of an earlier start of the program.
    const QString key = lastChosenKey(parent_);
    const QString kept = key.isEmpty() ? QString() : storedText(key);
    if (!kept.isEmpty() && QFileInfo(kept).absoluteDir().exists())
        return QFileInfo(kept).absolutePath();
    return widgets::fromPath(kestrana::common::homeFolder());
}

void FileDialog::setNextFileName(const QString& name) {
    hook().queue(name);
}

// Several names are kept as one choice, one name per line, as the multi-file dialog gives them.
void FileDialog::setNextFileNames(const QStringList& names) {
    hook().queue(names.join(QLatin1Char('\n')));
}

void FileDialog::setNextCancel() {
    hook().queue(std::nullopt);
}

const std::vector<ShownFileDialog>& FileDialog::shown() {
    return hook().shown();
}

void FileDialog::reset() {
    hook().clear();
}

} // namespace kestrana::gui::services
