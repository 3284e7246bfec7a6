#include "analyser/screen_state.h"
#include "peaks/parameters.h"
#include "peaks/peak_database.h"
#include "peaks/print.h"
#include "peaks/query.h"
#include "peaks/session.h"
#include "peaks/texts.h"
#include "platform/paths.h"

#include "gui/app/navigator.h"
#include "gui/peaks/tgi_form6.h"
#include "gui/platform/help.h"
#include "gui/platform/message_box.h"
#include "gui/platform/printer.h"
#include "gui/platform/qt_text.h"
#include "gui/platform/screen_setup.h"
#include "gui/platform/title_prompt.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

#include <algorithm>
#include <exception>

namespace kestrana::gui::peaks {

namespace {

namespace core = kestrana::peaks;
using platform::fromCore;
using platform::toCore;

// Screen positions are kept in twips like the design's: 15 twips to a pixel.
constexpr int kTwipsPerPixel = 15;
// The coupled lists: List1(0) and List1(2) to List1(17) follow List1(1).
constexpr int kLastCoupledList = 17;

// The analyser's scratch and database files, in the home folder as it is now.
core::PeakFiles homeFiles() {
    return core::PeakFiles::in(kestrana::platform::homeFolder());
}

} // namespace

tgi_form6::tgi_form6(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("tgi_form6"));
    setWindowTitle(platform::kApplicationTitle + QStringLiteral(" - ") + fromCore(core::kScreenTitle));
    buildControls();
    buildLayout();
    connectHandlers();
    platform::installHelp(this);
    resize(1016, 720);
    setMinimumSize(940, 600);
    Form_Load();
    Timer1->start();
}

void tgi_form6::connectHandlers() {
    connect(Command1, &QPushButton::clicked, this, &tgi_form6::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &tgi_form6::Command2_Click);
    connect(Command3, &QPushButton::clicked, this, &tgi_form6::Command3_Click);
    connect(Command4, &QPushButton::clicked, this, &tgi_form6::Command4_Click);
    connect(Command5, &QPushButton::clicked, this, &tgi_form6::Command5_Click);
    connect(Combo1, &QComboBox::activated, this, &tgi_form6::Combo1_Click);
    connect(Timer1, &QTimer::timeout, this, &tgi_form6::Timer1_Timer);
    for (int i = 0; i < kColumnLists; ++i)
        connect(List1[static_cast<std::size_t>(i)], &platform::ListBox::scrolled, this,
                [this, i] { List1_Scroll(i); });
}

// The screen opens maximized, as large as the display.
void tgi_form6::Form_Load() {
    platform::fillDisplay(this);
}

void tgi_form6::Combo1_Click() {
    const auto limit = core::chooseParameter(toCore(Combo1->currentText()), core::programPeakSession());
    if (limit)
        Text2->setText(fromCore(*limit));
}

void tgi_form6::showWaitLabel(const QString& caption) {
    Label12->setText(caption);
    Label12->show();
    // The operation blocks the screen; paint the label now, or it would only appear afterwards.
    Label12->repaint();
}

void tgi_form6::Command1_Click() {
    showWaitLabel(fromCore(core::kReadingWaitCaption));
    QString message;
    try {
        const std::string runPath = kestrana::platform::mapDesignPath(platform::toPath(Text1->text()));
        const core::PeakProcessResult result =
            core::processPeakData(runPath, homeFiles(), core::programPeakSession());
        Label7->setText(fromCore(result.captions.label7));
        Label8->setText(fromCore(result.captions.label8));
        Label9->setText(fromCore(result.captions.label9));
        message = fromCore(core::kDatabaseGeneratedMessage);
    } catch (const core::PeakError& error) {
        message = fromCore(error.message());
    } catch (const std::exception&) {
        message = fromCore(core::kDatabaseFailedMessage);
    }
    Label12->hide();
    platform::MessageBox::information(this, message);
}

