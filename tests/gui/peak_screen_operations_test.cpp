// The peak analyser's operations through its buttons: PROCESS DATA with its captions, message and
// wait label, SHOW DETAILS with its columns and summary (a run written by hand and generated runs in
// both directions), the refusals, and PRINT DETAILS as recorded printed lines.
#include "peak_screen_fixture.h"

#include "gui/services/hard_copy_printer.h"
#include "gui/services/title_prompt.h"

#include <QEvent>

namespace {

using kestrana::gui::services::HardCopyPrinter;
using kestrana::gui::services::MessageBox;
using kestrana::gui::services::TitlePrompt;
using kestrana::peaks::programPeakSession;
using kestrana::test::kHandRun;
using kestrana::test::PeakScreenTest;
using Entries = std::vector<std::string>;

const QString kGenerated = QStringLiteral("Peak Database generated");

// Counts the paints of a widget, to see that the wait label is drawn while an operation runs.
class PaintCounter : public QObject {
public:
    explicit PaintCounter(QWidget* widget) { widget->installEventFilter(this); }
    int paints = 0;

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        paints += event->type() == QEvent::Paint ? 1 : 0;
        return false;
    }
};

} // namespace

TEST_F(PeakScreenTest, ProcessDataShowsTheRunAndAFailureKeepsTheEarlierRun) {
    PeakScreen* screen = openScreen();
    click(screen->processDataButton); // nothing at the default path yet
    ASSERT_EQ(messages().size(), 1);
    EXPECT_NE(messages().front(), kGenerated);
    EXPECT_TRUE(screen->kmRangeLabel->text().isEmpty());
    EXPECT_FALSE(QFileInfo::exists(QString::fromStdString(home_ + "/trcpeak.sqlite")));

    writeDefaultRun(kHandRun);
    MessageBox::reset();
    PaintCounter waitPaints(screen->waitLabel);
    click(screen->processDataButton);
    EXPECT_EQ(messages(), QStringList{kGenerated});
    EXPECT_EQ(screen->sectionLabel->text(), QStringLiteral("SHEGAON - BADNERA UP LINE"));
    EXPECT_EQ(screen->runDateLabel->text(), QStringLiteral(" Date : 230224"));
    EXPECT_EQ(screen->kmRangeLabel->text(), QStringLiteral(" Km 120 to Km 123"));
    // The wait label was painted while the operation ran, and is hidden at its end.
    EXPECT_GE(waitPaints.paints, 1);
    EXPECT_EQ(screen->waitLabel->text(), QStringLiteral("Please wait.Data reading in progress...."));
    EXPECT_FALSE(screen->waitLabel->isVisible());

    MessageBox::reset();
    type(screen->runFileEdit, QString::fromStdString(home_ + "/bbb/missing.run"));
    click(screen->processDataButton);
    EXPECT_EQ(messages(), QStringList{QStringLiteral(
                              "Could not open the run file. Please type file name correctly. Peak Database "
                              "not generated.")});
    EXPECT_FALSE(screen->waitLabel->isVisible());
    // The captions and the database of the earlier run are kept: SHOW DETAILS still lists it.
    EXPECT_EQ(screen->kmRangeLabel->text(), QStringLiteral(" Km 120 to Km 123"));
    type(screen->kmRangeEdits[0], QStringLiteral("120"));
    type(screen->kmRangeEdits[1], QStringLiteral("123"));
    click(screen->showDetailsButton);
    EXPECT_EQ(listsOf(screen)[0], (Entries{"120", "", "122", ""}));

    // A path typed the way the design wrote them is mapped into the home folder; Enter on the
    // focused button presses it.
    writeRun("runs/late.run", kHandRun);
    MessageBox::reset();
    type(screen->runFileEdit, QStringLiteral("D:\\runs\\late.run"));
    screen->processDataButton->setFocus();
    QTest::keyClick(screen->processDataButton, Qt::Key_Return);
    EXPECT_EQ(messages(), QStringList{kGenerated});
}

