// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Kestrana developers

#include "gui/history/history_screen.h"

#include "core/history/block_history.h"
#include "core/history/condition_map.h"
#include "core/history/dates.h"
#include "core/history/forecast_list.h"
#include "core/history/history_csv.h"
#include "core/history/history_screen_texts.h"
#include "core/history/history_settings.h"
#include "core/history/maintenance_print.h"
#include "core/library/open_run_library.h"
#include "core/library/server_run_library.h"
#include "core/library/sqlite_run_library.h"
#include "gui/app/navigator.h"
#include "gui/history/background_task.h"
#include "gui/history/block_history_chart.h"
#include "gui/history/condition_map_view.h"
#include "gui/history/defects_page.h"
#include "gui/services/hard_copy_printer.h"
#include "gui/services/help.h"
#include "gui/services/message_box.h"
#include "gui/services/screen_memory.h"
#include "gui/services/settings.h"
#include "gui/services/title_prompt.h"
#include "gui/widgets/controls.h"
#include "gui/widgets/file_drops.h"
#include "gui/widgets/list_box.h"
#include "gui/widgets/qt_text.h"
#include "gui/widgets/screen_setup.h"

#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTabWidget>
#include <QTableWidget>

#include <algorithm>
#include <utility>

namespace kestrana::gui::history {

namespace {

using widgets::fromCore;
using widgets::fromPath;
using widgets::toCore;
using widgets::toPath;

} // namespace

// What one SHOW computed on its thread, and the settings it was computed for.
struct HistoryScreen::Results {
    unsigned generation = 0;
    core::Series series;
    core::KmRange range;
    core::HistorySettings settings;
    core::Day untilDay = 0;
    int horizonMonths = 0;
    std::shared_ptr<const core::ConditionMap> map;
    std::vector<core::MaintenanceStretch> stretches;
    defects::TrackingSettings tracking;
    std::shared_ptr<const defects::TrackedDefects> defects;
    std::vector<library::RunId> runIds; // of the tracked runs, in run order
    std::string failure;                // set when the library could not be read
};

struct HistoryScreen::Shown {
    core::Series series;
    core::KmRange range;
    core::HistorySettings settings;
    core::Day untilDay = 0;
    int horizonMonths = 0;
};

HistoryScreen::HistoryScreen(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("HistoryScreen"));
    setWindowTitle(widgets::windowTitle(tr("Track History")));
    today_ = core::todayDay();
    importTask_ = new BackgroundTask(this);
    importTask_->setObjectName(QStringLiteral("importTask"));
    readTask_ = new BackgroundTask(this);
    buildControls();
    buildLayout();
    connectHandlers();
    services::installHelp(this, QStringLiteral("history"));
    widgets::fillDisplay(this);
    openLibrary();
    services::rememberScreen(this, {thresholdBox, jumpBox, horizonBox}, {indexChoice});
    // Run files and folders dropped on the screen are imported as the import buttons would.
    widgets::acceptFileDrops(this, 0, [this](const QStringList& paths) {
        std::vector<std::string> imported;
        for (const QString& path : paths)
            imported.push_back(toPath(path));
        importPaths(imported);
    });
}

HistoryScreen::~HistoryScreen() {
    // The work on other threads stops before the screen's parts go.
    importTask_->requestStop();
    readTask_->requestStop();
    importTask_->waitForEnd();
    readTask_->waitForEnd();
}

void HistoryScreen::connectHandlers() {
    widgets::connectClicks(this, {{importFilesButton, &HistoryScreen::importFiles},
                                  {importFolderButton, &HistoryScreen::importFolder},
                                  {cancelImportButton, &HistoryScreen::cancelImport},
                                  {showButton, &HistoryScreen::showForSettings},
                                  {goToMainButton, &HistoryScreen::goToMain},
                                  {exportButton, &HistoryScreen::exportMaintenanceList},
                                  {printButton, &HistoryScreen::printMaintenanceList}});
    connect(conditionMap, &ConditionMapView::cellActivated, this, &HistoryScreen::openBlock);
    connect(seriesChoice, &QComboBox::currentIndexChanged, this, &HistoryScreen::seriesChosen);
    connect(libraryChoice, &QComboBox::activated, this, &HistoryScreen::libraryChosen);
    connect(removeRunsButton, &QPushButton::clicked, this, &HistoryScreen::removeSelectedRuns);
    connect(runTable, &QTableWidget::itemSelectionChanged, this,
            [this] { removeRunsButton->setEnabled(!runTable->selectionModel()->selectedRows().isEmpty()); });
    connect(indexChoice, &QComboBox::currentIndexChanged, this, &HistoryScreen::withdrawResults);
    connect(defectsPage, &DefectsPage::trackingSettingsEdited, this, &HistoryScreen::withdrawResults);
    for (QLineEdit* box : {kmFromBox, kmToBox, thresholdBox, jumpBox, horizonBox}) {
        connect(box, &QLineEdit::textEdited, this, &HistoryScreen::withdrawResults);
        widgets::pressOnEnter(box, showButton);
    }
    // A km typed by the user stays; untouched boxes follow the line's range as runs come and go.
    for (QLineEdit* box : {kmFromBox, kmToBox})
        connect(box, &QLineEdit::textEdited, this, [this] { kmRangeTyped_ = true; });
    for (QComboBox* choice : {seriesChoice, indexChoice})
        widgets::pressOnEnter(choice, showButton);
}

