// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Kestrana developers

// The comparator screen: the run slots enabled by the number of older runs, PROCESS DATA with its
// messages, captions and km boxes, GO TO MAIN and back, COMPARE showing the core's listing and chart,
// a refused range withdrawing them, and the two hard copies and SAVE DETAILS as the core makes them
// from what is shown.

// The core's headers come before any Qt header (Qt's `record` macro).
#include "core/comparator/comparison.h"
#include "core/comparator/reports.h"
#include "core/comparator/session.h"

#include "gui/app/navigator.h"
#include "gui/comparator/comparator_screen.h"
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
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <tuple>
#include <vector>

namespace kestrana::test::comparator_screen_support {

using gui::comparator::ComparatorScreen;
using gui::services::MessageBox;

inline QString q(const std::string& text) {
    return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

inline QString opened(int slot) {
    return QStringLiteral("File for TRC Run(%1) successfully opened").arg(slot);
}

// The run of slot k: the same line, ten km rising from km 120, recorded on a date of its own.
inline generator::RunRecipe slotRun(int slot) {
    generator::RunRecipe recipe;
    recipe.peakPairs = 0;
    recipe.seed = 11 + static_cast<unsigned>(slot);
    recipe.lineSeed = 7;
    recipe.date =
        std::vector<std::string>{"120326", "110325", "100324", "090323"}[static_cast<std::size_t>(slot)];
    recipe.wear = 40 - 10 * slot;
    return recipe;
}

class ComparatorScreenTest : public ::testing::Test {
protected:
    void SetUp() override {
        // A display at the designed size: the menu asks nothing when GO TO MAIN loads it again.
        gui::services::ResolutionSwitch::fakeDisplay({1024, 768}, false);
        // The comparator's values live as long as the program; every test starts as the program does.
        comparator::comparatorSession() = comparator::ComparatorSession{};
        home = qEnvironmentVariable("KESTRANA_HOME").toStdString();
        std::filesystem::create_directories(home + "/TRCDATA");
        for (int k = 0; k < 4; ++k)
            std::filesystem::remove(runPath(k));
    }

    std::string runPath(int slot) const { return home + "/TRCDATA/trcdata" + std::to_string(slot) + ".run"; }

    // Writes slot k's run at its default place and returns what it holds.
    generator::GeneratedRun writeRun(int slot, const generator::RunRecipe& recipe) {
        generator::GeneratedRun run = generator::generateRunWithValues(recipe);
        writeFile(runPath(slot), run.text);
        return run;
    }
    std::vector<generator::GeneratedRun> writeRuns(int count) {
        std::vector<generator::GeneratedRun> runs;
        for (int k = 0; k < count; ++k)
            runs.push_back(writeRun(k, slotRun(k)));
        return runs;
    }

    ComparatorScreen* open() {
        auto* screen =
            qobject_cast<ComparatorScreen*>(gui::app::Navigator::show(gui::app::Screen::Comparator));
        EXPECT_NE(screen, nullptr);
        EXPECT_TRUE(QTest::qWaitForWindowExposed(screen));
        return screen;
    }

    static void type(QLineEdit* box, const std::string& text) {
        box->setFocus();
        box->selectAll();
        if (text.empty())
            QTest::keyClick(box, Qt::Key_Delete);
        else
            QTest::keyClicks(box, q(text));
    }
    static void click(QPushButton* command) { QTest::mouseClick(command, Qt::LeftButton); }

    // Types n, loads the runs and types the km range.
    static void processAndType(ComparatorScreen* screen, int olderRuns, const std::string& from,
                               const std::string& to) {
        type(screen->olderRunCountEdit, std::to_string(olderRuns));
        click(screen->processDataButton);
        type(screen->kmRangeEdits[0], from);
        type(screen->kmRangeEdits[1], to);
    }

    std::string home;
};

} // namespace kestrana::test::comparator_screen_support

namespace {

using namespace kestrana::test;
using namespace kestrana::test::comparator_screen_support;
namespace generator = kestrana::generator;
namespace comparator = kestrana::comparator;
using kestrana::gui::services::FileDialog;
using kestrana::gui::services::HardCopyPrinter;
using kestrana::gui::services::TitlePrompt;

const QColor kGrey(0xC0, 0xC0, 0xC0);

// Whether slot k is usable as the design draws it: box and heading enabled, box on the window colour.
bool slotUsable(ComparatorScreen* screen, int k) {
    QLineEdit* path = screen->runFileEdits[k];
    const QColor base = path->palette().color(QPalette::Disabled, QPalette::Base);
    EXPECT_EQ(path->isEnabled(), screen->slotHeadingLabels[k]->isEnabled()) << "slot " << k;
    EXPECT_EQ(path->isEnabled(), base != kGrey) << "slot " << k;
    return path->isEnabled();
}

std::vector<bool> olderSlotsUsable(ComparatorScreen* screen) {
    return {slotUsable(screen, 1), slotUsable(screen, 2), slotUsable(screen, 3)};
}

// The listing as the screen's lists show it.
comparator::ComparisonListing listingShown(const ComparatorScreen* screen) {
    const auto texts = [](const kestrana::gui::widgets::ListBox* list) {
        std::vector<std::string> entries;
        for (const QString& entry : list->entries())
            entries.push_back(entry.toStdString());
        return entries;
    };
    comparator::ComparisonListing listing{texts(screen->headingList), {}, texts(screen->blockList), {}};
    for (std::size_t k = 0; k < listing.values.size(); ++k) {
        listing.runDates[k] = texts(screen->runDateLists[k]);
        listing.values[k] = texts(screen->valueLists[k]);
    }
    return listing;
}

class ComparatorCompare : public ComparatorScreenTest {
protected:
    // Runs 0 and 1 over km 120 to 129, run 1 lacking block 3 of km 121; n = 1, compared over from-to.
    ComparatorScreen* compareTwoRuns(const std::string& from, const std::string& to) {
        writeRun(0, slotRun(0));
        generator::RunRecipe older = slotRun(1);
        older.missingBlocks = {{121, 3}};
        writeRun(1, older);
        ComparatorScreen* screen = open();
        processAndType(screen, 1, from, to);
        click(screen->compareButton);
        return screen;
    }
};

TEST_F(ComparatorScreenTest, OpensOnTheDefaultRunsWithOnlyTheFirstInputsUsable) {
    ComparatorScreen* screen = open();
    EXPECT_EQ(screen->olderRunCountEdit->text(), QStringLiteral("0"));
    for (int k = 0; k < 4; ++k) {
        EXPECT_EQ(screen->runFileEdits[k]->text().toStdString(), runPath(k));
        EXPECT_TRUE(screen->browseButtons[k]->isEnabled());
        EXPECT_EQ(slotUsable(screen, k), k == 0);
    }
    for (QLineEdit* km : screen->kmRangeEdits)
        EXPECT_TRUE(km->text().isEmpty() && !km->isEnabled());
    for (QPushButton* later : {screen->compareButton, screen->printDetailsButton, screen->printGraphButton,
                               screen->saveDetailsButton})
        EXPECT_FALSE(later->isEnabled());
    EXPECT_EQ(screen->blockList->font().styleHint(), QFont::Monospace);
}

TEST_F(ComparatorScreenTest, ProcessDataReportsEachRunInOrderAndShowsItsKmCaption) {
    writeRuns(3);
    ComparatorScreen* screen = open();
    type(screen->olderRunCountEdit, "2");
    click(screen->processDataButton);
    EXPECT_EQ(MessageBox::shownTexts(), (QStringList{opened(0), opened(1), opened(2)}));
    for (int k = 0; k < 4; ++k) {
        // The loaded slots show their km caption in place of the path box.
        EXPECT_EQ(screen->runFileEdits[k]->isHidden(), k <= 2) << k;
        EXPECT_EQ(screen->slotKmLabels[k]->geometry(), screen->runFileEdits[k]->geometry()) << k;
        EXPECT_EQ(screen->slotKmLabels[k]->text(), k <= 2 ? QStringLiteral("Km  120 To Km  130") : QString())
            << k;
    }
    EXPECT_EQ(screen->kmRangeEdits[0]->text(), QStringLiteral("120"));
    EXPECT_EQ(screen->kmRangeEdits[1]->text(), QStringLiteral("170")); // rising: 120 + 50
    EXPECT_TRUE(screen->kmRangeEdits[0]->isEnabled() && screen->kmRangeEdits[1]->isEnabled());
    EXPECT_TRUE(screen->compareButton->isEnabled());
    EXPECT_TRUE(fileExists(home + "/trcdbase.sqlite"));
    EXPECT_FALSE(fileExists(home + "/temp_1.txt"));

    // Editing the number of runs shows the path boxes again and withdraws COMPARE.
    type(screen->olderRunCountEdit, "2");
    for (QLineEdit* path : screen->runFileEdits)
        EXPECT_FALSE(path->isHidden());
    EXPECT_FALSE(screen->compareButton->isEnabled());
}

TEST_F(ComparatorScreenTest, BackFromTheMenuTheBoxShowsTheNumberOfRunsStillUsed) {
    writeRuns(3);
    ComparatorScreen* screen = open();
    type(screen->olderRunCountEdit, "2");
    click(screen->goToMainButton);
    QCoreApplication::processEvents();
    EXPECT_EQ(openWindowsNamed(QStringLiteral("ComparatorScreen")), 0);
    EXPECT_EQ(openWindowsNamed(QStringLiteral("MainMenu")), 1);

    screen = open();
    EXPECT_EQ(screen->olderRunCountEdit->text(), QStringLiteral("2"));
    EXPECT_EQ(olderSlotsUsable(screen), (std::vector<bool>{true, true, false}));
    click(screen->processDataButton);
    EXPECT_EQ(MessageBox::shownTexts(), (QStringList{opened(0), opened(1), opened(2)}));
}

TEST_F(ComparatorCompare, ANewProcessDataWithdrawsTheComparisonAndACountOutsideOneToThreeBuildsNothing) {
    ComparatorScreen* screen = compareTwoRuns("120", "125");
    ASSERT_TRUE(screen->printGraphButton->isEnabled());
    const auto withdrawn = [screen] {
        EXPECT_EQ(screen->blockList->count() + screen->headingList->count(), 0);
        EXPECT_TRUE(screen->comparisonChart->series().empty());
        for (QPushButton* command : {screen->compareButton, screen->printDetailsButton,
                                     screen->printGraphButton, screen->saveDetailsButton})
            EXPECT_FALSE(command->isEnabled()) << command->objectName().toStdString();
    };

    // A count of 5: its message when typed, and again on PROCESS DATA, which loads and builds nothing.
    const std::uint64_t stamp = comparator::comparatorSession().databaseStamp;
    MessageBox::reset();
    type(screen->olderRunCountEdit, "5");
    click(screen->processDataButton);
    EXPECT_EQ(MessageBox::shownTexts(), (QStringList{QStringLiteral("Please enter between 1 and 3 "),
                                                     QStringLiteral("Please enter between 1 and 3 ")}));
    withdrawn();
    EXPECT_EQ(comparator::comparatorSession().databaseStamp, stamp);
    EXPECT_TRUE(fileExists(home + "/trcdbase.sqlite"));

    // A build that fails on its second run leaves COMPARE off, whatever it was before.
    type(screen->olderRunCountEdit, "1");
    click(screen->processDataButton);
    ASSERT_TRUE(screen->compareButton->isEnabled());
    std::filesystem::remove(runPath(1));
    MessageBox::reset();
    click(screen->processDataButton);
    EXPECT_EQ(
        MessageBox::shownTexts(),
        (QStringList{opened(0), QStringLiteral("Could not open file. Please type file name correctly.")}));
    withdrawn();
}

TEST_F(ComparatorCompare, ListsTheCoresComparisonAndChartsItsKmAverages) {
    ComparatorScreen* screen = compareTwoRuns("120", "125");
    EXPECT_EQ(MessageBox::shownTexts().size(), 2); // only the two slot messages
    EXPECT_EQ(screen->headingList->entries(), QStringList{QStringLiteral("From  -  To       Blk")});
    EXPECT_EQ(screen->runDateLists[0]->entries(), QStringList{QStringLiteral("120326")});
    EXPECT_EQ(screen->runDateLists[1]->entries(), QStringList{QStringLiteral("110325")});
    // The lists are the core's comparison of the runs the screen loaded, "NA" where a run lacks a block.
    const comparator::CompareResult compared =
        comparator::compareRuns("120", "125", comparator::comparatorSession(), home + "/trcdbase");
    ASSERT_FALSE(compared.failure.has_value());
    EXPECT_EQ(screen->blockList->count(), 5 * 5 * 2); // km 120 to 124, five blocks each
    const comparator::ComparisonListing shown = listingShown(screen);
    EXPECT_EQ(shown.blocks, compared.listing.blocks);
    EXPECT_EQ(shown.values, compared.listing.values);
    EXPECT_EQ(screen->valueLists[1]->entry(2 * (5 + 2)), QStringLiteral("NA")); // km 121, block 3
    EXPECT_TRUE(screen->runDateLists[2]->entries().isEmpty() && screen->valueLists[2]->entries().isEmpty());
    for (QPushButton* made :
         {screen->printDetailsButton, screen->printGraphButton, screen->saveDetailsButton})
        EXPECT_TRUE(made->isEnabled());

    // The chart: one line per run named by its date, over both typed kms, each km with its blank.
    const auto& chart = *screen->comparisonChart;
    EXPECT_EQ(chart.categories(), (QStringList{" 120", " 121", " 122", " 123", " 124", " 125"}));
    ASSERT_EQ(chart.series().size(), 2u);
    EXPECT_EQ(chart.series()[0].name, QStringLiteral("120326"));
    EXPECT_EQ(chart.series()[1].name, QStringLiteral("110325"));
    EXPECT_TRUE(chart.legendShown());
    ASSERT_TRUE(compared.chart.has_value());
    for (std::size_t k = 0; k < 2; ++k) {
        std::vector<std::optional<double>> means;
        for (const comparator::KmAverageRow& row : compared.chart->rows)
            means.push_back(row.means[k]);
        EXPECT_EQ(chart.series()[k].values, means) << k;
    }
}

TEST_F(ComparatorCompare, ARefusedRangeWithdrawsTheComparisonItsChartAndItsHardCopies) {
    ComparatorScreen* screen = compareTwoRuns("120", "125");
    ASSERT_TRUE(screen->printGraphButton->isEnabled() && screen->saveDetailsButton->isEnabled());
    ASSERT_FALSE(screen->comparisonChart->categories().isEmpty());
    for (const auto& [from, to, message] : std::vector<std::tuple<std::string, std::string, QString>>{
             {"100", "201", "Range too wide. Please select range within 100 kms"},
             {"12O", "125", "Please type Km - From and Km - To as numbers between -32768 and 32767"}}) {
        MessageBox::reset();
        type(screen->kmRangeEdits[0], from);
        type(screen->kmRangeEdits[1], to);
        click(screen->compareButton);
        EXPECT_EQ(MessageBox::shownTexts(), QStringList{message});
        EXPECT_EQ(screen->blockList->count(), 0);
        EXPECT_TRUE(screen->comparisonChart->categories().isEmpty());
        for (QPushButton* withdrawn :
             {screen->printDetailsButton, screen->printGraphButton, screen->saveDetailsButton})
            EXPECT_FALSE(withdrawn->isEnabled()) << withdrawn->objectName().toStdString();
    }
    // Exactly 100 km is accepted: km 100 to 199, five blocks each. Enter in a km box compares too.
    MessageBox::reset();
    type(screen->kmRangeEdits[0], "100");
    type(screen->kmRangeEdits[1], "200");
    QTest::keyClick(screen->kmRangeEdits[1], Qt::Key_Return);
    EXPECT_TRUE(MessageBox::shownTexts().isEmpty());
    EXPECT_EQ(screen->blockList->count(), 100 * 5 * 2);
}

TEST_F(ComparatorCompare, TheHardCopiesAndTheSavedReportAreTheCoresForWhatIsShown) {
    ComparatorScreen* screen = compareTwoRuns("120", "122");
    const comparator::ReportInputs inputs{"NAGPUR - WARDHA UP MAIN LINE", "120", "122", "TGI", 1};
    const comparator::ComparisonListing listing = listingShown(screen);
    TitlePrompt::setNextText(QStringLiteral("Rail Track Survey"));
    click(screen->printDetailsButton);
    TitlePrompt::setNextText(QStringLiteral("Thirteen char"));
    click(screen->printGraphButton);

    ASSERT_EQ(TitlePrompt::shown().size(), 2u);
    EXPECT_EQ(TitlePrompt::shown()[0].title, QStringLiteral("Print Details"));
    EXPECT_EQ(TitlePrompt::shown()[1].title, QStringLiteral("Print Comparision Graph "));
    ASSERT_EQ(HardCopyPrinter::jobs().size(), 2u);
    const auto& details = HardCopyPrinter::jobs()[0];
    EXPECT_EQ(details.texts(), comparator::printDetailsScript(inputs, listing, "Rail Track Survey").lines());
    EXPECT_EQ(details.texts().at(2), "NAGPUR - WARDHA UP MAIN LINE ( Km 120 to 122 ) ");
    EXPECT_FALSE(details.landscape);
    EXPECT_TRUE(QFileInfo(details.pdfPath).fileName().startsWith(QStringLiteral("comparison-details-")));
    // The graph page up to its footer with the date of printing, the chart across the page above it.
    const auto& graph = HardCopyPrinter::jobs()[1];
    const auto expected = comparator::printGraphScript(inputs, "Thirteen char", "").lines();
    ASSERT_EQ(graph.texts().size(), expected.size());
    EXPECT_TRUE(std::equal(expected.begin(), expected.end() - 1, graph.texts().begin()));
    EXPECT_TRUE(graph.landscape);
    ASSERT_EQ(graph.pictures.size(), 1u);
    EXPECT_LE(graph.pictures[0].y + graph.pictures[0].height, 6000); // above the heading
    EXPECT_GE(graph.pictures[0].dotsPerInch, 300);

    // SAVE DETAILS: the report file; a name that ends in .txt is used as it is; a cancel writes nothing.
    const auto shownBeforeSaving = MessageBox::shownTexts().size();
    const std::string folder = home + "/reports";
    std::filesystem::create_directories(folder);
    FileDialog::setNextFileName(QDir::toNativeSeparators(q(folder + "/comparison")));
    click(screen->saveDetailsButton);
    EXPECT_EQ(readFile(folder + "/comparison.txt"),
              comparator::savedReportText(comparator::savedReportLines(inputs.section, listing), "\r\n"));
    FileDialog::setNextFileName(q(folder + "/named.txt"));
    click(screen->saveDetailsButton);
    FileDialog::setNextCancel();
    click(screen->saveDetailsButton);
    std::vector<std::string> files;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        files.push_back(entry.path().filename().string());
    std::sort(files.begin(), files.end());
    EXPECT_EQ(files, (std::vector<std::string>{"comparison.txt", "named.txt"}));
    EXPECT_EQ(MessageBox::shownTexts().size(), shownBeforeSaving); // saving says nothing
}

} // namespace
