// The comparator screen's inputs: design texts and first states, the run slots enabled by the number
// of older runs, PROCESS DATA with its messages, captions and km boxes, its failure path, the choice
// of parameter, Browse, GO TO MAIN and back, and the moving title and credit line.
#include "comparator_screen_fixture.h"

#include "gui/services/file_dialog.h"

#include <QPalette>
#include <QTimer>

#include <algorithm>

namespace {

using namespace kestrana::test;
using namespace kestrana::test::comparator_screen_support;
using kestrana::gui::services::FileDialog;

const QColor kGrey(0xC0, 0xC0, 0xC0);

// Whether slot k is usable as the design draws it: box and heading enabled, box on the window colour.
bool slotUsable(ComparatorScreen* screen, int k) {
    QLineEdit* path = screen->runFileEdits[k];
    const QColor base = path->palette().color(QPalette::Disabled, QPalette::Base);
    EXPECT_EQ(path->isEnabled(), screen->slotHeadingLabels[k]->isEnabled()) << "slot " << k;
    EXPECT_EQ(path->isEnabled(), base != kGrey) << "slot " << k;
    return path->isEnabled();
}

std::vector<bool> olderSlotsUsable(ComparatorScreen* screen) {
    return {slotUsable(screen, 1), slotUsable(screen, 2), slotUsable(screen, 3)};
}

using ComparatorInputs = ComparatorScreenTest;

TEST_F(ComparatorInputs, OpensWithTheDesignTextsAndOnlyTheFirstInputsUsable) {
    ComparatorScreen* screen = open();
    EXPECT_EQ(screen->runFileEdits[2]->objectName(), QStringLiteral("runFileEdits_2"));
    const std::vector<std::pair<QString, QString>> texts{
        {screen->slotHeadingLabels[0]->text(), "Input File - Current TRC Run No.0"},
        {screen->slotHeadingLabels[1]->text(), "Input File  -  TRC Run No.1   [ Oldest ]"},
        {screen->slotHeadingLabels[2]->text(), "Input File  -  TRC Run No.2"},
        {screen->slotHeadingLabels[3]->text(), "Input File  -  TRC Run No.3"},
        {screen->olderRunCountLabel->text(), "Number of Runs for comparision (excluding current)"},
        {screen->olderRunCountEdit->text(), "0"},
        {screen->parameterLabel->text(), "Compare Parameter "},
        {screen->parameterCombo->currentText(), "TGI"},
        {screen->kmRangeLabels[0]->text(), "Km  - From"},
        {screen->kmRangeLabels[1]->text(), "Km - To"},
        {screen->processDataButton->text(), "PROCESS   DATA"},
        {screen->compareButton->text(), "COMPARE    TGI   "},
        {screen->printDetailsButton->text(), "PRINT   DETAILS"},
        {screen->printGraphButton->text(), "PRINT  GRAPH"},
        {screen->saveDetailsButton->text(), "SAVE DETAILS"},
        {screen->goToMainButton->text(), "   GO TO   MAIN"},
        {screen->titleLabel->text(), "TGI  COMPARATOR"},
    };
    for (const auto& [shown, designed] : texts)
        EXPECT_EQ(shown, designed);
    QStringList parameters;
    for (int i = 0; i < screen->parameterCombo->count(); ++i)
        parameters << screen->parameterCombo->itemText(i);
    EXPECT_EQ(parameters, (QStringList{"TGI", "TGIU", "TGIW", "TGIG", "TGIL"}));
    for (int k = 0; k < 4; ++k) {
        EXPECT_EQ(screen->runFileEdits[k]->text().toStdString(), runPath(k));
        EXPECT_EQ(screen->browseButtons[k]->text(), QStringLiteral("Browse"));
        EXPECT_TRUE(screen->browseButtons[k]->isEnabled());
        EXPECT_TRUE(screen->slotKmLabels[k]->text().isEmpty());
        EXPECT_EQ(slotUsable(screen, k), k == 0);
    }
    for (QLineEdit* km : screen->kmRangeEdits)
        EXPECT_TRUE(km->text().isEmpty() && !km->isEnabled());
    EXPECT_TRUE(screen->processDataButton->isEnabled() && screen->goToMainButton->isEnabled());
    for (QPushButton* later : {screen->compareButton, screen->printDetailsButton, screen->printGraphButton,
                               screen->saveDetailsButton})
        EXPECT_FALSE(later->isEnabled());
    EXPECT_EQ(screen->titleTimer->interval(), 10);
    EXPECT_EQ(screen->creditTimer->interval(), 200);
    EXPECT_TRUE(screen->titleTimer->isActive() && screen->creditTimer->isActive());
    EXPECT_EQ(screen->blockList->font().styleHint(), QFont::Monospace);
}

TEST_F(ComparatorInputs, TheNumberOfOlderRunsEnablesTheirSlots) {
    ComparatorScreen* screen = open();
    const auto& session = kestrana::comparator::comparatorSession();
    type(screen->olderRunCountEdit, "2");
    EXPECT_EQ(olderSlotsUsable(screen), (std::vector<bool>{true, true, false}));
    type(screen->olderRunCountEdit, "3");
    EXPECT_EQ(olderSlotsUsable(screen), (std::vector<bool>{true, true, true}));
    type(screen->olderRunCountEdit, "1");
    EXPECT_EQ(olderSlotsUsable(screen), (std::vector<bool>{true, false, false}));
    EXPECT_EQ(session.olderRuns, 1);
    EXPECT_TRUE(MessageBox::shownTexts().isEmpty());

    // Out of range: the message, the slots as they were, and n takes the typed value.
    type(screen->olderRunCountEdit, "5");
    EXPECT_EQ(MessageBox::shownTexts(), QStringList{QStringLiteral("Please enter between 1 and 3 ")});
    EXPECT_EQ(olderSlotsUsable(screen), (std::vector<bool>{true, false, false}));
    EXPECT_EQ(session.olderRuns, 5);

    // An empty box: every older slot off, without a message, and n stays.
    type(screen->olderRunCountEdit, "");
    EXPECT_EQ(olderSlotsUsable(screen), (std::vector<bool>{false, false, false}));
    EXPECT_EQ(MessageBox::shownTexts().size(), 1);
    EXPECT_EQ(session.olderRuns, 5);

    // With n = 5 PROCESS DATA loads nothing and says nothing.
    click(screen->processDataButton);
    EXPECT_EQ(MessageBox::shownTexts().size(), 1);
    EXPECT_TRUE(screen->slotKmLabels[0]->text().isEmpty());
}

TEST_F(ComparatorInputs, ProcessDataReportsEachRunInOrderAndShowsItsKmCaption) {
    writeRuns(3);
    ComparatorScreen* screen = open();
    type(screen->olderRunCountEdit, "2");
    click(screen->processDataButton);
    EXPECT_EQ(MessageBox::shownTexts(), (QStringList{opened(0), opened(1), opened(2)}));
    for (int k = 0; k < 4; ++k) {
        // The loaded slots show their km caption in place of the path box.
        EXPECT_EQ(screen->runFileEdits[k]->isHidden(), k <= 2) << k;
        EXPECT_EQ(screen->slotKmLabels[k]->geometry(), screen->runFileEdits[k]->geometry()) << k;
        EXPECT_EQ(screen->slotKmLabels[k]->text(), k <= 2 ? QStringLiteral("Km  120 To Km  130") : QString())
            << k;
    }
    EXPECT_EQ(screen->kmRangeEdits[0]->text(), QStringLiteral("120"));
    EXPECT_EQ(screen->kmRangeEdits[1]->text(), QStringLiteral("170")); // rising: 120 + 50
    EXPECT_TRUE(screen->kmRangeEdits[0]->isEnabled() && screen->kmRangeEdits[1]->isEnabled());
    EXPECT_TRUE(screen->compareButton->isEnabled());
    EXPECT_TRUE(fileExists(home + "/trcdbase.sqlite"));
    EXPECT_FALSE(fileExists(home + "/temp_1.txt"));

    // Editing the number of runs shows the path boxes again and withdraws COMPARE.
    type(screen->olderRunCountEdit, "2");
    for (QLineEdit* path : screen->runFileEdits)
        EXPECT_FALSE(path->isHidden());
    EXPECT_FALSE(screen->compareButton->isEnabled());
}

TEST_F(ComparatorInputs, AMissingSecondRunEndsTheBuildAfterTheFirstMessage) {
    writeRun(0, slotRun(0));
    ComparatorScreen* screen = open();
    type(screen->olderRunCountEdit, "1");
    click(screen->processDataButton);
    EXPECT_EQ(
        MessageBox::shownTexts(),
        (QStringList{opened(0), QStringLiteral("Could not open file. Please type file name correctly.")}));
    for (int k = 0; k < 4; ++k) {
        EXPECT_FALSE(screen->runFileEdits[k]->isHidden()) << k;
        EXPECT_TRUE(screen->slotKmLabels[k]->text().isEmpty()) << k;
    }
    // COMPARE and the km boxes keep their state (off).
    EXPECT_FALSE(screen->compareButton->isEnabled());
    EXPECT_FALSE(screen->kmRangeEdits[0]->isEnabled());
}

TEST_F(ComparatorInputs, TheParameterIsOneOfTheListAndChoosingOneWithdrawsCompare) {
    writeRuns(2);
    ComparatorScreen* screen = open();
    type(screen->olderRunCountEdit, "1");
    screen->parameterCombo->lineEdit()->selectAll();
    QTest::keyClicks(screen->parameterCombo->lineEdit(), QStringLiteral("tgi"));
    click(screen->processDataButton);
    ASSERT_EQ(MessageBox::shownTexts().size(), 1);
    EXPECT_TRUE(
        MessageBox::shownTexts()[0].startsWith(QStringLiteral("Please choose the compare parameter")));
    EXPECT_FALSE(screen->runFileEdits[0]->isHidden());
    EXPECT_FALSE(screen->compareButton->isEnabled());

    screen->parameterCombo->setCurrentIndex(0);
    click(screen->processDataButton);
    ASSERT_TRUE(screen->compareButton->isEnabled());
    screen->parameterCombo->setFocus();
    QTest::keyClick(screen->parameterCombo, Qt::Key_Down);
    EXPECT_EQ(screen->parameterCombo->currentText(), QStringLiteral("TGIU"));
    EXPECT_FALSE(screen->compareButton->isEnabled());
}

TEST_F(ComparatorInputs, BrowsePutsTheChosenFileIntoItsSlotAndACancelTheDialogsOldName) {
    ComparatorScreen* screen = open();
    FileDialog::setNextFileName(QStringLiteral("/runs/older.run"));
    click(screen->browseButtons[2]);
    EXPECT_EQ(screen->runFileEdits[2]->text(), QStringLiteral("/runs/older.run"));
    EXPECT_EQ(screen->runFileEdits[1]->text().toStdString(), runPath(1));
    FileDialog::setNextCancel();
    click(screen->browseButtons[0]);
    EXPECT_EQ(screen->runFileEdits[0]->text(), QStringLiteral("/runs/older.run"));
}

TEST_F(ComparatorInputs, BackFromTheMenuTheScreenStartsAfreshButKeepsTheNumberOfRuns) {
    writeRuns(3);
    ComparatorScreen* screen = open();
    type(screen->olderRunCountEdit, "2");
    click(screen->goToMainButton);
    QCoreApplication::processEvents();
    EXPECT_EQ(openWindowsNamed(QStringLiteral("ComparatorScreen")), 0);
    EXPECT_EQ(openWindowsNamed(QStringLiteral("MainMenu")), 1);

    screen = open();
    EXPECT_EQ(screen->olderRunCountEdit->text(), QStringLiteral("0"));
    EXPECT_FALSE(slotUsable(screen, 1));
    // n is still 2: PROCESS DATA loads three runs although the box shows 0.
    click(screen->processDataButton);
    EXPECT_EQ(MessageBox::shownTexts(), (QStringList{opened(0), opened(1), opened(2)}));
}

TEST_F(ComparatorInputs, TheTitleScrollsLeftAndComesBackAndTheCreditLineIsTypedOut) {
    ComparatorScreen* screen = open();
    screen->titleTimer->stop();
    screen->scrollTitle();
    const int start = screen->titleLabel->x();
    for (int i = 0; i < 30; ++i)
        screen->scrollTitle();
    EXPECT_EQ(screen->titleLabel->x(), start - 10); // 5 twips a tick, 15 twips a pixel
    bool wrapped = false;
    for (int i = 0, previous = screen->titleLabel->x();
         i < 30 * (screen->titleBand->width() + screen->titleLabel->width()) && !wrapped; ++i) {
        screen->scrollTitle();
        wrapped = screen->titleLabel->x() > previous;
        previous = screen->titleLabel->x();
    }
    EXPECT_TRUE(wrapped);
    EXPECT_EQ(screen->titleLabel->x(), screen->titleBand->width());

    screen->creditTimer->stop();
    QStringList shown;
    for (int tick = 0; tick < 52; ++tick) {
        screen->advanceCreditLine();
        shown << screen->creditLabel->text();
    }
    // One more character a tick up to the whole line; within 52 ticks the counter passes 50 once and
    // the line starts again from one character.
    const QString whole = *std::max_element(
        shown.begin(), shown.end(), [](const QString& a, const QString& b) { return a.size() < b.size(); });
    EXPECT_GT(whole.size(), 10);
    EXPECT_TRUE(shown.contains(whole.left(1)));
    for (int i = 1; i < shown.size(); ++i)
        EXPECT_TRUE(shown[i].size() == 1 ||
                    shown[i] == whole.left(std::min(shown[i - 1].size() + 1, whole.size())))
            << i;
}

} // namespace