namespace {
const QString kLibrarySetting = QStringLiteral("history/library");
}

// The library chosen last time; at a first start, the samples while the user's own library holds no
// run yet.
int HistoryScreen::startingLibraryChoice(std::string& path) const {
    const std::string remembered = toPath(services::storedText(kLibrarySetting));
    const std::string yours = library::defaultLibraryPath();
    const std::string samples = library::sampleLibraryPath();
    if (!remembered.empty()) {
        path = remembered;
        return choiceOf(remembered);
    }
    path = yours;
    bool yoursHasRuns = false;
    try {
        if (QFileInfo::exists(fromPath(yours)))
            yoursHasRuns =
                !library::openRunLibrary(yours, library::LibraryAccess::OpenExisting)->runs().empty();
    } catch (const library::LibraryError&) {
        return YourLibrary; // its failure is shown when it is opened
    }
    if (!yoursHasRuns && QFileInfo::exists(fromPath(samples))) {
        path = samples;
        return Samples;
    }
    return YourLibrary;
}

int HistoryScreen::choiceOf(const std::string& path) const {
    return path == library::defaultLibraryPath()  ? YourLibrary
           : path == library::sampleLibraryPath() ? Samples
           : library::isServerLocation(path)      ? ServerLibrary
                                                  : OtherFile;
}

std::string HistoryScreen::askServerLocation() {
    const std::string shown = library::isServerLocation(libraryPath_) ? libraryPath_ : "postgresql://";
    const std::string typed =
        toCore(services::TitlePrompt::ask(this, fromCore(core::kServerLibraryPrompt),
                                          fromCore(core::kServerLibraryTitle), fromCore(shown))
                   .trimmed());
    if (typed.empty() || typed == "postgresql://")
        return {};
    if (!library::isServerLocation(typed)) {
        services::MessageBox::information(this, fromCore(core::kNotAServerAddress));
        return {};
    }
    // An address holding a password is refused before it is kept anywhere, the settings included.
    try {
        library::checkServerLocation(typed);
    } catch (const library::LibraryError& error) {
        fail(core::kLibraryOpenFailed, error.reason());
        return {};
    }
    return typed;
}

void HistoryScreen::openLibrary() {
    std::string path;
    const int choice = startingLibraryChoice(path);
    openLibraryAt(path, choice);
}

// The user's own library is made by the first import into it; until then the screen shows it empty.
void HistoryScreen::openLibraryAt(const std::string& path, int choice) {
    libraryPath_ = path;
    {
        const QSignalBlocker quiet(libraryChoice);
        libraryChoice->setItemText(
            OtherFile, fromCore(choice == OtherFile
                                    ? core::otherLibraryChoice(toCore(QFileInfo(fromPath(path)).fileName()))
                                    : std::string(core::kOtherLibraryChoice)));
        libraryChoice->setCurrentIndex(choice);
    }
    libraryPathBox->setText(QDir::toNativeSeparators(fromPath(libraryPath_)));
    library_.reset();
    kmRangeTyped_ = false;
    if (choice != YourLibrary || QFileInfo::exists(fromPath(path))) {
        try {
            library_ = library::openRunLibrary(libraryPath_, library::LibraryAccess::OpenExisting);
        } catch (const library::LibraryError& error) {
            fillSeriesChoice(std::nullopt);
            fail(core::kLibraryOpenFailed, error.reason());
            return;
        }
    }
    fillSeriesChoice(std::nullopt);
    if (!series_.empty())
        showForSettings();
}

