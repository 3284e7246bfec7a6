// The track history screen: import summary, results withdrawn when an input changes, the maintenance
// list exported and printed as the core makes it, a damaged library.

// The core's headers come before any Qt header (Qt's `record` macro).
#include "core/history/block_history.h"
#include "core/history/forecast_list.h"
#include "core/history/history_csv.h"
#include "core/history/history_screen_texts.h"
#include "core/history/history_settings.h"
#include "core/history/maintenance_print.h"
#include "core/history/run_import.h"
#include "core/history/sqlite_run_library.h"
#include "run_generator.h"

#include "gui/app/navigator.h"
#include "gui/history/block_history_chart.h"
#include "gui/history/condition_map_view.h"
#include "gui/history/history_screen.h"
#include "gui/services/file_dialog.h"
#include "gui/services/hard_copy_printer.h"
#include "gui/services/message_box.h"
#include "gui/widgets/list_box.h"
#include "gui_test_support.h"
#include "support/test_support.h"

#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>

#include <gtest/gtest.h>

#include <functional>

namespace kestrana::test {
namespace {

namespace core = kestrana::history;
using kestrana::gui::history::HistoryScreen;
using kestrana::gui::services::FileDialog;
using kestrana::gui::services::HardCopyPrinter;
using kestrana::gui::services::MessageBox;

class HistoryScreenTest : public ::testing::Test {
protected:
    void SetUp() override { QDir().mkpath(QString::fromStdString(home_)); }
    void TearDown() override { kestrana::gui::app::Navigator::closeAll(); }

    // The generator's history sample (a dozen runs of one line) written into `folder`.
    std::vector<std::string> writeSampleRuns(const std::string& folder) {
        QDir().mkpath(QString::fromStdString(folder));
        std::vector<std::string> paths;
        for (const auto& run : kestrana::generator::historySampleRecipes()) {
            paths.push_back(folder + "/" + run.fileName);
            writeFile(paths.back(), kestrana::generator::generateRun(run.recipe));
        }
        return paths;
    }
    void fillLibrary() {
        auto library =
            core::openSqliteLibrary(core::defaultLibraryPath(), core::LibraryAccess::CreateIfMissing);
        ASSERT_EQ(core::importPaths(*library, writeSampleRuns(folder_.file("runs"))).refused, 0u);
    }

    HistoryScreen* openScreen() {
        auto* screen = qobject_cast<HistoryScreen*>(
            kestrana::gui::app::Navigator::show(kestrana::gui::app::Screen::TrackHistory));
        EXPECT_NE(screen, nullptr);
        EXPECT_TRUE(QTest::qWaitForWindowExposed(screen));
        waitForScreen(screen);
        return screen;
    }
    static void waitForScreen(HistoryScreen* screen) {
        EXPECT_TRUE(QTest::qWaitFor([screen] { return !screen->busy(); }, 20000));
    }
    static void type(QLineEdit* box, const QString& text) {
        box->setFocus();
        box->selectAll();
        QTest::keyClick(box, Qt::Key_Delete);
        QTest::keyClicks(box, text);
    }
    static void click(QPushButton* button) { QTest::mouseClick(button, Qt::LeftButton); }
    static bool resultsShown(const HistoryScreen* screen) {
        return screen->conditionMap->map() != nullptr && screen->exportButton->isEnabled() &&
               screen->printButton->isEnabled();
    }
    static core::HistorySettings settingsOf(HistoryScreen* screen) {
        core::HistorySettings settings;
        settings.threshold = core::thresholdFromText(screen->thresholdBox->text().toStdString());
        settings.jump = core::jumpFromText(screen->jumpBox->text().toStdString());
        settings.index = core::indexFromText(screen->indexChoice->currentText().toStdString());
        return settings;
    }

