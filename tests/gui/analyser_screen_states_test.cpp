// Which of the analyser's buttons are usable after each event (every row of the screen's button
// table), the Browse buttons with the dialog's remembered name, and GO TO MAIN: the controls start
// afresh when the screen opens again, the values behind them stay.

#include "analyser_screen_fixture.h"

#include "core/analyser/session.h"
#include "gui/services/file_dialog.h"

#include <QComboBox>
#include <QLabel>

namespace {

using namespace kestrana::test::analyser_screen_support;
using kestrana::gui::services::FileDialog;

// The enabled states of PROCESS INFORMATION, SHOW DETAILS, CALC TRACK %, PRINT DETAILS, PRINT GRAPH and
// SAVE DETAILS, in this order.
using States = std::array<bool, 6>;
constexpr States kAllOff{};
constexpr States kAllOn{true, true, true, true, true, true};

States statesOf(const AnalyserScreen* screen) {
    return {screen->processInformationButton->isEnabled(), screen->showDetailsButton->isEnabled(),
            screen->calcTrackShareButton->isEnabled(),     screen->printDetailsButton->isEnabled(),
            screen->printGraphButton->isEnabled(),         screen->saveDetailsButton->isEnabled()};
}

class AnalyserScreenStates : public AnalyserScreenTest {};

TEST_F(AnalyserScreenStates, EachEventSetsTheButtonsOfItsRowAndLeavesTheOthers) {
    AnalyserScreen* screen = open();
    EXPECT_EQ(statesOf(screen), kAllOff);
    const std::string run = writeRun("states.run", exampleRun());
    process(screen, run);
    EXPECT_EQ(statesOf(screen), (States{true, false, false, false, false, false}));
    click(screen->processInformationButton);
    EXPECT_EQ(statesOf(screen), (States{true, true, true, false, true, false}));
    click(screen->showDetailsButton);
    EXPECT_EQ(statesOf(screen), kAllOn);

    // CALC TRACK %, PRINT DETAILS, PROCESS DATA again and an edited output path change no state.
    click(screen->calcTrackShareButton);
    click(screen->printDetailsButton);
    click(screen->processDataButton);
    QTest::keyClicks(screen->outputFileEdit, "-elsewhere");
    EXPECT_EQ(statesOf(screen), kAllOn);

    // PRINT GRAPH withdraws itself; PROCESS INFORMATION makes it usable once more.
    click(screen->printGraphButton);
    EXPECT_EQ(statesOf(screen), (States{true, true, true, true, false, true}));
    click(screen->processInformationButton);
    EXPECT_EQ(statesOf(screen), kAllOn);

    // Editing the run path withdraws what works on the processed run, not PRINT GRAPH nor SAVE
    // DETAILS, which still work on the old results.
    QTest::keyClicks(screen->runFileEdit, "x");
    EXPECT_EQ(statesOf(screen), (States{false, false, false, false, true, true}));
    for (QPushButton* on : {screen->processDataButton, screen->goToMainButton, screen->browseRunFileButton,
                            screen->browseOutputFileButton})
        EXPECT_TRUE(on->isEnabled()) << s(on->objectName());
    click(screen->printGraphButton);
    EXPECT_EQ(statesOf(screen), (States{false, false, false, false, false, true}));
}

TEST_F(AnalyserScreenStates, BrowseSetsThePathsWithTheNameLastChosenByAnyButton) {
    AnalyserScreen* screen = open();
    // A first Browse cancelled empties the run path and disables nothing new.
    FileDialog::setNextCancel();
    click(screen->browseRunFileButton);
    EXPECT_TRUE(screen->runFileEdit->text().isEmpty());
    EXPECT_EQ(statesOf(screen), kAllOff);

    const std::string run = writeRun("browsed.run", exampleRun());
    process(screen, run);
    click(screen->processInformationButton);
    // The very file processed, chosen again: setting the path by Browse counts as editing it.
    FileDialog::setNextFileName(q(run));
    click(screen->browseRunFileButton);
    EXPECT_EQ(s(screen->runFileEdit->text()), run);
    EXPECT_EQ(statesOf(screen), (States{false, false, false, false, true, false}));

    // The output Browse cancelled gets the name the dialog held: the run just chosen.
    FileDialog::setNextCancel();
    click(screen->browseOutputFileButton);
    EXPECT_EQ(s(screen->outputFileEdit->text()), run);
    FileDialog::setNextFileName(q(folder.file("chosen-output.txt")));
    click(screen->browseOutputFileButton);
    EXPECT_EQ(s(screen->outputFileEdit->text()), folder.file("chosen-output.txt"));
    EXPECT_EQ(statesOf(screen), (States{false, false, false, false, true, false}));
}

TEST_F(AnalyserScreenStates, GoToMainDiscardsTheControlsButKeepsTheValuesBehindThem) {
    AnalyserScreen* screen = open();
    processToDetails(screen, writeRun("kept.run", exampleRun()));
    type(screen->startKmEdit, "101");
    type(screen->endKmEdit, "109");
    click(screen->processInformationButton);
    click(screen->calcTrackShareButton);
    const kestrana::analyser::AnalyserSession& session = kestrana::analyser::analyserSession();
    const auto range = session.range;
    const auto distribution = session.distribution;
    const auto bounds = std::make_pair(session.listingBounds, session.shareBounds);
    EXPECT_EQ(range.startKm, 101);

    QPointer<AnalyserScreen> closed(screen);
    goToMain(screen);
    EXPECT_TRUE(closed.isNull());
    EXPECT_NE(kestrana::gui::app::Navigator::find(kestrana::gui::app::Screen::MainMenu), nullptr);
    EXPECT_EQ(kestrana::test::openWindowsNamed("AnalyserScreen"), 0);

    AnalyserScreen* again = open();
    EXPECT_EQ(statesOf(again), kAllOff);
    EXPECT_TRUE(again->startKmEdit->text().isEmpty());
    EXPECT_TRUE(again->runDateEdit->text().isEmpty());
    EXPECT_TRUE(again->trackShareLabel->text().isEmpty());
    EXPECT_EQ(again->listingList->count(), 0);
    EXPECT_EQ(again->lowTgiEdit->text(), "1");
    EXPECT_EQ(again->indexCombo->currentText(), "TGI");
    EXPECT_EQ(again->band1Label->text(), "TGI  < 36      =  ");
    EXPECT_EQ(again->averageLabel->text(), "Average TGI =  ");
    EXPECT_EQ(session.range, range);
    EXPECT_EQ(session.distribution, distribution);
    EXPECT_EQ(std::make_pair(session.listingBounds, session.shareBounds), bounds);
    EXPECT_EQ(session.table.rows.size(), 10U);

    // The file dialog of the new screen starts without a remembered name.
    FileDialog::setNextCancel();
    click(again->browseOutputFileButton);
    EXPECT_TRUE(again->outputFileEdit->text().isEmpty());
}

} // namespace
