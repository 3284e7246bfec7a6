// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Kestrana developers

#pragma once
// The file dialog of a screen (`fileDialog`): one instance per screen, shared by its Browse buttons and its
// SAVE DETAILS.
//
//     services::FileDialog fileDialog{this};
//     const QString chosen = fileDialog.showOpen(runFileEdit->text());  // empty when cancelled
//     if (!chosen.isEmpty()) runFileEdit->setText(chosen);               // a cancel changes nothing
//     QString name = fileDialog.showSave();                              // empty when cancelled
//
// A dialog starts in the folder of the path the box holds (mapped as typed paths are), else in the
// folder of the last name chosen in this dialog, else in the program's home folder. Names are full
// native paths as the user chose them.

#include <QString>
#include <QStringList>

#include <vector>

class QWidget;

namespace kestrana::gui::services {

enum class FileDialogKind { Open, Save, OpenMany, Folder };

// The filters of the open dialogs, the first one chosen when the dialog opens (translated as the
// dialog shows them).
inline constexpr const char* kRunFileFilter =
    QT_TRANSLATE_NOOP("FileDialog", "Run files (*.run);;All files (*)");
inline constexpr const char* kTextFileFilter =
    QT_TRANSLATE_NOOP("FileDialog", "Text files (*.txt);;All files (*)");
inline constexpr const char* kLibraryFileFilter =
    QT_TRANSLATE_NOOP("FileDialog", "Run libraries (*.sqlite);;All files (*)");
inline constexpr const char* kCsvFileFilter =
    QT_TRANSLATE_NOOP("FileDialog", "CSV files (*.csv);;All files (*)");

struct ShownFileDialog {
    FileDialogKind kind = FileDialogKind::Open;
    QString startFolder;   // where the dialog opened
    QString filter;        // the filters it offered
    QString suggestedName; // the name a save dialog offered, when it offered one
    QString chosenName;    // empty when cancelled; several names one per line (OpenMany)
    bool cancelled = false;
};

class FileDialog {
public:
    explicit FileDialog(QWidget* parent = nullptr);

    // The file-open dialog, started in the folder of `currentPath`. Returns the chosen file, or an
    // empty text when the user cancelled.
    QString showOpen(const QString& currentPath = {}, const QString& filter = kRunFileFilter);
    // The save dialog for a saved report. Returns the chosen name, or an empty text when the user
    // cancelled.
    QString showSave(const QString& currentPath = {}, const QString& filter = kTextFileFilter);
    // A save dialog that offers `suggestedName` in the folder it starts in (an export).
    QString showSaveAs(const QString& suggestedName, const QString& filter);

    // The file-open dialog that picks several files at once (an import); empty when cancelled.
    QStringList showOpenMany(const QString& currentPath = {});
    // The folder dialog (an import of a whole folder); empty when cancelled.
    QString showFolder(const QString& currentPath = {});

    // Test hooks: the next dialog shown (of any screen) picks this name, or is cancelled. Queued in
    // order; with nothing queued, test mode cancels.
    static void setNextFileName(const QString& name);
    static void setNextFileNames(const QStringList& names);
    static void setNextCancel();
    static const std::vector<ShownFileDialog>& shown();
    static void reset();

private:
    QString show(FileDialogKind kind, const QString& currentPath, const QString& filter,
                 const QString& suggestedName = {});
    QString startFolder(const QString& currentPath) const;

    QWidget* parent_;
    QString lastChosen_;
};

} // namespace kestrana::gui::services
