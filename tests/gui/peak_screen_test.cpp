// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Kestrana developers

// The peak analyser screen through its buttons: PROCESS DATA with its captions, message and wait
// label, SHOW DETAILS showing the core's columns and summary in both directions, the refusals, PRINT
// DETAILS as the core lays it out for the boxes as they stand, the coupled scrolling of the result
// columns, and GO TO MAIN with the session kept for the next opening. Each test has a private home
// folder and a fresh program session.

// The core's headers come before any Qt header (Qt's `record` macro).
#include "core/peaks/peak_database.h"
#include "core/peaks/print.h"
#include "core/peaks/query.h"
#include "core/peaks/session.h"

#include "gui/app/main_menu.h"
#include "gui/app/navigator.h"
#include "gui/peaks/peak_screen.h"
#include "gui/services/hard_copy_printer.h"
#include "gui/services/message_box.h"
#include "gui/services/resolution_switch.h"
#include "gui/services/title_prompt.h"
#include "gui_test_support.h"
#include "run_generator.h"
#include "support/test_support.h"

#include <QComboBox>
#include <QDir>
#include <QEvent>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

namespace kestrana::test {

class PeakScreenTest : public ::testing::Test {
protected:
    using PeakScreen = kestrana::gui::peaks::PeakScreen;

    void SetUp() override {
        QDir().mkpath(QString::fromStdString(home_));
        // The main menu, shown again by GO TO MAIN, asks nothing on a display of 1024 x 768.
        kestrana::gui::services::ResolutionSwitch::fakeDisplay({1024, 768}, false);
        kestrana::peaks::programPeakSession() = kestrana::peaks::PeakSession{};
    }
    void TearDown() override {
        kestrana::gui::app::Navigator::closeAll();
        kestrana::peaks::programPeakSession() = kestrana::peaks::PeakSession{};
    }

    PeakScreen* openScreen() {
        auto* screen = qobject_cast<PeakScreen*>(
            kestrana::gui::app::Navigator::show(kestrana::gui::app::Screen::PeakAnalyser));
        if (screen != nullptr) {
            screen->titleTimer->stop(); // the title's ticks are driven by hand where a test wants them
            EXPECT_TRUE(QTest::qWaitForWindowExposed(screen));
        }
        return screen;
    }

    // Writes a run file under the home folder and returns its path.
    std::string writeRun(const std::string& name, const std::string& text) {
        const std::string path = folder_.file("home/" + name);
        QDir().mkpath(QFileInfo(QString::fromStdString(path)).absolutePath());
        writeFile(path, text);
        return path;
    }
    // The run at the screen's default path, <home>/bbb/shtd0201.run.
    std::string writeDefaultRun(const std::string& text) { return writeRun("bbb/shtd0201.run", text); }

    static void type(QLineEdit* box, const QString& text) {
        box->selectAll();
        QTest::keyClick(box, Qt::Key_Delete);
        QTest::keyClicks(box, text);
    }
    static void typeParameter(PeakScreen* screen, const QString& text) {
        type(screen->parameterCombo->lineEdit(), text);
    }
    // A name typed into the combo and entered, as a pick from its list.
    static void chooseByTyping(PeakScreen* screen, const QString& text) {
        typeParameter(screen, text);
        QTest::keyClick(screen->parameterCombo->lineEdit(), Qt::Key_Return);
    }
    static void click(QPushButton* button) { QTest::mouseClick(button, Qt::LeftButton); }

    // PROCESS DATA on the file in runFileEdit, then SHOW DETAILS with the km range typed.
    static void processAndShow(PeakScreen* screen, const QString& from, const QString& to) {
        click(screen->processDataButton);
        type(screen->kmRangeEdits[0], from);
        type(screen->kmRangeEdits[1], to);
        click(screen->showDetailsButton);
    }

    static kestrana::peaks::ColumnLists listsOf(const PeakScreen* screen) {
        kestrana::peaks::ColumnLists lists;
        for (std::size_t i = 0; i < lists.size(); ++i)
            for (const QString& entry : screen->resultLists[i]->entries())
                lists[i].push_back(entry.toStdString());
        return lists;
    }