void HistoryScreen::libraryChosen(int choice) {
    if (busy())
        return;
    std::string path;
    if (choice == YourLibrary) {
        path = library::defaultLibraryPath();
    } else if (choice == Samples) {
        path = library::sampleLibraryPath();
    } else if (choice == ServerLibrary) {
        path = askServerLocation();
        if (path.empty()) {
            const QSignalBlocker quiet(libraryChoice);
            libraryChoice->setCurrentIndex(choiceOf(libraryPath_));
            return;
        }
    } else {
        const QString chosen = fileDialog_.showOpen(fromPath(libraryPath_), services::kLibraryFileFilter);
        if (chosen.isEmpty()) {
            // A cancel changes nothing: the choice goes back to the library shown.
            const QSignalBlocker quiet(libraryChoice);
            libraryChoice->setCurrentIndex(choiceOf(libraryPath_));
            return;
        }
        path = toPath(chosen);
    }
    services::storeText(kLibrarySetting, fromPath(path));
    openLibraryAt(path, choice);
}

void HistoryScreen::fillSeriesChoice(const std::optional<core::Series>& keep) {
    series_.clear();
    if (library_) {
        try {
            series_ = library_->series();
        } catch (const library::LibraryError& error) {
            fail(core::kReadFailed, error.reason());
        }
    }
    const QSignalBlocker quiet(seriesChoice);
    seriesChoice->clear();
    int current = 0;
    for (std::size_t i = 0; i < series_.size(); ++i) {
        seriesChoice->addItem(fromCore(core::seriesName(series_[i])));
        if (keep && series_[i] == *keep)
            current = static_cast<int>(i);
    }
    seriesChoice->setCurrentIndex(series_.empty() ? -1 : current);
    // The same line still chosen keeps the km range typed for it, and an untyped range widens to the
    // line's range as it is now; another line starts from its own whole range.
    if (keep && chosenSeries() == keep && kmRangeTyped_) {
        withdrawResults();
        fillRunList();
    } else
        seriesChosen();
}

std::optional<core::Series> HistoryScreen::chosenSeries() const {
    const int current = seriesChoice->currentIndex();
    if (current < 0 || static_cast<std::size_t>(current) >= series_.size())
        return std::nullopt;
    return series_[static_cast<std::size_t>(current)];
}

// A line chosen: its whole km range goes into the km boxes.
void HistoryScreen::seriesChosen() {
    withdrawResults();
    fillRunList();
    const std::optional<core::Series> series = chosenSeries();
    kmFromBox->clear();
    kmToBox->clear();
    kmRangeTyped_ = false;
    if (!series || !library_)
        return;
    try {
        if (const std::optional<core::KmRange> range = library_->kmRangeOf(*series)) {
            kmFromBox->setText(QString::number(range->low));
            kmToBox->setText(QString::number(range->high));
        }
    } catch (const library::LibraryError& error) {
        fail(core::kReadFailed, error.reason());
    }
}

void HistoryScreen::withdrawResults() {
    ++generation_;
    shown_.reset();
    stretches_.clear();
    const bool empty = series_.empty();
    conditionMap->clear(fromCore(empty ? core::kEmptyLibraryNote : core::kPressShowNote));
    mapSummaryLabel->clear();
    blockChart->clear();
    maintenanceListBox->clear();
    maintenanceSummaryLabel->setText(fromCore(empty ? core::kEmptyLibraryNote : core::kPressShowNote));
    exportButton->setEnabled(false);
    printButton->setEnabled(false);
    defectsPage->withdraw(fromCore(empty ? core::kEmptyLibraryNote : core::kPressShowNote));
}

void HistoryScreen::fail(std::string_view what, std::string_view reason) {
    if (heldFailures_) {
        heldFailures_->push_back({std::string(what), std::string(reason)});
        return;
    }
    services::MessageBox::information(this, fromCore(core::failureMessage(what, reason)));
}

bool HistoryScreen::rereadLibrary(std::optional<core::Failure> ownFailure) {
    heldFailures_.emplace();
    if (ownFailure)
        heldFailures_->push_back(std::move(*ownFailure));
    // What was shown came from runs that may have changed: withdrawn, and the lines read again.
    const std::optional<core::Series> keep = chosenSeries();
    if (library_ == nullptr)
        openLibrary();
    else
        fillSeriesChoice(keep);
    const std::vector<core::Failure> failures = std::move(*heldFailures_);
    heldFailures_.reset();
    if (!failures.empty())
        services::MessageBox::information(this, fromCore(core::failureMessage(failures)));
    return failures.empty();
}

