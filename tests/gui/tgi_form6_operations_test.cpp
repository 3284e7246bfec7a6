// The peak analyser's operations through its buttons: PROCESS DATA with its captions, message and
// wait label, SHOW DETAILS with its columns and summary (a run written by hand and generated runs in
// both directions), the refusals, and PRINT DETAILS as recorded printed lines.
#include "tgi_form6_fixture.h"

#include "gui/platform/printer.h"
#include "gui/platform/title_prompt.h"

#include <QEvent>
#include <QFileInfo>

namespace {

using kestrana::bench::generateRun;
using kestrana::bench::RunSpec;
using kestrana::gui::platform::HardCopyPrinter;
using kestrana::gui::platform::PrintedLine;
using kestrana::gui::platform::TitlePrompt;
using kestrana::peaks::programPeakSession;
using kestrana::test::expectedListing;
using kestrana::test::kHandRun;
using kestrana::test::PeakScreen;
using kestrana::test::peaksOf;

const QString kGenerated = QStringLiteral("Peak Database generated");

// Counts the paints of a widget, to see that the wait label is drawn while an operation runs.
class PaintCounter : public QObject {
public:
    explicit PaintCounter(QWidget* widget) { widget->installEventFilter(this); }
    int paints = 0;

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint)
            ++paints;
        return false;
    }
};

} // namespace

TEST_F(PeakScreen, ProcessDataShowsTheRunAndTheClosingMessage) {
    writeDefaultRun(kHandRun);
    tgi_form6* screen = openScreen();
    ASSERT_NE(screen, nullptr);
    PaintCounter waitPaints(screen->Label12);

    click(screen->Command1);

    EXPECT_EQ(messages(), QStringList{kGenerated});
    EXPECT_EQ(screen->Label7->text(), QStringLiteral("SHEGAON - BADNERA UP LINE"));
    EXPECT_EQ(screen->Label8->text(), QStringLiteral(" Date : 230224"));
    EXPECT_EQ(screen->Label9->text(), QStringLiteral(" Km 120 to Km 123"));
    // The wait label was painted while the operation ran, and is hidden at its end.
    EXPECT_GE(waitPaints.paints, 1);
    EXPECT_EQ(screen->Label12->text(), QStringLiteral("Please wait.Data reading in progress...."));
    EXPECT_FALSE(screen->Label12->isVisible());
    EXPECT_EQ(programPeakSession().direction, 1);
    EXPECT_EQ(programPeakSession().itemsPerRecord, 22);
}

TEST_F(PeakScreen, ProcessDataOfAFallingRunNamesItsEndsInRunOrder) {
    RunSpec spec;
    spec.startKm = 151;
    spec.kmCount = 31;
    spec.direction = -1;
    writeDefaultRun(generateRun(spec));
    tgi_form6* screen = openScreen();

    click(screen->Command1);

    EXPECT_EQ(messages(), QStringList{kGenerated});
    EXPECT_EQ(screen->Label7->text(), QStringLiteral("NAGPUR - WARDHA UP MAIN LINE"));
    EXPECT_EQ(screen->Label8->text(), QStringLiteral(" Date : 120326"));
    EXPECT_EQ(screen->Label9->text(), QStringLiteral(" Km 151 to Km 120"));
    EXPECT_EQ(programPeakSession().direction, -1);
}

TEST_F(PeakScreen, AMissingRunFileIsReportedAndTheEarlierRunStaysUsable) {
    writeDefaultRun(kHandRun);
    tgi_form6* screen = openScreen();
    click(screen->Command1);
    kestrana::gui::platform::MessageBox::reset();

    type(screen->Text1, QString::fromStdString(home_ + "/bbb/missing.run"));
    click(screen->Command1);

    EXPECT_EQ(messages(), QStringList{QStringLiteral(
                              "Could not open the run file. Please type file name correctly. Peak Database "
                              "not generated.")});
    EXPECT_FALSE(screen->Label12->isVisible());
    // The captions and the database of the earlier run are kept: SHOW DETAILS still lists it.
    EXPECT_EQ(screen->Label9->text(), QStringLiteral(" Km 120 to Km 123"));
    type(screen->Text3[0], QStringLiteral("120"));
    type(screen->Text3[1], QStringLiteral("123"));
    click(screen->Command2);
    EXPECT_EQ(screen->List1[0]->entries(), (QStringList{"120", "", "122", ""}));
}