    static QStringList messages() { return kestrana::gui::services::MessageBox::shownTexts(); }

    TempFolder folder_;
    std::string home_ = folder_.file("home");
    ScopedEnv homeEnv_{"KESTRANA_HOME", home_};
    ScopedEnv printEnv_{"KESTRANA_PRINT_TO", folder_.file("prints")};
};

// A small run written by hand: three kilometres from 120, UN2L (code 6) and GAUGE (code 3) peaks.
// UN2L: km 120 opens with 18 and 16 above 15; km 121 opens with 15, equal to the limit; km 122 has
// all eight pairs above 15.
inline const std::string kHandRun =
    "95,7,230224,0815,TRC\r\n"
    "91,0034,NR,KM,  SHEGAON - BADNERA UP LINE   ,END\r\n"
    "60,120,121,\r\n"
    "67,6,18,350,16,12,15,400,14,500,13,600,12,700,11,800,10,900,8\r\n"
    "67,3,7,100,6,200,5,300,4,400,3,500,2,600,1,700,0,800,7\r\n"
    "60,121,122,\r\n"
    "67,6,15,111,20,222,19,333,18,444,17,555,16,666,15,777,14,888,8\r\n"
    "67,3,9,101,8,202,7,303,6,404,5,505,4,606,3,707,2,808,8\r\n"
    "60,122,123,\r\n"
    "67,6,30,1234,29,2345,28,3456,27,4567,26,5678,25,6789,24,7890,23,8901,8\r\n"
    "67,3,5,111,4,222,3,333,2,444,1,555,0,666,0,777,0,888,5\r\n";

} // namespace kestrana::test

namespace {

using kestrana::generator::generateRun;
using kestrana::generator::RunRecipe;
using kestrana::gui::app::Navigator;
using kestrana::gui::app::Screen;
using kestrana::gui::services::HardCopyPrinter;
using kestrana::gui::services::MessageBox;
using kestrana::gui::services::TitlePrompt;
using kestrana::peaks::programPeakSession;
using kestrana::test::kHandRun;
using kestrana::test::PeakScreenTest;
using Entries = std::vector<std::string>;

const QString kGenerated = QStringLiteral("Peak Database generated");

// Counts the paints of a widget, to see that the wait label is drawn while an operation runs.
class PaintCounter : public QObject {
public:
    explicit PaintCounter(QWidget* widget) { widget->installEventFilter(this); }
    int paints = 0;

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        paints += event->type() == QEvent::Paint ? 1 : 0;
        return false;
    }
};

} // namespace

TEST_F(PeakScreenTest, OpensOnTheDefaultRunWithTheFirstParameterAndItsLimit) {
    PeakScreen* screen = openScreen();
    ASSERT_NE(screen, nullptr);
    EXPECT_EQ(screen->runFileEdit->text(), QString::fromStdString(home_ + "/bbb/shtd0201.run"));
    EXPECT_EQ(screen->parameterCombo->currentText(), QStringLiteral("UN2L"));
    EXPECT_EQ(screen->limitEdit->text(), QStringLiteral("15"));
    EXPECT_EQ(listsOf(screen), kestrana::peaks::ColumnLists{});
    EXPECT_FALSE(screen->waitLabel->isVisible());
    EXPECT_FALSE(screen->spareEdit->isVisible());
}

