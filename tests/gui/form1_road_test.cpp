// The analyser screen end to end: its design texts and defaults, then one run through every view -
// PROCESS DATA to the header boxes, PROCESS INFORMATION to the six captions and the chart, SHOW
// DETAILS to the listing, a click on a row to its raw data, and the track share - with the
// expected texts built from the run's own values and the layouts the screen is designed with.

#include "form1_fixture.h"

#include "gui/platform/charts.h"
#include "gui/platform/file_dialog.h"
#include "platform/paths.h"
#include "runfile/block_table.h"

#include <QComboBox>
#include <QLabel>
#include <QStackedWidget>
#include <QTimer>

#include <algorithm>
#include <map>

namespace {

using namespace kestrana::test::form1_support;
namespace field = kestrana::runfile::field;
using Block = std::array<int, 26>;

int fieldOf(const Block& block, int n) {
    return block[static_cast<std::size_t>(n - 1)];
}

class Form1Road : public Form1Test {};

TEST_F(Form1Road, OpensWithItsDesignTextsAndEveryDependentButtonOff) {
    form1* screen = open();
    const std::string home = kestrana::platform::homeFolder();
    EXPECT_EQ(s(screen->Text1->text()), home + "/TRCDATA/trcdata.run");
    EXPECT_EQ(s(screen->Text2->text()), home + "/Trcout.txt");
    EXPECT_EQ(screen->Command1->text(), "PROCESS DATA");
    EXPECT_EQ(screen->Command2->text(), "PROCESS INFORMATION");
    EXPECT_EQ(screen->Command3->text(), "SHOW     DETAILS");
    EXPECT_EQ(screen->Command4->text(), "CALC TRACK % BETWEEN TGIs");
    EXPECT_EQ(screen->Command5->text(), "PRINT   DETAILS");
    EXPECT_EQ(screen->Command6->text(), "  GO TO    MAIN");
    EXPECT_EQ(screen->Command7->text(), "PRINT GRAPH");
    EXPECT_EQ(screen->Command8->text(), "Browse");
    EXPECT_EQ(screen->Command9->text(), "Browse");
    EXPECT_EQ(screen->Command10->text(), "SAVE DETAILS");
    EXPECT_EQ(screen->Text3->text(), "1");
    EXPECT_EQ(screen->Text4->text(), "35");
    EXPECT_EQ(screen->Text5->text(), "1");
    EXPECT_EQ(screen->Text6->text(), "100");
    EXPECT_EQ(screen->Combo1->currentText(), "TGI");
    QStringList choices;
    for (int i = 0; i < screen->Combo1->count(); ++i)
        choices << screen->Combo1->itemText(i);
    EXPECT_EQ(choices, QStringList({"TGI", "TGIU", "TGIW", "TGIG", "TGIL"}));
    EXPECT_TRUE(screen->Combo1->isEditable());
    for (QLineEdit* empty : {screen->txtrundate, screen->txtrunno, screen->txtkmfrom, screen->txtkmto,
                             screen->txtskm, screen->txtekm})
        EXPECT_TRUE(empty->text().isEmpty()) << s(empty->objectName());
    EXPECT_TRUE(screen->Label18->text().isEmpty());
    EXPECT_TRUE(screen->lblsection->text().isEmpty());
    EXPECT_EQ(screen->List1->count(), 0);
    EXPECT_EQ(screen->Timer1->interval(), 10);
    EXPECT_EQ(screen->Timer2->interval(), 200);
    EXPECT_TRUE(screen->Timer1->isActive());
    EXPECT_TRUE(screen->Timer2->isActive());

    for (QPushButton* off : {screen->Command2, screen->Command3, screen->Command4, screen->Command5,
                             screen->Command7, screen->Command10})
        EXPECT_FALSE(off->isEnabled()) << s(off->objectName());
    for (QPushButton* on : {screen->Command1, screen->Command6, screen->Command8, screen->Command9})
        EXPECT_TRUE(on->isEnabled()) << s(on->objectName());

    // The design names are the Qt object names, and every button can be told apart by ear.
    for (const char* name : {"Command1", "Command2", "Command3", "Command4", "Command5", "Command6",
                             "Command7", "Command8", "Command9", "Command10"}) {
        auto* button = screen->findChild<QPushButton*>(name);
        ASSERT_NE(button, nullptr) << name;
        EXPECT_FALSE(button->accessibleName().isEmpty()) << name;
    }
    for (const char* name : {"Text1", "Text2", "Text3", "Text4", "Text5", "Text6", "txtrundate", "txtrunno",
                             "txtkmfrom", "txtkmto", "txtskm", "txtekm"})
        EXPECT_NE(screen->findChild<QLineEdit*>(name), nullptr) << name;
    for (const char* name : {"lblsection", "Label3", "Label4", "Label5", "Label6", "Label7", "lblavgtgi",
                             "Label18", "Label22", "Label14", "Label19"})
        EXPECT_NE(screen->findChild<QLabel*>(name), nullptr) << name;
    for (const char* name : {"List1", "List2", "List3", "List4"})
        EXPECT_NE(screen->findChild<ListBox*>(name), nullptr) << name;
    EXPECT_NE(screen->findChild<QWidget*>("MSChart1"), nullptr);
    EXPECT_EQ(screen->MSChart1->valueAxisTitle(), "Track  Percentage");
    EXPECT_EQ(screen->MSChart1->valueAxisMaximum(), 100.0);
}

// The worked example: ten blocks, two of TGI 0, three of 20, three of 40 and two of 90.
TEST_F(Form1Road, TheWorkedExampleShowsItsSharesAndAverage) {
    form1* screen = open();
    process(screen, writeRun("example.run", exampleRun()));
    ASSERT_TRUE(messages().isEmpty()) << s(messages().join("|"));
    EXPECT_EQ(screen->txtrundate->text(), "040526");
    EXPECT_EQ(screen->txtrunno->text(), "7");
    EXPECT_EQ(screen->lblsection->text(), "ITARSI - BHOPAL DOWN MAIN LINE");
    EXPECT_EQ(screen->txtkmfrom->text(), "100");
    EXPECT_EQ(screen->txtkmto->text(), "110");
    EXPECT_EQ(screen->txtskm->text(), "100");
    EXPECT_EQ(screen->txtekm->text(), "110");

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
    EXPECT_EQ(screen->Label7->text(), "Non Recorded Track = 0.00 %");
    EXPECT_EQ(screen->lblavgtgi->text(), "Average TGI =  20.00");
}

TEST_F(Form1Road, AGeneratedRunTravelsThroughEveryView) {
    kestrana::bench::RunSpec spec;
    spec.startKm = 1230;
    spec.kmCount = 8;
    spec.runNumber = '4';
    spec.date = "170226";
    spec.section = "KHANDWA - AKOLA UP MAIN LINE";
    const kestrana::bench::GeneratedRun run = kestrana::bench::generateRunWithValues(spec);
    const std::vector<Block>& blocks = run.blocks;
    form1* screen = open();

    process(screen, writeRun("generated.run", run.text));
    ASSERT_TRUE(messages().isEmpty()) << s(messages().join("|"));
    EXPECT_EQ(screen->txtrundate->text(), "170226");
    EXPECT_EQ(screen->txtrunno->text(), "4");
    // Positions 15 to 44 of the section line as they stand, trailing blanks included.
    EXPECT_EQ(screen->lblsection->text(), "KHANDWA - AKOLA UP MAIN LINE  ");
    EXPECT_EQ(screen->txtkmfrom->text(), "1230");
    EXPECT_EQ(screen->txtkmto->text(), "1238");
    EXPECT_EQ(screen->txtskm->text(), "1230");
    EXPECT_EQ(screen->txtekm->text(), "1238");
    // The SD output file went where Text2 names it: its header line and one line per block.
    const std::string output = kestrana::test::readFile(folder.file("sd-output.txt"));
    EXPECT_EQ(std::count(output.begin(), output.end(), '\n'), static_cast<long>(blocks.size()) + 1);

    // Quality over km 1231 to 1236, counted here from the run's values.
    type(screen->txtskm, "1231");
    type(screen->txtekm, "1236");
    click(screen->Command2);
    std::array<int, 4> bands{};
    int inRange = 0, recorded = 0;
    long sum = 0;
    for (const Block& block : blocks) {
        if (fieldOf(block, field::KmFrom) < 1231 || fieldOf(block, field::KmTo) > 1236)
            continue;
        const int tgi = fieldOf(block, field::TGI);
        ++inRange;
        recorded += tgi != 0 ? 1 : 0;
        sum += tgi;
        if (tgi > 0)
            ++bands[tgi < 36 ? 0 : tgi < 51 ? 1 : tgi < 81 ? 2 : 3];
    }
    ASSERT_EQ(inRange, 25);
    const auto share = [&](int count) { return format("%.2f", count * 100.0 / inRange); };
    EXPECT_EQ(s(screen->Label3->text()), "TGI  < 36      =  " + share(bands[0]) + " %");
    EXPECT_EQ(s(screen->Label4->text()), "TGI  36 - 50  =  " + share(bands[1]) + " %");
    EXPECT_EQ(s(screen->Label5->text()), "TGI  51 - 80  =  " + share(bands[2]) + " %");
    EXPECT_EQ(s(screen->Label6->text()), "TGI  > 80     =  " + share(bands[3]) + " %");
    EXPECT_EQ(s(screen->Label7->text()), "Non Recorded Track = " + share(inRange - recorded) + " %");
    EXPECT_EQ(s(screen->lblavgtgi->text()), "Average TGI =  " + format("%.2f", double(sum) / recorded));

    // The listing: TGIU between 10 and 60, every matching block of the range in file order.
    screen->Combo1->setCurrentText("TGIU");
    type(screen->Text3, "10");
    type(screen->Text4, "60");
    click(screen->Command3);
    EXPECT_EQ(screen->listingArea->currentWidget(), screen->List1);
    EXPECT_EQ(screen->List2->entries(), QStringList{" Kmfr   Kmto   BLK    TGI     TGIU  TGIW  TGIG  TGIL"});
    QStringList expected;
    std::vector<const Block*> listed;
    for (const Block& block : blocks) {
        const int tgiu = fieldOf(block, field::TGIU);
        if (fieldOf(block, field::KmFrom) < 1231 || fieldOf(block, field::KmTo) > 1236 || tgiu < 10 ||
            tgiu > 60)
            continue;
        expected << q(expectedRow(fieldOf(block, field::KmFrom), fieldOf(block, field::KmTo),
                                  fieldOf(block, field::BlockNumber), fieldOf(block, field::TGI), tgiu,
                                  fieldOf(block, field::TGIW), fieldOf(block, field::TGIG),
                                  fieldOf(block, field::TGIL)))
                 << " ";
        listed.push_back(&block);
    }
    ASSERT_GE(listed.size(), 3U);
    EXPECT_EQ(screen->List1->entries(), expected);

    // A click on the third listed row shows that block's recorded values.
    clickEntry(screen->List1, 4);
    const Block& picked = *listed[2];
    EXPECT_EQ(
        screen->List3->entries(),
        QStringList{"  U2L     U2R     A2L     A2R       G       TW1     TW2     RIV       RIL        SPD"
                    "      U1L     U1R     A1L     A1R"});
    std::string values = "  ";
    const auto tenths = [&](int n) { return format("%.1f", fieldOf(picked, n) / 10.0); };
    const auto hundredths = [&](int n) { return format("%.2f", fieldOf(picked, n) / 100.0); };
    const std::vector<std::string> shown = {
        tenths(field::U2L),     tenths(field::U2R),
        tenths(field::A2L),     tenths(field::A2R),
        tenths(field::G),       tenths(field::TW1),
        tenths(field::TW2),     hundredths(field::RIV),
        hundredths(field::RIL), format("%03d", fieldOf(picked, field::SPD)),
        tenths(field::U1L),     tenths(field::U1R),
        tenths(field::A1L),     tenths(field::A1R)};
    for (std::size_t i = 0; i < shown.size(); ++i)
        values += (i == 0 ? "" : "       ") + shown[i];
    EXPECT_EQ(screen->List4->entries(), QStringList{q(values)});

    // A click on the separator below it empties the raw-data view.
    clickEntry(screen->List1, 5);
    EXPECT_EQ(screen->List3->count(), 0);
    EXPECT_EQ(screen->List4->count(), 0);

    // The share of the range's blocks whose TGI lies between 20 and 70.
    type(screen->Text5, "20");
    type(screen->Text6, "70");
    click(screen->Command4);
    int between = 0;
    for (const Block& block : blocks)
        if (fieldOf(block, field::KmFrom) >= 1231 && fieldOf(block, field::KmTo) <= 1236 &&
            fieldOf(block, field::TGI) >= 20 && fieldOf(block, field::TGI) <= 70)
            ++between;
    EXPECT_EQ(s(screen->Label18->text()),
              share(between) + " % of Track between  Km 1231  and  1236  is between TGI  20  -  70");
    EXPECT_TRUE(messages().isEmpty()) << s(messages().join("|"));
}

TEST_F(Form1Road, AClickFindsEveryBlockRecordedUnderTheSameKilometreAndNumber) {
    HandBlock first;
    first.block = 3;
    first.tgi = 12;
    first.channels[6] = 123; // U2L 12.3
    first.channels[3] = -45; // G -4.5
    first.riv = 5;           // 0.05
    first.speed = 80;        // 080
    HandBlock second = first;
    second.channels[6] = 7;
    const std::string text = handRun({{1234, 1235, {first}}, {1234, 1235, {second}}});
    form1* screen = open();
    processToDetails(screen, writeRun("twice.run", text));
    ASSERT_EQ(screen->List1->count(), 4);
    clickEntry(screen->List1, 2);
    ASSERT_EQ(screen->List4->count(), 2);
    const QStringList rows = screen->List4->entries();
    EXPECT_TRUE(rows[0].startsWith("  12.3       0.0       0.0       0.0       -4.5")) << s(rows[0]);
    EXPECT_TRUE(rows[1].startsWith("  0.7       0.0")) << s(rows[1]);
    EXPECT_TRUE(rows[0].contains("       0.05       0.00       080       ")) << s(rows[0]);
}

TEST_F(Form1Road, EnterInABoxRunsTheOperationItFeeds) {
    form1* screen = open();
    type(screen->Text1, writeRun("enter.run", exampleRun()));
    type(screen->Text2, folder.file("enter-out.txt"));
    QTest::keyClick(screen->Text2, Qt::Key_Return);
    EXPECT_EQ(screen->txtkmfrom->text(), "100");
    QTest::keyClick(screen->txtekm, Qt::Key_Return);
    EXPECT_EQ(screen->lblavgtgi->text(), "Average TGI =  45.00");
    QTest::keyClick(screen->Text4, Qt::Key_Enter);
    EXPECT_EQ(screen->List1->count(), 6); // three blocks of TGI 20, with their separators
    // Enter where the operation is not usable yet does nothing.
    type(screen->Text1, "elsewhere.run");
    QTest::keyClick(screen->txtskm, Qt::Key_Return);
    EXPECT_EQ(screen->lblavgtgi->text(), "Average TGI =  45.00");
    EXPECT_TRUE(messages().isEmpty()) << s(messages().join("|"));
}

TEST_F(Form1Road, TabMovesThroughTheControlsInTheOrderTheyAreSeen) {
    form1* screen = open();
    ASSERT_TRUE(kestrana::test::showActive(screen));
    screen->Text1->setFocus();
    const std::vector<QWidget*> expected = {screen->Command8, screen->Text2,  screen->Command9,
                                            screen->Command1, screen->txtskm, screen->txtekm};
    for (QWidget* next : expected) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        EXPECT_EQ(QApplication::focusWidget(), next) << s(next->objectName());
    }
    // Enter on the focused Browse button presses it.
    screen->Command8->setFocus();
    QTest::keyClick(screen->Command8, Qt::Key_Return);
    EXPECT_EQ(kestrana::gui::platform::FileDialog::shown().size(), 1U);
}