TEST_F(PeakScreen, AMissingRunFileBeforeAnyRunGeneratesNothing) {
    tgi_form6* screen = openScreen();
    click(screen->Command1); // nothing at the default path

    ASSERT_EQ(messages().size(), 1);
    EXPECT_NE(messages().front(), kGenerated);
    EXPECT_TRUE(screen->Label7->text().isEmpty());
    EXPECT_TRUE(screen->Label9->text().isEmpty());
    EXPECT_EQ(programPeakSession().direction, 0);
    EXPECT_FALSE(QFileInfo::exists(QString::fromStdString(home_ + "/trcpeak.sqlite")));
}

TEST_F(PeakScreen, TypedDesignPathsAreMappedIntoTheHomeFolder) {
    writeRun("runs/late.run", kHandRun);
    tgi_form6* screen = openScreen();
    type(screen->Text1, QStringLiteral("D:\\runs\\late.run"));

    click(screen->Command1);

    EXPECT_EQ(messages(), QStringList{kGenerated});
    EXPECT_EQ(screen->Label9->text(), QStringLiteral(" Km 120 to Km 123"));
}

TEST_F(PeakScreen, ShowDetailsListsTheKilometresWhoseFirstPeakIsAboveTheLimit) {
    writeDefaultRun(kHandRun);
    tgi_form6* screen = openScreen();
    PaintCounter waitPaints(screen->Label12);

    processAndShow(screen, QStringLiteral("120"), QStringLiteral("123"));

    // Km 120: 18 and 16 are above 15 (two peaks); km 121 opens with 15, the limit itself, and is
    // passed over although later peaks are higher; km 122: all eight peaks.
    const auto lists = listsOf(screen);
    EXPECT_EQ(lists[0], (QStringList{"120", "", "122", ""}));
    EXPECT_EQ(lists[1], (QStringList{"121", "", "123", ""}));
    EXPECT_EQ(lists[2], (QStringList{"350", "", "1234", ""}));
    EXPECT_EQ(lists[3], (QStringList{"18", "", "30", ""}));
    EXPECT_EQ(lists[4], (QStringList{"12", "", "2345", ""}));
    EXPECT_EQ(lists[5], (QStringList{"16", "", "29", ""}));
    EXPECT_EQ(lists[6], (QStringList{"", "", "3456", ""}));
    EXPECT_EQ(lists[17], (QStringList{"", "", "23", ""}));
    for (std::size_t i = 18; i < lists.size(); ++i)
        EXPECT_TRUE(lists[i].isEmpty()) << "List1(" << i << ")";
    EXPECT_EQ(screen->Label5->text(),
              QStringLiteral(" Number of Kms having UN2L peaks more than 15 mm = 2 ( 66.67% )"));
    EXPECT_EQ(screen->Label6->text(), QStringLiteral(" Total number of UN2L peaks more than 15 mm = 10"));
    EXPECT_EQ(screen->Label12->text(), QStringLiteral("Please wait.Processing data...."));
    EXPECT_FALSE(screen->Label12->isVisible());
    EXPECT_GE(waitPaints.paints, 2); // once for each operation
    EXPECT_FLOAT_EQ(programPeakSession().kmShare, 66.67f);
    EXPECT_EQ(programPeakSession().totalPeaks, 10);
}