TEST_F(PeakScreenTest, ProcessDataShowsTheRunAndAFailureWithdrawsEverythingOfTheRunBefore) {
    PeakScreen* screen = openScreen();
    // No database yet: nothing to list or print.
    EXPECT_FALSE(screen->showDetailsButton->isEnabled());
    EXPECT_FALSE(screen->printDetailsButton->isEnabled());
    click(screen->processDataButton); // nothing at the default path yet
    ASSERT_EQ(messages().size(), 1);
    EXPECT_NE(messages().front(), kGenerated);
    EXPECT_TRUE(screen->kmRangeLabel->text().isEmpty());
    EXPECT_FALSE(screen->showDetailsButton->isEnabled());
    EXPECT_FALSE(QFileInfo::exists(QString::fromStdString(home_ + "/trcpeak.sqlite")));

    writeDefaultRun(kHandRun);
    MessageBox::reset();
    PaintCounter waitPaints(screen->waitLabel);
    click(screen->processDataButton);
    EXPECT_EQ(messages(), QStringList{kGenerated});
    EXPECT_EQ(screen->sectionLabel->text(), QStringLiteral("SHEGAON - BADNERA UP LINE"));
    EXPECT_EQ(screen->runDateLabel->text(), QStringLiteral(" Date : 230224"));
    EXPECT_EQ(screen->kmRangeLabel->text(), QStringLiteral(" Km 120 to Km 123"));
    // The wait label was painted while the operation ran, and is hidden at its end.
    EXPECT_GE(waitPaints.paints, 1);
    EXPECT_EQ(screen->waitLabel->text(), QStringLiteral("Please wait.Data reading in progress...."));
    EXPECT_FALSE(screen->waitLabel->isVisible());
    // A run to list; PRINT DETAILS waits for a listing.
    EXPECT_TRUE(screen->showDetailsButton->isEnabled());
    EXPECT_FALSE(screen->printDetailsButton->isEnabled());
    type(screen->kmRangeEdits[0], QStringLiteral("120"));
    type(screen->kmRangeEdits[1], QStringLiteral("123"));
    click(screen->showDetailsButton);
    EXPECT_EQ(listsOf(screen)[0], (Entries{"120", "", "122", ""}));
    EXPECT_TRUE(screen->printDetailsButton->isEnabled());

    // A failed PROCESS DATA takes everything of the run before off the screen: another run was asked
    // for. Its database stays on disk untouched and is named again when the screen next opens.
    MessageBox::reset();
    type(screen->runFileEdit, QString::fromStdString(home_ + "/bbb/missing.run"));
    click(screen->processDataButton);
    EXPECT_EQ(messages(), QStringList{QStringLiteral(
                              "Could not open the run file. Please type file name correctly. Peak Database "
                              "not generated.")});
    EXPECT_FALSE(screen->waitLabel->isVisible());
    EXPECT_EQ(listsOf(screen), kestrana::peaks::ColumnLists{});
    for (QLabel* label : {screen->sectionLabel, screen->runDateLabel, screen->kmRangeLabel,
                          screen->kmCountLabel, screen->peakCountLabel})
        EXPECT_TRUE(label->text().isEmpty()) << label->objectName().toStdString();
    EXPECT_FALSE(screen->showDetailsButton->isEnabled());
    EXPECT_FALSE(screen->printDetailsButton->isEnabled());
    Navigator::closeAll();
    EXPECT_EQ(openScreen()->kmRangeLabel->text(), QStringLiteral(" Km 120 to Km 123"));
}

