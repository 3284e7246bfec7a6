// The comparator screen's inputs: design texts and first states, the run slots enabled by the number
// of older runs, PROCESS DATA with its messages, captions and km boxes, its failure path, the choice
// of parameter, Browse, GO TO MAIN and back, and the moving title and credit line.
#include "form2_fixture.h"

#include "gui/platform/file_dialog.h"

#include <QPalette>
#include <QTimer>

#include <algorithm>

namespace {

using namespace kestrana::test;
using namespace kestrana::test::form2_support;
using kestrana::gui::platform::FileDialog;

const QColor kGrey(0xC0, 0xC0, 0xC0);

// Whether slot k is usable as the design draws it: box and heading enabled, box on the window colour.
bool slotUsable(form2* screen, int k) {
    QLineEdit* path = screen->Text1[k];
    const QColor base = path->palette().color(QPalette::Disabled, QPalette::Base);
    EXPECT_EQ(path->isEnabled(), screen->Label3[k]->isEnabled()) << "slot " << k;
    EXPECT_EQ(path->isEnabled(), base != kGrey) << "slot " << k;
    return path->isEnabled();
}

std::vector<bool> olderSlotsUsable(form2* screen) {
    return {slotUsable(screen, 1), slotUsable(screen, 2), slotUsable(screen, 3)};
}

using ComparatorInputs = ComparatorScreen;

TEST_F(ComparatorInputs, OpensWithTheDesignTextsAndOnlyTheFirstInputsUsable) {
    form2* screen = open();
    EXPECT_EQ(screen->Text1[2]->objectName(), QStringLiteral("Text1_2"));
    const std::vector<std::pair<QString, QString>> texts{
        {screen->Label3[0]->text(), "Input File - Current TRC Run No.0"},
        {screen->Label3[1]->text(), "Input File  -  TRC Run No.1   [ Oldest ]"},
        {screen->Label3[2]->text(), "Input File  -  TRC Run No.2"},
        {screen->Label3[3]->text(), "Input File  -  TRC Run No.3"},
        {screen->Label5->text(), "Number of Runs for comparision (excluding current)"},
        {screen->Text3->text(), "0"},
        {screen->Label8->text(), "Compare Parameter "},
        {screen->Combo1->currentText(), "TGI"},
        {screen->Label4[0]->text(), "Km  - From"},
        {screen->Label4[1]->text(), "Km - To"},
        {screen->Command2->text(), "PROCESS   DATA"},
        {screen->Command1->text(), "COMPARE    TGI   "},
        {screen->Command3->text(), "PRINT   DETAILS"},
        {screen->Command5->text(), "PRINT  GRAPH"},
        {screen->Command7->text(), "SAVE DETAILS"},
        {screen->Command4->text(), "   GO TO   MAIN"},
        {screen->Label2->text(), "TGI  COMPARATOR"},
    };
    for (const auto& [shown, designed] : texts)
        EXPECT_EQ(shown, designed);
    QStringList parameters;
    for (int i = 0; i < screen->Combo1->count(); ++i)
        parameters << screen->Combo1->itemText(i);
    EXPECT_EQ(parameters, (QStringList{"TGI", "TGIU", "TGIW", "TGIG", "TGIL"}));
    for (int k = 0; k < 4; ++k) {
        EXPECT_EQ(screen->Text1[k]->text().toStdString(), runPath(k));
        EXPECT_EQ(screen->Command6[k]->text(), QStringLiteral("Browse"));
        EXPECT_TRUE(screen->Command6[k]->isEnabled());
        EXPECT_TRUE(screen->Label6[k]->text().isEmpty());
        EXPECT_EQ(slotUsable(screen, k), k == 0);
    }
    for (QLineEdit* km : screen->Text2)
        EXPECT_TRUE(km->text().isEmpty() && !km->isEnabled());
    EXPECT_TRUE(screen->Command2->isEnabled() && screen->Command4->isEnabled());
    for (QPushButton* later : {screen->Command1, screen->Command3, screen->Command5, screen->Command7})
        EXPECT_FALSE(later->isEnabled());
    EXPECT_EQ(screen->Timer1->interval(), 10);
    EXPECT_EQ(screen->Timer2->interval(), 200);
    EXPECT_TRUE(screen->Timer1->isActive() && screen->Timer2->isActive());
    EXPECT_EQ(screen->List4->font().styleHint(), QFont::Monospace);
}

TEST_F(ComparatorInputs, TheNumberOfOlderRunsEnablesTheirSlots) {
    form2* screen = open();
    const auto& session = kestrana::comparator::comparatorSession();
    type(screen->Text3, "2");
    EXPECT_EQ(olderSlotsUsable(screen), (std::vector<bool>{true, true, false}));
    type(screen->Text3, "3");
    EXPECT_EQ(olderSlotsUsable(screen), (std::vector<bool>{true, true, true}));
    type(screen->Text3, "1");
    EXPECT_EQ(olderSlotsUsable(screen), (std::vector<bool>{true, false, false}));
    EXPECT_EQ(session.olderRuns, 1);
    EXPECT_TRUE(MessageBox::shownTexts().isEmpty());

    // Out of range: the message, the slots as they were, and n takes the typed value.
    type(screen->Text3, "5");
    EXPECT_EQ(MessageBox::shownTexts(), QStringList{QStringLiteral("Please enter between 1 and 3 ")});
    EXPECT_EQ(olderSlotsUsable(screen), (std::vector<bool>{true, false, false}));
    EXPECT_EQ(session.olderRuns, 5);

    // An empty box: every older slot off, without a message, and n stays.
    type(screen->Text3, "");
    EXPECT_EQ(olderSlotsUsable(screen), (std::vector<bool>{false, false, false}));
    EXPECT_EQ(MessageBox::shownTexts().size(), 1);
    EXPECT_EQ(session.olderRuns, 5);

    // With n = 5 PROCESS DATA loads nothing and says nothing.
    click(screen->Command2);
    EXPECT_EQ(MessageBox::shownTexts().size(), 1);
    EXPECT_TRUE(screen->Label6[0]->text().isEmpty());
}

TEST_F(ComparatorInputs, ProcessDataReportsEachRunInOrderAndShowsItsKmCaption) {
    writeRuns(3);
    form2* screen = open();
    type(screen->Text3, "2");
    click(screen->Command2);
    EXPECT_EQ(MessageBox::shownTexts(), (QStringList{opened(0), opened(1), opened(2)}));
    for (int k = 0; k < 4; ++k) {
        // The loaded slots show their km caption in place of the path box.
        EXPECT_EQ(screen->Text1[k]->isHidden(), k <= 2) << k;
        EXPECT_EQ(screen->Label6[k]->geometry(), screen->Text1[k]->geometry()) << k;
        EXPECT_EQ(screen->Label6[k]->text(), k <= 2 ? QStringLiteral("Km  120 To Km  130") : QString()) << k;
    }
    EXPECT_EQ(screen->Text2[0]->text(), QStringLiteral("120"));
    EXPECT_EQ(screen->Text2[1]->text(), QStringLiteral("170")); // rising: 120 + 50
    EXPECT_TRUE(screen->Text2[0]->isEnabled() && screen->Text2[1]->isEnabled());
    EXPECT_TRUE(screen->Command1->isEnabled());
    EXPECT_TRUE(fileExists(home + "/trcdbase.sqlite"));
    EXPECT_FALSE(fileExists(home + "/temp_1.txt"));

    // Editing the number of runs shows the path boxes again and withdraws COMPARE.
    type(screen->Text3, "2");
    for (QLineEdit* path : screen->Text1)
        EXPECT_FALSE(path->isHidden());
    EXPECT_FALSE(screen->Command1->isEnabled());
}

TEST_F(ComparatorInputs, AMissingSecondRunEndsTheBuildAfterTheFirstMessage) {
    writeRun(0, slotRun(0));
    form2* screen = open();
    type(screen->Text3, "1");
    click(screen->Command2);
    EXPECT_EQ(
        MessageBox::shownTexts(),
        (QStringList{opened(0), QStringLiteral("Could not open file. Please type file name correctly.")}));
    for (int k = 0; k < 4; ++k) {
        EXPECT_FALSE(screen->Text1[k]->isHidden()) << k;
        EXPECT_TRUE(screen->Label6[k]->text().isEmpty()) << k;
    }
    // COMPARE and the km boxes keep their state (off).
    EXPECT_FALSE(screen->Command1->isEnabled());
    EXPECT_FALSE(screen->Text2[0]->isEnabled());
}

TEST_F(ComparatorInputs, TheParameterIsOneOfTheListAndChoosingOneWithdrawsCompare) {
    writeRuns(2);
    form2* screen = open();
    type(screen->Text3, "1");
    screen->Combo1->lineEdit()->selectAll();
    QTest::keyClicks(screen->Combo1->lineEdit(), QStringLiteral("tgi"));
    click(screen->Command2);
    ASSERT_EQ(MessageBox::shownTexts().size(), 1);
    EXPECT_TRUE(
        MessageBox::shownTexts()[0].startsWith(QStringLiteral("Please choose the compare parameter")));
    EXPECT_FALSE(screen->Text1[0]->isHidden());
    EXPECT_FALSE(screen->Command1->isEnabled());

    screen->Combo1->setCurrentIndex(0);
    click(screen->Command2);
    ASSERT_TRUE(screen->Command1->isEnabled());
    screen->Combo1->setFocus();
    QTest::keyClick(screen->Combo1, Qt::Key_Down);
    EXPECT_EQ(screen->Combo1->currentText(), QStringLiteral("TGIU"));
    EXPECT_FALSE(screen->Command1->isEnabled());
}

TEST_F(ComparatorInputs, BrowsePutsTheChosenFileIntoItsSlotAndACancelTheDialogsOldName) {
    form2* screen = open();
    FileDialog::setNextFileName(QStringLiteral("/runs/older.run"));
    click(screen->Command6[2]);
    EXPECT_EQ(screen->Text1[2]->text(), QStringLiteral("/runs/older.run"));
    EXPECT_EQ(screen->Text1[1]->text().toStdString(), runPath(1));
    FileDialog::setNextCancel();
    click(screen->Command6[0]);
    EXPECT_EQ(screen->Text1[0]->text(), QStringLiteral("/runs/older.run"));
}

TEST_F(ComparatorInputs, BackFromTheMenuTheScreenStartsAfreshButKeepsTheNumberOfRuns) {
    writeRuns(3);
    form2* screen = open();
    type(screen->Text3, "2");
    click(screen->Command4);
    QCoreApplication::processEvents();
    EXPECT_EQ(openWindowsNamed(QStringLiteral("form2")), 0);
    EXPECT_EQ(openWindowsNamed(QStringLiteral("frmmain")), 1);

    screen = open();
    EXPECT_EQ(screen->Text3->text(), QStringLiteral("0"));
    EXPECT_FALSE(slotUsable(screen, 1));
    // n is still 2: PROCESS DATA loads three runs although the box shows 0.
    click(screen->Command2);
    EXPECT_EQ(MessageBox::shownTexts(), (QStringList{opened(0), opened(1), opened(2)}));
}

TEST_F(ComparatorInputs, TheTitleScrollsLeftAndComesBackAndTheCreditLineIsTypedOut) {
    form2* screen = open();
    screen->Timer1->stop();
    screen->Timer1_Timer();
    const int start = screen->Label2->x();
    for (int i = 0; i < 30; ++i)
        screen->Timer1_Timer();
    EXPECT_EQ(screen->Label2->x(), start - 10); // 5 twips a tick, 15 twips a pixel
    bool wrapped = false;
    for (int i = 0, previous = screen->Label2->x();
         i < 30 * (screen->Label1->width() + screen->Label2->width()) && !wrapped; ++i) {
        screen->Timer1_Timer();
        wrapped = screen->Label2->x() > previous;
        previous = screen->Label2->x();
    }
    EXPECT_TRUE(wrapped);
    EXPECT_EQ(screen->Label2->x(), screen->Label1->width());

    screen->Timer2->stop();
    QStringList shown;
    for (int tick = 0; tick < 52; ++tick) {
        screen->Timer2_Timer();
        shown << screen->Label7->text();
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