TEST_F(PeakScreen, ShowDetailsOnAGeneratedRunMatchesItsPeakLinesInBothDirections) {
    for (const int direction : {1, -1}) {
        SCOPED_TRACE(direction);
        RunSpec spec;
        spec.startKm = direction > 0 ? 120 : 170;
        spec.kmCount = 50;
        spec.direction = direction;
        spec.seed = 7;
        const std::string text = generateRun(spec);
        writeDefaultRun(text);
        tgi_form6* screen = openScreen();
        kestrana::gui::platform::MessageBox::reset();

        // GAUGE (code 3) with its default limit 6, the ends typed high to low.
        chooseByTyping(screen, QStringLiteral("GAUGE"));
        ASSERT_EQ(screen->Text2->text(), QStringLiteral("6"));
        processAndShow(screen, QStringLiteral("160"), QStringLiteral("130"));

        const auto expected = expectedListing(peaksOf(text), 3, 6, 130, 160, direction);
        ASSERT_GT(expected.kmCount, 0); // the run has rough stretches
        ASSERT_LT(expected.kmCount, 30);
        const auto lists = listsOf(screen);
        for (std::size_t i = 0; i < lists.size(); ++i)
            EXPECT_EQ(lists[i], expected.lists[i]) << "List1(" << i << ")";
        const QString share = QString::asprintf("%05.2f", expected.kmCount * 100.0 / 30);
        EXPECT_EQ(screen->Label5->text(),
                  QStringLiteral(" Number of Kms having GAUGE peaks more than 6 mm = %1 ( %2% )")
                      .arg(expected.kmCount)
                      .arg(share));
        EXPECT_EQ(screen->Label6->text(),
                  QStringLiteral(" Total number of GAUGE peaks more than 6 mm = %1").arg(expected.peakCount));
        EXPECT_EQ(messages(), QStringList{kGenerated});
        kestrana::gui::app::Navigator::closeAll();
    }
}

TEST_F(PeakScreen, RefusedQueriesShowTheirMessageAndLeaveTheListsClearedAndTheSummaryAsItWas) {
    writeDefaultRun(kHandRun);
    tgi_form6* screen = openScreen();
    processAndShow(screen, QStringLiteral("120"), QStringLiteral("123"));
    const QString label5 = screen->Label5->text();
    const QString label6 = screen->Label6->text();
    ASSERT_FALSE(screen->List1[0]->entries().isEmpty());

    struct Refusal {
        QString parameter, limit, from, to, message;
    };
    const std::vector<Refusal> refusals{
        {"UN2L", "15", "100", "151", " Range too wide. Please select within 50 kms"},
        {"UN2L", "15", "120", "120", " Range is empty. Please select two different kms"},
        {"UN2L", "15", "abc", "123", " Km - From and Km - to must be numbers from -32768 to 32767"},
        {"UN2L", "15", "120", "40000", " Km - From and Km - to must be numbers from -32768 to 32767"},
        {"UN2L", "x", "120", "123", " Parameter Limiting Value must be a number from -32768 to 32767"},
        {"UN3X", "15", "120", "123", " Unknown parameter. Please select a parameter from the list"},
    };
    for (const Refusal& refusal : refusals) {
        SCOPED_TRACE(refusal.message.toStdString());
        kestrana::gui::platform::MessageBox::reset();
        typeParameter(screen, refusal.parameter);
        type(screen->Text2, refusal.limit);
        type(screen->Text3[0], refusal.from);
        type(screen->Text3[1], refusal.to);
        click(screen->Command2);
        EXPECT_EQ(messages(), QStringList{refusal.message});
        for (const auto& list : listsOf(screen))
            EXPECT_TRUE(list.isEmpty());
        EXPECT_EQ(screen->Label5->text(), label5);
        EXPECT_EQ(screen->Label6->text(), label6);
        EXPECT_FALSE(screen->Label12->isVisible());
    }
    // A range of exactly 50 km is accepted.
    kestrana::gui::platform::MessageBox::reset();
    typeParameter(screen, QStringLiteral("UN2L"));
    type(screen->Text2, QStringLiteral("15"));
    type(screen->Text3[0], QStringLiteral("100"));
    type(screen->Text3[1], QStringLiteral("150"));
    click(screen->Command2);
    EXPECT_TRUE(messages().isEmpty());
    EXPECT_EQ(screen->Label6->text(), QStringLiteral(" Total number of UN2L peaks more than 15 mm = 10"));
}

TEST_F(PeakScreen, ShowDetailsBeforeAnyDatabaseIsRefused) {
    tgi_form6* screen = openScreen();
    type(screen->Text3[0], QStringLiteral("120"));
    type(screen->Text3[1], QStringLiteral("130"));
    click(screen->Command2);
    EXPECT_EQ(messages(), QStringList{QStringLiteral(" No Peak Database found. Please PROCESS DATA first")});
    EXPECT_TRUE(screen->Label5->text().isEmpty());
}

