// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Kestrana developers

// The analyser screen's handlers. Each is one operation: it hands the texts of the controls to the
// core, shows what comes back, and shows a refusal or failure in a message box without letting it
// leave the handler. An operation that is refused changes nothing on the screen.

#include "gui/analyser/analyser_screen.h"

#include "core/analyser/messages.h"
#include "core/analyser/processing.h"
#include "core/analyser/quality.h"
#include "core/analyser/session.h"
#include "core/common/errors.h"
#include "core/common/paths.h"
#include "gui/analyser/analyser_chart_canvas.h"
#include "gui/app/navigator.h"
#include "gui/services/chart_clipboard.h"
#include "gui/services/hard_copy_printer.h"
#include "gui/services/help.h"
#include "gui/services/message_box.h"
#include "gui/services/screen_memory.h"
#include "gui/services/settings.h"
#include "gui/services/title_prompt.h"
#include "gui/widgets/band_colours.h"
#include "gui/widgets/charts.h"
#include "gui/widgets/controls.h"
#include "gui/widgets/file_drops.h"
#include "gui/widgets/list_box.h"
#include "gui/widgets/qt_text.h"
#include "gui/widgets/screen_setup.h"

#include <QComboBox>
#include <QDateTime>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QStackedWidget>
#include <QTableWidget>
#include <QTimer>

#include <array>
#include <exception>
#include <system_error>

namespace kestrana::gui::analyser {

namespace core = kestrana::analyser;
using widgets::fromCore;
using widgets::toCore;

namespace {

// A path typed into a box or chosen in the dialog, mapped as the design's drive paths are.
std::string mappedPath(const QString& typed) {
    return kestrana::common::mapDesignPath(widgets::toPath(typed));
}

// The title prompt of both hard copies; a cancelled prompt gives an empty title.
QString askTitle(QWidget* screen, std::string_view promptTitle) {
    return services::TitlePrompt::ask(screen, fromCore(core::kTitlePrompt), fromCore(promptTitle),
                                      fromCore(core::kTitlePromptDefault));
}

void showProcessFailure(QWidget* screen, const std::string& reason) {
    services::MessageBox::information(screen, fromCore(core::kProcessFailedMessage) + QLatin1Char('\n') +
                                                  fromCore(reason));
}

void showRefusal(QWidget* screen, const kestrana::common::Error& refusal) {
    services::MessageBox::information(screen, fromCore(refusal.what()));
}

// The footer of the graph page: the system's short date and its long time, without a time zone.
std::string printedDateTime(const QDateTime& now) {
    const QLocale locale = QLocale::system();
    QString timeFormat = locale.timeFormat(QLocale::LongFormat);
    timeFormat.remove(QLatin1Char('t'));
    return toCore(locale.toString(now.date(), QLocale::ShortFormat) + QLatin1Char(' ') +
                  now.time().toString(timeFormat.trimmed()));
}

} // namespace

AnalyserScreen::AnalyserScreen(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("AnalyserScreen"));
    setWindowTitle(widgets::windowTitle(tr("Index Analyser")));
    buildControls();
    buildLayout();
    setTabOrderAsSeen();
    connectHandlers();
    services::installHelp(this, QStringLiteral("analyser"));
    load();
    services::rememberScreen(
        this, {runFileEdit, outputFileEdit, lowTgiEdit, highTgiEdit, shareLowEdit, shareHighEdit},
        {indexCombo});
    widgets::acceptFileDrops(this, 1, [this](const QStringList& paths) { takeRunFiles(paths); });
}

void AnalyserScreen::takeRunFiles(const QStringList& paths) {
    if (!paths.isEmpty())
        runFileEdit->setText(paths.front());
}

void AnalyserScreen::connectHandlers() {
    widgets::connectClicks(this, {{processDataButton, &AnalyserScreen::processData},
                                  {processInformationButton, &AnalyserScreen::processInformation},
                                  {showDetailsButton, &AnalyserScreen::showDetails},
                                  {calcTrackShareButton, &AnalyserScreen::calcTrackShare},
                                  {printDetailsButton, &AnalyserScreen::printDetails},
                                  {goToMainButton, &AnalyserScreen::goToMain},
                                  {printGraphButton, &AnalyserScreen::printGraph},
                                  {browseRunFileButton, &AnalyserScreen::browseRunFile},
                                  {browseOutputFileButton, &AnalyserScreen::browseOutputFile},
                                  {saveDetailsButton, &AnalyserScreen::saveDetails}});
    connect(runFileEdit, &QLineEdit::textChanged, this, &AnalyserScreen::runFileChanged);
    connect(listingList, &widgets::ListBox::entryClicked, this, &AnalyserScreen::listingEntryClicked);
    connect(titleTimer, &QTimer::timeout, this, &AnalyserScreen::scrollTitle);
    connect(creditTimer, &QTimer::timeout, this, &AnalyserScreen::advanceCreditLine);

    // Enter in a box runs the operation that box feeds, when that operation is usable.
    const std::vector<std::pair<QLineEdit*, QPushButton*>> enters = {
        {runFileEdit, processDataButton},        {outputFileEdit, processDataButton},
        {startKmEdit, processInformationButton}, {endKmEdit, processInformationButton},
        {lowTgiEdit, showDetailsButton},         {highTgiEdit, showDetailsButton},
        {shareLowEdit, calcTrackShareButton},    {shareHighEdit, calcTrackShareButton}};
    for (const auto& [box, command] : enters)
        widgets::pressOnEnter(box, command);
}

