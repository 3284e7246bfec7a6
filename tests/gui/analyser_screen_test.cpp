// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Kestrana developers

// The analyser screen, opened through the navigator as the menu opens it and driven by clicks on
// its real buttons and typing into its real boxes: a run through every view - PROCESS DATA to the
// header boxes, PROCESS INFORMATION to the captions and the chart, SHOW DETAILS to the listing, a
// click on a row to its raw data, the track share - each showing what the core computes for the
// texts typed (the figures themselves are checked on the core); a failed PROCESS DATA that keeps the
// run before, a new run that withdraws every old result, GO TO MAIN keeping the values, text shown
// as it stands, and the hard copies and saved report as the core writes them for what is shown.

#include "core/analyser/listing.h"
#include "core/analyser/messages.h"
#include "core/analyser/processing.h"
#include "core/analyser/raw_view.h"
#include "core/analyser/reports.h"
#include "core/analyser/session.h"
#include "core/common/paths.h"
#include "gui/analyser/analyser_screen.h"
#include "gui/app/navigator.h"
#include "gui/services/chart_clipboard.h"
#include "gui/services/file_dialog.h"
#include "gui/services/hard_copy_printer.h"
#include "gui/services/message_box.h"
#include "gui/services/resolution_switch.h"
#include "gui/services/title_prompt.h"
#include "gui/widgets/charts.h"
#include "gui/widgets/list_box.h"
#include "gui_test_support.h"
#include "run_generator.h"
#include "support/test_support.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QEvent>
#include <QFileInfo>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QStackedWidget>
#include <QTableWidget>
#include <QTest>

#include <gtest/gtest.h>

#include <array>
#include <filesystem>
#include <string>
#include <tuple>
#include <vector>

namespace {

namespace core = kestrana::analyser;
using Texts = std::vector<std::string>;
using kestrana::gui::analyser::AnalyserScreen;
using kestrana::gui::services::FileDialog;
using kestrana::gui::services::HardCopyPrinter;
using kestrana::gui::services::TitlePrompt;
using kestrana::gui::widgets::ListBox;
using namespace kestrana;
using test::TempFolder;
using test::writeFile;

// One block line of a hand-made run: code 68, the block number, eleven channel SDs of 1.0, the TGI,
// speed 80, ride indices 0.05 and 2.50 and the four sub-indices.
struct HandBlock {
    int block = 1;
    int tgi = 0;
    int tgiu = 0, tgiw = 0, tgig = 0, tgil = 0;
};

struct HandKm {
    int kmFrom;
    int kmTo;
    std::vector<HandBlock> blocks;
};

// A run with a "95" line (run number at position 4, date at 6 to 11) unless runNumber is 0, and a
// "91" line with the section from position 15.
inline std::string handRun(const std::vector<HandKm>& kms, char runNumber = '7',
                           const std::string& date = "040526",
                           const std::string& section = "ITARSI - BHOPAL DOWN MAIN LINE") {
    std::string text = runNumber == 0 ? "" : std::string("95 ") + runNumber + " " + date + " TRC RUN\r\n";
    text += "91" + std::string(12, ' ') + section + "\r\n";
    for (const HandKm& km : kms) {
        text += "60," + std::to_string(km.kmFrom) + "," + std::to_string(km.kmTo) + ",\r\n";
        for (const HandBlock& b : km.blocks) {
            text += "68," + std::to_string(b.block) + ",10,10,10,10,10,10,10,10,10,10,10," +
                    std::to_string(b.tgi) + ",80,0,5,250," + std::to_string(b.tgiu) + "," +
                    std::to_string(b.tgiw) + "," + std::to_string(b.tgig) + "," + std::to_string(b.tgil) +
                    ",0\r\n";
        }
    }
    return text;
}

// A row of the raw-data table as texts; row -1 is the column names.
inline QStringList rawTableRow(const QTableWidget* table, int row) {
    QStringList texts;
    for (int column = 0; column < table->columnCount(); ++column) {
        const QTableWidgetItem* cell =
            row < 0 ? table->horizontalHeaderItem(column) : table->item(row, column);
        texts << (cell ? cell->text() : QString());
    }
    return texts;
}

inline QStringList cellsOf(std::string_view line) {
    QStringList texts;
    for (const std::string& cell : kestrana::analyser::rawViewCells(line))
        texts << QString::fromStdString(cell);
    return texts;
}

inline QString q(std::string_view text) {
    return QString::fromLatin1(text.data(), qsizetype(text.size()));
}
inline std::string s(const QString& text) {
    return text.toLatin1().toStdString();
}

// The worked example (ten blocks: TGI 0 twice, 20, 40 three times each, 90 twice) over km 100 to
// 110, one block per kilometre.
inline std::string exampleRun() {
    std::vector<HandKm> kms;
    const std::vector<int> tgis = {0, 20, 20, 20, 40, 40, 40, 90, 90, 0};
    for (std::size_t i = 0; i < tgis.size(); ++i) {
        const int km = 100 + static_cast<int>(i);
        kms.push_back({km, km + 1, {{1, tgis[i], tgis[i] / 2, tgis[i] / 4, 7, tgis[i] == 90 ? 123 : 5}}});
    }
    return handRun(kms);
}

class AnalyserScreenTest : public ::testing::Test {
protected:
    void SetUp() override {
        // A display at the designed size: the menu asks nothing when GO TO MAIN loads it again.
        gui::services::ResolutionSwitch::fakeDisplay({1024, 768}, false);
    }

