// The core's headers come before any Qt header (see form2.h).
#include "analyser/screen_state.h"
#include "comparator/comparison.h"
#include "comparator/messages.h"
#include "comparator/reports.h"
#include "comparator/run_database.h"
#include "comparator/session.h"
#include "platform/errors.h"
#include "platform/paths.h"

#include "gui/app/navigator.h"
#include "gui/comparator/form2.h"
#include "gui/comparator/form4.h"
#include "gui/platform/charts.h"
#include "gui/platform/clipboard.h"
#include "gui/platform/help.h"
#include "gui/platform/list_box.h"
#include "gui/platform/message_box.h"
#include "gui/platform/printer.h"
#include "gui/platform/qt_text.h"
#include "gui/platform/screen_setup.h"
#include "gui/platform/title_prompt.h"

#include <QComboBox>
#include <QDate>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPalette>
#include <QPushButton>
#include <QTimer>

#include <utility>
#include <vector>

namespace kestrana::gui::comparator {

namespace core = kestrana::comparator;
using platform::fromCore;
using platform::toCore;

namespace {

// The design's fixed places of the run database (the store adds its extension) and of the pair
// scratch file, mapped into the program's home folder.
constexpr const char* kDatabaseDesignPath = "c:\\trcdbase";
constexpr const char* kScratchDesignPath = "c:\\temp_1.txt";

// A disabled run slot's path box is grey (&HC0C0C0); an enabled one has the system's window colour.
// Its path stays readable in a darker grey: the style's own disabled text all but vanishes on it.
const QColor kDisabledSlotColour(0xC0, 0xC0, 0xC0);
const QColor kDisabledPathColour(0x60, 0x60, 0x60);

constexpr int kTwipsPerPixel = 15;
constexpr int kTitleStepTwips = 5;

std::string databaseBase() {
    return kestrana::platform::mapDesignPath(kDatabaseDesignPath);
}

// A path as typed or chosen, for the core's file functions; drive-letter paths map into the home.
std::string mappedPath(const QString& typed) {
    return kestrana::platform::mapDesignPath(platform::toPath(typed));
}

// A message of the core followed by what exactly went wrong, when there is such a detail.
QString messageWithReason(std::string_view message, const std::string& reason) {
    QString text = fromCore(message);
    if (!reason.empty())
        text += QLatin1Char('\n') + fromCore(reason);
    return text;
}

// The credit line's counter lives as long as the program, like the rest of the comparator's values.
kestrana::analyser::CreditLine& creditLine() {
    static kestrana::analyser::CreditLine line;
    return line;
}

} // namespace

form2::form2(QWidget* parent) : QWidget(parent), listed_(std::make_unique<core::ComparisonListing>()) {
    setObjectName(QStringLiteral("form2"));
    setWindowTitle(platform::kApplicationTitle + QStringLiteral(" " KESTRANA_VERSION " - TGI Comparator"));
    buildControls();
    buildLayout();
    setTabOrderAsSeen();
    connectHandlers();
    platform::installHelp(this);
    Form_Load();
}

form2::~form2() = default;

void form2::connectHandlers() {
    const std::vector<std::pair<QPushButton*, void (form2::*)()>> clicks = {
        {Command1, &form2::Command1_Click}, {Command2, &form2::Command2_Click},
        {Command3, &form2::Command3_Click}, {Command4, &form2::Command4_Click},
        {Command5, &form2::Command5_Click}, {Command7, &form2::Command7_Click}};
    for (const auto& [command, handler] : clicks)
        connect(command, &QPushButton::clicked, this, handler);
    for (int k = 0; k < core::kSlotCount; ++k)
        connect(Command6[k], &QPushButton::clicked, this, [this, k] { Command6_Click(k); });
    connect(Text3, &QLineEdit::textChanged, this, &form2::Text3_Change);
    // A parameter picked from the list, by mouse or keyboard; typing into the box is not a pick.
    connect(Combo1, &QComboBox::activated, this, &form2::Combo1_Click);
    connect(List4, &platform::ListBox::scrolled, this, &form2::List4_Scroll);
    connect(Timer1, &QTimer::timeout, this, &form2::Timer1_Timer);
    connect(Timer2, &QTimer::timeout, this, &form2::Timer2_Timer);

    // Enter in a box runs the operation that box feeds, when that operation is usable.
    std::vector<std::pair<QLineEdit*, QPushButton*>> enters = {{Text2[0], Command1}, {Text2[1], Command1}};
    for (QLineEdit* path : Text1)
        enters.emplace_back(path, Command2);
    for (const auto& [box, command] : enters)
        platform::pressOnEnter(box, command);
}

void form2::Form_Load() {
    // The screen fills the display it opens on.
    platform::fillDisplay(this);
    for (int k = 1; k < core::kSlotCount; ++k)
        setSlotEnabled(k, false);
    setSlotEnabled(0, true);
    for (QLineEdit* km : Text2)
        km->setEnabled(false);
    for (QPushButton* command : {Command1, Command3, Command5, Command7})
        command->setEnabled(false);
    Timer1->start();
    Timer2->start();
}

void form2::setSlotEnabled(int slot, bool enabled) {
    QLineEdit* path = Text1[static_cast<std::size_t>(slot)];
    path->setEnabled(enabled);
    QPalette colours = path->palette();
    const QColor base =
        enabled ? QGuiApplication::palette().color(QPalette::Active, QPalette::Base) : kDisabledSlotColour;
    for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled})
        colours.setColor(group, QPalette::Base, base);
    colours.setColor(QPalette::Disabled, QPalette::Text, kDisabledPathColour);
    path->setPalette(colours);
    Label3[static_cast<std::size_t>(slot)]->setEnabled(enabled);
}