TEST_F(PeakScreenTest, ShowDetailsListsTheKilometresWhoseFirstPeakIsAboveTheLimit) {
    writeDefaultRun(kHandRun);
    PeakScreen* screen = openScreen();
    PaintCounter waitPaints(screen->waitLabel);

    processAndShow(screen, QStringLiteral("120"), QStringLiteral("123"));

    // Km 120: 18 and 16 are above 15 (two peaks); km 121 opens with 15, the limit itself, and is
    // passed over although later peaks are higher; km 122: all eight peaks.
    const auto lists = listsOf(screen);
    EXPECT_EQ(lists[0], (Entries{"120", "", "122", ""}));
    EXPECT_EQ(lists[1], (Entries{"121", "", "123", ""}));
    EXPECT_EQ(lists[2], (Entries{"350", "", "1234", ""}));
    EXPECT_EQ(lists[5], (Entries{"16", "", "29", ""}));
    EXPECT_EQ(lists[6], (Entries{"", "", "3456", ""}));
    EXPECT_EQ(lists[17], (Entries{"", "", "23", ""}));
    EXPECT_TRUE(lists[18].empty());
    EXPECT_EQ(screen->kmCountLabel->text(),
              QStringLiteral(" Number of Kms having UN2L peaks more than 15 mm = 2 ( 66.67% )"));
    EXPECT_EQ(screen->peakCountLabel->text(),
              QStringLiteral(" Total number of UN2L peaks more than 15 mm = 10"));
    EXPECT_EQ(screen->waitLabel->text(), QStringLiteral("Please wait.Processing data...."));
    EXPECT_FALSE(screen->waitLabel->isVisible());
    EXPECT_GE(waitPaints.paints, 2); // once for each operation
}

TEST_F(PeakScreenTest, ShowDetailsOnAGeneratedRunMatchesItsPeakLinesInBothDirections) {
    for (const int direction : {1, -1}) {
        SCOPED_TRACE(direction);
        kestrana::bench::RunRecipe recipe;
        recipe.startKm = direction > 0 ? 120 : 170;
        recipe.kmCount = 50;
        recipe.direction = direction;
        recipe.seed = 7;
        const std::string text = kestrana::bench::generateRun(recipe);
        writeDefaultRun(text);
        PeakScreen* screen = openScreen();
        MessageBox::reset();

        // GAUGE (code 3) with its default limit 6, the ends typed high to low.
        chooseByTyping(screen, QStringLiteral("GAUGE"));
        ASSERT_EQ(screen->limitEdit->text(), QStringLiteral("6"));
        processAndShow(screen, QStringLiteral("160"), QStringLiteral("130"));

        const auto expected = kestrana::test::expectedListing(text, 3, 6, 130, 160);
        ASSERT_GT(expected.kmCount, 0); // the run has rough stretches
        ASSERT_LT(expected.kmCount, 30);
        EXPECT_EQ(listsOf(screen), expected.lists);
        const QString share = QString::asprintf("%05.2f", expected.kmCount * 100.0 / 30);
        EXPECT_EQ(screen->kmCountLabel->text(),
                  QStringLiteral(" Number of Kms having GAUGE peaks more than 6 mm = %1 ( %2% )")
                      .arg(expected.kmCount)
                      .arg(share));
        EXPECT_EQ(screen->peakCountLabel->text(),
                  QStringLiteral(" Total number of GAUGE peaks more than 6 mm = %1").arg(expected.peakCount));
        EXPECT_EQ(programPeakSession().direction, direction);
        EXPECT_EQ(messages(), QStringList{kGenerated});
        kestrana::gui::app::Navigator::closeAll();
    }
}