bool HistoryScreen::busy() const {
    return importing_ || reading_;
}

void HistoryScreen::setBusy(bool importing, bool reading) {
    importing_ = importing;
    reading_ = reading;
    importFilesButton->setEnabled(!importing);
    importFolderButton->setEnabled(!importing);
    cancelImportButton->setEnabled(importing);
    showButton->setEnabled(!reading);
    progressBar->setVisible(importing || reading);
    if (reading && !importing)
        progressBar->setRange(0, 0); // going on, length unknown
}

void HistoryScreen::showForSettings() {
    const std::optional<core::Series> series = chosenSeries();
    if (!series) {
        services::MessageBox::information(this, fromCore(core::kEmptyLibraryNote));
        return;
    }
    core::KmRange range;
    core::HistorySettings settings;
    defects::TrackingSettings tracking;
    int horizon = 0;
    QLineEdit* reading = kmFromBox;
    try {
        const std::int16_t from = core::kmFromText(toCore(kmFromBox->text()));
        reading = kmToBox;
        range = core::kmRangeBetween(from, core::kmFromText(toCore(kmToBox->text())));
        settings.index = core::indexFromText(toCore(indexChoice->currentText()));
        reading = thresholdBox;
        settings.threshold = core::thresholdFromText(toCore(thresholdBox->text()));
        reading = jumpBox;
        settings.jump = core::jumpFromText(toCore(jumpBox->text()));
        reading = horizonBox;
        horizon = core::horizonMonthsFromText(toCore(horizonBox->text()));
        tracking = defectsPage->trackingSettings();
    } catch (const kestrana::common::Error& refusal) {
        // A limit or the tolerance of the Defects page; the page has put the cursor in its box.
        withdrawResults();
        pages->setCurrentWidget(defectsPage);
        services::MessageBox::information(this, fromCore(refusal.what()));
        return;
    } catch (const core::SettingRefused& refusal) {
        withdrawResults();
        services::MessageBox::information(this, fromCore(refusal.what()));
        reading->setFocus();
        reading->selectAll();
        return;
    }
    withdrawResults();
    conditionMap->clear(fromCore(core::kDrawingNote));
    statusLabel->setText(fromCore(core::kDrawingNote));
    // An earlier SHOW still reading is left to end; its map is for settings no longer shown.
    readTask_->requestStop();
    readTask_->waitForEnd();

    Results request;
    request.generation = generation_;
    request.series = *series;
    request.range = range;
    request.settings = settings;
    request.untilDay = core::horizonEnd(today_, horizon);
    request.horizonMonths = horizon;
    request.tracking = tracking;
    const std::string path = libraryPath_;
    setBusy(importing_, true);
    readTask_->start([this, request, path](const std::atomic<bool>&) mutable {
        try {
            const std::unique_ptr<library::RunLibrary> library =
                library::openRunLibrary(path, library::LibraryAccess::OpenExisting);
            // One reading of the runs serves the map and the forecast.
            request.map = std::make_shared<const core::ConditionMap>(
                core::conditionMap(*library, request.series, request.range, request.settings.index));
            const std::vector<core::ForecastRow> rows = core::forecastRowsOf(*request.map, request.settings);
            request.stretches = core::maintenanceList(rows, request.series.direction, request.untilDay);
            request.defects = std::make_shared<const defects::TrackedDefects>(
                defects::trackLibraryDefects(*library, request.series, request.tracking, request.range));
            for (const library::RunRecord& run : library->runsOf(request.series))
                request.runIds.push_back(run.id);
        } catch (const std::exception& error) {
            const auto* known = dynamic_cast<const kestrana::common::Error*>(&error);
            request.failure = known != nullptr ? known->reason() : error.what();
        }
        readTask_->post([this, request] { showResults(request); });
    });
}