void form2::Text3_Change() {
    for (QLineEdit* path : Text1)
        path->show();
    Command1->setEnabled(false);
    Command3->setEnabled(false);

    core::ComparatorSession& session = core::comparatorSession();
    const auto [olderRuns, slotChanges, showEnterOneToThree] =
        core::olderRunsEdited(toCore(Text3->text()), session.olderRuns);
    session.olderRuns = olderRuns;
    if (showEnterOneToThree)
        platform::MessageBox::information(this, fromCore(core::kEnterOneToThreeMessage));
    for (int k = 1; k < core::kSlotCount; ++k) {
        const core::SlotEnabling change = slotChanges[static_cast<std::size_t>(k)];
        if (change != core::SlotEnabling::Unchanged)
            setSlotEnabled(k, change == core::SlotEnabling::Enabled);
    }
}

void form2::Combo1_Click() {
    // The database holds the parameter of the last PROCESS DATA: a new one must be loaded first.
    Command1->setEnabled(false);
}

void form2::Command2_Click() {
    core::ComparatorSession& session = core::comparatorSession();
    core::BuildRequest request;
    for (int k = 0; k < core::kSlotCount; ++k)
        request.slotPaths[static_cast<std::size_t>(k)] =
            mappedPath(Text1[static_cast<std::size_t>(k)]->text());
    request.olderRuns = session.olderRuns;
    request.parameter = toCore(Combo1->currentText());
    request.databaseBase = databaseBase();
    request.scratchPath = kestrana::platform::mapDesignPath(kScratchDesignPath);

    // Each slot that loads gives up its path box to its km caption, then says so; slot 0 then fills
    // the km boxes.
    const core::BuildResult result =
        core::buildRunDatabase(request, session, [this](const core::SlotLoaded& slot) {
            Text1[static_cast<std::size_t>(slot.slot)]->hide();
            Label6[static_cast<std::size_t>(slot.slot)]->setText(fromCore(slot.kmCaption));
            platform::MessageBox::information(this, fromCore(slot.message));
            if (slot.kmFromText)
                Text2[0]->setText(fromCore(*slot.kmFromText));
            if (slot.kmToText)
                Text2[1]->setText(fromCore(*slot.kmToText));
        });

    switch (result.outcome) {
    case core::BuildResult::Outcome::Built:
        Command1->setEnabled(true);
        for (QLineEdit* km : Text2)
            km->setEnabled(true);
        break;
    case core::BuildResult::Outcome::ParameterRefused:
        platform::MessageBox::information(this, fromCore(result.message));
        break;
    case core::BuildResult::Outcome::DatabaseFailed:
        platform::MessageBox::information(this, messageWithReason(result.message, result.reason));
        break;
    case core::BuildResult::Outcome::SlotFailed:
        platform::MessageBox::information(this, fromCore(result.message));
        for (int k = 0; k < core::kSlotCount; ++k) {
            Text1[static_cast<std::size_t>(k)]->show();
            Label6[static_cast<std::size_t>(k)]->clear();
        }
        break;
    }
}

void form2::Command1_Click() {
    const core::ComparatorSession& session = core::comparatorSession();
    const core::CompareResult result =
        core::compareRuns(toCore(Text2[0]->text()), toCore(Text2[1]->text()), session, databaseBase());
    switch (result.outcome) {
    case core::CompareResult::Outcome::RangeRefused:
        platform::MessageBox::information(this, fromCore(result.message));
        return;
    case core::CompareResult::Outcome::Refused:
        showListing(result.listing);
        platform::MessageBox::information(this, messageWithReason(result.message, result.reason));
        return;
    case core::CompareResult::Outcome::Compared:
        break;
    }
    showListing(result.listing);
    Command3->setEnabled(true);
    // Without the per-km averages the chart and the buttons made from it stay as they are.
    if (!result.chart)
        return;
    QStringList categories;
    std::vector<platform::LineChart::Series> series(result.chart->seriesNames.size());
    for (std::size_t k = 0; k < series.size(); ++k)
        series[k].name = fromCore(result.chart->seriesNames[k]);
    for (const core::KmAverageRow& row : result.chart->rows) {
        categories.append(fromCore(core::kmCategoryLabel(row.km)));
        for (std::size_t k = 0; k < series.size() && k < row.means.size(); ++k)
            series[k].values.push_back(row.means[k]);
    }
    MSChart1->setData(categories, series);
    Command5->setEnabled(true);
    Command7->setEnabled(true);
}

