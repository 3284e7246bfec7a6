// The peak analyser screen's behaviour around its operations: the design texts on opening, the
// parameter choice, the coupled scrolling of the result columns, the moving title, BROWSE, and
// GO TO MAIN with the session kept for the next opening.
#include "peak_screen_fixture.h"

#include "gui/app/main_menu.h"
#include "gui/services/file_dialog.h"

#include <QScrollBar>
#include <QTimer>

namespace {

using kestrana::generator::generateRun;
using kestrana::generator::RunRecipe;
using kestrana::gui::app::Navigator;
using kestrana::gui::app::Screen;
using kestrana::gui::services::FileDialog;
using kestrana::peaks::programPeakSession;
using kestrana::test::kHandRun;
using kestrana::test::PeakScreenTest;

} // namespace

TEST_F(PeakScreenTest, OpensWithItsDesignTexts) {
    PeakScreen* screen = openScreen();
    ASSERT_NE(screen, nullptr);
    EXPECT_EQ(screen->runFileEdit->text(), QString::fromStdString(home_ + "/bbb/shtd0201.run"));
    EXPECT_EQ(screen->parameterCombo->currentText(), QStringLiteral("UN2L"));
    QStringList offered;
    for (int i = 0; i < screen->parameterCombo->count(); ++i)
        offered << screen->parameterCombo->itemText(i);
    EXPECT_EQ(offered,
              (QStringList{"UN2L", "UN2R", "AL2L", "AL2R", "GAUGE", "TW1", "UN1L", "UN1R", "AL1L", "AL1R"}));
    EXPECT_EQ(screen->limitEdit->text(), QStringLiteral("15"));
    EXPECT_TRUE(screen->kmRangeEdits[0]->text().isEmpty() && screen->kmRangeEdits[1]->text().isEmpty());
    EXPECT_EQ(
        screen->columnHeaderLabel->text(),
        QStringLiteral("  KM_fr      KM_to         1st Peak  2nd  Peak  3rd Peak   4th Peak    5th Peak   "
                       "6th Peak    7th Peak   8th Peak"));
    EXPECT_EQ(screen->titleLabel->text(), QStringLiteral("PEAK ANALYZER"));
    EXPECT_EQ(screen->titleLabel->font().families().value(0), QStringLiteral("Bookman Old Style"));
    EXPECT_EQ(screen->goToMainButton->text(), QStringLiteral("   GO TO    MAIN"));
    for (int i = 0; i < 22; ++i)
        EXPECT_EQ(screen->resultLists[static_cast<std::size_t>(i)]->objectName(),
                  QStringLiteral("resultLists_%1").arg(i));
    EXPECT_EQ(listsOf(screen), kestrana::peaks::ColumnLists{});
    EXPECT_TRUE(screen->kmCountLabel->text().isEmpty() && screen->kmRangeLabel->text().isEmpty());
    EXPECT_FALSE(screen->waitLabel->isVisible());
    EXPECT_FALSE(screen->spareEdit->isVisible());
    EXPECT_EQ(screen->titleTimer->interval(), 10);
}

TEST_F(PeakScreenTest, ColumnsStandUnderTheirHeaderWords) {
    PeakScreen* screen = openScreen();
    screen->resize(1024, 740);
    QApplication::processEvents();
    const QFontMetricsF metrics(screen->columnHeaderLabel->font());
    const QString header = screen->columnHeaderLabel->text();
    const auto headerX = [&](const QString& word) {
        return screen->columnHeaderLabel->x() + metrics.horizontalAdvance(header.left(header.indexOf(word)));
    };
    // Each list begins within a character of its word: KM_fr, KM_to and the n-th peak's location.
    const double character = metrics.horizontalAdvance(QLatin1Char('0'));
    EXPECT_NEAR(screen->resultLists[0]->x(), headerX("KM_fr"), character);
    EXPECT_NEAR(screen->resultLists[1]->x(), headerX("KM_to"), character);
    EXPECT_NEAR(screen->resultLists[2]->x(), headerX("1st"), character);
    EXPECT_NEAR(screen->resultLists[10]->x(), headerX("5th"), character);
    EXPECT_NEAR(screen->resultLists[16]->x(), headerX("8th"), character);
    // Every list is inside the screen at 1024 pixels.
    for (const auto* list : screen->resultLists)
        EXPECT_LE(list->mapTo(screen, QPoint(list->width(), 0)).x(), screen->width());
}