TEST_F(PeakScreenTest, RefusedQueriesShowTheirMessageAndLeaveTheListsClearedAndTheSummaryAsItWas) {
    PeakScreen* screen = openScreen();
    type(screen->kmRangeEdits[0], QStringLiteral("120"));
    type(screen->kmRangeEdits[1], QStringLiteral("130"));
    click(screen->showDetailsButton);
    EXPECT_EQ(messages(), QStringList{QStringLiteral(" No Peak Database found. Please PROCESS DATA first")});
    EXPECT_TRUE(screen->kmCountLabel->text().isEmpty());

    writeDefaultRun(kHandRun);
    processAndShow(screen, QStringLiteral("120"), QStringLiteral("123"));
    const QString kmCountText = screen->kmCountLabel->text();
    const QString peakCountText = screen->peakCountLabel->text();
    ASSERT_FALSE(screen->resultLists[0]->entries().isEmpty());

    struct Refusal {
        QString parameter, limit, from, to, message;
    };
    const std::vector<Refusal> refusals{
        {"UN2L", "15", "100", "151", " Range too wide. Please select within 50 kms"},
        {"UN2L", "15", "120", "120", " Range is empty. Please select two different kms"},
        {"UN2L", "15", "abc", "123", " Km - From and Km - to must be numbers from -32768 to 32767"},
        {"UN2L", "x", "120", "123", " Parameter Limiting Value must be a number from -32768 to 32767"},
        {"UN3X", "15", "120", "123", " Unknown parameter. Please select a parameter from the list"},
    };
    for (const Refusal& refusal : refusals) {
        SCOPED_TRACE(refusal.message.toStdString());
        MessageBox::reset();
        typeParameter(screen, refusal.parameter);
        type(screen->limitEdit, refusal.limit);
        type(screen->kmRangeEdits[0], refusal.from);
        type(screen->kmRangeEdits[1], refusal.to);
        click(screen->showDetailsButton);
        EXPECT_EQ(messages(), QStringList{refusal.message});
        EXPECT_EQ(listsOf(screen), kestrana::peaks::ColumnLists{});
        EXPECT_EQ(screen->kmCountLabel->text(), kmCountText);
        EXPECT_EQ(screen->peakCountLabel->text(), peakCountText);
        EXPECT_FALSE(screen->waitLabel->isVisible());
    }
}

TEST_F(PeakScreenTest, PrintDetailsPrintsTheSummaryAndTheColumnsAsListed) {
    writeDefaultRun(kHandRun);
    PeakScreen* screen = openScreen();
    processAndShow(screen, QStringLiteral("120"), QStringLiteral("123"));
    TitlePrompt::setNextText(QStringLiteral("Peak report"));

    click(screen->printDetailsButton);

    ASSERT_EQ(TitlePrompt::shown().size(), 1U);
    EXPECT_EQ(TitlePrompt::shown()[0].prompt,
              QStringLiteral("Enter Title (if any) to be printed on the hard copy"));
    EXPECT_EQ(TitlePrompt::shown()[0].title, QStringLiteral("print Details"));
    EXPECT_EQ(TitlePrompt::shown()[0].defaultText, QStringLiteral(" "));
    ASSERT_EQ(HardCopyPrinter::jobs().size(), 1U);
    const auto& job = HardCopyPrinter::jobs()[0];
    const std::string noPair(6, ' ');
    const std::string blankRow = "  " + std::string(7 * 6 + 7, ' ');
    const std::vector<std::string> expected{
        "Peak report",
        "",
        "SHEGAON - BADNERA UP LINE        Run Date : 230224",
        "",
        "UN2L  peaks > 15 mm  between  KM 120 - 123",
        "",
        "( Kms = 66.67%      Total Peaks = 10 )",
        "",
        std::string(kestrana::peaks::kPrintColumnHeader),
        "",
        "0120  0121    0350  18    0012  16" + noPair + noPair + noPair + noPair + noPair + "       ",
        blankRow,
        "0122  0123    1234  30    2345  29    3456  28    4567  27    5678  26    6789  25    7890  24    "
        "8901   23",
        blankRow,
    };
    EXPECT_EQ(job.texts(), expected);
    EXPECT_TRUE(QFileInfo::exists(job.pdfPath));

    // The boxes are read as they stand at printing time; a cancelled title prints empty.
    TitlePrompt::setNextCancel();
    type(screen->kmRangeEdits[0], QStringLiteral("7"));
    click(screen->printDetailsButton);
    ASSERT_EQ(HardCopyPrinter::jobs().size(), 2U);
    const std::vector<std::string> texts = HardCopyPrinter::jobs()[1].texts();
    EXPECT_EQ(texts[0], "");
    EXPECT_EQ(texts[4], "UN2L  peaks > 15 mm  between  KM 7 - 123");
}