TEST_F(PeakScreenTest, ANewRunWithdrawsTheOldResultsAndARunWithoutPeakRecordsIsRefusedByName) {
    writeDefaultRun(kHandRun);
    PeakScreen* screen = openScreen();
    processAndShow(screen, QStringLiteral("120"), QStringLiteral("123"));
    ASSERT_EQ(listsOf(screen)[0], (Entries{"120", "", "122", ""}));
    ASSERT_TRUE(screen->printDetailsButton->isEnabled());

    // Another run processed: its heading, and nothing of the earlier listing under it.
    RunRecipe recipe;
    recipe.startKm = 300;
    recipe.kmCount = 5;
    type(screen->runFileEdit, QString::fromStdString(writeRun("other.run", generateRun(recipe))));
    MessageBox::reset();
    click(screen->processDataButton);
    EXPECT_EQ(messages(), QStringList{kGenerated});
    EXPECT_EQ(screen->kmRangeLabel->text(), QStringLiteral(" Km 300 to Km 305"));
    EXPECT_EQ(listsOf(screen), kestrana::peaks::ColumnLists{});
    EXPECT_TRUE(screen->kmCountLabel->text().isEmpty() && screen->peakCountLabel->text().isEmpty());
    EXPECT_TRUE(screen->showDetailsButton->isEnabled());
    EXPECT_FALSE(screen->printDetailsButton->isEnabled());
    click(screen->printDetailsButton);
    EXPECT_TRUE(HardCopyPrinter::jobs().empty());

    // Files that hold no peak record: named in the message, no database made from them, nothing to
    // list or print. The database of the run before is the one on disk still.
    std::string noise(2048, '\0');
    unsigned seed = 16;
    for (char& byte : noise) {
        seed = seed * 1103515245u + 12345u;
        byte = static_cast<char>(seed >> 16);
    }
    const std::vector<std::string> refused{
        writeRun("noise.run", noise), writeRun("empty.run", ""),
        writeRun("blocks.run", "95,7,230224,0815,TRC\r\n60,120,121,\r\n68,1,40,38,21\r\n")};
    for (const std::string& run : refused) {
        SCOPED_TRACE(run);
        MessageBox::reset();
        type(screen->runFileEdit, QString::fromStdString(run));
        click(screen->processDataButton);
        EXPECT_EQ(messages(),
                  QStringList{QString::fromStdString(kestrana::peaks::noPeakRecordsMessage(run))});
        EXPECT_FALSE(screen->showDetailsButton->isEnabled());
        EXPECT_FALSE(screen->printDetailsButton->isEnabled());
        EXPECT_TRUE(screen->kmRangeLabel->text().isEmpty());
        const auto held =
            kestrana::peaks::storedRunCaptions(kestrana::peaks::PeakFiles::in(home_).databaseBase);
        ASSERT_TRUE(held.has_value());
        EXPECT_EQ(held->kmRange, " Km 300 to Km 305");
    }
}

TEST_F(PeakScreenTest, ShowDetailsOnAGeneratedRunShowsTheCoresColumnsInBothDirections) {
    for (const int direction : {1, -1}) {
        SCOPED_TRACE(direction);
        kestrana::generator::RunRecipe recipe;
        recipe.startKm = direction > 0 ? 120 : 170;
        recipe.kmCount = 50;
        recipe.direction = direction;
        recipe.seed = 7;
        writeDefaultRun(kestrana::generator::generateRun(recipe));
        PeakScreen* screen = openScreen();
        MessageBox::reset();
        PaintCounter waitPaints(screen->waitLabel);

        // GAUGE (code 3) with its default limit 6, the ends typed high to low.
        chooseByTyping(screen, QStringLiteral("GAUGE"));
        ASSERT_EQ(screen->limitEdit->text(), QStringLiteral("6"));
        processAndShow(screen, QStringLiteral("160"), QStringLiteral("130"));

        // The columns and the summary are the core's for the boxes as typed.
        kestrana::peaks::PeakSession session = programPeakSession();
        const auto summary = kestrana::peaks::showDetails({"GAUGE", "6", "160", "130"}, session,
                                                          kestrana::peaks::PeakFiles::in(home_).databaseBase);
        ASSERT_GT(summary.kmCount, 0); // the run has rough stretches
        EXPECT_EQ(listsOf(screen), summary.lists);
        EXPECT_EQ(screen->kmCountLabel->text().toStdString(), summary.kmCountText);
        EXPECT_EQ(screen->peakCountLabel->text().toStdString(), summary.peakCountText);
        EXPECT_EQ(programPeakSession().direction, direction);
        // The wait label was painted for each of the two operations and is hidden at their end.
        EXPECT_GE(waitPaints.paints, 2);
        EXPECT_EQ(screen->waitLabel->text(), QStringLiteral("Please wait.Processing data...."));
        EXPECT_FALSE(screen->waitLabel->isVisible());
        EXPECT_EQ(messages(), QStringList{kGenerated});
        kestrana::gui::app::Navigator::closeAll();
    }
}