void HistoryScreen::showResults(const Results& results) {
    setBusy(importing_, false);
    if (!importing_)
        statusLabel->clear();
    if (results.generation != generation_)
        return; // the settings changed while the runs were read
    if (!results.failure.empty()) {
        conditionMap->clear(fromCore(core::kReadFailed));
        fail(core::kReadFailed, results.failure);
        emit resultsShown();
        return;
    }
    shown_ = std::make_unique<Shown>(
        Shown{results.series, results.range, results.settings, results.untilDay, results.horizonMonths});
    conditionMap->setMap(results.map);
    mapSummaryLabel->setText(fromCore(core::mapSummary(*results.map, results.range)));
    blockChart->clear(fromCore(core::kPickBlockNote));
    stretches_ = results.stretches;
    maintenanceListBox->setEntries(core::maintenanceTableLines(stretches_));
    maintenanceSummaryLabel->setText(
        fromCore(core::maintenanceSummary(stretches_, results.range, results.untilDay)));
    exportButton->setEnabled(true);
    printButton->setEnabled(true);
    conditionMap->setMarks(defects::exceedanceCells(*results.map, *results.defects, results.runIds));
    defectsPage->setResults(
        results.defects,
        defects::DefectsHeading{results.series, results.range, results.tracking, {}, today_});
    emit resultsShown();
}

void HistoryScreen::openBlock(std::size_t row, std::size_t column) {
    const core::ConditionMap* map = conditionMap->map();
    if (!shown_ || map == nullptr || column >= map->columns.size() || row >= map->rows.size() || !library_)
        return;
    try {
        blockChart->setHistory(
            core::blockHistory(*library_, shown_->series, map->columns[column], shown_->settings),
            shown_->horizonMonths);
    } catch (const library::LibraryError& error) {
        fail(core::kReadFailed, error.reason());
        return;
    }
    pages->setCurrentWidget(blockPage);
}

void HistoryScreen::importFiles() {
    std::vector<std::string> paths;
    for (const QString& name : fileDialog_.showOpenMany())
        paths.push_back(toPath(name));
    if (!paths.empty())
        importPaths(paths);
}

void HistoryScreen::importFolder() {
    const QString folder = fileDialog_.showFolder();
    if (!folder.isEmpty())
        importPaths({toPath(folder)});
}

void HistoryScreen::cancelImport() {
    importTask_->requestStop();
}

void HistoryScreen::importPaths(const std::vector<std::string>& paths) {
    if (importing_)
        return;
    importTask_->waitForEnd();
    refusedList->clear();
    importSummaryLabel->clear();
    progressBar->setRange(0, 0);
    statusLabel->setText(fromCore(core::importProgressText({})));
    setBusy(true, reading_);
    // The samples stay as they were shipped: runs of the user's own go into the user's library.
    if (libraryChoice->currentIndex() == Samples) {
        services::storeText(kLibrarySetting, fromPath(library::defaultLibraryPath()));
        openLibraryAt(library::defaultLibraryPath(), YourLibrary);
        statusLabel->setText(fromCore(core::kImportGoesToYourLibrary));
    }
    const std::string path = libraryPath_;
    importTask_->start([this, paths, path](const std::atomic<bool>& stop) {
        library::ImportSummary summary;
        std::string failure;
        // Kept file by file, so that an import the library stops still tells what it did up to there.
        library::ImportSummary soFar;
        try {
            // The import's own connection: a RunLibrary is used from one thread only.
            const std::unique_ptr<library::RunLibrary> library =
                library::openRunLibrary(path, library::LibraryAccess::CreateIfMissing);
            library::ImportCallbacks callbacks;
            callbacks.onProgress = [this](const library::ImportProgress& progress) {
                const int done = static_cast<int>(progress.done);
                const int total = static_cast<int>(progress.total);
                const QString text = fromCore(core::importProgressText(progress));
                importTask_->post([this, done, total, text] {
                    progressBar->setRange(0, std::max(total, 1));
                    progressBar->setValue(done);
                    statusLabel->setText(text);
                });
            };
            callbacks.onOutcome = [&soFar](const library::FileOutcome& outcome) {
                library::record(soFar, outcome);
            };
            callbacks.cancelRequested = [&stop] { return stop.load(); };
            summary = library::importPaths(*library, paths, callbacks);
        } catch (const std::exception& error) {
            const auto* known = dynamic_cast<const kestrana::common::Error*>(&error);
            failure = known != nullptr ? known->reason() : error.what();
            summary = std::move(soFar);
        }
        importTask_->post([this, summary, failure] { importFinished(summary, failure); });
    });
}

