// The analyser screen end to end: its design texts and defaults, then runs through every view -
// PROCESS DATA to the header boxes, PROCESS INFORMATION to the six captions and the chart, SHOW
// DETAILS to the listing, a click on a row to its raw data, and the track share.

#include "analyser_screen_fixture.h"

#include "core/analyser/session.h"
#include "core/platform/paths.h"
#include "gui/services/file_dialog.h"
#include "gui/widgets/charts.h"

#include <QComboBox>
#include <QLabel>
#include <QStackedWidget>
#include <QTimer>

#include <algorithm>

namespace {

using namespace kestrana::test::analyser_screen_support;
namespace core = kestrana::analyser;

class AnalyserScreenRoad : public AnalyserScreenTest {};

TEST_F(AnalyserScreenRoad, OpensWithItsDesignTextsAndEveryDependentButtonOff) {
    AnalyserScreen* screen = open();
    const std::string home = kestrana::platform::homeFolder();
    const std::vector<std::pair<const char*, std::string>> texts = {
        {"runFileEdit", home + "/TRCDATA/trcdata.run"},
        {"outputFileEdit", home + "/Trcout.txt"},
        {"lowTgiEdit", "1"},
        {"highTgiEdit", "35"},
        {"shareLowEdit", "1"},
        {"shareHighEdit", "100"},
        {"processDataButton", "PROCESS DATA"},
        {"processInformationButton", "PROCESS INFORMATION"},
        {"showDetailsButton", "SHOW     DETAILS"},
        {"calcTrackShareButton", "CALC TRACK % BETWEEN TGIs"},
        {"printDetailsButton", "PRINT   DETAILS"},
        {"goToMainButton", "  GO TO    MAIN"},
        {"printGraphButton", "PRINT GRAPH"},
        {"browseRunFileButton", "Browse"},
        {"browseOutputFileButton", "Browse"},
        {"saveDetailsButton", "SAVE DETAILS"},
    };
    for (const auto& [name, text] : texts) {
        const QWidget* control = screen->findChild<QWidget*>(name);
        ASSERT_NE(control, nullptr) << name;
        EXPECT_EQ(s(control->property("text").toString()), text) << name;
        EXPECT_FALSE(control->accessibleName().isEmpty()) << name;
    }
    for (const char* name : {"runDateEdit", "runNumberEdit", "kmFromEdit", "kmToEdit", "startKmEdit",
                             "endKmEdit", "sectionLabel", "trackShareLabel", "creditLabel"})
        EXPECT_TRUE(screen->findChild<QWidget*>(name)->property("text").toString().isEmpty()) << name;
    for (const char* name :
         {"band1Label", "band2Label", "band3Label", "band4Label", "nonRecordedLabel", "averageLabel",
          "titleLabel", "titleBand", "listingList", "listingHeaderList", "rawHeaderList", "rawValuesList",
          "qualityChart", "indexCombo", "titleTimer", "creditTimer"})
        EXPECT_NE(screen->findChild<QObject*>(name), nullptr) << name;

    QStringList choices;
    for (int i = 0; i < screen->indexCombo->count(); ++i)
        choices << screen->indexCombo->itemText(i);
    EXPECT_EQ(choices, QStringList({"TGI", "TGIU", "TGIW", "TGIG", "TGIL"}));
    EXPECT_EQ(screen->indexCombo->currentText(), "TGI");
    EXPECT_TRUE(screen->indexCombo->isEditable());
    EXPECT_EQ(screen->qualityChart->valueAxisTitle(), "Track  Percentage");
    EXPECT_EQ(screen->qualityChart->valueAxisMaximum(), 100.0);
    EXPECT_EQ(screen->titleTimer->interval(), 10);
    EXPECT_EQ(screen->creditTimer->interval(), 200);
    EXPECT_TRUE(screen->titleTimer->isActive() && screen->creditTimer->isActive());
    for (QPushButton* off :
         {screen->processInformationButton, screen->showDetailsButton, screen->calcTrackShareButton,
          screen->printDetailsButton, screen->printGraphButton, screen->saveDetailsButton})
        EXPECT_FALSE(off->isEnabled()) << s(off->objectName());
}

// The worked example: ten blocks, two of TGI 0, three of 20, three of 40 and two of 90.
TEST_F(AnalyserScreenRoad, TheWorkedExampleShowsItsSharesAndAverage) {
    AnalyserScreen* screen = open();
    process(screen, writeRun("example.run", exampleRun()));
    ASSERT_TRUE(messages().isEmpty()) << s(messages().join("|"));
    const std::vector<std::pair<QLineEdit*, QString>> header = {
        {screen->runDateEdit, "040526"}, {screen->runNumberEdit, "7"}, {screen->kmFromEdit, "100"},
        {screen->kmToEdit, "110"},       {screen->startKmEdit, "100"}, {screen->endKmEdit, "110"}};
    for (const auto& [box, text] : header)
        EXPECT_EQ(box->text(), text) << s(box->objectName());
    EXPECT_EQ(screen->sectionLabel->text(), "ITARSI - BHOPAL DOWN MAIN LINE");
    // The SD output file went where outputFileEdit names it: its header line and one line per block.
    const std::string output = kestrana::test::readFile(folder.file("sd-output.txt"));
    EXPECT_EQ(std::count(output.begin(), output.end(), '\n'), 11);

    click(screen->processInformationButton);
    EXPECT_EQ(screen->band1Label->text(), "TGI  < 36      =  30.00 %");
    EXPECT_EQ(screen->band2Label->text(), "TGI  36 - 50  =  30.00 %");
    EXPECT_EQ(screen->band3Label->text(), "TGI  51 - 80  =  0.00 %");
    EXPECT_EQ(screen->band4Label->text(), "TGI  > 80     =  20.00 %");
    EXPECT_EQ(screen->nonRecordedLabel->text(), "Non Recorded Track = 20.00 %");
    EXPECT_EQ(screen->averageLabel->text(), "Average TGI =  45.00");
    // The chart shows over the listing with one bar per band and the band names beneath.
    EXPECT_EQ(screen->listingArea->currentWidget(), screen->qualityChart);
    EXPECT_EQ(screen->qualityChart->label(), "TGI <36     TGI 36-50     TGI 51-80     TGI > 80");
    EXPECT_EQ(screen->qualityChart->values(), (std::vector<double>{30.0, 30.0, 0.0, 20.0}));

    // A range typed backwards, km 104 to 101, holds the three blocks of TGI 20 only.
    type(screen->startKmEdit, "104");
    type(screen->endKmEdit, "101");
    click(screen->processInformationButton);
    EXPECT_EQ(screen->band1Label->text(), "TGI  < 36      =  100.00 %");
    EXPECT_EQ(screen->averageLabel->text(), "Average TGI =  20.00");
}

// A generated run through the listing, the raw-data view and the track share: the screen must show
// what the core gives for the texts typed into each box.
TEST_F(AnalyserScreenRoad, AGeneratedRunTravelsThroughEveryView) {
    kestrana::bench::RunRecipe recipe;
    recipe.startKm = 1230;
    recipe.kmCount = 8;
    recipe.runNumber = '4';
    recipe.section = "KHANDWA - AKOLA UP MAIN LINE";
    AnalyserScreen* screen = open();
    process(screen, writeRun("generated.run", kestrana::bench::generateRun(recipe)));
    // Positions 15 to 44 of the section line as they stand, trailing blanks included.
    EXPECT_EQ(screen->sectionLabel->text(), "KHANDWA - AKOLA UP MAIN LINE  ");
    EXPECT_EQ(screen->runNumberEdit->text(), "4");
    EXPECT_EQ(screen->endKmEdit->text(), "1238");
    const kestrana::runfile::BlockTable& table = core::analyserSession().table;
    ASSERT_EQ(table.rows.size(), 40U);

    type(screen->startKmEdit, "1231");
    type(screen->endKmEdit, "1236");
    click(screen->processInformationButton);
    const core::QualityResult quality = core::processInformation(table, "1231", "1236");
    EXPECT_EQ(quality.blocksInRange, 25);
    EXPECT_EQ(s(screen->band4Label->text()), quality.bandCaptions[3]);
    EXPECT_EQ(s(screen->averageLabel->text()), quality.averageCaption);

    screen->indexCombo->setCurrentText("TGIU");
    type(screen->lowTgiEdit, "10");
    type(screen->highTgiEdit, "60");
    click(screen->showDetailsButton);
    EXPECT_EQ(screen->listingArea->currentWidget(), screen->listingList);
    EXPECT_EQ(screen->listingHeaderList->entries(), QStringList{q(core::kListingHeader)});
    const core::Listing listing = core::showDetails(table, quality.range, "10", "60", "TGIU");
    ASSERT_GE(listing.entries.size(), 6U);
    QStringList expected;
    for (const std::string& entry : listing.entries)
        expected << q(entry);
    EXPECT_EQ(screen->listingList->entries(), expected);

    // A click on the third listed row shows that block's recorded values; its separator empties them.
    clickEntry(screen->listingList, 4);
    EXPECT_EQ(screen->rawHeaderList->entries(), QStringList{q(core::kRawViewHeader)});
    const std::string km = listing.entries[4].substr(2, 4);
    const std::string block = listing.entries[4].substr(21, 1);
    const auto picked = std::find_if(table.rows.begin(), table.rows.end(), [&](const auto& row) {
        return row.field(2) == std::stoi(km) && row.field(5) == std::stoi(block);
    });
    ASSERT_NE(picked, table.rows.end());
    EXPECT_EQ(screen->rawValuesList->entries(), QStringList{q(core::rawValueRow(*picked))});
    // A new listing and PROCESS INFORMATION leave the raw data and the listing as they are.
    click(screen->showDetailsButton);
    click(screen->processInformationButton);
    EXPECT_EQ(screen->rawValuesList->entries(), QStringList{q(core::rawValueRow(*picked))});
    EXPECT_EQ(screen->listingList->entries(), expected);
    EXPECT_EQ(screen->listingArea->currentWidget(), screen->qualityChart);
    click(screen->showDetailsButton);
    clickEntry(screen->listingList, 5);
    EXPECT_EQ(screen->rawHeaderList->count() + screen->rawValuesList->count(), 0);

    type(screen->shareLowEdit, "20");
    type(screen->shareHighEdit, "70");
    click(screen->calcTrackShareButton);
    EXPECT_EQ(s(screen->trackShareLabel->text()),
              core::calcTrackShare(table, quality.range, "20", "70").caption);
    EXPECT_TRUE(s(screen->trackShareLabel->text())
                    .ends_with(" % of Track between  Km 1231  and  1236  is between TGI  "
                               "20  -  70"));
    EXPECT_TRUE(messages().isEmpty()) << s(messages().join("|"));
}

TEST_F(AnalyserScreenRoad, EnterInABoxRunsTheOperationItFeedsWhenItIsUsable) {
    AnalyserScreen* screen = open();
    type(screen->runFileEdit, writeRun("enter.run", exampleRun()));
    type(screen->outputFileEdit, folder.file("enter-out.txt"));
    QTest::keyClick(screen->outputFileEdit, Qt::Key_Return);
    EXPECT_EQ(screen->kmFromEdit->text(), "100");
    QTest::keyClick(screen->endKmEdit, Qt::Key_Return);
    EXPECT_EQ(screen->averageLabel->text(), "Average TGI =  45.00");
    QTest::keyClick(screen->highTgiEdit, Qt::Key_Enter);
    EXPECT_EQ(screen->listingList->count(), 6); // three blocks of TGI 20, with their separators
    type(screen->runFileEdit, "elsewhere.run");
    type(screen->startKmEdit, "104");
    QTest::keyClick(screen->startKmEdit, Qt::Key_Return);
    EXPECT_EQ(screen->averageLabel->text(), "Average TGI =  45.00");
    EXPECT_TRUE(messages().isEmpty()) << s(messages().join("|"));
}

TEST_F(AnalyserScreenRoad, TabMovesThroughTheControlsInTheOrderTheyAreSeen) {
    AnalyserScreen* screen = open();
    ASSERT_TRUE(kestrana::test::showActive(screen));
    screen->runFileEdit->setFocus();
    for (QWidget* next : std::vector<QWidget*>{screen->browseRunFileButton, screen->outputFileEdit,
                                               screen->browseOutputFileButton, screen->processDataButton,
                                               screen->startKmEdit, screen->endKmEdit}) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        EXPECT_EQ(QApplication::focusWidget(), next) << s(next->objectName());
    }
    // Enter on the focused Browse button presses it.
    screen->browseRunFileButton->setFocus();
    QTest::keyClick(screen->browseRunFileButton, Qt::Key_Return);
    EXPECT_EQ(kestrana::gui::services::FileDialog::shown().size(), 1U);
}

