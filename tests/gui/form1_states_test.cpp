// Which of the analyser's buttons are usable after each event (every row of the screen's button
// table), the Browse buttons with the dialog's remembered name, and GO TO MAIN: the controls start
// afresh when the screen opens again, the values behind them stay.

#include "form1_fixture.h"

#include "analyser/session.h"
#include "gui/platform/file_dialog.h"

#include <QComboBox>
#include <QLabel>

namespace {

using namespace kestrana::test::form1_support;
using kestrana::gui::platform::FileDialog;

// Command2, 3, 4, 5, 7 and 10 in this order.
using States = std::array<bool, 6>;
constexpr States kAllOff{};
constexpr States kAllOn{true, true, true, true, true, true};

States statesOf(const form1* screen) {
    return {screen->Command2->isEnabled(), screen->Command3->isEnabled(), screen->Command4->isEnabled(),
            screen->Command5->isEnabled(), screen->Command7->isEnabled(), screen->Command10->isEnabled()};
}

class Form1States : public Form1Test {};

TEST_F(Form1States, EachEventSetsTheButtonsOfItsRowAndLeavesTheOthers) {
    form1* screen = open();
    EXPECT_EQ(statesOf(screen), kAllOff);
    const std::string run = writeRun("states.run", exampleRun());
    process(screen, run);
    EXPECT_EQ(statesOf(screen), (States{true, false, false, false, false, false}));
    click(screen->Command2);
    EXPECT_EQ(statesOf(screen), (States{true, true, true, false, true, false}));
    click(screen->Command3);
    EXPECT_EQ(statesOf(screen), kAllOn);

    // CALC TRACK %, PRINT DETAILS, PROCESS DATA again and an edited output path change no state.
    click(screen->Command4);
    click(screen->Command5);
    click(screen->Command1);
    QTest::keyClicks(screen->Text2, "-elsewhere");
    EXPECT_EQ(statesOf(screen), kAllOn);

    // PRINT GRAPH withdraws itself; PROCESS INFORMATION makes it usable once more.
    click(screen->Command7);
    EXPECT_EQ(statesOf(screen), (States{true, true, true, true, false, true}));
    click(screen->Command2);
    EXPECT_EQ(statesOf(screen), kAllOn);

    // Editing the run path withdraws what works on the processed run, not PRINT GRAPH nor SAVE
    // DETAILS, which still work on the old results.
    QTest::keyClicks(screen->Text1, "x");
    EXPECT_EQ(statesOf(screen), (States{false, false, false, false, true, true}));
    for (QPushButton* on : {screen->Command1, screen->Command6, screen->Command8, screen->Command9})
        EXPECT_TRUE(on->isEnabled()) << s(on->objectName());
    click(screen->Command7);
    EXPECT_EQ(statesOf(screen), (States{false, false, false, false, false, true}));
}

TEST_F(Form1States, BrowseSetsThePathsWithTheNameLastChosenByAnyButton) {
    form1* screen = open();
    // A first Browse cancelled empties the run path and disables nothing new.
    FileDialog::setNextCancel();
    click(screen->Command8);
    EXPECT_TRUE(screen->Text1->text().isEmpty());
    EXPECT_EQ(statesOf(screen), kAllOff);

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
    const auto bounds = std::make_pair(session.listingBounds, session.shareBounds);
    EXPECT_EQ(range.startKm, 101);

    QPointer<form1> closed(screen);
    goToMain(screen);
    EXPECT_TRUE(closed.isNull());
    EXPECT_NE(kestrana::gui::app::Navigator::find(kestrana::gui::app::Screen::MainMenu), nullptr);
    EXPECT_EQ(kestrana::test::openWindowsNamed("form1"), 0);

    form1* again = open();
    EXPECT_EQ(statesOf(again), kAllOff);
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
    EXPECT_EQ(std::make_pair(session.listingBounds, session.shareBounds), bounds);
    EXPECT_EQ(session.table.rows.size(), 10U);

    // The file dialog of the new screen starts without a remembered name.
    FileDialog::setNextCancel();
    click(again->Command9);
    EXPECT_TRUE(again->Text2->text().isEmpty());
}

} // namespace