void HistoryScreen::importFinished(const library::ImportSummary& summary, const std::string& failure) {
    setBusy(false, reading_);
    QStringList notTaken;
    for (const library::FileOutcome& outcome : summary.outcomes)
        if (outcome.status != library::ImportStatus::Imported || !outcome.reason.empty())
            notTaken << fromCore(library::outcomeLine(outcome));
    refusedList->setEntries(notTaken);
    const std::string text =
        failure.empty() ? library::summaryText(summary) : core::importStoppedText(summary.imported);
    importSummaryLabel->setText(fromCore(text));
    statusLabel->setText(fromCore(text));
    if (summary.refused > 0)
        pages->setCurrentWidget(importPage);
    // The library has changed, also when the import stopped part-way: the runs stored show.
    rereadLibrary(failure.empty() ? std::nullopt : std::optional<core::Failure>({text, failure}));
    emit importEnded();
}

void HistoryScreen::exportMaintenanceList() {
    if (!shown_)
        return;
    const QString offered = fromPath(core::maintenanceCsvName(shown_->series, today_));
    const QString chosen = fileDialog_.showSaveAs(offered, services::kCsvFileFilter);
    if (chosen.isEmpty())
        return;
    const std::string path = core::withCsvExtension(toPath(chosen));
    const QString shownName = QDir::toNativeSeparators(fromPath(path));
    if (QFileInfo::exists(fromPath(path)) &&
        services::MessageBox::question(this, fromCore(core::replaceQuestion(toCore(shownName)))) !=
            services::MessageAnswer::Yes)
        return;
    try {
        core::saveCsv(path, core::maintenanceCsv(shown_->series, stretches_, "\r\n"));
    } catch (const kestrana::common::Error& error) {
        fail(core::kExportFailed, error.reason());
        return;
    }
    statusLabel->setText(fromCore(core::savedText(toCore(shownName))));
}

void HistoryScreen::printMaintenanceList() {
    if (!shown_)
        return;
    core::MaintenanceHeading heading;
    heading.series = shown_->series;
    heading.settings = shown_->settings;
    heading.today = today_;
    heading.untilDay = shown_->untilDay;
    heading.range = shown_->range;
    heading.horizonMonths = shown_->horizonMonths;
    services::PrintOptions options;
    options.documentName = QStringLiteral("maintenance");
    options.fixedPitch = true; // the table's columns are laid out with blanks
    services::HardCopyPrinter::print(this, core::maintenancePrintScript(heading, stretches_), QPixmap(),
                                     options);
}

// The runs of the line chosen, in run order.
void HistoryScreen::fillRunList() {
    listedRuns_.clear();
    const std::optional<core::Series> series = chosenSeries();
    if (series && library_) {
        try {
            listedRuns_ = library_->runsOf(*series);
        } catch (const library::LibraryError& error) {
            fail(core::kReadFailed, error.reason());
        }
    }
    runTable->clearContents();
    runTable->setRowCount(static_cast<int>(listedRuns_.size()));
    for (std::size_t row = 0; row < listedRuns_.size(); ++row) {
        const std::vector<std::string> cells = core::runListRow(listedRuns_[row]);
        for (std::size_t column = 0; column < cells.size(); ++column) {
            auto* item = new QTableWidgetItem(fromCore(cells[column]));
            item->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled);
            runTable->setItem(static_cast<int>(row), static_cast<int>(column), item);
        }
    }
    removeRunsButton->setEnabled(false);
}

void HistoryScreen::removeSelectedRuns() {
    if (!library_ || busy())
        return;
    std::vector<library::RunRecord> chosen;
    for (const QModelIndex& row : runTable->selectionModel()->selectedRows())
        chosen.push_back(listedRuns_.at(static_cast<std::size_t>(row.row())));
    if (chosen.empty())
        return;
    std::sort(chosen.begin(), chosen.end(), library::runComesBefore);
    if (services::MessageBox::question(this, fromCore(core::removalQuestion(chosen))) !=
        services::MessageAnswer::Yes)
        return;
    std::vector<library::RunId> ids;
    for (const library::RunRecord& run : chosen)
        ids.push_back(run.id);
    std::string failure;
    try {
        // Another program may have removed one of them meanwhile; then nothing is removed here.
        if (!library_->removeRuns(ids).empty())
            failure = core::kRunGoneReason;
    } catch (const library::LibraryError& error) {
        failure = error.reason();
    }
    rereadLibrary(failure.empty()
                      ? std::nullopt
                      : std::optional<core::Failure>({std::string(core::kRemoveFailed), failure}));
    if (failure.empty())
        statusLabel->setText(fromCore(core::removedText(ids.size())));
}

void HistoryScreen::goToMain() {
    app::Navigator::goToMain(this);
}

} // namespace kestrana::gui::history