    AnalyserScreen* open() {
        auto* screen = qobject_cast<AnalyserScreen*>(gui::app::Navigator::show(gui::app::Screen::Analyser));
        screen->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(screen));
        return screen;
    }

    std::string writeRun(const std::string& name, const std::string& text) {
        const std::string path = folder.file(name);
        writeFile(path, text);
        return path;
    }

    static void type(QLineEdit* box, const std::string& text) {
        box->setFocus();
        box->selectAll();
        QTest::keyClick(box, Qt::Key_Delete);
        QTest::keyClicks(box, q(text));
    }

    static void click(QPushButton* button) { QTest::mouseClick(button, Qt::LeftButton); }

    static void clickEntry(ListBox* list, int row) {
        const QModelIndex index = list->model()->index(row, 0);
        list->scrollTo(index);
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualRect(index).center());
    }

    // PROCESS DATA on a run file, writing its SD output beside it.
    void process(AnalyserScreen* screen, const std::string& runPath) {
        type(screen->runFileEdit, runPath);
        type(screen->outputFileEdit, folder.file("sd-output.txt"));
        click(screen->processDataButton);
    }

    // PROCESS DATA, PROCESS INFORMATION over the whole run and SHOW DETAILS with the defaults.
    void processToDetails(AnalyserScreen* screen, const std::string& runPath) {
        process(screen, runPath);
        click(screen->processInformationButton);
        click(screen->showDetailsButton);
    }

    static QStringList messages() { return gui::services::MessageBox::shownTexts(); }

    // GO TO MAIN, with the closed screen deleted as the event loop would.
    static void goToMain(AnalyserScreen* screen) {
        click(screen->goToMainButton);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    TempFolder folder;
};

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

// A generated run through the listing, the raw-data view and the track share: the screen must show
// what the core gives for the texts typed into each box.
TEST_F(AnalyserScreenTest, AGeneratedRunTravelsThroughEveryView) {
    kestrana::generator::RunRecipe recipe;
    recipe.startKm = 1230;
    recipe.kmCount = 8;
    recipe.runNumber = '4';
    recipe.section = "KHANDWA - AKOLA UP MAIN LINE";
    AnalyserScreen* screen = open();
    process(screen, writeRun("generated.run", kestrana::generator::generateRun(recipe)));
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
    EXPECT_EQ(screen->listingArea->currentWidget(), screen->qualityChart);
    EXPECT_EQ(s(screen->qualityChart->label()), quality.chart.label);
    EXPECT_EQ(screen->qualityChart->values(),
              std::vector<double>(quality.chart.bandShares.begin(), quality.chart.bandShares.end()));

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
    EXPECT_EQ(rawTableRow(screen->rawValuesTable, -1), cellsOf(core::kRawViewHeader));
    const core::RawView view = core::analyserSession().rawView(listing.entries[4]);
    ASSERT_EQ(view.rows.size(), 1U);
    ASSERT_EQ(screen->rawValuesTable->rowCount(), 1);
    EXPECT_EQ(rawTableRow(screen->rawValuesTable, 0), cellsOf(view.rows[0]));
    clickEntry(screen->listingList, 5);
    EXPECT_EQ(screen->rawValuesTable->rowCount() + screen->rawValuesTable->columnCount(), 0);

    type(screen->shareLowEdit, "20");
    type(screen->shareHighEdit, "70");
    click(screen->calcTrackShareButton);
    EXPECT_EQ(s(screen->trackShareLabel->text()),
              core::calcTrackShare(table, quality.range, "20", "70").caption);
    EXPECT_TRUE(messages().isEmpty()) << s(messages().join("|"));
}

