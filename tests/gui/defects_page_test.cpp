// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Kestrana developers

// The Defects page of the track history screen on the generator's defect line: the table is the core's
// list for the settings typed, filters choose rows at once, a limit edited withdraws the results until
// SHOW, the map marks the blocks exceeded in each run, a defect opens its history, and the list is
// saved and printed as the core writes it.

// The core's headers come before any Qt header (Qt's `record` macro).
#include "core/defects/defect_settings.h"
#include "core/defects/defects_page.h"
#include "core/defects/library_defects.h"
#include "core/history/history_settings.h"
#include "core/library/run_import.h"
#include "core/library/sqlite_run_library.h"
#include "run_generator.h"

#include "gui/app/navigator.h"
#include "gui/history/condition_map_view.h"
#include "gui/history/defects_page.h"
#include "gui/history/history_screen.h"
#include "gui/services/file_dialog.h"
#include "gui/services/hard_copy_printer.h"
#include "gui/services/message_box.h"
#include "gui_test_support.h"
#include "support/test_support.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTableWidget>
#include <QTest>

#include <gtest/gtest.h>

namespace kestrana::test {
namespace {

namespace core = kestrana::history;
using kestrana::gui::history::HistoryScreen;
using kestrana::gui::services::FileDialog;
using kestrana::gui::services::HardCopyPrinter;
using kestrana::gui::services::MessageBox;

class DefectsPageTest : public ::testing::Test {
protected:
    void SetUp() override {
        QDir().mkpath(QString::fromStdString(home_));
        const std::string runs = folder_.file("runs");
        QDir().mkpath(QString::fromStdString(runs));
        for (const auto& run : generator::defectSeriesRecipes().runs)
            writeFile(runs + "/" + run.fileName, generator::generateRun(run.recipe));
        library_ = library::openSqliteLibrary(library::defaultLibraryPath(),
                                              library::LibraryAccess::CreateIfMissing);
        ASSERT_EQ(library::importPaths(*library_, {runs}).imported, 6u);
        series_ = library_->series().at(0);
    }
    void TearDown() override { kestrana::gui::app::Navigator::closeAll(); }

    HistoryScreen* openScreen() {
        auto* screen = qobject_cast<HistoryScreen*>(
            kestrana::gui::app::Navigator::show(kestrana::gui::app::Screen::TrackHistory));
        EXPECT_NE(screen, nullptr);
        EXPECT_TRUE(QTest::qWaitForWindowExposed(screen));
        EXPECT_TRUE(QTest::qWaitFor([screen] { return !screen->busy(); }, 20000));
        return screen;
    }
    // The rows of the table as the core's cells, in the order shown.
    static std::vector<std::string> shownRows(const QTableWidget* table) {
        std::vector<std::string> rows;
        for (int row = 0; row < table->rowCount(); ++row) {
            std::string text;
            for (int column = 0; column < table->columnCount(); ++column)
                text += table->item(row, column)->text().toStdString() + "|";
            rows.push_back(text);
        }
        return rows;
    }
    std::vector<std::string> coreRows(const defects::TrackedDefects& tracked,
                                      const defects::DefectFilter& filter) {
        std::vector<std::string> rows;
        for (const std::uint32_t number : defects::listDefects(tracked, filter)) {
            std::string text;
            for (const auto& cell : defects::defectCells(tracked, number))
                text += cell.text + "|";
            rows.push_back(text);
        }
        return rows;
    }
    core::KmRange rangeOf(const HistoryScreen* screen) const {
        return core::kmRangeBetween(core::kmFromText(screen->kmFromBox->text().toStdString()),
                                    core::kmFromText(screen->kmToBox->text().toStdString()));
    }