TEST_F(PeakScreen, PrintDetailsPrintsTheSummaryAndTheColumnsAsListed) {
    writeDefaultRun(kHandRun);
    tgi_form6* screen = openScreen();
    processAndShow(screen, QStringLiteral("120"), QStringLiteral("123"));
    TitlePrompt::setNextText(QStringLiteral("Peak report"));

    click(screen->Command3);

    ASSERT_EQ(TitlePrompt::shown().size(), 1U);
    EXPECT_EQ(TitlePrompt::shown()[0].prompt,
              QStringLiteral("Enter Title (if any) to be printed on the hard copy"));
    EXPECT_EQ(TitlePrompt::shown()[0].title, QStringLiteral("print Details"));
    EXPECT_EQ(TitlePrompt::shown()[0].defaultText, QStringLiteral(" "));
    ASSERT_EQ(HardCopyPrinter::jobs().size(), 1U);
    const auto& job = HardCopyPrinter::jobs()[0];
    // Rows: KMF "  " KMT, then per pair four blanks, location, two blanks (three before the 8th
    // value), value; "0000" and "00" padding; empty entries print nothing.
    const std::string noPair = "    " + std::string("  ");
    const std::string row120 =
        "0120  0121    0350  18    0012  16" + noPair + noPair + noPair + noPair + noPair + "    " + "   ";
    const std::string row122 =
        "0122  0123    1234  30    2345  29    3456  28    4567  27    5678  26    6789  25"
        "    7890  24    8901   23";
    const std::string blankRow =
        "  " + noPair + noPair + noPair + noPair + noPair + noPair + noPair + "       ";
    const std::vector<std::string> expected{
        "Peak report",
        "",
        "SHEGAON - BADNERA UP LINE        Run Date : 230224",
        "",
        "UN2L  peaks > 15 mm  between  KM 120 - 123",
        "",
        "( Kms = 66.67%      Total Peaks = 10 )",
        "",
        "KMF   KMT      L1      P1       L2     P2       L3      P3       L4      P4      L5      P5       "
        "L6      "
        "P6       L7      P7       L8      P8",
        "",
        row120,
        blankRow,
        row122,
        blankRow,
    };
    EXPECT_EQ(job.texts(), expected);
    ASSERT_EQ(job.lines.size(), expected.size());
    const PrintedLine& title = job.lines[0];
    EXPECT_EQ(title.x, 1400);
    EXPECT_EQ(title.y, 600);
    EXPECT_TRUE(title.font.bold && title.font.underline);
    EXPECT_DOUBLE_EQ(title.font.size, 11.0);
    EXPECT_EQ(job.lines[8].x, 900);
    EXPECT_DOUBLE_EQ(job.lines[8].font.size, 10.0);
    const PrintedLine& firstRow = job.lines[10];
    EXPECT_EQ(firstRow.x, 900);
    EXPECT_DOUBLE_EQ(firstRow.font.size, 9.0);
    EXPECT_FALSE(firstRow.font.bold || firstRow.font.underline);
    EXPECT_GT(firstRow.y, job.lines[8].y);
    EXPECT_TRUE(QFileInfo::exists(job.pdfPath));
}

TEST_F(PeakScreen, PrintDetailsReadsTheBoxesAsTheyStandAtPrintingTime) {
    writeDefaultRun(kHandRun);
    tgi_form6* screen = openScreen();
    click(screen->Command1);
    // Before any SHOW DETAILS: share and total 0, the header, no rows; a cancelled title prints empty.
    TitlePrompt::setNextCancel();
    type(screen->Text3[0], QStringLiteral("7"));
    click(screen->Command3);

    ASSERT_EQ(HardCopyPrinter::jobs().size(), 1U);
    const std::vector<std::string> texts = HardCopyPrinter::jobs()[0].texts();
    ASSERT_EQ(texts.size(), 10U);
    EXPECT_EQ(texts[0], "");
    EXPECT_EQ(texts[4], "UN2L  peaks > 15 mm  between  KM 7 - ");
    EXPECT_EQ(texts[6], "( Kms = 0%      Total Peaks = 0 )");
    EXPECT_EQ(texts[8].substr(0, 9), "KMF   KMT");
    EXPECT_EQ(texts[9], "");
}