TEST_F(PeakScreenTest, PickingAParameterSetsItsDefaultLimitAndCode) {
    PeakScreen* screen = openScreen();
    // Picked from the list with the keyboard: GAUGE is four below UN2L.
    screen->parameterCombo->setFocus();
    for (int i = 0; i < 4; ++i)
        QTest::keyClick(screen->parameterCombo, Qt::Key_Down);
    EXPECT_EQ(screen->parameterCombo->currentText(), QStringLiteral("GAUGE"));
    EXPECT_EQ(screen->limitEdit->text(), QStringLiteral("6"));
    EXPECT_EQ(programPeakSession().parameterCode, 3);

    QTest::keyClick(screen->parameterCombo, Qt::Key_Down);
    EXPECT_EQ(screen->limitEdit->text(), QStringLiteral("10"));
    EXPECT_EQ(programPeakSession().parameterCode, 2); // TW1

    // Typed and entered: a name of the list is chosen as if picked; any other text changes nothing.
    chooseByTyping(screen, QStringLiteral("AL1R"));
    EXPECT_EQ(screen->limitEdit->text(), QStringLiteral("6"));
    EXPECT_EQ(programPeakSession().parameterCode, 5);
    type(screen->limitEdit, QStringLiteral("4"));
    chooseByTyping(screen, QStringLiteral("NOPE"));
    EXPECT_EQ(screen->limitEdit->text(), QStringLiteral("4"));
    EXPECT_EQ(programPeakSession().parameterCode, 5);
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

TEST_F(PeakScreenTest, TheTitleRunsLeftThroughTheBandAndComesBackInAtItsRightEnd) {
    PeakScreen* screen = openScreen();
    const int band = screen->titleBand->width() * 15;
    const int title = screen->titleLabel->width() * 15;
    ASSERT_GT(band, title);
    screen->scrollTitle();
    EXPECT_EQ(screen->titleBand->titleLeftTwips(), band - title - 5);
    screen->scrollTitle();
    EXPECT_EQ(screen->titleBand->titleLeftTwips(), band - title - 10);
    EXPECT_EQ(screen->titleLabel->x(), (band - title - 10) / 15);
    // Ticks until the title has left the band at its left edge: it is then at the right end.
    int ticks = 0;
    while (screen->titleBand->titleLeftTwips() < band && ticks < 100000) {
        screen->scrollTitle();
        ++ticks;
    }
    EXPECT_EQ(screen->titleBand->titleLeftTwips(), band);
    EXPECT_EQ(ticks, (band - 10) / 5);
}

TEST_F(PeakScreenTest, BrowsePutsTheChosenFileIntoTheRunFileBoxAndACancelChangesNothing) {
    PeakScreen* screen = openScreen();
    const QString typed = screen->runFileEdit->text();
    FileDialog::setNextCancel();
    click(screen->browseButton);
    EXPECT_EQ(screen->runFileEdit->text(), typed);

    const std::string run = writeRun("runs/chosen.run", kHandRun);
    FileDialog::setNextFileName(QString::fromStdString(run));
    click(screen->browseButton);
    EXPECT_EQ(screen->runFileEdit->text(), QString::fromStdString(run));
    FileDialog::setNextCancel();
    click(screen->browseButton);
    EXPECT_EQ(screen->runFileEdit->text(), QString::fromStdString(run));

    click(screen->processDataButton);
    EXPECT_EQ(messages(), QStringList{QStringLiteral("Peak Database generated")});
}

TEST_F(PeakScreenTest, GoToMainAndBackKeepsTheSessionButStartsTheControlsAfresh) {
    writeDefaultRun(kHandRun);
    PeakScreen* screen = openScreen();
    chooseByTyping(screen, QStringLiteral("GAUGE"));
    processAndShow(screen, QStringLiteral("120"), QStringLiteral("123"));
    // GAUGE opens with 7, 9 and 5 at km 120, 121 and 122: two kilometres above 6.
    ASSERT_EQ(screen->resultLists[0]->entries(), (QStringList{"120", "", "121", ""}));
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
    EXPECT_EQ(again->parameterCombo->currentText(), QStringLiteral("UN2L"));
    EXPECT_EQ(again->limitEdit->text(), QStringLiteral("15"));
    EXPECT_EQ(again->sectionLabel->text(),
              QStringLiteral("SHEGAON - BADNERA UP LINE")); // the run the database holds
    EXPECT_EQ(again->resultLists[0]->count(), 0);

    // No PROCESS DATA since the reopening: SHOW DETAILS works on the kept session and database.
    type(again->kmRangeEdits[0], QStringLiteral("120"));
    type(again->kmRangeEdits[1], QStringLiteral("123"));
    click(again->showDetailsButton);
    EXPECT_EQ(again->resultLists[0]->entries(), (QStringList{"120", "", "122", ""}));
    EXPECT_EQ(again->peakCountLabel->text(),
              QStringLiteral(" Total number of UN2L peaks more than 15 mm = 10"));
}
