// The analyser screen's handlers. Each is one operation: it hands the texts of the controls to the
// core, shows what comes back, and shows a refusal or failure in a message box without letting it
// leave the handler. An operation that is refused changes nothing on the screen.

#include "gui/analyser/form1.h"

#include "analyser/messages.h"
#include "analyser/processing.h"
#include "analyser/session.h"
#include "gui/analyser/form3.h"
#include "gui/app/navigator.h"
#include "gui/platform/charts.h"
#include "gui/platform/clipboard.h"
#include "gui/platform/help.h"
#include "gui/platform/list_box.h"
#include "gui/platform/message_box.h"
#include "gui/platform/printer.h"
#include "gui/platform/qt_text.h"
#include "gui/platform/screen_setup.h"
#include "gui/platform/title_prompt.h"
#include "platform/errors.h"
#include "platform/paths.h"

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
using platform::fromCore;
using platform::toCore;

namespace {

// Twips per screen pixel: the title band's positions are kept in twips as the design gives them.
constexpr int kTwipsPerPixel = 15;
// Where the title starts in the band: the design puts its left edge at 11880 of 15375 twips.
constexpr double kTitleStartShare = 11880.0 / 15375.0;

// A path typed into a box or chosen in the dialog, mapped as the design's drive paths are.
std::string mappedPath(const QString& typed) {
    return kestrana::platform::mapDesignPath(platform::toPath(typed));
}

// The title prompt of both hard copies; a cancelled prompt gives an empty title.
QString askTitle(QWidget* screen, std::string_view promptTitle) {
    return platform::TitlePrompt::ask(screen, fromCore(core::kTitlePrompt), fromCore(promptTitle),
                                      fromCore(core::kTitlePromptDefault));
}

void showRefusal(QWidget* screen, const std::exception& refusal) {
    platform::MessageBox::information(screen, fromCore(refusal.what()));
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

form1::form1(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("form1"));
    setWindowTitle(platform::kApplicationTitle + QStringLiteral(" " KESTRANA_VERSION " - Index Analyser"));
    buildControls();
    buildLayout();
    setTabOrderAsSeen();
    connectHandlers();
    platform::installHelp(this);
    Form_Load();
}

void form1::connectHandlers() {
    const std::vector<std::pair<QPushButton*, void (form1::*)()>> clicks = {
        {Command1, &form1::Command1_Click}, {Command2, &form1::Command2_Click},
        {Command3, &form1::Command3_Click}, {Command4, &form1::Command4_Click},
        {Command5, &form1::Command5_Click}, {Command6, &form1::Command6_Click},
        {Command7, &form1::Command7_Click}, {Command8, &form1::Command8_Click},
        {Command9, &form1::Command9_Click}, {Command10, &form1::Command10_Click}};
    for (const auto& [command, handler] : clicks)
        connect(command, &QPushButton::clicked, this, handler);
    connect(Text1, &QLineEdit::textChanged, this, &form1::Text1_Change);
    connect(List1, &platform::ListBox::entryClicked, this, &form1::List1_Click);
    connect(Timer1, &QTimer::timeout, this, &form1::Timer1_Timer);
    connect(Timer2, &QTimer::timeout, this, &form1::Timer2_Timer);

    // Enter in a box runs the operation that box feeds, when that operation is usable.
    const std::vector<std::pair<QLineEdit*, QPushButton*>> enters = {
        {Text1, Command1}, {Text2, Command1}, {txtskm, Command2}, {txtekm, Command2},
        {Text3, Command3}, {Text4, Command3}, {Text5, Command4},  {Text6, Command4}};
    for (const auto& [box, command] : enters)
        platform::pressOnEnter(box, command);
}

void form1::Form_Load() {
    // The screen fills the display it opens on.
    platform::fillDisplay(this);
    buttons_ = {};
    applyButtonStates();
    Timer1->start();
    Timer2->start();
}

void form1::applyButtonStates() {
    Command2->setEnabled(buttons_.processInformation);
    Command3->setEnabled(buttons_.showDetails);
    Command4->setEnabled(buttons_.calcTrackShare);
    Command5->setEnabled(buttons_.printDetails);
    Command7->setEnabled(buttons_.printGraph);
    Command10->setEnabled(buttons_.saveDetails);
}

void form1::Command1_Click() {
    core::AnalyserSession& session = core::analyserSession();
    core::ProcessedRun run;
    try {
        run = core::processData(mappedPath(Text1->text()), mappedPath(Text2->text()));
    } catch (const std::exception&) {
        // Whatever failed, the run of the last successful step stays, with every view on it.
        platform::MessageBox::information(this, fromCore(core::kProcessFailedMessage));
        return;
    }
    txtrundate->setText(fromCore(run.runDate));
    txtrunno->setText(fromCore(run.runNumber));
    lblsection->setText(fromCore(run.section));
    txtkmfrom->setText(fromCore(run.kmFrom));
    txtkmto->setText(fromCore(run.kmTo));
    txtskm->setText(fromCore(run.kmFrom));
    txtekm->setText(fromCore(run.kmTo));
    session.keepTable(std::move(run.table));
    buttons_.processDataSucceeded();
    applyButtonStates();
}

void form1::Command2_Click() {
    core::QualityResult result;
    try {
        result = core::analyserSession().processInformation(toCore(txtskm->text()), toCore(txtekm->text()));
    } catch (const core::AnalyserRefusal& refusal) {
        showRefusal(this, refusal);
        return;
    }
    listingArea->setCurrentWidget(MSChart1);
    Label3->setText(fromCore(result.bandCaptions[0]));
    Label4->setText(fromCore(result.bandCaptions[1]));
    Label5->setText(fromCore(result.bandCaptions[2]));
    Label6->setText(fromCore(result.bandCaptions[3]));
    Label7->setText(fromCore(result.nonRecordedCaption));
    lblavgtgi->setText(fromCore(result.averageCaption));
    buttons_.processInformationDone();
    MSChart1->setData(fromCore(result.chart.label),
                      std::vector<double>(result.chart.bandShares.begin(), result.chart.bandShares.end()));
    applyButtonStates();
}

void form1::Command3_Click() {
    core::Listing listing;
    try {
        listing = core::analyserSession().showDetails(toCore(Text3->text()), toCore(Text4->text()),
                                                      toCore(Combo1->currentText()));
    } catch (const core::AnalyserRefusal& refusal) {
        showRefusal(this, refusal);
        return;
    }
    listingArea->setCurrentWidget(List1);
    List2->setEntries({fromCore(listing.header)});
    List1->setEntries(listing.entries);
    listedHeader_ = std::move(listing.header);
    listedEntries_ = std::move(listing.entries);
    buttons_.showDetailsDone();
    applyButtonStates();
}

void form1::Command4_Click() {
    try {
        const core::TrackShare share =
            core::analyserSession().calcTrackShare(toCore(Text5->text()), toCore(Text6->text()));
        Label18->setText(fromCore(share.caption));
    } catch (const core::AnalyserRefusal& refusal) {
        showRefusal(this, refusal);
    }
}

core::DetailsReport form1::detailsReport() const {
    const core::AnalyserSession& session = core::analyserSession();
    return core::DetailsReport{core::reportHeadingOf(session.table.header),
                               session.range,
                               toCore(Combo1->currentText()),
                               session.listingBounds,
                               listedHeader_,
                               listedEntries_};
}

void form1::Command5_Click() {
    const QString title = askTitle(this, core::kPrintDetailsPromptTitle);
    platform::PrintOptions options;
    options.documentName = QStringLiteral("Print Details");
    platform::HardCopyPrinter::print(this, core::printDetailsScript(toCore(title), detailsReport()),
                                     QPixmap(), options);
}

void form1::Command6_Click() {
    app::Navigator::goToMain(this);
}

void form1::Command7_Click() {
    const core::AnalyserSession& session = core::analyserSession();
    const QString title = askTitle(this, core::kPrintGraphPromptTitle);
    // The chart as it stands, drawn at the size the page gives it, so that its texts print at the
    // same size whatever the display the screen is shown on.
    platform::BarChart printed;
    printed.setData(MSChart1->label(), MSChart1->values());
    printed.resize(Form3::kPictureWidth, Form3::kPictureHeight);
    platform::ChartClipboard::copyPicture(&printed);
    Form3 canvas;
    canvas.takePicture(platform::ChartClipboard::picture());
    const kestrana::platform::HardCopyScript script =
        core::printGraphScript(toCore(title), core::reportHeadingOf(session.table.header), session.range,
                               session.distribution, printedDateTime(QDateTime::currentDateTime()));
    platform::PrintOptions options;
    options.documentName = QStringLiteral("Print Graph");
    // A page that did not get out leaves the button usable for another try.
    if (platform::HardCopyPrinter::print(this, script, canvas.picture(), options)) {
        buttons_.printGraphDone();
        applyButtonStates();
    }
}

void form1::Command8_Click() {
    // Setting the run path by Browse counts as a change even when the same name comes back: the
    // file behind it may be another by now.
    const QString chosen = cd1.showOpen();
    if (chosen == Text1->text())
        Text1_Change();
    else
        Text1->setText(chosen);
}

void form1::Command9_Click() {
    Text2->setText(cd1.showOpen());
}

void form1::Command10_Click() {
    // A cancelled dialog ends the operation: nothing is written.
    const QString chosen = cd1.showSave();
    if (chosen.isEmpty())
        return;
    const std::string path = core::reportFileName(mappedPath(chosen));
    try {
        core::saveReport(path, core::savedReportText(detailsReport()));
    } catch (const kestrana::platform::KestranaError& failure) {
        platform::MessageBox::information(this, fromCore(core::kReportNotSavedMessage) + QLatin1Char('\n') +
                                                    fromCore(failure.reason()));
    }
}

void form1::Text1_Change() {
    buttons_.runFileChanged();
    applyButtonStates();
}

void form1::List1_Click() {
    const core::RawView view = core::analyserSession().rawView(toCore(List1->selectedEntry()));
    List3->setEntries(view.header);
    List4->setEntries(view.rows);
}

void form1::Timer1_Timer() {
    const int bandWidth = Label14->width() * kTwipsPerPixel;
    const int titleWidth = Label22->width() * kTwipsPerPixel;
    if (!titlePlaced_) {
        // Start where the design puts the title, on a multiple of the 5-twip step.
        titleLeftTwips_ = static_cast<int>(bandWidth * kTitleStartShare) / 5 * 5;
        titlePlaced_ = true;
    }
    titleLeftTwips_ = core::scrolledTitleLeft(titleLeftTwips_, titleWidth, 0, bandWidth);
    const int x = titleLeftTwips_ / kTwipsPerPixel;
    // The label moves a whole pixel every third tick; the ticks between cost nothing.
    if (x != Label22->x())
        Label22->move(x, (Label14->height() - Label22->height()) / 2);
}

void form1::Timer2_Timer() {
    Label19->setText(fromCore(core::analyserSession().creditLine.tick()));
}

} // namespace kestrana::gui::analyser
