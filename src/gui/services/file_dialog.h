#pragma once
// The file dialog of a screen (`fileDialog`): one instance per screen, shared by its Browse buttons and its
// SAVE DETAILS, so it remembers the last file name chosen by any of them.
//
//     services::FileDialog fileDialog{this};
//     runFileEdit->setText(fileDialog.showOpen());         // Browse: a cancel gives back the previous name
//     QString name = fileDialog.showSave();           // SAVE DETAILS: empty when cancelled
//     if (name.isEmpty()) return;              //   ... and the operation ends there
//
// Names are full native paths as the user chose them.

#include <QString>
#include <QStringList>

#include <vector>

class QWidget;

namespace kestrana::gui::services {

enum class FileDialogKind { Open, Save, OpenMany, Folder };

struct ShownFileDialog {
    FileDialogKind kind = FileDialogKind::Open;
    QString previousName; // the name the dialog held when it was shown
    QString chosenName;   // empty when cancelled; several names one per line (OpenMany)
    bool cancelled = false;
};

class FileDialog {
public:
    explicit FileDialog(QWidget* parent = nullptr);

    // The file-open dialog. Afterwards fileName() is the chosen file, or after a cancel the name
    // the dialog held before (empty until a first choice). Returns fileName().
    QString showOpen();
    // The save dialog for a saved report. Returns the chosen name, or an empty text when the user
    // cancelled. A chosen name is remembered as fileName() like an opened one.
    QString showSave();

    // The file-open dialog that picks several files at once (an import); empty when cancelled.
    QStringList showOpenMany();
    // The folder dialog (an import of a whole folder); empty when cancelled.
    QString showFolder();

    QString fileName() const { return fileName_; }
    bool lastCancelled() const { return lastCancelled_; }

    // Test hooks: the next dialog shown (of any screen) picks this name, or is cancelled. Queued in
    // order; with nothing queued, test mode cancels.
    static void setNextFileName(const QString& name);
    static void setNextFileNames(const QStringList& names);
    static void setNextCancel();
    static const std::vector<ShownFileDialog>& shown();
    static void reset();

private:
    QString show(FileDialogKind kind);
    QString startFolder() const;

    QWidget* parent_;
    QString fileName_;
    bool lastCancelled_ = false;
};

} // namespace kestrana::gui::services
