// Which of the analyser's buttons are usable after each event (every row of the screen's button
// table), the Browse buttons with the dialog's remembered name, and GO TO MAIN: the controls start
// afresh when the screen opens again, the values behind them stay.

#include "form1_fixture.h"

#include "analyser/session.h"
#include "gui/app/frmmain.h"
#include "gui/platform/file_dialog.h"

#include <QComboBox>
#include <QLabel>

namespace {

using namespace kestrana::test::form1_support;
using kestrana::gui::platform::FileDialog;

// Command2, 3, 4, 5, 7 and 10 in this order.
using States = std::array<bool, 6>;

States statesOf(const form1* screen) {
    return {screen->Command2->isEnabled(), screen->Command3->isEnabled(), screen->Command4->isEnabled(),
            screen->Command5->isEnabled(), screen->Command7->isEnabled(), screen->Command10->isEnabled()};
}

bool alwaysOnAreOn(const form1* screen) {
    return screen->Command1->isEnabled() && screen->Command6->isEnabled() && screen->Command8->isEnabled() &&
           screen->Command9->isEnabled();
}

class Form1States : public Form1Test {};

TEST_F(Form1States, EachEventSetsTheButtonsOfItsRowAndLeavesTheOthers) {
    form1* screen = open();
    EXPECT_EQ(statesOf(screen), (States{false, false, false, false, false, false}));

    process(screen, writeRun("states.run", exampleRun()));
    EXPECT_EQ(statesOf(screen), (States{true, false, false, false, false, false}));

    click(screen->Command2);
    EXPECT_EQ(statesOf(screen), (States{true, true, true, false, true, false}));

    click(screen->Command3);
    EXPECT_EQ(statesOf(screen), (States{true, true, true, true, true, true}));

    // CALC TRACK % and PRINT DETAILS change no state; PRINT GRAPH withdraws itself.
    click(screen->Command4);
    click(screen->Command5);
    EXPECT_EQ(statesOf(screen), (States{true, true, true, true, true, true}));
    click(screen->Command7);
    EXPECT_EQ(statesOf(screen), (States{true, true, true, true, false, true}));

    // PROCESS INFORMATION again makes PRINT GRAPH usable once more.
    click(screen->Command2);
    EXPECT_EQ(statesOf(screen), (States{true, true, true, true, true, true}));

    // Editing the run path withdraws what works on the processed run, not PRINT GRAPH nor SAVE DETAILS.
    QTest::keyClicks(screen->Text1, "x");
    EXPECT_EQ(statesOf(screen), (States{false, false, false, false, true, true}));
    EXPECT_TRUE(alwaysOnAreOn(screen));

    // Those two still work on the old results.
    click(screen->Command7);
    EXPECT_EQ(statesOf(screen), (States{false, false, false, false, false, true}));
}

TEST_F(Form1States, ProcessDataAgainLeavesTheLaterButtonsAsTheyWere) {
    form1* screen = open();
    const std::string run = writeRun("again.run", exampleRun());
    processToDetails(screen, run);
    click(screen->Command1);
    EXPECT_EQ(statesOf(screen), (States{true, true, true, true, true, true}));
}

TEST_F(Form1States, EditingTheOutputPathChangesNoButton) {
    form1* screen = open();
    process(screen, writeRun("output.run", exampleRun()));
    click(screen->Command2);
    const States before = statesOf(screen);
    QTest::keyClicks(screen->Text2, "-elsewhere");
    EXPECT_EQ(statesOf(screen), before);
}

TEST_F(Form1States, AFirstBrowseCancelledEmptiesTheRunPath) {
    form1* screen = open();
    FileDialog::setNextCancel();
    click(screen->Command8);
    EXPECT_TRUE(screen->Text1->text().isEmpty());
    EXPECT_EQ(statesOf(screen), (States{false, false, false, false, false, false}));
}

TEST_F(Form1States, BrowseRemembersTheLastNameChosenByEitherButton) {
    form1* screen = open();
    const std::string run = writeRun("browsed.run", exampleRun());
    process(screen, run);
    click(screen->Command2);

    // The very file processed, chosen again: setting the path by Browse counts as editing it.
    FileDialog::setNextFileName(q(run));
    click(screen->Command8);
    EXPECT_EQ(s(screen->Text1->text()), run);
    EXPECT_EQ(statesOf(screen), (States{false, false, false, false, true, false}));

    // The output Browse cancelled gets the name the dialog held: the run just chosen.
    FileDialog::setNextCancel();
    click(screen->Command9);
    EXPECT_EQ(s(screen->Text2->text()), run);
    ASSERT_EQ(FileDialog::shown().size(), 2U);
    EXPECT_EQ(s(FileDialog::shown()[1].previousName), run);

    FileDialog::setNextFileName(q(folder.file("chosen-output.txt")));
    click(screen->Command9);
    EXPECT_EQ(s(screen->Text2->text()), folder.file("chosen-output.txt"));
    EXPECT_EQ(statesOf(screen), (States{false, false, false, false, true, false}));
}

TEST_F(Form1States, GoToMainDiscardsTheControlsButKeepsTheValuesBehindThem) {
    form1* screen = open();
    processToDetails(screen, writeRun("kept.run", exampleRun()));
    type(screen->txtskm, "101");
    type(screen->txtekm, "109");
    click(screen->Command2);
    click(screen->Command4);
    const kestrana::analyser::AnalyserSession& session = kestrana::analyser::analyserSession();
    const auto range = session.range;
    const auto distribution = session.distribution;
    const auto shareBounds = session.shareBounds;
    const auto listingBounds = session.listingBounds;
    const std::size_t rows = session.table.rows.size();

    QPointer<form1> closed(screen);
    goToMain(screen);
    EXPECT_TRUE(closed.isNull());
    EXPECT_NE(kestrana::gui::app::Navigator::find(kestrana::gui::app::Screen::MainMenu), nullptr);
    EXPECT_EQ(kestrana::test::openWindowsNamed("form1"), 0);

    form1* again = open();
    EXPECT_EQ(statesOf(again), (States{false, false, false, false, false, false}));
    EXPECT_TRUE(again->txtskm->text().isEmpty());
    EXPECT_TRUE(again->txtrundate->text().isEmpty());
    EXPECT_TRUE(again->Label18->text().isEmpty());
    EXPECT_EQ(again->List1->count(), 0);
    EXPECT_EQ(again->Text3->text(), "1");
    EXPECT_EQ(again->Combo1->currentText(), "TGI");
    EXPECT_EQ(again->Label3->text(), "TGI  < 36      =  ");
    EXPECT_EQ(again->lblavgtgi->text(), "Average TGI =  ");

    EXPECT_EQ(session.range, range);
    EXPECT_EQ(session.distribution, distribution);
    EXPECT_EQ(session.shareBounds, shareBounds);
    EXPECT_EQ(session.listingBounds, listingBounds);
    EXPECT_EQ(session.table.rows.size(), rows);
    EXPECT_EQ(range.startKm, 101);
    EXPECT_EQ(range.endKm, 109);

    // The file dialog of the new screen starts without a remembered name.
    FileDialog::setNextCancel();
    click(again->Command9);
    EXPECT_TRUE(again->Text2->text().isEmpty());
}

} // namespace
