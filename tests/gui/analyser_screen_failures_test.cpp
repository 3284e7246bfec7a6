// A PROCESS DATA that fails and the operations that refuse what was typed: each shows its message
// and changes nothing the screen shows or the later operations read.

#include "analyser_screen_fixture.h"

#include "core/analyser/messages.h"
#include "core/analyser/processing.h"
#include "core/analyser/session.h"
#include "gui/services/file_dialog.h"

#include <QComboBox>
#include <QLabel>
#include <QStackedWidget>

namespace {

using namespace kestrana::test::analyser_screen_support;
using kestrana::gui::services::FileDialog;
namespace core = kestrana::analyser;

// What the screen shows, and what the session keeps, to compare before and after a refusal.
struct Shown {
    QStringList texts;
    QWidget* onTop = nullptr;
    core::AnalysisRange range;
    core::ListingBounds listingBounds;
    core::ShareBounds shareBounds;
    std::size_t rows = 0;
    bool operator==(const Shown&) const = default;
};

Shown shownOn(const AnalyserScreen* screen) {
    Shown shown;
    for (QLineEdit* box : {screen->runDateEdit, screen->runNumberEdit, screen->kmFromEdit, screen->kmToEdit})
        shown.texts << box->text();
    for (QLabel* label :
         {screen->sectionLabel, screen->band1Label, screen->band2Label, screen->band3Label,
          screen->band4Label, screen->nonRecordedLabel, screen->averageLabel, screen->trackShareLabel})
        shown.texts << label->text();
    shown.texts << screen->listingHeaderList->entries() << screen->listingList->entries();
    shown.onTop = screen->listingArea->currentWidget();
    const core::AnalyserSession& session = core::analyserSession();
    shown.range = session.range;
    shown.listingBounds = session.listingBounds;
    shown.shareBounds = session.shareBounds;
    shown.rows = session.table.rows.size();
    return shown;
}

class AnalyserScreenFailures : public AnalyserScreenTest {};

TEST_F(AnalyserScreenFailures, AFailedProcessDataKeepsThePreviousRunAndItsViewsWorking) {
    AnalyserScreen* screen = open();
    processToDetails(screen, writeRun("good.run", exampleRun()));
    click(screen->calcTrackShareButton);
    const Shown before = shownOn(screen);

    kestrana::bench::RunRecipe recipe;
    recipe.startKm = 500;
    const std::string other = writeRun("second.run", kestrana::bench::generateRun(recipe));
    // A missing run, a run without block lines, an output file that cannot be written, folders.
    const std::vector<std::pair<std::string, std::string>> failures = {
        {folder.file("no-such.run"), folder.file("out.txt")},
        {writeRun("empty.run", handRun({})), folder.file("out.txt")},
        {other, folder.file("missing-folder/out.txt")},
        {folder.path(), folder.file("out.txt")},
        {other, folder.path()}};
    for (const auto& [run, output] : failures) {
        type(screen->runFileEdit, run);
        type(screen->outputFileEdit, output);
        click(screen->processDataButton);
        EXPECT_EQ(messages().value(messages().size() - 1), q(core::kProcessFailedMessage)) << run;
        EXPECT_EQ(shownOn(screen), before) << run;
        EXPECT_FALSE(screen->processInformationButton->isEnabled()) << run;
    }
    EXPECT_EQ(messages().size(), 5);

    // The old results still save, the section of the run they came from included.
    FileDialog::setNextFileName(q(folder.file("after-failure")));
    click(screen->saveDetailsButton);
    const std::string saved = kestrana::test::readFile(folder.file("after-failure.txt"));
    EXPECT_EQ(saved.substr(0, saved.find("\r\n")), "BHOPAL DOWN MAIN LINRun Date : 040526");

    // The run with a good output path goes through.
    type(screen->runFileEdit, other);
    type(screen->outputFileEdit, folder.file("out.txt"));
    click(screen->processDataButton);
    EXPECT_EQ(messages().size(), 5);
    EXPECT_EQ(screen->kmFromEdit->text(), "500");
    EXPECT_TRUE(screen->processInformationButton->isEnabled());
}

TEST_F(AnalyserScreenFailures, ARunWithoutAHeaderLineShowsNoRunNumberOfTheRunBefore) {
    AnalyserScreen* screen = open();
    process(screen, writeRun("first.run", exampleRun()));
    EXPECT_EQ(screen->runNumberEdit->text(), "7");
    process(screen, writeRun("headless.run", handRun({{200, 201, {HandBlock{}}}}, 0)));
    EXPECT_TRUE(messages().isEmpty()) << s(messages().join("|"));
    EXPECT_EQ(screen->kmFromEdit->text(), "200");
    EXPECT_TRUE(screen->runNumberEdit->text().isEmpty());
    EXPECT_TRUE(screen->runDateEdit->text().isEmpty());
}

TEST_F(AnalyserScreenFailures, RefusedRangesBoundsAndIndexLeaveEverythingAsItWas) {
    AnalyserScreen* screen = open();
    processToDetails(screen, writeRun("bounds.run", exampleRun()));
    click(screen->calcTrackShareButton);
    const Shown before = shownOn(screen);

    type(screen->startKmEdit, "abc");
    click(screen->processInformationButton);
    type(screen->startKmEdit, "40000");
    click(screen->processInformationButton);
    type(screen->startKmEdit, "100"); // no block lies wholly inside km 100 to 100
    type(screen->endKmEdit, "100");
    click(screen->processInformationButton);
    type(screen->lowTgiEdit, "low");
    click(screen->showDetailsButton);
    type(screen->lowTgiEdit, "1");
    type(screen->highTgiEdit, "32767"); // 32767 + 1 leaves the 16-bit range
    click(screen->showDetailsButton);
    type(screen->highTgiEdit, "35");
    screen->indexCombo->setCurrentText("TGIX");
    click(screen->showDetailsButton);
    type(screen->shareHighEdit, "");
    click(screen->calcTrackShareButton);
    EXPECT_EQ(messages(), QStringList({q(core::kRangeRefusedMessage), q(core::kRangeRefusedMessage),
                                       q(core::kNoBlockInRangeMessage), q(core::kListingBoundsRefusedMessage),
                                       q(core::kListingBoundsRefusedMessage), q(core::kIndexRefusedMessage),
                                       q(core::kShareBoundsRefusedMessage)}));
    EXPECT_EQ(shownOn(screen), before);
}

TEST_F(AnalyserScreenFailures, AnEmptyListingIsNoRefusal) {
    AnalyserScreen* screen = open();
    process(screen, writeRun("none.run", exampleRun()));
    click(screen->processInformationButton);
    type(screen->lowTgiEdit, "200");
    type(screen->highTgiEdit, "300");
    click(screen->showDetailsButton);
    EXPECT_TRUE(messages().isEmpty());
    EXPECT_EQ(screen->listingList->count(), 0);
    EXPECT_EQ(screen->listingHeaderList->count(), 1);
    EXPECT_TRUE(screen->printDetailsButton->isEnabled() && screen->saveDetailsButton->isEnabled());
}

} // namespace