TEST_F(PeakScreenTest, RefusedQueriesShowTheirMessageAndLeaveTheListsClearedAndTheSummaryAsItWas) {
    PeakScreen* screen = openScreen();
    writeDefaultRun(kHandRun);
    processAndShow(screen, QStringLiteral("120"), QStringLiteral("123"));
    const QString kmCountText = screen->kmCountLabel->text();
    const QString peakCountText = screen->peakCountLabel->text();
    ASSERT_FALSE(screen->resultLists[0]->entries().isEmpty());

    struct Refusal {
        QString parameter, limit, from, to, message;
    };
    const std::vector<Refusal> refusals{
        {"UN2L", "15", "100", "151", " Range too wide. Please select within 50 kms"},
        {"UN2L", "x", "120", "123", " Parameter Limiting Value must be a number from -32768 to 32767"},
        {"UN3X", "15", "120", "123", " Unknown parameter. Please select a parameter from the list"},
    };
    for (const Refusal& refusal : refusals) {
        SCOPED_TRACE(refusal.message.toStdString());
        MessageBox::reset();
        typeParameter(screen, refusal.parameter);
        type(screen->limitEdit, refusal.limit);
        type(screen->kmRangeEdits[0], refusal.from);
        type(screen->kmRangeEdits[1], refusal.to);
        click(screen->showDetailsButton);
        EXPECT_EQ(messages(), QStringList{refusal.message});
        EXPECT_EQ(listsOf(screen), kestrana::peaks::ColumnLists{});
        EXPECT_EQ(screen->kmCountLabel->text(), kmCountText);
        EXPECT_EQ(screen->peakCountLabel->text(), peakCountText);
        EXPECT_FALSE(screen->waitLabel->isVisible());
        // No listing, nothing to print.
        EXPECT_FALSE(screen->printDetailsButton->isEnabled());
    }
}

TEST_F(PeakScreenTest, PrintDetailsPrintsTheCoresHardCopyOfTheBoxesAsTheyStandAtPrintingTime) {
    writeDefaultRun(kHandRun);
    PeakScreen* screen = openScreen();
    processAndShow(screen, QStringLiteral("120"), QStringLiteral("123"));
    TitlePrompt::setNextText(QStringLiteral("Peak report"));
    click(screen->printDetailsButton);
    // A cancelled title prints empty; the km box is read as it stands, not as last listed.
    TitlePrompt::setNextCancel();
    type(screen->kmRangeEdits[0], QStringLiteral("7"));
    click(screen->printDetailsButton);

    ASSERT_EQ(TitlePrompt::shown().size(), 2U);
    EXPECT_EQ(TitlePrompt::shown()[0].prompt,
              QStringLiteral("Enter Title (if any) to be printed on the hard copy"));
    EXPECT_EQ(TitlePrompt::shown()[0].title, QStringLiteral("print Details"));
    ASSERT_EQ(HardCopyPrinter::jobs().size(), 2U);
    EXPECT_TRUE(QFileInfo::exists(HardCopyPrinter::jobs()[0].pdfPath));
    const auto lists = listsOf(screen);
    for (const auto& [job, texts] :
         {std::pair{0, kestrana::peaks::PeakPrintTexts{"Peak report", "UN2L", "15", "120", "123"}},
          std::pair{1, kestrana::peaks::PeakPrintTexts{"", "UN2L", "15", "7", "123"}}})
        EXPECT_EQ(HardCopyPrinter::jobs()[static_cast<std::size_t>(job)].texts(),
                  kestrana::peaks::peakHardCopy(texts, lists, programPeakSession()).lines())
            << job;
    EXPECT_EQ(HardCopyPrinter::jobs()[1].texts().at(4), "UN2L  peaks > 15 mm  between  KM 7 - 123");
}