void AnalyserScreen::load() {
    // The screen fills the display it opens on.
    widgets::fillDisplay(this);
    buttons_ = {};
    applyButtonStates();
    titleTimer->start();
    creditTimer->start();
}

void AnalyserScreen::applyButtonStates() {
    processInformationButton->setEnabled(buttons_.processInformation);
    showDetailsButton->setEnabled(buttons_.showDetails);
    calcTrackShareButton->setEnabled(buttons_.calcTrackShare);
    printDetailsButton->setEnabled(buttons_.printDetails);
    printGraphButton->setEnabled(buttons_.printGraph);
    saveDetailsButton->setEnabled(buttons_.saveDetails);
}

void AnalyserScreen::processData() {
    core::AnalyserSession& session = core::analyserSession();
    core::ProcessedRun run;
    try {
        run = core::processData(mappedPath(runFileEdit->text()), mappedPath(outputFileEdit->text()));
    } catch (const kestrana::common::Error& failure) {
        // Whatever failed, the run of the last successful step stays, with every view on it. The
        // reason (file, line, what) follows the general message, so a bad number is not taken for
        // a wrong file name.
        showProcessFailure(this, failure.reason());
        return;
    } catch (const std::exception& failure) {
        showProcessFailure(this, failure.what());
        return;
    }
    withdrawResults();
    runDateEdit->setText(fromCore(run.runDate));
    runNumberEdit->setText(fromCore(run.runNumber));
    sectionLabel->setText(fromCore(run.section));
    kmFromEdit->setText(fromCore(run.kmFrom));
    kmToEdit->setText(fromCore(run.kmTo));
    startKmEdit->setText(fromCore(run.kmFrom));
    endKmEdit->setText(fromCore(run.kmTo));
    session.keepTable(std::move(run.table));
    services::addRecentFile(objectName(), runFileEdit->text());
    buttons_.processDataSucceeded();
    applyButtonStates();
}

// Everything shown of the run before: its figures, chart, listing, raw data and share. The buttons that
// work on them were withdrawn with the button states.
void AnalyserScreen::withdrawResults() {
    const std::array<QLabel*, 4> bands = {band1Label, band2Label, band3Label, band4Label};
    for (std::size_t i = 0; i < bands.size(); ++i)
        bands[i]->setText(fromCore(core::kBandCaptionPrefixes[i]));
    nonRecordedLabel->setText(fromCore(core::kNonRecordedCaptionPrefix));
    averageLabel->setText(fromCore(core::kAverageCaptionPrefix));
    qualityChart->setData(QString(), {});
    listingArea->setCurrentWidget(qualityChart);
    listingHeaderList->clear();
    listingList->clear();
    listedHeader_.clear();
    listedEntries_.clear();
    showRawView({});
    trackShareLabel->clear();
}

void AnalyserScreen::processInformation() {
    core::QualityResult result;
    try {
        result = core::analyserSession().processInformation(toCore(startKmEdit->text()),
                                                            toCore(endKmEdit->text()));
    } catch (const kestrana::common::Error& refusal) {
        showRefusal(this, refusal);
        // The boxes go back to the range the figures, the listing and the hard copies still use.
        if (buttons_.showDetails) {
            startKmEdit->setText(QString::number(core::analyserSession().range.startKm));
            endKmEdit->setText(QString::number(core::analyserSession().range.endKm));
        }
        return;
    }
    listingArea->setCurrentWidget(qualityChart);
    band1Label->setText(fromCore(result.bandCaptions[0]));
    band2Label->setText(fromCore(result.bandCaptions[1]));
    band3Label->setText(fromCore(result.bandCaptions[2]));
    band4Label->setText(fromCore(result.bandCaptions[3]));
    nonRecordedLabel->setText(fromCore(result.nonRecordedCaption));
    averageLabel->setText(fromCore(result.averageCaption));
    buttons_.processInformationDone();
    qualityChart->setData(fromCore(result.chart.label), std::vector<double>(result.chart.bandShares.begin(),
                                                                            result.chart.bandShares.end()));
    applyButtonStates();
}

void AnalyserScreen::showDetails() {
    core::Listing listing;
    try {
        listing = core::analyserSession().showDetails(toCore(lowTgiEdit->text()), toCore(highTgiEdit->text()),
                                                      toCore(indexCombo->currentText()));
    } catch (const kestrana::common::Error& refusal) {
        showRefusal(this, refusal);
        return;
    }
    listingArea->setCurrentWidget(listingList);
    listingHeaderList->setEntries({fromCore(listing.header)});
    listingList->setEntries(listing.entries);
    listedHeader_ = std::move(listing.header);
    listedEntries_ = std::move(listing.entries);
    buttons_.showDetailsDone();
    applyButtonStates();
}