void tgi_form6::Command2_Click() {
    showWaitLabel(fromCore(core::kProcessingWaitCaption));
    for (platform::ListBox* list : List1)
        list->clear();
    try {
        const core::ShowDetailsInput input{toCore(Combo1->currentText()), toCore(Text2->text()),
                                           toCore(Text3[0]->text()), toCore(Text3[1]->text())};
        const core::PeakSummary summary =
            core::showDetails(input, core::programPeakSession(), homeFiles().databaseBase);
        coupling_ = true;
        for (int i = 0; i < kColumnLists; ++i)
            List1[static_cast<std::size_t>(i)]->setEntries(summary.lists[static_cast<std::size_t>(i)]);
        coupling_ = false;
        Label5->setText(fromCore(summary.label5));
        Label6->setText(fromCore(summary.label6));
    } catch (const core::PeakError& error) {
        coupling_ = false;
        platform::MessageBox::information(this, fromCore(error.message()));
    } catch (const std::exception& error) {
        coupling_ = false;
        platform::MessageBox::information(this, QString::fromLocal8Bit(error.what()));
    }
    Label12->hide();
}

void tgi_form6::Command3_Click() {
    const QString title =
        platform::TitlePrompt::ask(this, fromCore(core::kPrintTitlePrompt),
                                   fromCore(core::kPrintTitleBoxTitle), fromCore(core::kPrintTitleDefault));
    core::ColumnLists lists;
    for (int i = 0; i < kColumnLists; ++i)
        for (const QString& entry : List1[static_cast<std::size_t>(i)]->entries())
            lists[static_cast<std::size_t>(i)].push_back(toCore(entry));
    const core::PeakPrintTexts texts{toCore(title), toCore(Combo1->currentText()), toCore(Text2->text()),
                                     toCore(Text3[0]->text()), toCore(Text3[1]->text())};
    try {
        const kestrana::platform::HardCopyScript script =
            core::peakHardCopy(texts, lists, core::programPeakSession());
        platform::PrintOptions options;
        options.documentName = QStringLiteral("peak_details");
        platform::HardCopyPrinter::print(this, script, QPixmap(), options);
    } catch (const std::exception& error) {
        platform::MessageBox::information(this, QString::fromLocal8Bit(error.what()));
    }
}

void tgi_form6::Command4_Click() {
    // Whatever the dialog ended with: after a cancel that is the name it held before.
    Text1->setText(cd1.showOpen());
}

void tgi_form6::Command5_Click() {
    app::Navigator::goToMain(this);
}

// List1(1) drives the columns: whichever list scrolled, List1(0) and List1(2) to List1(17) are set
// to List1(1)'s top entry, so a scroll of any of them but List1(1) snaps back. Lists 18 to 21 are
// left where they are.
void tgi_form6::List1_Scroll(int index) {
    Q_UNUSED(index);
    if (coupling_)
        return;
    coupling_ = true;
    const int top = List1[1]->topIndex();
    List1[0]->setTopIndex(top);
    for (int i = 2; i <= kLastCoupledList; ++i)
        List1[static_cast<std::size_t>(i)]->setTopIndex(top);
    coupling_ = false;
}

void tgi_form6::placeTitle() {
    Label11->move(titleLeftTwips_ / kTwipsPerPixel, (Label10->height() - Label11->height()) / 2);
}

// The title runs from right to left through the band, 5 twips a tick, and comes back in at the
// band's right end once it has left at the left edge.
void tgi_form6::Timer1_Timer() {
    const int bandTwips = Label10->width() * kTwipsPerPixel;
    const int titleTwips = Label11->width() * kTwipsPerPixel;
    if (!titlePlaced_) {
        titleLeftTwips_ = std::max(0, bandTwips - titleTwips);
        titlePlaced_ = true;
    }
    titleLeftTwips_ = kestrana::analyser::scrolledTitleLeft(titleLeftTwips_, titleTwips, 0, bandTwips);
    placeTitle();
}

void tgi_form6::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    if (titlePlaced_)
        placeTitle();
}

} // namespace kestrana::gui::peaks