TEST_F(PeakScreenTest, ListOneDrivesTheCoupledColumnsAndTheOthersSnapBackToIt) {
    RunRecipe recipe;
    recipe.kmCount = 60;
    recipe.peakPairs = 10; // lists 18 to 21 in use as well
    writeDefaultRun(generateRun(recipe));
    PeakScreen* screen = openScreen();
    type(screen->limitEdit, QStringLiteral("-1")); // every kilometre listed: 100 entries in each list
    processAndShow(screen, QStringLiteral("120"), QStringLiteral("170"));
    ASSERT_EQ(screen->resultLists[0]->count(), 100);
    ASSERT_EQ(screen->resultLists[21]->count(), 100);
    QApplication::processEvents();
    ASSERT_GT(screen->resultLists[1]->verticalScrollBar()->maximum(), 40);

    // The top entry of every list: resultLists(0) to resultLists(17) follow resultLists(1); 18 to 21 go their
    // own way.
    const auto tops = [screen](int coupled, int list19) {
        std::vector<int> expected(22, coupled), actual;
        expected[18] = expected[20] = expected[21] = 0;
        expected[19] = list19;
        for (const auto* list : screen->resultLists)
            actual.push_back(list->topIndex());
        return std::pair{actual, expected};
    };
    screen->resultLists[1]->setTopIndex(30);
    auto [actual, expected] = tops(30, 0);
    EXPECT_EQ(actual, expected);

    // resultLists(5) scrolled alone, by the keyboard, snaps back; the uncoupled lists scroll on their own.
    screen->resultLists[5]->setFocus();
    QTest::keyClick(screen->resultLists[5], Qt::Key_End);
    screen->resultLists[19]->setTopIndex(12);
    std::tie(actual, expected) = tops(30, 12);
    EXPECT_EQ(actual, expected);
}

TEST_F(PeakScreenTest, GoToMainAndBackKeepsTheSessionAndTheRunParameterAndLimitTheUserLeft) {
    writeDefaultRun(kHandRun);
    PeakScreen* screen = openScreen();
    chooseByTyping(screen, QStringLiteral("GAUGE"));
    processAndShow(screen, QStringLiteral("120"), QStringLiteral("123"));
    // GAUGE opens with 7, 9 and 5 at km 120, 121 and 122: two kilometres above 6.
    ASSERT_EQ(screen->resultLists[0]->entries(), (QStringList{"120", "", "121", ""}));
    const QString peakCount = screen->peakCountLabel->text();
    click(screen->goToMainButton);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

    EXPECT_EQ(Navigator::find(Screen::PeakAnalyser), nullptr);
    EXPECT_NE(Navigator::find(Screen::MainMenu), nullptr);
    EXPECT_EQ(programPeakSession().direction, 1);
    EXPECT_EQ(programPeakSession().parameterCode, 3);

    auto* menu = qobject_cast<kestrana::gui::app::MainMenu*>(Navigator::find(Screen::MainMenu));
    ASSERT_NE(menu, nullptr);
    click(menu->peakAnalyserButton);
    PeakScreen* again = qobject_cast<PeakScreen*>(Navigator::find(Screen::PeakAnalyser));
    ASSERT_NE(again, nullptr);
    // The parameter and its limit come back as they were left (the settings); the km range and the
    // results start afresh.
    EXPECT_EQ(again->parameterCombo->currentText(), QStringLiteral("GAUGE"));
    EXPECT_EQ(again->limitEdit->text(), QStringLiteral("6"));
    EXPECT_EQ(again->kmRangeEdits[0]->text(), QString());
    EXPECT_EQ(again->sectionLabel->text(),
              QStringLiteral("SHEGAON - BADNERA UP LINE")); // the run the database holds
    EXPECT_EQ(again->resultLists[0]->count(), 0);

    // No PROCESS DATA since the reopening: SHOW DETAILS works on the kept session and database.
    type(again->kmRangeEdits[0], QStringLiteral("120"));
    type(again->kmRangeEdits[1], QStringLiteral("123"));
    click(again->showDetailsButton);
    EXPECT_EQ(again->resultLists[0]->entries(), (QStringList{"120", "", "121", ""}));
    EXPECT_EQ(again->peakCountLabel->text(), peakCount);
}