void AnalyserScreen::calcTrackShare() {
    try {
        const core::TrackShare share = core::analyserSession().calcTrackShare(toCore(shareLowEdit->text()),
                                                                              toCore(shareHighEdit->text()));
        trackShareLabel->setText(fromCore(share.caption));
    } catch (const kestrana::common::Error& refusal) {
        showRefusal(this, refusal);
    }
}

core::DetailsReport AnalyserScreen::detailsReport() const {
    const core::AnalyserSession& session = core::analyserSession();
    return core::DetailsReport{core::reportHeadingOf(session.table.header),
                               session.range,
                               toCore(indexCombo->currentText()),
                               session.listingBounds,
                               listedHeader_,
                               listedEntries_};
}

void AnalyserScreen::printDetails() {
    const QString title = askTitle(this, core::kPrintDetailsPromptTitle);
    services::PrintOptions options;
    options.documentName = tr("Print Details");
    services::HardCopyPrinter::print(this, core::printDetailsScript(toCore(title), detailsReport()),
                                     QPixmap(), options);
}

void AnalyserScreen::goToMain() {
    app::Navigator::goToMain(this);
}

void AnalyserScreen::printGraph() {
    const core::AnalyserSession& session = core::analyserSession();
    const QString title = askTitle(this, core::kPrintGraphPromptTitle);
    // The chart as it stands, drawn at the size the page gives it, so that its texts print at the
    // same size whatever the display the screen is shown on.
    widgets::BarChart printed;
    printed.setBarColours(widgets::qualityBandColours());
    printed.setData(qualityChart->label(), qualityChart->values());
    printed.resize(AnalyserChartCanvas::kPictureWidth, AnalyserChartCanvas::kPictureHeight);
    services::ChartClipboard::copyPicture(&printed);
    AnalyserChartCanvas canvas;
    canvas.takePicture(services::ChartClipboard::picture());
    const kestrana::common::HardCopyScript script =
        core::printGraphScript(toCore(title), core::reportHeadingOf(session.table.header), session.range,
                               session.distribution, printedDateTime(QDateTime::currentDateTime()));
    services::PrintOptions options;
    options.documentName = tr("Print Graph");
    // A page that did not get out leaves the button usable for another try.
    if (services::HardCopyPrinter::print(this, script, canvas.picture(), options)) {
        buttons_.printGraphDone();
        applyButtonStates();
    }
}

void AnalyserScreen::browseRunFile() {
    // A cancel changes nothing. A chosen file counts as a change of the run path even when the same
    // name comes back: the file behind it may be another by now.
    const QString chosen = fileDialog.showOpen(runFileEdit->text(), services::kRunFileFilter);
    if (chosen.isEmpty())
        return;
    if (chosen == runFileEdit->text())
        runFileChanged();
    else
        runFileEdit->setText(chosen);
}

void AnalyserScreen::browseOutputFile() {
    const QString chosen = fileDialog.showOpen(outputFileEdit->text(), services::kTextFileFilter);
    if (!chosen.isEmpty())
        outputFileEdit->setText(chosen);
}

void AnalyserScreen::saveDetails() {
    // A cancelled dialog ends the operation: nothing is written.
    const QString chosen = fileDialog.showSave();
    if (chosen.isEmpty())
        return;
    const std::string path = core::reportFileName(mappedPath(chosen));
    try {
        core::saveReport(path, core::savedReportText(detailsReport()));
    } catch (const kestrana::common::Error& failure) {
        services::MessageBox::information(
            this, widgets::messageWithReason(failure.withMessage(core::kReportNotSavedMessage)));
    }
}

void AnalyserScreen::runFileChanged() {
    buttons_.runFileChanged();
    applyButtonStates();
}

void AnalyserScreen::listingEntryClicked() {
    showRawView(core::analyserSession().rawView(toCore(listingList->selectedEntry())));
}

void AnalyserScreen::showRawView(const core::RawView& view) {
    QStringList names;
    if (!view.header.empty())
        for (const std::string& name : core::rawViewCells(view.header.front()))
            names << fromCore(name);
    rawValuesTable->clear();
    rawValuesTable->setColumnCount(static_cast<int>(names.size()));
    rawValuesTable->setHorizontalHeaderLabels(names);
    rawValuesTable->setRowCount(static_cast<int>(view.rows.size()));
    for (int row = 0; row < rawValuesTable->rowCount(); ++row) {
        const std::vector<std::string> cells = core::rawViewCells(view.rows[static_cast<std::size_t>(row)]);
        for (int column = 0; column < static_cast<int>(cells.size()); ++column) {
            auto* cell = new QTableWidgetItem(fromCore(cells[static_cast<std::size_t>(column)]));
            cell->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            rawValuesTable->setItem(row, column, cell);
        }
    }
    rawValuesTable->resizeColumnsToContents();
}

void AnalyserScreen::scrollTitle() {
    titleBand->scroll();
}

void AnalyserScreen::advanceCreditLine() {
    creditLabel->setText(fromCore(core::analyserSession().creditLine.tick()));
}

} // namespace kestrana::gui::analyser