TEST_F(AnalyserScreenTest, EnterInABoxRunsTheOperationItFeedsWhenItIsUsable) {
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

TEST_F(AnalyserScreenTest, AFailedProcessDataKeepsThePreviousRunAndItsViewsWorking) {
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

TEST_F(AnalyserScreenTest, AFailureNamesFileLineAndWhatAfterTheDesignedMessage) {
    AnalyserScreen* screen = open();
    std::string text = exampleRun();
    text.replace(text.find("68,1,10,"), 8, "68,1,1x,"); // line 4, the first block line
    const std::string bad = writeRun("bad-number.run", text);
    process(screen, bad);
    EXPECT_EQ(messages(), QStringList{q(std::string(core::kProcessFailedMessage) + "\n" + bad +
                                        ", line 4: \"1x\" is not a whole number")});
}

TEST_F(AnalyserScreenTest, ANewRunWithdrawsEveryResultOfTheRunBefore) {
    AnalyserScreen* screen = open();
    const std::string run = writeRun("first.run", exampleRun());
    processToDetails(screen, run);
    click(screen->calcTrackShareButton);
    clickEntry(screen->listingList, 0);
    ASSERT_EQ(screen->rawValuesTable->rowCount(), 1);

    // The second run has no header line: no run number or date of the run before stays shown.
    process(screen, writeRun("headless.run", handRun({{300, 301, {HandBlock{1, 40}}}}, 0)));
    EXPECT_TRUE(messages().isEmpty()) << s(messages().join("|"));
    EXPECT_EQ(screen->kmFromEdit->text(), "300");
    EXPECT_TRUE(screen->runNumberEdit->text().isEmpty() && screen->runDateEdit->text().isEmpty());
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

TEST_F(AnalyserScreenTest, GoToMainDiscardsTheControlsButKeepsTheValuesBehindThem) {
    AnalyserScreen* screen = open();
    processToDetails(screen, writeRun("kept.run", exampleRun()));
    type(screen->startKmEdit, "101");
    type(screen->endKmEdit, "109");
    click(screen->processInformationButton);
    click(screen->calcTrackShareButton);
    const kestrana::analyser::AnalyserSession& session = kestrana::analyser::analyserSession();
    const auto kept = std::make_tuple(session.range, session.distribution, session.listingBounds,
                                      session.shareBounds, session.table.rows.size());
    EXPECT_EQ(session.range.startKm, 101);

    QPointer<AnalyserScreen> closed(screen);
    goToMain(screen);
    EXPECT_TRUE(closed.isNull());
    EXPECT_NE(kestrana::gui::app::Navigator::find(kestrana::gui::app::Screen::MainMenu), nullptr);

    AnalyserScreen* again = open();
    EXPECT_FALSE(again->processInformationButton->isEnabled());
    for (const QString& text :
         {again->startKmEdit->text(), again->runDateEdit->text(), again->trackShareLabel->text()})
        EXPECT_TRUE(text.isEmpty()) << s(text);
    EXPECT_EQ(again->listingList->count(), 0);
    EXPECT_EQ(again->lowTgiEdit->text(), "1");
    EXPECT_EQ(again->indexCombo->currentText(), "TGI");
    EXPECT_EQ(again->averageLabel->text(), "Average TGI =  ");
    EXPECT_EQ(std::make_tuple(session.range, session.distribution, session.listingBounds, session.shareBounds,
                              session.table.rows.size()),
              kept);
}

TEST_F(AnalyserScreenTest, TextFromTheRunIsShownAsItStandsNeverAsMarkup) {
    AnalyserScreen* screen = open();
    process(screen, writeRun("markup.run", handRun({{100, 101, {HandBlock{}}}}, '1', "010126",
                                                   "<b>ITARSI</b> &amp; BHOPAL")));
    EXPECT_EQ(screen->sectionLabel->text(), "<b>ITARSI</b> &amp; BHOPAL");
    for (QLabel* label : screen->findChildren<QLabel*>())
        EXPECT_EQ(label->textFormat(), Qt::PlainText) << s(label->text());
}

class AnalyserScreenHardCopies : public AnalyserScreenTest {
protected:
    AnalyserScreen* listed() {
        AnalyserScreen* screen = open();
        processToDetails(screen, writeRun("print.run", exampleRun()));
        return screen;
    }
    // What PRINT DETAILS and SAVE DETAILS read from the screen and the session now.
    static core::DetailsReport reportOf(const AnalyserScreen* screen) {
        const core::AnalyserSession& session = core::analyserSession();
        core::DetailsReport report{core::reportHeadingOf(session.table.header), session.range,
                                   s(screen->indexCombo->currentText()),        session.listingBounds,
                                   s(screen->listingHeaderList->entry(0)),      {}};
        for (const QString& entry : screen->listingList->entries())
            report.listingEntries.push_back(s(entry));
        return report;
    }
    std::size_t filesInFolder() const {
        return static_cast<std::size_t>(
            std::distance(std::filesystem::directory_iterator(folder.path()), {}));
    }
};

TEST_F(AnalyserScreenHardCopies, PrintGraphPutsADrawnChartAndTheFiguresOnOnePage) {
    AnalyserScreen* screen = open();
    process(screen, writeRun("graph.run", exampleRun()));
    type(screen->startKmEdit, "110");
    type(screen->endKmEdit, "100");
    click(screen->processInformationButton);
    TitlePrompt::setNextText("Quarterly check");
    click(screen->printGraphButton);

    ASSERT_EQ(TitlePrompt::shown().size(), 1U);
    EXPECT_EQ(s(TitlePrompt::shown()[0].prompt), core::kTitlePrompt);
    EXPECT_EQ(s(TitlePrompt::shown()[0].title), core::kPrintGraphPromptTitle);
    ASSERT_EQ(HardCopyPrinter::jobs().size(), 1U);
    const auto& job = HardCopyPrinter::jobs()[0];
    EXPECT_EQ(job.pageCount, 1);
    ASSERT_EQ(messages().size(), 1);
    EXPECT_TRUE(messages()[0].contains(QDir::toNativeSeparators(job.pdfPath)));
    // The page is the core's script for the range as typed and the figures shown, up to its footer
    // with the time of printing.
    const core::AnalyserSession& session = core::analyserSession();
    Texts expected = core::printGraphScript("Quarterly check", core::reportHeadingOf(session.table.header),
                                            session.range, session.distribution, "")
                         .lines();
    Texts texts = job.texts();
    ASSERT_EQ(texts.size(), expected.size());
    EXPECT_EQ(Texts(texts.begin(), texts.end() - 1), Texts(expected.begin(), expected.end() - 1));

    // The chart, at print resolution and with its bars drawn: the picture is not a blank page.
    ASSERT_EQ(job.pictures.size(), 1U);
    EXPECT_GT(job.pictures[0].width, 3000);
    EXPECT_GE(job.pictures[0].dotsPerInch, 300);
    const QImage chart = kestrana::gui::services::ChartClipboard::picture().toImage();
    int coloured = 0;
    for (int y = 0; y < chart.height(); y += 4)
        for (int x = 0; x < chart.width(); x += 4)
            coloured += QColor(chart.pixel(x, y)).saturation() > 100 ? 1 : 0;
    EXPECT_GT(coloured, 1000);
    EXPECT_FALSE(screen->printGraphButton->isEnabled());
}

TEST_F(AnalyserScreenHardCopies, PrintDetailsPrintsTheListingShownWithTheIndexNameOfNow) {
    AnalyserScreen* screen = listed();
    // The index name is read again when printing; the bounds are those of the listing shown.
    type(screen->lowTgiEdit, "5");
    screen->indexCombo->setCurrentText("TGIW");
    TitlePrompt::setNextCancel();
    click(screen->printDetailsButton);

    ASSERT_EQ(HardCopyPrinter::jobs().size(), 1U);
    const Texts texts = HardCopyPrinter::jobs()[0].texts();
    EXPECT_EQ(texts, core::printDetailsScript("", reportOf(screen)).lines());
    ASSERT_GT(texts.size(), 4U);
    EXPECT_EQ(texts[4], " Lcations with TGIW between 1 and 35 ( Km 100 - 110 )");
    EXPECT_TRUE(screen->printDetailsButton->isEnabled());
}

TEST_F(AnalyserScreenHardCopies, SaveDetailsWritesTheReportAndACancelOrAFailureWritesNothing) {
    AnalyserScreen* screen = listed();
    type(screen->startKmEdit, "110");
    type(screen->endKmEdit, "-3");
    click(screen->processInformationButton); // the range as typed goes into the report
    FileDialog::setNextFileName(q(folder.file("details")));
    click(screen->saveDetailsButton);
    ASSERT_EQ(FileDialog::shown().size(), 1U);
    EXPECT_EQ(FileDialog::shown()[0].kind, kestrana::gui::services::FileDialogKind::Save);
    const std::string saved = kestrana::test::readFile(folder.file("details.txt"));
    EXPECT_EQ(saved, core::savedReportText(reportOf(screen)));
    EXPECT_NE(saved.find("\r\n km   110-3 \r\n"), std::string::npos);
    EXPECT_TRUE(messages().isEmpty()) << s(messages().join("|"));

    const std::size_t before = filesInFolder();
    FileDialog::setNextCancel();
    click(screen->saveDetailsButton);
    EXPECT_EQ(filesInFolder(), before);
    EXPECT_TRUE(messages().isEmpty());

    FileDialog::setNextFileName(q(folder.file("no-folder/details")));
    click(screen->saveDetailsButton);
    ASSERT_EQ(messages().size(), 1);
    EXPECT_TRUE(messages()[0].startsWith(q(core::kReportNotSavedMessage))) << s(messages()[0]);
    EXPECT_FALSE(kestrana::test::fileExists(folder.file("no-folder/details.txt")));
}

} // namespace
