// A PROCESS DATA that fails and the operations that refuse what was typed: each shows its message
// and changes nothing the screen shows or the later operations read.

#include "analyser_screen_fixture.h"

#include "core/analyser/messages.h"
#include "core/analyser/processing.h"
#include "core/analyser/quality.h"
#include "core/analyser/session.h"
#include "gui/services/file_dialog.h"
#include "gui/widgets/charts.h"

#include <QComboBox>
#include <QLabel>
#include <QStackedWidget>
#include <QTableWidget>

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

    kestrana::generator::RunRecipe recipe;
    recipe.startKm = 500;
    const std::string other = writeRun("second.run", kestrana::generator::generateRun(recipe));
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
        // The designed message first, then the reason.
        EXPECT_TRUE(messages().value(messages().size() - 1).startsWith(q(core::kProcessFailedMessage) + "\n"))
            << run;
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

TEST_F(AnalyserScreenFailures, AFailureNamesFileLineAndWhatAfterTheDesignedMessage) {
    AnalyserScreen* screen = open();
    std::string text = exampleRun();
    text.replace(text.find("68,1,10,"), 8, "68,1,1x,"); // line 4, the first block line
    const std::string bad = writeRun("bad-number.run", text);
    process(screen, bad);
    EXPECT_EQ(messages(), QStringList{q(std::string(core::kProcessFailedMessage) + "\n" + bad +
                                        ", line 4: \"1x\" is not a whole number")});
}

TEST_F(AnalyserScreenFailures, ANewRunWithdrawsEveryResultOfTheRunBefore) {
    AnalyserScreen* screen = open();
    const std::string run = writeRun("first.run", exampleRun());
    processToDetails(screen, run);
    click(screen->calcTrackShareButton);
    clickEntry(screen->listingList, 0);
    ASSERT_EQ(screen->rawValuesTable->rowCount(), 1);

    process(screen, writeRun("second.run", handRun({{300, 301, {HandBlock{1, 40}}}}, '8', "110626")));
    EXPECT_EQ(screen->listingList->count() + screen->listingHeaderList->count(), 0);
    EXPECT_EQ(screen->rawValuesTable->rowCount() + screen->rawValuesTable->columnCount(), 0);
    EXPECT_TRUE(screen->qualityChart->values().empty());
    EXPECT_EQ(screen->listingArea->currentWidget(), screen->qualityChart);
    EXPECT_EQ(screen->averageLabel->text(), q(core::kAverageCaptionPrefix));
    EXPECT_TRUE(screen->trackShareLabel->text().isEmpty());
    for (QPushButton* withdrawn :
         {screen->showDetailsButton, screen->calcTrackShareButton, screen->printDetailsButton,
          screen->printGraphButton, screen->saveDetailsButton})
        EXPECT_FALSE(withdrawn->isEnabled()) << s(withdrawn->objectName());
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
    // The range boxes show the range still in use, not the refused one.
    EXPECT_EQ(screen->startKmEdit->text() + "-" + screen->endKmEdit->text(), "100-110");
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