TEST_F(AnalyserScreenRoad, TheTitleScrollsThroughItsBandAndTheCreditLineIsTypedOut) {
    AnalyserScreen* screen = open();
    screen->titleTimer->stop();
    screen->creditTimer->stop();
    screen->scrollTitle();
    const int start = screen->titleLabel->x();
    EXPECT_GT(start, screen->titleBand->width() / 2);
    for (int tick = 0; tick < 30; ++tick)
        screen->scrollTitle();
    EXPECT_EQ(screen->titleLabel->x(), start - 10); // 5 twips a tick, 15 twips a pixel
    // It runs out through the band's left edge, then jumps back to the band's right end.
    int previous = screen->titleLabel->x();
    for (int tick = 0; tick < 100000 && screen->titleLabel->x() <= previous; ++tick) {
        previous = screen->titleLabel->x();
        screen->scrollTitle();
    }
    EXPECT_LE(previous + screen->titleLabel->width(), 1);
    EXPECT_EQ(screen->titleLabel->x(), screen->titleBand->width());

    // The credit line's counter runs on from the last screen, so compare two ticks.
    screen->advanceCreditLine();
    const QString first = screen->creditLabel->text();
    screen->advanceCreditLine();
    const QString second = screen->creditLabel->text();
    EXPECT_TRUE(second == "K" || second.chopped(1) == first || second == first)
        << s(first) << "|" << s(second);
    EXPECT_TRUE(core::kCreditText.starts_with(s(second)));
}

} // namespace