    TempFolder folder_;
    std::string home_ = folder_.file("home");
    ScopedEnv homeEnv_{"KESTRANA_HOME", home_};
    std::unique_ptr<library::RunLibrary> library_;
    core::Series series_;
};

TEST_F(DefectsPageTest, TheTableIsTheCoresListAndFiltersChooseRowsAtOnce) {
    HistoryScreen* screen = openScreen();
    auto* page = screen->defectsPage;
    const core::KmRange range = rangeOf(screen);
    const auto tracked = defects::trackLibraryDefects(*library_, series_, defects::TrackingSettings{}, range);
    defects::DefectFilter filter;
    filter.kms = range;
    EXPECT_EQ(shownRows(page->defectTable), coreRows(tracked, filter));
    EXPECT_EQ(page->summaryLabel->text().toStdString(),
              defects::defectsSummary(tracked, defects::listDefects(tracked, filter)));
    // Every status of the sample line shows at once.
    for (const char* status : {"|repeat|", "|new|", "|recurring|", "|gone|"}) {
        const auto rows = shownRows(page->defectTable);
        EXPECT_TRUE(std::any_of(rows.begin(), rows.end(), [&](const std::string& row) {
            return row.find(status) != std::string::npos;
        })) << status;
    }

    page->statusChoice->setCurrentIndex(1); // repeat
    page->parameterChoice->setCurrentIndex(page->parameterChoice->findText(QStringLiteral("UN2L")));
    filter.statuses = {defects::DefectStatus::Repeat};
    filter.codes = {6};
    EXPECT_EQ(shownRows(page->defectTable), coreRows(tracked, filter));
    EXPECT_FALSE(shownRows(page->defectTable).empty());
    page->goodTrackCheck->setChecked(true);
    filter.tgiAtLeast = defects::kGoodTrackTgi;
    EXPECT_EQ(shownRows(page->defectTable), coreRows(tracked, filter));

    // A heading click sorts by that column's numbers, not by their text.
    page->statusChoice->setCurrentIndex(0);
    page->parameterChoice->setCurrentIndex(0);
    page->goodTrackCheck->setChecked(false);
    page->defectTable->sortItems(8, Qt::DescendingOrder); // the largest value
    std::vector<int> largest;
    for (int row = 0; row < page->defectTable->rowCount(); ++row)
        largest.push_back(page->defectTable->item(row, 8)->text().toInt());
    EXPECT_TRUE(std::is_sorted(largest.rbegin(), largest.rend()));
}

TEST_F(DefectsPageTest, ALimitEditedWithdrawsTheResultsAndABadOneIsRefusedWithItsMessage) {
    HistoryScreen* screen = openScreen();
    auto* page = screen->defectsPage;
    ASSERT_GT(page->defectTable->rowCount(), 0);
    QTest::keyClicks(page->limitsBox, QStringLiteral("UN2L=40"));
    EXPECT_EQ(page->defectTable->rowCount(), 0);
    EXPECT_FALSE(page->exportButton->isEnabled());
    EXPECT_EQ(screen->conditionMap->map(), nullptr);
    QTest::mouseClick(screen->showButton, Qt::LeftButton);
    ASSERT_TRUE(QTest::qWaitFor([screen] { return !screen->busy(); }, 20000));
    defects::TrackingSettings settings;
    settings.limits.set(6, 40);
    const auto tracked = defects::trackLibraryDefects(*library_, series_, settings, rangeOf(screen));
    defects::DefectFilter filter;
    filter.kms = rangeOf(screen);
    EXPECT_EQ(shownRows(page->defectTable), coreRows(tracked, filter));

    MessageBox::reset();
    QTest::keyClicks(page->toleranceBox, QStringLiteral("x"));
    QTest::mouseClick(screen->showButton, Qt::LeftButton);
    ASSERT_EQ(MessageBox::shownTexts().size(), 1);
    EXPECT_EQ(MessageBox::shownTexts().front().toStdString(), defects::kToleranceMessage);
    EXPECT_EQ(screen->pages->currentWidget(), page);
    EXPECT_EQ(page->defectTable->rowCount(), 0);
}

TEST_F(DefectsPageTest, TheMapMarksExceededBlocksAndADefectOpensItsHistory) {
    HistoryScreen* screen = openScreen();
    const core::ConditionMap& map = *screen->conditionMap->map();
    const auto tracked =
        defects::trackLibraryDefects(*library_, series_, defects::TrackingSettings{}, rangeOf(screen));
    std::vector<library::RunId> ids;
    for (const auto& run : library_->runsOf(series_))
        ids.push_back(run.id);
    EXPECT_EQ(screen->conditionMap->marks(), defects::exceedanceCells(map, tracked, ids));
    EXPECT_GT(std::count(screen->conditionMap->marks().begin(), screen->conditionMap->marks().end(), true),
              5);

    // The defect that came back: exceeded in three runs, covered without one in the three between.
    auto* page = screen->defectsPage;
    int row = 0;
    while (row < page->defectTable->rowCount() &&
           page->defectTable->item(row, 3)->text() != QStringLiteral("recurring"))
        ++row;
    ASSERT_LT(row, page->defectTable->rowCount());
    page->openDefect(row);
    EXPECT_EQ(page->historyChart->exceedanceCount(), 3);
    EXPECT_EQ(page->historyChart->clearRunCount(), 3);
    EXPECT_TRUE(page->historyChart->growthDrawn());
}

TEST_F(DefectsPageTest, TheListIsSavedAndPrintedWithItsSettingsOnEveryPage) {
    HistoryScreen* screen = openScreen();
    auto* page = screen->defectsPage;
    const std::string csv = folder_.file("defects.csv");
    FileDialog::setNextFileName(QString::fromStdString(folder_.file("defects")));
    QTest::mouseClick(page->exportButton, Qt::LeftButton);
    const core::KmRange range = rangeOf(screen);
    const auto tracked = defects::trackLibraryDefects(*library_, series_, defects::TrackingSettings{}, range);
    defects::DefectFilter filter;
    filter.kms = range;
    const auto listed = defects::listDefects(tracked, filter);
    EXPECT_EQ(readFile(csv), defects::defectsCsv(tracked, listed, "\r\n"));
    EXPECT_EQ(FileDialog::shown().back().suggestedName,
              QString::fromStdString(defects::defectsCsvName(series_, screen->today())));

    HardCopyPrinter::reset();
    QTest::mouseClick(page->printButton, Qt::LeftButton);
    ASSERT_EQ(HardCopyPrinter::jobs().size(), 1u);
    const auto& job = HardCopyPrinter::jobs().front();
    EXPECT_TRUE(job.fixedPitch);
    const defects::DefectsHeading heading{series_, range, defects::TrackingSettings{}, filter,
                                          screen->today()};
    EXPECT_EQ(job.texts(), defects::defectsPrintScript(heading, tracked, listed).lines());
}

} // namespace
} // namespace kestrana::test
