// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Kestrana developers

#pragma once
// The track history screen: the run library of every run taken in over the years, the condition map
// of a line's km range (one row per run), the history of one block with its trend and forecast, and
// the maintenance list of the stretches due within a horizon.
//
// Import and the reading of the map run on threads of their own (BackgroundTask), so the screen keeps
// answering; a progress bar shows them going. Whatever is shown belongs to the settings as they stand:
// changing any of them, or the library by an import, withdraws the map, the block history and the
// maintenance list until SHOW is pressed again. Every text comes from the core (src/core/history);
// the controls are built in history_screen_layout.cpp, the handlers live in history_screen.cpp.

#include "gui/services/file_dialog.h"

#include <QWidget>

#include <cstdint>

#include <memory>
#include <optional>
#include <string>
#include <vector>

class QComboBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QTabWidget;
class QTableWidget;

namespace kestrana::gui::widgets {
class ListBox;
}

namespace kestrana::history {
using Day = std::int32_t;
struct Failure;
struct MaintenanceStretch;
struct Series;
} // namespace kestrana::history

namespace kestrana::library {
class RunLibrary;
struct ImportSummary;
struct RunRecord;
} // namespace kestrana::library

namespace kestrana::gui::history {

class BackgroundTask;
class BlockHistoryChart;
class ConditionMapView;
class DefectsPage;

namespace core = kestrana::history;

class HistoryScreen : public QWidget {
    Q_OBJECT
public:
    explicit HistoryScreen(QWidget* parent = nullptr);
    ~HistoryScreen() override;

    // Handlers, one operation each.
    void importFiles();
    void importFolder();
    void cancelImport();
    void seriesChosen();
    void showForSettings(); // SHOW
    void openBlock(std::size_t row, std::size_t column);
    void exportMaintenanceList();
    void printMaintenanceList();
    void goToMain();
    // The library choice: the user's, the samples', another file (asked for with a dialog), or a server
    // library (its address asked for with a prompt).
    void libraryChosen(int choice);
    // Removes the runs selected in the run list, once the user has confirmed.
    void removeSelectedRuns();

    // Imports the paths as the import buttons do once their dialog has answered.
    void importPaths(const std::vector<std::string>& paths);
    // True while an import or the reading of a map goes on.
    bool busy() const;
    // The day the horizon counts from (today, unless a test fixes it).
    void setToday(core::Day day) { today_ = day; }
    core::Day today() const { return today_; }

    // The library.
    QComboBox* libraryChoice = nullptr;
    QLineEdit* libraryPathBox = nullptr;
    QPushButton* importFilesButton = nullptr;
    QPushButton* importFolderButton = nullptr;
    QPushButton* cancelImportButton = nullptr;
    QProgressBar* progressBar = nullptr;
    QLabel* statusLabel = nullptr; // the import's progress and summary, the map being read
    // The settings.
    QComboBox* seriesChoice = nullptr;
    QLineEdit* kmFromBox = nullptr;
    QLineEdit* kmToBox = nullptr;
    QComboBox* indexChoice = nullptr;
    QLineEdit* thresholdBox = nullptr;
    QLineEdit* jumpBox = nullptr;
    QLineEdit* horizonBox = nullptr;
    QPushButton* showButton = nullptr;
    QPushButton* goToMainButton = nullptr;
    // The results.
    QTabWidget* pages = nullptr;
    ConditionMapView* conditionMap = nullptr;
    QLabel* mapSummaryLabel = nullptr;
    BlockHistoryChart* blockChart = nullptr;
    widgets::ListBox* maintenanceListBox = nullptr;
    QLabel* maintenanceSummaryLabel = nullptr;
    QPushButton* exportButton = nullptr;
    QPushButton* printButton = nullptr;
    // Each file of the last import that was skipped or refused, with the reason.
    widgets::ListBox* refusedList = nullptr;
    QLabel* importSummaryLabel = nullptr;
    QTableWidget* runTable = nullptr;   // the runs of the line chosen, in run order
    DefectsPage* defectsPage = nullptr; // the defects of the range, a page of `pages`
    QPushButton* removeRunsButton = nullptr;

    // The pages of `pages`.
    QWidget* mapPage = nullptr;
    QWidget* blockPage = nullptr;
    QWidget* maintenancePage = nullptr;
    QWidget* importPage = nullptr;
    QWidget* runsPage = nullptr;

    // The library choice's entries.
    enum LibraryChoice { YourLibrary, Samples, OtherFile, ServerLibrary };
    // The library the screen works on now.
    const std::string& libraryPath() const { return libraryPath_; }

    const std::vector<core::MaintenanceStretch>& maintenanceStretches() const { return stretches_; }

signals:
    // After an import has ended (its summary is shown) and after a map was shown or refused.
    void importEnded();
    void resultsShown();

private:
    struct Results;

    void buildControls();
    void buildLayout();
    void connectHandlers();

    void openLibrary();
    void openLibraryAt(const std::string& path, int choice);
    int startingLibraryChoice(std::string& path) const;
    // The entry of the library choice that stands for `path`.
    int choiceOf(const std::string& path) const;
    // The server library's address typed into the prompt; empty when cancelled or refused (said so).
    std::string askServerLocation();
    void fillRunList();
    void fillSeriesChoice(const std::optional<core::Series>& keep);
    std::optional<core::Series> chosenSeries() const;
    void withdrawResults();
    void showResults(const Results& results);
    void setBusy(bool importing, bool reading);
    void importFinished(const library::ImportSummary& summary, const std::string& failure);
    void fail(std::string_view what, std::string_view reason);
    // Reads the lines and runs again after an import or a removal changed the library. The operation's
    // own failure, if any, is told first, and a failure met while reading in the same box; true when
    // nothing failed.
    bool rereadLibrary(std::optional<core::Failure> ownFailure);

    std::unique_ptr<library::RunLibrary> library_;
    std::string libraryPath_;
    std::vector<core::Series> series_;
    std::vector<library::RunRecord> listedRuns_; // the rows of runTable
    BackgroundTask* importTask_ = nullptr;
    BackgroundTask* readTask_ = nullptr;
    // Counts the withdrawals, so that a map read for settings since changed is never shown.
    unsigned generation_ = 0;
    // From the start of the work until its results are on the screen.
    bool importing_ = false;
    bool reading_ = false;
    core::Day today_ = 0;
    // Failures met while rereadLibrary reads, told by it in one box.
    std::optional<std::vector<core::Failure>> heldFailures_;
    // The user typed a km bound for the line chosen: imports and removals leave the range alone.
    bool kmRangeTyped_ = false;

    // What is shown now, with the settings it was made for.
    struct Shown;
    std::unique_ptr<Shown> shown_;
    std::vector<core::MaintenanceStretch> stretches_;
    services::FileDialog fileDialog_{this};
};

} // namespace kestrana::gui::history
