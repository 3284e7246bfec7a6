// The analyser screen end to end: its design texts and defaults, then runs through every view -
// PROCESS DATA to the header boxes, PROCESS INFORMATION to the six captions and the chart, SHOW
// DETAILS to the listing, a click on a row to its raw data, and the track share.

#include "form1_fixture.h"

#include "analyser/session.h"
#include "gui/platform/charts.h"
#include "gui/platform/file_dialog.h"
#include "platform/paths.h"

#include <QComboBox>
#include <QLabel>
#include <QStackedWidget>
#include <QTimer>

#include <algorithm>

namespace {

using namespace kestrana::test::form1_support;
namespace core = kestrana::analyser;

class Form1Road : public Form1Test {};

TEST_F(Form1Road, OpensWithItsDesignTextsAndEveryDependentButtonOff) {
    form1* screen = open();
    const std::string home = kestrana::platform::homeFolder();
    const std::vector<std::pair<const char*, std::string>> texts = {
        {"Text1", home + "/TRCDATA/trcdata.run"},
        {"Text2", home + "/Trcout.txt"},
        {"Text3", "1"},
        {"Text4", "35"},
        {"Text5", "1"},
        {"Text6", "100"},
        {"Command1", "PROCESS DATA"},
        {"Command2", "PROCESS INFORMATION"},
        {"Command3", "SHOW     DETAILS"},
        {"Command4", "CALC TRACK % BETWEEN TGIs"},
        {"Command5", "PRINT   DETAILS"},
        {"Command6", "  GO TO    MAIN"},
        {"Command7", "PRINT GRAPH"},
        {"Command8", "Browse"},
        {"Command9", "Browse"},
        {"Command10", "SAVE DETAILS"},
    };
    for (const auto& [name, text] : texts) {
        const QWidget* control = screen->findChild<QWidget*>(name);
        ASSERT_NE(control, nullptr) << name;
        EXPECT_EQ(s(control->property("text").toString()), text) << name;
        EXPECT_FALSE(control->accessibleName().isEmpty()) << name;
    }
    for (const char* name : {"txtrundate", "txtrunno", "txtkmfrom", "txtkmto", "txtskm", "txtekm",
                             "lblsection", "Label18", "Label19"})
        EXPECT_TRUE(screen->findChild<QWidget*>(name)->property("text").toString().isEmpty()) << name;
    for (const char* name :
         {"Label3", "Label4", "Label5", "Label6", "Label7", "lblavgtgi", "Label22", "Label14", "List1",
          "List2", "List3", "List4", "MSChart1", "Combo1", "Timer1", "Timer2"})
        EXPECT_NE(screen->findChild<QObject*>(name), nullptr) << name;

    QStringList choices;
    for (int i = 0; i < screen->Combo1->count(); ++i)
        choices << screen->Combo1->itemText(i);
    EXPECT_EQ(choices, QStringList({"TGI", "TGIU", "TGIW", "TGIG", "TGIL"}));
    EXPECT_EQ(screen->Combo1->currentText(), "TGI");
    EXPECT_TRUE(screen->Combo1->isEditable());
    EXPECT_EQ(screen->MSChart1->valueAxisTitle(), "Track  Percentage");
    EXPECT_EQ(screen->MSChart1->valueAxisMaximum(), 100.0);
    EXPECT_EQ(screen->Timer1->interval(), 10);
    EXPECT_EQ(screen->Timer2->interval(), 200);
    EXPECT_TRUE(screen->Timer1->isActive() && screen->Timer2->isActive());
    for (QPushButton* off : {screen->Command2, screen->Command3, screen->Command4, screen->Command5,
                             screen->Command7, screen->Command10})
        EXPECT_FALSE(off->isEnabled()) << s(off->objectName());
}

// The worked example: ten blocks, two of TGI 0, three of 20, three of 40 and two of 90.
TEST_F(Form1Road, TheWorkedExampleShowsItsSharesAndAverage) {
    form1* screen = open();
    process(screen, writeRun("example.run", exampleRun()));
    ASSERT_TRUE(messages().isEmpty()) << s(messages().join("|"));
    const std::vector<std::pair<QLineEdit*, QString>> header = {
        {screen->txtrundate, "040526"}, {screen->txtrunno, "7"}, {screen->txtkmfrom, "100"},
        {screen->txtkmto, "110"},       {screen->txtskm, "100"}, {screen->txtekm, "110"}};
    for (const auto& [box, text] : header)
        EXPECT_EQ(box->text(), text) << s(box->objectName());
    EXPECT_EQ(screen->lblsection->text(), "ITARSI - BHOPAL DOWN MAIN LINE");
    // The SD output file went where Text2 names it: its header line and one line per block.
    const std::string output = kestrana::test::readFile(folder.file("sd-output.txt"));
    EXPECT_EQ(std::count(output.begin(), output.end(), '\n'), 11);

    click(screen->Command2);
    EXPECT_EQ(screen->Label3->text(), "TGI  < 36      =  30.00 %");
    EXPECT_EQ(screen->Label4->text(), "TGI  36 - 50  =  30.00 %");
    EXPECT_EQ(screen->Label5->text(), "TGI  51 - 80  =  0.00 %");
    EXPECT_EQ(screen->Label6->text(), "TGI  > 80     =  20.00 %");
    EXPECT_EQ(screen->Label7->text(), "Non Recorded Track = 20.00 %");
    EXPECT_EQ(screen->lblavgtgi->text(), "Average TGI =  45.00");
    // The chart shows over the listing with one bar per band and the band names beneath.
    EXPECT_EQ(screen->listingArea->currentWidget(), screen->MSChart1);
    EXPECT_EQ(screen->MSChart1->label(), "TGI <36     TGI 36-50     TGI 51-80     TGI > 80");
    EXPECT_EQ(screen->MSChart1->values(), (std::vector<double>{30.0, 30.0, 0.0, 20.0}));

    // A range typed backwards, km 104 to 101, holds the three blocks of TGI 20 only.
    type(screen->txtskm, "104");
    type(screen->txtekm, "101");
    click(screen->Command2);
    EXPECT_EQ(screen->Label3->text(), "TGI  < 36      =  100.00 %");
    EXPECT_EQ(screen->lblavgtgi->text(), "Average TGI =  20.00");
}

// A generated run through the listing, the raw-data view and the track share: the screen must show
// what the core gives for the texts typed into each box.
TEST_F(Form1Road, AGeneratedRunTravelsThroughEveryView) {
    kestrana::bench::RunRecipe recipe;
    recipe.startKm = 1230;
    recipe.kmCount = 8;
    recipe.runNumber = '4';
    recipe.section = "KHANDWA - AKOLA UP MAIN LINE";
    form1* screen = open();
    process(screen, writeRun("generated.run", kestrana::bench::generateRun(recipe)));
    // Positions 15 to 44 of the section line as they stand, trailing blanks included.
    EXPECT_EQ(screen->lblsection->text(), "KHANDWA - AKOLA UP MAIN LINE  ");
    EXPECT_EQ(screen->txtrunno->text(), "4");
    EXPECT_EQ(screen->txtekm->text(), "1238");
    const kestrana::runfile::BlockTable& table = core::analyserSession().table;
    ASSERT_EQ(table.rows.size(), 40U);

    type(screen->txtskm, "1231");
    type(screen->txtekm, "1236");
    click(screen->Command2);
    const core::QualityResult quality = core::processInformation(table, "1231", "1236");
    EXPECT_EQ(quality.blocksInRange, 25);
    EXPECT_EQ(s(screen->Label6->text()), quality.bandCaptions[3]);
    EXPECT_EQ(s(screen->lblavgtgi->text()), quality.averageCaption);

    screen->Combo1->setCurrentText("TGIU");
    type(screen->Text3, "10");
    type(screen->Text4, "60");
    click(screen->Command3);
    EXPECT_EQ(screen->listingArea->currentWidget(), screen->List1);
    EXPECT_EQ(screen->List2->entries(), QStringList{q(core::kListingHeader)});
    const core::Listing listing = core::showDetails(table, quality.range, "10", "60", "TGIU");
    ASSERT_GE(listing.entries.size(), 6U);
    QStringList expected;
    for (const std::string& entry : listing.entries)
        expected << q(entry);
    EXPECT_EQ(screen->List1->entries(), expected);

    // A click on the third listed row shows that block's recorded values; its separator empties them.
    clickEntry(screen->List1, 4);
    EXPECT_EQ(screen->List3->entries(), QStringList{q(core::kRawViewHeader)});
    const std::string km = listing.entries[4].substr(2, 4);
    const std::string block = listing.entries[4].substr(21, 1);
    const auto picked = std::find_if(table.rows.begin(), table.rows.end(), [&](const auto& row) {
        return row.field(2) == std::stoi(km) && row.field(5) == std::stoi(block);
    });
    ASSERT_NE(picked, table.rows.end());
    EXPECT_EQ(screen->List4->entries(), QStringList{q(core::rawValueRow(*picked))});
    // A new listing and PROCESS INFORMATION leave the raw data and the listing as they are.
    click(screen->Command3);
    click(screen->Command2);
    EXPECT_EQ(screen->List4->entries(), QStringList{q(core::rawValueRow(*picked))});
    EXPECT_EQ(screen->List1->entries(), expected);
    EXPECT_EQ(screen->listingArea->currentWidget(), screen->MSChart1);
    click(screen->Command3);
    clickEntry(screen->List1, 5);
    EXPECT_EQ(screen->List3->count() + screen->List4->count(), 0);

    type(screen->Text5, "20");
    type(screen->Text6, "70");
    click(screen->Command4);
    EXPECT_EQ(s(screen->Label18->text()), core::calcTrackShare(table, quality.range, "20", "70").caption);
    EXPECT_TRUE(s(screen->Label18->text())
                    .ends_with(" % of Track between  Km 1231  and  1236  is between TGI  "
                               "20  -  70"));
    EXPECT_TRUE(messages().isEmpty()) << s(messages().join("|"));
}

TEST_F(Form1Road, EnterInABoxRunsTheOperationItFeedsWhenItIsUsable) {
    form1* screen = open();
    type(screen->Text1, writeRun("enter.run", exampleRun()));
    type(screen->Text2, folder.file("enter-out.txt"));
    QTest::keyClick(screen->Text2, Qt::Key_Return);
    EXPECT_EQ(screen->txtkmfrom->text(), "100");
    QTest::keyClick(screen->txtekm, Qt::Key_Return);
    EXPECT_EQ(screen->lblavgtgi->text(), "Average TGI =  45.00");
    QTest::keyClick(screen->Text4, Qt::Key_Enter);
    EXPECT_EQ(screen->List1->count(), 6); // three blocks of TGI 20, with their separators
    type(screen->Text1, "elsewhere.run");
    type(screen->txtskm, "104");
    QTest::keyClick(screen->txtskm, Qt::Key_Return);
    EXPECT_EQ(screen->lblavgtgi->text(), "Average TGI =  45.00");
    EXPECT_TRUE(messages().isEmpty()) << s(messages().join("|"));
}

TEST_F(Form1Road, TabMovesThroughTheControlsInTheOrderTheyAreSeen) {
    form1* screen = open();
    ASSERT_TRUE(kestrana::test::showActive(screen));
    screen->Text1->setFocus();
    for (QWidget* next : std::vector<QWidget*>{screen->Command8, screen->Text2, screen->Command9,
                                               screen->Command1, screen->txtskm, screen->txtekm}) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        EXPECT_EQ(QApplication::focusWidget(), next) << s(next->objectName());
    }
    // Enter on the focused Browse button presses it.
    screen->Command8->setFocus();
    QTest::keyClick(screen->Command8, Qt::Key_Return);
    EXPECT_EQ(kestrana::gui::platform::FileDialog::shown().size(), 1U);
}