TEST_F(Form1Road, TheTitleScrollsLeftAndStartsAgainAtTheBandsRightEnd) {
    form1* screen = open();
    screen->Timer1->stop();
    screen->Timer1_Timer();
    const int start = screen->Label22->x();
    EXPECT_GT(start, screen->Label14->width() / 2);
    for (int tick = 0; tick < 30; ++tick)
        screen->Timer1_Timer();
    // 5 twips a tick, 15 twips a pixel: 30 ticks move it 10 pixels.
    EXPECT_EQ(screen->Label22->x(), start - 10);
    // It runs out through the band's left edge, then jumps back to the band's right end.
    int previous = screen->Label22->x();
    bool wrapped = false;
    for (int tick = 0; tick < 100000 && !wrapped; ++tick) {
        screen->Timer1_Timer();
        wrapped = screen->Label22->x() > previous;
        if (!wrapped)
            previous = screen->Label22->x();
    }
    ASSERT_TRUE(wrapped);
    EXPECT_LE(previous + screen->Label22->width(), 1);
    EXPECT_EQ(screen->Label22->x(), screen->Label14->width());
}

TEST_F(Form1Road, TheCreditLineIsTypedOutOneCharacterPerTick) {
    form1* screen = open();
    screen->Timer2->stop();
    screen->Timer2_Timer();
    const QString first = screen->Label19->text();
    screen->Timer2_Timer();
    const QString second = screen->Label19->text();
    ASSERT_FALSE(second.isEmpty());
    if (second.size() > 1) { // unless the counter had just started again
        EXPECT_EQ(second.left(second.size() - 1), first);
    }
    EXPECT_TRUE(kestrana::analyser::kCreditText.starts_with(s(second)));
}

} // namespace
