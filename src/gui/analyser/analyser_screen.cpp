// The analyser screen's handlers. Each is one operation: it hands the texts of the controls to the
// core, shows what comes back, and shows a refusal or failure in a message box without letting it
// leave the handler. An operation that is refused changes nothing on the screen.

#include "gui/analyser/analyser_screen.h"

#include "core/analyser/messages.h"
#include "core/analyser/processing.h"
#include "core/analyser/session.h"
#include "core/platform/errors.h"
#include "core/platform/paths.h"
#include "gui/analyser/analyser_chart_canvas.h"
#include "gui/app/navigator.h"
#include "gui/services/chart_clipboard.h"
#include "gui/services/hard_copy_printer.h"
#include "gui/services/help.h"
#include "gui/services/message_box.h"
#include "gui/services/title_prompt.h"
#include "gui/widgets/charts.h"
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
#include <QTimer>

#include <exception>
#include <system_error>

namespace kestrana::gui::analyser {

namespace core = kestrana::analyser;
using widgets::fromCore;
using widgets::toCore;

namespace {

// Twips per screen pixel: the title band's positions are kept in twips as the design gives them.
constexpr int kTwipsPerPixel = 15;
// Where the title starts in the band: the design puts its left edge at 11880 of 15375 twips.
constexpr double kTitleStartShare = 11880.0 / 15375.0;

// A path typed into a box or chosen in the dialog, mapped as the design's drive paths are.
std::string mappedPath(const QString& typed) {
    return kestrana::platform::mapDesignPath(widgets::toPath(typed));
}

// The title prompt of both hard copies; a cancelled prompt gives an empty title.
QString askTitle(QWidget* screen, std::string_view promptTitle) {
    return services::TitlePrompt::ask(screen, fromCore(core::kTitlePrompt), fromCore(promptTitle),
                                      fromCore(core::kTitlePromptDefault));
}

void showRefusal(QWidget* screen, const std::exception& refusal) {
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
    setWindowTitle(services::kApplicationTitle + QStringLiteral(" " KESTRANA_VERSION " - Index Analyser"));
    buildControls();
    buildLayout();
    setTabOrderAsSeen();
    connectHandlers();
    services::installHelp(this);
    load();
}

void AnalyserScreen::connectHandlers() {
    const std::vector<std::pair<QPushButton*, void (AnalyserScreen::*)()>> clicks = {
        {processDataButton, &AnalyserScreen::processData},
        {processInformationButton, &AnalyserScreen::processInformation},
        {showDetailsButton, &AnalyserScreen::showDetails},
        {calcTrackShareButton, &AnalyserScreen::calcTrackShare},
        {printDetailsButton, &AnalyserScreen::printDetails},
        {goToMainButton, &AnalyserScreen::goToMain},
        {printGraphButton, &AnalyserScreen::printGraph},
        {browseRunFileButton, &AnalyserScreen::browseRunFile},
        {browseOutputFileButton, &AnalyserScreen::browseOutputFile},
        {saveDetailsButton, &AnalyserScreen::saveDetails}};
    for (const auto& [command, handler] : clicks)
        connect(command, &QPushButton::clicked, this, handler);
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
    } catch (const std::exception&) {
        // Whatever failed, the run of the last successful step stays, with every view on it.
        services::MessageBox::information(this, fromCore(core::kProcessFailedMessage));
        return;
    }
    runDateEdit->setText(fromCore(run.runDate));
    runNumberEdit->setText(fromCore(run.runNumber));
    sectionLabel->setText(fromCore(run.section));
    kmFromEdit->setText(fromCore(run.kmFrom));
    kmToEdit->setText(fromCore(run.kmTo));
    startKmEdit->setText(fromCore(run.kmFrom));
    endKmEdit->setText(fromCore(run.kmTo));
    session.keepTable(std::move(run.table));
    buttons_.processDataSucceeded();
    applyButtonStates();
}

void AnalyserScreen::processInformation() {
    core::QualityResult result;
    try {
        result = core::analyserSession().processInformation(toCore(startKmEdit->text()),
                                                            toCore(endKmEdit->text()));
    } catch (const core::AnalyserRefusal& refusal) {
        showRefusal(this, refusal);
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
    } catch (const core::AnalyserRefusal& refusal) {
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
    } catch (const core::AnalyserRefusal& refusal) {
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
    options.documentName = QStringLiteral("Print Details");
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
    printed.setData(qualityChart->label(), qualityChart->values());
    printed.resize(AnalyserChartCanvas::kPictureWidth, AnalyserChartCanvas::kPictureHeight);
    services::ChartClipboard::copyPicture(&printed);
    AnalyserChartCanvas canvas;
    canvas.takePicture(services::ChartClipboard::picture());
    const kestrana::platform::HardCopyScript script =
        core::printGraphScript(toCore(title), core::reportHeadingOf(session.table.header), session.range,
                               session.distribution, printedDateTime(QDateTime::currentDateTime()));
    services::PrintOptions options;
    options.documentName = QStringLiteral("Print Graph");
    // A page that did not get out leaves the button usable for another try.
    if (services::HardCopyPrinter::print(this, script, canvas.picture(), options)) {
        buttons_.printGraphDone();
        applyButtonStates();
    }
}

void AnalyserScreen::browseRunFile() {
    // Setting the run path by Browse counts as a change even when the same name comes back: the
    // file behind it may be another by now.
    const QString chosen = fileDialog.showOpen();
    if (chosen == runFileEdit->text())
        runFileChanged();
    else
        runFileEdit->setText(chosen);
}

void AnalyserScreen::browseOutputFile() {
    outputFileEdit->setText(fileDialog.showOpen());
}

void AnalyserScreen::saveDetails() {
    // A cancelled dialog ends the operation: nothing is written.
    const QString chosen = fileDialog.showSave();
    if (chosen.isEmpty())
        return;
    const std::string path = core::reportFileName(mappedPath(chosen));
    try {
        core::saveReport(path, core::savedReportText(detailsReport()));
    } catch (const kestrana::platform::KestranaError& failure) {
        services::MessageBox::information(this, fromCore(core::kReportNotSavedMessage) + QLatin1Char('\n') +
                                                    fromCore(failure.reason()));
    }
}

void AnalyserScreen::runFileChanged() {
    buttons_.runFileChanged();
    applyButtonStates();
}

void AnalyserScreen::listingEntryClicked() {
    const core::RawView view = core::analyserSession().rawView(toCore(listingList->selectedEntry()));
    rawHeaderList->setEntries(view.header);
    rawValuesList->setEntries(view.rows);
}

void AnalyserScreen::scrollTitle() {
    const int bandWidth = titleBand->width() * kTwipsPerPixel;
    const int titleWidth = titleLabel->width() * kTwipsPerPixel;
    if (!titlePlaced_) {
        // Start where the design puts the title, on a multiple of the 5-twip step.
        titleLeftTwips_ = static_cast<int>(bandWidth * kTitleStartShare) / 5 * 5;
        titlePlaced_ = true;
    }
    titleLeftTwips_ = core::scrolledTitleLeft(titleLeftTwips_, titleWidth, 0, bandWidth);
    const int x = titleLeftTwips_ / kTwipsPerPixel;
    // The label moves a whole pixel every third tick; the ticks between cost nothing.
    if (x != titleLabel->x())
        titleLabel->move(x, (titleBand->height() - titleLabel->height()) / 2);
}

void AnalyserScreen::advanceCreditLine() {
    creditLabel->setText(fromCore(core::analyserSession().creditLine.tick()));
}

} // namespace kestrana::gui::analyser