    TempFolder folder_;
    std::string home_ = folder_.file("home");
    ScopedEnv homeEnv_{"KESTRANA_HOME", home_};
};

TEST_F(HistoryScreenTest, ImportOfAFolderSummarisesAndListsEachRefusedFileWithItsReason) {
    const std::string runs = folder_.file("import");
    const std::vector<std::string> written = writeSampleRuns(runs + "/year1");
    writeFile(runs + "/copy.RUN", readFile(written.front())); // same bytes: skipped
    writeFile(runs + "/broken.run", "this is no run file\r\n");
    HistoryScreen* screen = openScreen();
    EXPECT_EQ(screen->seriesChoice->count(), 0);
    EXPECT_FALSE(resultsShown(screen));

    FileDialog::setNextFileName(QString::fromStdString(runs));
    click(screen->importFolderButton);
    EXPECT_TRUE(screen->busy() || screen->refusedList->count() > 0);
    waitForScreen(screen);

    const QString summary =
        QString::fromStdString(std::to_string(written.size()) + " imported, 1 skipped, 1 refused");
    EXPECT_EQ(screen->importSummaryLabel->text(), summary);
    ASSERT_EQ(screen->refusedList->count(), 1);
    EXPECT_TRUE(
        screen->refusedList->entry(0).startsWith(QString::fromStdString("refused " + runs + "/broken.run: ")))
        << screen->refusedList->entry(0).toStdString();
    EXPECT_EQ(screen->pages->currentWidget(), screen->importPage);
    EXPECT_EQ(screen->seriesChoice->count(), 1);
    EXPECT_FALSE(screen->kmFromBox->text().isEmpty());
    EXPECT_TRUE(screen->importFilesButton->isEnabled());
    EXPECT_FALSE(screen->cancelImportButton->isEnabled());
}

TEST_F(HistoryScreenTest, ChangingAnyInputWithdrawsTheResultsUntilShowIsPressedAgain) {
    fillLibrary();
    HistoryScreen* screen = openScreen();
    ASSERT_TRUE(resultsShown(screen)) << "a library with runs is shown at once";
    const std::vector<std::function<void(HistoryScreen*)>> changes = {
        [](HistoryScreen* s) { type(s->kmFromBox, s->kmFromBox->text() + "0"); },
        [](HistoryScreen* s) { type(s->thresholdBox, QStringLiteral("40")); },
        [](HistoryScreen* s) {
            s->indexChoice->setCurrentIndex(s->indexChoice->currentIndex() == 0 ? 1 : 0);
        },
    };
    for (std::size_t i = 0; i < changes.size(); ++i) {
        SCOPED_TRACE(i);
        screen->openBlock(0, 0);
        ASSERT_TRUE(screen->blockChart->hasHistory());
        changes[i](screen);
        EXPECT_EQ(screen->conditionMap->map(), nullptr);
        EXPECT_FALSE(screen->blockChart->hasHistory());
        EXPECT_EQ(screen->maintenanceListBox->count(), 0);
        EXPECT_FALSE(screen->exportButton->isEnabled());
        EXPECT_FALSE(screen->printButton->isEnabled());
        click(screen->showButton);
        waitForScreen(screen);
        EXPECT_TRUE(resultsShown(screen));
    }
}

TEST_F(HistoryScreenTest, TheMaintenanceListIsExportedAsCsvAndPrintedInAFixedPitchFace) {
    fillLibrary();
    HistoryScreen* screen = openScreen();
    ASSERT_TRUE(resultsShown(screen));
    // The list shown is the core's list for the settings on the screen.
    auto library = core::openSqliteLibrary(core::defaultLibraryPath(), core::LibraryAccess::OpenExisting);
    const core::ConditionMap& map = *screen->conditionMap->map();
    const core::KmRange range{core::kmFromText(screen->kmFromBox->text().toStdString()),
                              core::kmFromText(screen->kmToBox->text().toStdString())};
    const core::Day until = core::horizonEnd(screen->today(), core::kDefaultHorizonMonths);
    const auto stretches = core::maintenanceList(
        core::forecastRows(*library, map.series, range, settingsOf(screen)), map.series.direction, until);
    ASSERT_FALSE(stretches.empty()) << "the sample line has worn stretches";
    EXPECT_EQ(screen->maintenanceListBox->count(),
              static_cast<int>(core::maintenanceTableLines(stretches).size()));

    const std::string csv = folder_.file("list.csv");
    FileDialog::setNextFileName(QString::fromStdString(csv));
    click(screen->exportButton);
    EXPECT_EQ(readFile(csv), core::maintenanceCsv(stretches, "\r\n"));

    FileDialog::setNextFileName(QString::fromStdString(folder_.file("no/such/folder/list.csv")));
    MessageBox::reset();
    click(screen->exportButton);
    ASSERT_EQ(MessageBox::shownTexts().size(), 1);
    EXPECT_TRUE(MessageBox::shownTexts().front().startsWith(QString::fromLatin1(core::kExportFailed)));

    click(screen->printButton);
    ASSERT_EQ(HardCopyPrinter::jobs().size(), 1u);
    const auto& job = HardCopyPrinter::jobs().front();
    EXPECT_TRUE(job.fixedPitch);
    core::MaintenanceHeading heading{{}, map.series, settingsOf(screen), screen->today(), until};
    EXPECT_EQ(job.texts(), core::maintenancePrintScript(heading, stretches).lines());
    EXPECT_TRUE(QFileInfo::exists(job.pdfPath));
}

TEST_F(HistoryScreenTest, ALibraryFileThatIsNoLibraryIsRefusedWithWhereAndWhyAndLeftUnchanged) {
    const std::string garbage = "not a database, just some text\n";
    writeFile(core::defaultLibraryPath(), garbage);
    HistoryScreen* screen = openScreen();
    ASSERT_EQ(MessageBox::shownTexts().size(), 1);
    const QString message = MessageBox::shownTexts().front();
    EXPECT_TRUE(message.startsWith(QString::fromLatin1(core::kLibraryOpenFailed)));
    EXPECT_TRUE(message.contains(QString::fromStdString(core::defaultLibraryPath())));
    EXPECT_EQ(readFile(core::defaultLibraryPath()), garbage);
    EXPECT_EQ(screen->seriesChoice->count(), 0);
    EXPECT_FALSE(resultsShown(screen));
}

} // namespace
} // namespace kestrana::test