TEST_F(Form1Road, TheTitleScrollsThroughItsBandAndTheCreditLineIsTypedOut) {
    form1* screen = open();
    screen->Timer1->stop();
    screen->Timer2->stop();
    screen->Timer1_Timer();
    const int start = screen->Label22->x();
    EXPECT_GT(start, screen->Label14->width() / 2);
    for (int tick = 0; tick < 30; ++tick)
        screen->Timer1_Timer();
    EXPECT_EQ(screen->Label22->x(), start - 10); // 5 twips a tick, 15 twips a pixel
    // It runs out through the band's left edge, then jumps back to the band's right end.
    int previous = screen->Label22->x();
    for (int tick = 0; tick < 100000 && screen->Label22->x() <= previous; ++tick) {
        previous = screen->Label22->x();
        screen->Timer1_Timer();
    }
    EXPECT_LE(previous + screen->Label22->width(), 1);
    EXPECT_EQ(screen->Label22->x(), screen->Label14->width());

    // The credit line's counter runs on from the last screen, so compare two ticks.
    screen->Timer2_Timer();
    const QString first = screen->Label19->text();
    screen->Timer2_Timer();
    const QString second = screen->Label19->text();
    EXPECT_TRUE(second == "K" || second.chopped(1) == first || second == first)
        << s(first) << "|" << s(second);
    EXPECT_TRUE(core::kCreditText.starts_with(s(second)));
}

} // namespace