void form2::showListing(const core::ComparisonListing& listing) {
    *listed_ = listing;
    // A new comparison is read from its first block, wherever the boxes were scrolled before.
    const auto show = [](platform::ListBox* box, const std::vector<std::string>& entries) {
        box->setEntries(entries);
        box->scrollToTop();
    };
    show(List3, listing.list3);
    show(List4, listing.list4);
    for (std::size_t k = 0; k < List1.size(); ++k) {
        show(List1[k], listing.list1[k]);
        show(List2[k], listing.list2[k]);
    }
}

void form2::List4_Scroll() {
    const int n = core::comparatorSession().olderRuns;
    if (!core::isOlderRunCount(n))
        return;
    const int top = List4->topIndex();
    for (int k = 0; k <= n; ++k)
        List2[static_cast<std::size_t>(k)]->setTopIndex(top);
}

core::ReportInputs form2::reportInputs() const {
    const core::ComparatorSession& session = core::comparatorSession();
    core::ReportInputs inputs;
    inputs.section = session.section;
    inputs.fromText = toCore(Text2[0]->text());
    inputs.toText = toCore(Text2[1]->text());
    inputs.parameter = toCore(Combo1->currentText());
    inputs.olderRuns = session.olderRuns;
    return inputs;
}

void form2::Command3_Click() {
    const QString title =
        platform::TitlePrompt::ask(this, fromCore(core::kTitlePrompt),
                                   fromCore(core::kPrintDetailsPromptTitle), fromCore(core::kTitleDefault));
    platform::PrintOptions options;
    options.documentName = QStringLiteral("Print Details");
    platform::HardCopyPrinter::print(this, core::printDetailsScript(reportInputs(), *listed_, toCore(title)),
                                     QPixmap(), options);
}

void form2::Command5_Click() {
    const QString title =
        platform::TitlePrompt::ask(this, fromCore(core::kTitlePrompt), fromCore(core::kPrintGraphPromptTitle),
                                   fromCore(core::kTitleDefault));
    // The chart is drawn once more at the size the page gives it, so that its lettering prints at
    // one size whatever the size of the display it was shown on.
    platform::LineChart pageChart;
    pageChart.setAttribute(Qt::WA_DontShowOnScreen);
    pageChart.resize(Form4::kPictureWidth, Form4::kPictureHeight);
    pageChart.setData(MSChart1->categories(), MSChart1->series());
    platform::ChartClipboard::copyPicture(&pageChart);
    Form4 canvas;
    canvas.takePicture(platform::ChartClipboard::picture());
    const QString today = QLocale::system().toString(QDate::currentDate(), QLocale::ShortFormat);
    platform::PrintOptions options;
    options.landscape = true;
    options.documentName = QStringLiteral("Print Graph");
    platform::HardCopyPrinter::print(this,
                                     core::printGraphScript(reportInputs(), toCore(title), toCore(today)),
                                     canvas.picture(), options);
}

void form2::Command7_Click() {
    // A cancelled dialog ends the operation: nothing is written.
    const QString chosen = cd1.showSave();
    if (chosen.isEmpty())
        return;
    const std::string path = core::reportFileName(mappedPath(chosen));
    try {
        core::saveReport(path, core::comparatorSession().section, *listed_);
    } catch (const kestrana::platform::KestranaError& failure) {
        platform::MessageBox::information(this,
                                          messageWithReason(core::kReportNotSavedMessage, failure.reason()));
    }
}

void form2::Command6_Click(int index) {
    QLineEdit* path = Text1[static_cast<std::size_t>(index)];
    path->setText(cd1.showOpen());
}

void form2::Command4_Click() {
    app::Navigator::goToMain(this);
}

void form2::Timer1_Timer() {
    const int bandWidth = Label1->width() * kTwipsPerPixel;
    const int titleWidth = Label2->width() * kTwipsPerPixel;
    if (!titlePlaced_) {
        // Start in the middle of the band, on a multiple of the 5-twip step.
        titleLeftTwips_ = (bandWidth - titleWidth) / 2 / kTitleStepTwips * kTitleStepTwips;
        titlePlaced_ = true;
    }
    titleLeftTwips_ = kestrana::analyser::scrolledTitleLeft(titleLeftTwips_, titleWidth, 0, bandWidth);
    const int x = titleLeftTwips_ / kTwipsPerPixel;
    // The label moves a whole pixel every third tick; the ticks between cost nothing.
    if (x != Label2->x())
        Label2->move(x, (Label1->height() - Label2->height()) / 2);
}

void form2::Timer2_Timer() {
    Label7->setText(fromCore(creditLine().tick()));
}

} // namespace kestrana::gui::comparator
