// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Kestrana developers

// The track history screen: import summary, results withdrawn when an input changes, the maintenance
// list exported and printed as the core makes it, a damaged library.

// The core's headers come before any Qt header (Qt's `record` macro).
#include "core/history/block_history.h"
#include "core/history/condition_map.h"
#include "core/history/dates.h"
#include "core/history/forecast_list.h"
#include "core/history/history_csv.h"
#include "core/history/history_screen_texts.h"
#include "core/history/history_settings.h"
#include "core/history/maintenance_print.h"
#include "core/library/run_import.h"
#include "core/library/server_run_library.h"
#include "core/library/sqlite_run_library.h"
#include "run_generator.h"

#include "gui/app/navigator.h"
#include "gui/history/background_task.h"
#include "gui/history/block_history_chart.h"
#include "gui/history/condition_map_view.h"
#include "gui/history/history_screen.h"
#include "gui/services/file_dialog.h"
#include "gui/services/hard_copy_printer.h"
#include "gui/services/help.h"
#include "gui/services/message_box.h"
#include "gui/services/settings.h"
#include "gui/services/title_prompt.h"
#include "gui/widgets/band_colours.h"
#include "gui/widgets/list_box.h"
#include "gui_test_support.h"
#include "support/test_support.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTabWidget>
#include <QTableWidget>
#include <QTest>
#include <QTextBrowser>
#include <QWheelEvent>

#include <gtest/gtest.h>

#include <functional>
#include <thread>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kestrana::test {
namespace {

namespace core = kestrana::history;
using kestrana::gui::history::HistoryScreen;
using kestrana::gui::services::FileDialog;
using kestrana::gui::services::HardCopyPrinter;
using kestrana::gui::services::MessageBox;
using kestrana::gui::services::TitlePrompt;

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
        auto library = library::openSqliteLibrary(library::defaultLibraryPath(),
                                                  library::LibraryAccess::CreateIfMissing);
        ASSERT_EQ(library::importPaths(*library, writeSampleRuns(folder_.file("runs"))).refused, 0u);
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

    // A library stopped part-way through an import, as by a server going away: the first two sample
    // runs are in the library and on screen; the import takes the next ones, a copy of the first
    // (skipped) and a broken file (refused), and then waits on a named pipe that is read last. While it
    // waits, the library file is overwritten, so storing the pipe's run fails. Returns the library's
    // bytes from before, and how many runs the import stored.
    struct StoppedImport {
        std::string libraryBytes;
        std::size_t imported = 0;
        std::string folder;
    };
    StoppedImport stopImportPartWay(HistoryScreen*& screen) {
        const std::vector<std::string> samples = writeSampleRuns(folder_.file("samples"));
        EXPECT_GE(samples.size(), 4u);
        {
            auto library = library::openSqliteLibrary(library::defaultLibraryPath(),
                                                      library::LibraryAccess::CreateIfMissing);
            EXPECT_EQ(library::importPaths(*library, {samples[0], samples[1]}).imported, 2u);
        }
        StoppedImport stopped;
        stopped.folder = folder_.file("import");
        QDir().mkpath(QString::fromStdString(stopped.folder));
        // Files as given are taken in the order given, the pipe last (a folder search takes no pipe).
        QStringList given;
        for (std::size_t i = 2; i + 1 < samples.size(); ++i)
            given << QString::fromStdString(samples[i]);
        stopped.imported = samples.size() - 3;
        writeFile(stopped.folder + "/b_copy.run", readFile(samples[0]));
        writeFile(stopped.folder + "/c_broken.run", "this is no run file\r\n");
        const std::string pipe = stopped.folder + "/zz.run";
        EXPECT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
        for (const char* name : {"/b_copy.run", "/c_broken.run", "/zz.run"})
            given << QString::fromStdString(stopped.folder + name);

        screen = openScreen();
        EXPECT_EQ(screen->runTable->rowCount(), 2);
        FileDialog::setNextFileNames(given);
        click(screen->importFilesButton);
        // The progress line names the pipe once every file before it is done.
        if (!QTest::qWaitFor(
                [screen] { return screen->statusLabel->text().endsWith(QStringLiteral("zz.run")); }, 20000)) {
            ADD_FAILURE() << "the import did not reach the pipe: "
                          << screen->statusLabel->text().toStdString();
            // An import waiting on the pipe after all is let go with an empty run.
            const int end = ::open(pipe.c_str(), O_WRONLY | O_NONBLOCK);
            if (end >= 0)
                ::close(end);
            return stopped;
        }
        const std::string libraryPath = library::defaultLibraryPath();
        stopped.libraryBytes = readFile(libraryPath);
        writeFile(libraryPath, std::string(stopped.libraryBytes.size(), 'x'));
        std::thread writer([&] { writeFile(pipe, readFile(samples.back())); });
        writer.join();
        // The import's end is waited for without handling events, so the screen has not heard of it.
        screen->findChild<kestrana::gui::history::BackgroundTask*>(QStringLiteral("importTask"))
            ->waitForEnd();
        EXPECT_TRUE(MessageBox::shownTexts().isEmpty());
        return stopped;
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
    // Skipped and refused files both listed with their reasons, in the order they were taken.
    ASSERT_EQ(screen->refusedList->count(), 2);
    EXPECT_TRUE(
        screen->refusedList->entry(0).startsWith(QString::fromStdString("refused " + runs + "/broken.run: ")))
        << screen->refusedList->entry(0).toStdString();
    // The copy comes first in path order, so the year's first run is the one skipped.
    EXPECT_EQ(screen->refusedList->entry(1),
              QString::fromStdString("skipped " + written.front() + ": already in the library"));
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
    auto library =
        library::openSqliteLibrary(library::defaultLibraryPath(), library::LibraryAccess::OpenExisting);
    const core::ConditionMap& map = *screen->conditionMap->map();
    const core::KmRange range{core::kmFromText(screen->kmFromBox->text().toStdString()),
                              core::kmFromText(screen->kmToBox->text().toStdString())};
    const core::Day until = core::horizonEnd(screen->today(), core::kDefaultHorizonMonths);
    const auto stretches = core::maintenanceList(
        core::forecastRows(*library, map.series, range, settingsOf(screen)), map.series.direction, until);
    ASSERT_FALSE(stretches.empty()) << "the sample line has worn stretches";
    EXPECT_EQ(screen->maintenanceListBox->count(),
              static_cast<int>(core::maintenanceTableLines(stretches).size()));

    // The dialog offers CSV files under a name with the line and the day; ".csv" is added to a name
    // typed without it, and an existing file is replaced only when the user says so.
    const std::string csv = folder_.file("list.csv");
    FileDialog::setNextFileName(QString::fromStdString(folder_.file("list")));
    click(screen->exportButton);
    EXPECT_EQ(readFile(csv), core::maintenanceCsv(map.series, stretches, "\r\n"));
    ASSERT_FALSE(FileDialog::shown().empty());
    EXPECT_EQ(FileDialog::shown().back().filter, kestrana::gui::services::kCsvFileFilter);
    EXPECT_EQ(FileDialog::shown().back().suggestedName,
              QString::fromStdString(core::maintenanceCsvName(map.series, screen->today())));
    writeFile(csv, "the user's own file\r\n");
    MessageBox::reset();
    MessageBox::setNextAnswer(kestrana::gui::services::MessageAnswer::No);
    FileDialog::setNextFileName(QString::fromStdString(csv));
    click(screen->exportButton);
    EXPECT_EQ(readFile(csv), "the user's own file\r\n");
    ASSERT_EQ(MessageBox::shownTexts().size(), 1);
    EXPECT_EQ(MessageBox::shownTexts().front(), QString::fromStdString(core::replaceQuestion(csv)));
    MessageBox::setNextAnswer(kestrana::gui::services::MessageAnswer::Yes);
    FileDialog::setNextFileName(QString::fromStdString(csv));
    click(screen->exportButton);
    EXPECT_EQ(readFile(csv), core::maintenanceCsv(map.series, stretches, "\r\n"));

    FileDialog::setNextFileName(QString::fromStdString(folder_.file("no/such/folder/list.csv")));
    MessageBox::reset();
    click(screen->exportButton);
    ASSERT_EQ(MessageBox::shownTexts().size(), 1);
    EXPECT_TRUE(MessageBox::shownTexts().front().startsWith(QString::fromLatin1(core::kExportFailed)));

    click(screen->printButton);
    ASSERT_EQ(HardCopyPrinter::jobs().size(), 1u);
    const auto& job = HardCopyPrinter::jobs().front();
    EXPECT_TRUE(job.fixedPitch);
    core::MaintenanceHeading heading{{},    map.series, settingsOf(screen),         screen->today(),
                                     until, range,      core::kDefaultHorizonMonths};
    EXPECT_EQ(job.texts(), core::maintenancePrintScript(heading, stretches).lines());
    EXPECT_TRUE(QFileInfo::exists(job.pdfPath));
}

TEST_F(HistoryScreenTest, TheKmRangeFollowsTheLineUnlessTheUserTypedOne) {
    fillLibrary();
    HistoryScreen* screen = openScreen();
    const QString from = screen->kmFromBox->text();
    const int to = screen->kmToBox->text().toInt();
    // A later run that reaches five km further widens the range, and the map covers the new km.
    auto further = [&](int extraKm, const char* date, const char* name) {
        kestrana::generator::RunRecipe recipe = kestrana::generator::historySampleRecipes().back().recipe;
        recipe.kmCount += extraKm;
        recipe.date = date;
        writeFile(folder_.file(name), kestrana::generator::generateRun(recipe));
        screen->importPaths({folder_.file(name)});
        waitForScreen(screen);
    };
    further(5, "010130", "further.run");
    EXPECT_EQ(screen->kmFromBox->text(), from);
    EXPECT_EQ(screen->kmToBox->text().toInt(), to + 5);
    click(screen->showButton);
    waitForScreen(screen);
    EXPECT_TRUE(
        screen->mapSummaryLabel->text().endsWith(QStringLiteral("km %1 to %2").arg(from).arg(to + 5)));
    EXPECT_TRUE(screen->maintenanceSummaryLabel->text().startsWith(
        QStringLiteral("km %1 to %2: ").arg(from).arg(to + 5)));
    // A range the user typed stays as typed.
    type(screen->kmToBox, QString::number(to));
    further(8, "010131", "further still.run");
    EXPECT_EQ(screen->kmToBox->text().toInt(), to);
}

TEST_F(HistoryScreenTest, KeyboardReachesTheMapAndEnterInAnySettingShows) {
    fillLibrary();
    HistoryScreen* screen = openScreen();
    screen->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(screen));
    // Tab from the last button of the settings goes on to the map, through the page tabs at most.
    screen->goToMainButton->setFocus();
    for (int presses = 0; presses < 3 && !screen->conditionMap->hasFocus(); ++presses)
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    EXPECT_TRUE(screen->conditionMap->hasFocus());
    for (QWidget* setting : std::initializer_list<QWidget*>{screen->seriesChoice, screen->indexChoice,
                                                            screen->kmFromBox, screen->horizonBox}) {
        type(screen->thresholdBox, QStringLiteral("40")); // withdraws what is shown
        ASSERT_FALSE(resultsShown(screen));
        setting->setFocus();
        QTest::keyClick(setting, Qt::Key_Return);
        waitForScreen(screen);
        EXPECT_TRUE(resultsShown(screen)) << setting->objectName().toStdString();
    }
    // F1 opens the help at the track history's own section.
    QTest::keyClick(screen, Qt::Key_F1);
    ASSERT_NE(kestrana::gui::services::helpBrowser(), nullptr);
    EXPECT_GT(kestrana::gui::services::helpBrowser()->verticalScrollBar()->value(), 0);
    kestrana::gui::services::helpWindow()->close();
}

TEST_F(HistoryScreenTest, ALongForecastIsCutAtTheChartsEnd) {
    // A block falling a point in twenty years crosses long after ten years; the chart stops at ten
    // years past the latest run and marks no crossing, and the caption still names the date.
    const core::Series series{"FLAT LINE", 1};
    std::vector<library::RunValue> values;
    const std::pair<const char*, int> runs[] = {{"010120", 40}, {"010125", 40}, {"020125", 39}};
    library::RunId id = 1;
    for (const auto& [date, value] : runs) {
        library::RunRecord run;
        run.id = id++;
        run.series = series;
        run.day = *core::dayOfRunDate(date);
        run.runNumber = "1";
        values.push_back({run, static_cast<std::int16_t>(value)});
    }
    const core::BlockHistory history = core::blockHistoryOf(series, {5, 1}, core::HistorySettings{}, values);
    ASSERT_EQ(history.forecast->status, core::ForecastStatus::Crossing);
    kestrana::gui::history::BlockHistoryChart chart;
    chart.setHistory(history, 12);
    const core::Day latest = *core::dayOfRunDate("020125");
    EXPECT_GT(*history.forecast->crossingDay, core::chartEndDay(latest, 12));
    EXPECT_TRUE(chart.forecastDrawn());
    EXPECT_LE(chart.timeAxisDays().second, core::chartEndDay(latest, 12) + 30);
    EXPECT_TRUE(
        chart.caption().contains(QString::fromStdString(core::isoDate(*history.forecast->crossingDay))));
}

TEST(ConditionMapViewTest, ZoomedOutEveryPixelShowsTheWorstBlockItStandsFor) {
    // 2,000 km of good track in 60 runs, one block at TGI 20 in one run.
    const core::Series series{"LONG LINE", 1};
    std::vector<library::RunValues> runs;
    const core::BlockKey bad{1234, 3};
    for (int r = 0; r < 60; ++r) {
        library::RunValues run;
        run.run.id = r + 1;
        run.run.series = series;
        run.run.day = 18000 + 30 * r;
        for (int km = 100; km < 2100; ++km)
            for (int block = 1; block <= 5; ++block)
                run.values.push_back({{static_cast<std::int16_t>(km), static_cast<std::int16_t>(block)},
                                      static_cast<std::int16_t>(
                                          r == 7 && core::BlockKey{static_cast<std::int16_t>(km),
                                                                   static_cast<std::int16_t>(block)} == bad
                                              ? 20
                                              : 90)});
        runs.push_back(std::move(run));
    }
    auto map =
        std::make_shared<const core::ConditionMap>(core::conditionMapOf(series, core::BlockIndex::TGI, runs));
    kestrana::gui::history::ConditionMapView view;
    view.resize(800, 300);
    view.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
    view.setMap(map);
    ASSERT_LT(view.columnWidth(), 1.0);
    const std::size_t badColumn = static_cast<std::size_t>(
        std::find(map->columns.begin(), map->columns.end(), bad) - map->columns.begin());
    const QRectF cell = view.cellRect({7, badColumn});
    const QPoint pixel(static_cast<int>(std::floor(cell.left())), static_cast<int>(cell.center().y()));
    const auto shown = view.cellAt(pixel);
    ASSERT_TRUE(shown);
    EXPECT_EQ(shown->column, badColumn);
    EXPECT_EQ(view.grab().toImage().pixelColor(pixel),
              kestrana::gui::widgets::bandColour(core::ValueBand::Band1));
    EXPECT_TRUE(view.descriptionAt(pixel).startsWith(QStringLiteral("km 1234 block 3")));

    // The km axis is labelled on round numbers; the runs that do not fit get a scroll bar.
    const int step = view.kmLabelStep();
    EXPECT_GE(step, 10);
    ASSERT_FALSE(view.labelledKms().empty());
    for (int km : view.labelledKms())
        EXPECT_EQ(km % step, 0) << km;
    EXPECT_TRUE(view.runScrollBar()->isVisible());
    EXPECT_FALSE(view.showsBlockNumbers());

    // Resized, the map fits the new width; a plain wheel leaves the zoom to Ctrl+wheel.
    const double fitted = view.columnWidth();
    view.resize(1600, 300);
    EXPECT_GT(view.columnWidth(), fitted * 1.9);
    const double before = view.columnWidth();
    const QPointF centre(400, 150);
    QWheelEvent plain(centre, view.mapToGlobal(centre), {}, {0, 120}, Qt::NoButton, Qt::NoModifier,
                      Qt::NoScrollPhase, false);
    QApplication::sendEvent(&view, &plain);
    EXPECT_EQ(view.columnWidth(), before);
    for (int i = 0; i < 12; ++i) {
        QWheelEvent zoom(centre, view.mapToGlobal(centre), {}, {0, 120}, Qt::NoButton, Qt::ControlModifier,
                         Qt::NoScrollPhase, false);
        QApplication::sendEvent(&view, &zoom);
    }
    EXPECT_GT(view.columnWidth(), before * 100);
    EXPECT_TRUE(view.showsBlockNumbers());
    // Zoomed by the user, a resize keeps the zoom.
    const double zoomed = view.columnWidth();
    view.resize(1200, 300);
    EXPECT_EQ(view.columnWidth(), zoomed);
}

TEST_F(HistoryScreenTest, AnImportTheLibraryStopsSaysHowManyRunsItStoredAndShowsThem) {
    HistoryScreen* screen = nullptr;
    const StoppedImport stopped = stopImportPartWay(screen);
    writeFile(library::defaultLibraryPath(), stopped.libraryBytes); // the library answers again
    waitForScreen(screen);

    const QString text = QString::fromStdString(core::importStoppedText(stopped.imported));
    EXPECT_EQ(screen->importSummaryLabel->text(), text);
    ASSERT_EQ(MessageBox::shownTexts().size(), 1);
    EXPECT_TRUE(MessageBox::shownTexts().front().startsWith(text + "\n"))
        << MessageBox::shownTexts().front().toStdString();
    EXPECT_FALSE(MessageBox::shownTexts().front().contains(QString::fromLatin1(core::kReadFailed)));
    // Every outcome up to the failure is listed, and the runs stored show on the Runs page.
    ASSERT_EQ(screen->refusedList->count(), 2);
    EXPECT_EQ(screen->refusedList->entry(0),
              QString::fromStdString("skipped " + stopped.folder + "/b_copy.run: already in the library"));
    EXPECT_TRUE(screen->refusedList->entry(1).startsWith(
        QString::fromStdString("refused " + stopped.folder + "/c_broken.run: ")));
    EXPECT_EQ(screen->runTable->rowCount(), static_cast<int>(2 + stopped.imported));
    EXPECT_EQ(library::openSqliteLibrary(library::defaultLibraryPath(), library::LibraryAccess::OpenExisting)
                  ->runs()
                  .size(),
              2 + stopped.imported);
    EXPECT_TRUE(screen->importFolderButton->isEnabled());
}

TEST_F(HistoryScreenTest, WhenTheLibraryCannotBeReadAfterAStoppedImportOneBoxTellsTheImportsFailureFirst) {
    HistoryScreen* screen = nullptr;
    const StoppedImport stopped = stopImportPartWay(screen);
    waitForScreen(screen); // the library is still overwritten: reading it fails too

    ASSERT_EQ(MessageBox::shownTexts().size(), 1);
    const QString message = MessageBox::shownTexts().front();
    EXPECT_TRUE(message.startsWith(QString::fromStdString(core::importStoppedText(stopped.imported)) + "\n"))
        << message.toStdString();
    EXPECT_TRUE(message.contains("\n\n" + QString::fromLatin1(core::kReadFailed) + "\n"))
        << message.toStdString();
    EXPECT_EQ(screen->seriesChoice->count(), 0);
    EXPECT_EQ(screen->runTable->rowCount(), 0);
    EXPECT_TRUE(screen->importFilesButton->isEnabled());
}

TEST_F(HistoryScreenTest, RunsAreRemovedAfterAQuestionNamingThemAndTheScreenFollows) {
    fillLibrary();
    HistoryScreen* screen = openScreen();
    ASSERT_TRUE(resultsShown(screen));
    auto library =
        library::openSqliteLibrary(library::defaultLibraryPath(), library::LibraryAccess::OpenExisting);
    const std::vector<library::RunRecord> before = library->runs();
    ASSERT_EQ(screen->runTable->rowCount(), static_cast<int>(before.size()));
    // Date, run, blocks, when and by whom the run was taken in (the import above stamped it), file.
    ASSERT_EQ(screen->runTable->columnCount(), 6);
    EXPECT_EQ(screen->runTable->horizontalHeaderItem(3)->text(), QStringLiteral("Imported"));
    EXPECT_EQ(screen->runTable->horizontalHeaderItem(4)->text(), QStringLiteral("By"));
    ASSERT_TRUE(before.front().imported.at.has_value());
    EXPECT_FALSE(before.front().imported.by.empty());
    EXPECT_EQ(screen->runTable->item(0, 3)->text(),
              QString::fromStdString(core::isoUtcTimeOf(before.front().imported.at)));
    EXPECT_EQ(screen->runTable->item(0, 4)->text(), QString::fromStdString(before.front().imported.by));
    EXPECT_EQ(screen->runTable->item(0, 5)->text(), QString::fromStdString(before.front().file));
    EXPECT_FALSE(screen->removeRunsButton->isEnabled());
    screen->runTable->selectRow(1);
    screen->runTable->selectionModel()->select(screen->runTable->model()->index(3, 0),
                                               QItemSelectionModel::Select | QItemSelectionModel::Rows);
    ASSERT_TRUE(screen->removeRunsButton->isEnabled());
    const std::vector<library::RunRecord> chosen = {before[1], before[3]};

    // No: nothing changes.
    MessageBox::setNextAnswer(kestrana::gui::services::MessageAnswer::No);
    click(screen->removeRunsButton);
    ASSERT_EQ(MessageBox::shownTexts().size(), 1);
    EXPECT_EQ(MessageBox::shownTexts().front(), QString::fromStdString(core::removalQuestion(chosen)));
    EXPECT_EQ(library->runs().size(), before.size());
    EXPECT_TRUE(resultsShown(screen));

    // Yes: both go in one step, and what was shown of them is withdrawn.
    MessageBox::setNextAnswer(kestrana::gui::services::MessageAnswer::Yes);
    click(screen->removeRunsButton);
    std::vector<library::RunRecord> expected = before;
    expected.erase(expected.begin() + 3);
    expected.erase(expected.begin() + 1);
    EXPECT_EQ(library->runs(), expected);
    EXPECT_FALSE(resultsShown(screen));
    EXPECT_EQ(screen->runTable->rowCount(), static_cast<int>(expected.size()));
    EXPECT_EQ(screen->statusLabel->text(), QString::fromStdString(core::removedText(2)));
}

TEST_F(HistoryScreenTest, TheSamplesAreALibraryOfTheirOwnShownWhileYoursIsEmpty) {
    // The samples' library as the first start makes it; the user's library does not exist yet.
    const std::string samples = library::sampleLibraryPath();
    QDir().mkpath(QFileInfo(QString::fromStdString(samples)).path());
    {
        auto library = library::openSqliteLibrary(samples, library::LibraryAccess::CreateIfMissing);
        ASSERT_EQ(library::importPaths(*library, writeSampleRuns(folder_.file("samples"))).refused, 0u);
    }
    HistoryScreen* screen = openScreen();
    EXPECT_EQ(screen->libraryChoice->currentIndex(), HistoryScreen::Samples);
    EXPECT_EQ(screen->libraryPath(), samples);
    EXPECT_TRUE(resultsShown(screen));
    EXPECT_FALSE(QFileInfo::exists(QString::fromStdString(library::defaultLibraryPath())));

    // An import asked for over the samples goes into the user's own library, which it makes.
    const std::vector<std::string> runs = writeSampleRuns(folder_.file("mine"));
    screen->importPaths({runs.front()});
    waitForScreen(screen);
    EXPECT_EQ(screen->libraryChoice->currentIndex(), HistoryScreen::YourLibrary);
    EXPECT_EQ(library::openSqliteLibrary(library::defaultLibraryPath(), library::LibraryAccess::OpenExisting)
                  ->runs()
                  .size(),
              1u);
    EXPECT_EQ(library::openSqliteLibrary(samples, library::LibraryAccess::OpenExisting)->runs().size(),
              runs.size());

    // The choice is remembered: the next screen opens on the user's library; choosing the samples
    // again shows them, and a cancelled "another file" changes nothing.
    kestrana::gui::app::Navigator::closeAll();
    screen = openScreen();
    EXPECT_EQ(screen->libraryChoice->currentIndex(), HistoryScreen::YourLibrary);
    screen->libraryChosen(HistoryScreen::Samples);
    waitForScreen(screen);
    EXPECT_EQ(screen->libraryPath(), samples);
    FileDialog::setNextCancel();
    screen->libraryChosen(HistoryScreen::OtherFile);
    EXPECT_EQ(screen->libraryPath(), samples);
    EXPECT_EQ(screen->libraryChoice->currentIndex(), HistoryScreen::Samples);
}

TEST_F(HistoryScreenTest, AServerLibraryIsAskedForByItsAddressAndOneHoldingAPasswordIsNeverKept) {
    HistoryScreen* screen = openScreen();
    const QString setting = QStringLiteral("history/library");
    const auto chooseServer = [&](const std::string& typed) {
        MessageBox::reset();
        if (typed.empty())
            TitlePrompt::setNextCancel();
        else
            TitlePrompt::setNextText(QString::fromStdString(typed));
        screen->libraryChosen(HistoryScreen::ServerLibrary);
        waitForScreen(screen);
    };
    // A cancel, a file path and an address with a password change nothing and keep nothing.
    const std::string secret = "s3cret-w0rd";
    for (const std::string& typed : {std::string(), folder_.file("lib.sqlite"),
                                     "postgresql://ann:" + secret + "@localhost:5432/lines"}) {
        chooseServer(typed);
        EXPECT_EQ(screen->libraryPath(), library::defaultLibraryPath()) << typed;
        EXPECT_EQ(screen->libraryChoice->currentIndex(), HistoryScreen::YourLibrary) << typed;
        EXPECT_FALSE(kestrana::gui::services::storedText(setting).contains(QString::fromStdString(secret)));
    }
    ASSERT_EQ(TitlePrompt::shown().back().prompt, QString::fromLatin1(core::kServerLibraryPrompt));
    EXPECT_EQ(MessageBox::shownTexts().back(),
              QString::fromStdString(core::failureMessage(
                  core::kLibraryOpenFailed, "postgresql://ann@localhost:5432/lines: " +
                                                std::string(library::kPasswordInLocationMessage))));

    // A server that cannot be reached is said so, named; the choice stays, and the screen stays usable.
    const std::string unreachable = "postgresql://ann@127.0.0.1:1/lines";
    chooseServer(unreachable);
    EXPECT_EQ(screen->libraryPath(), unreachable);
    EXPECT_EQ(screen->libraryChoice->currentIndex(), HistoryScreen::ServerLibrary);
    ASSERT_EQ(MessageBox::shownTexts().size(), 1);
    EXPECT_TRUE(MessageBox::shownTexts().front().contains(
        QString::fromStdString(unreachable + ": the run library's server cannot be reached")));
    EXPECT_EQ(screen->seriesChoice->count(), 0);
    EXPECT_EQ(TitlePrompt::shown().back().defaultText, QStringLiteral("postgresql://"));
    MessageBox::reset();
    screen->libraryChosen(HistoryScreen::YourLibrary);
    waitForScreen(screen);
    EXPECT_EQ(screen->libraryPath(), library::defaultLibraryPath());
    EXPECT_TRUE(MessageBox::shownTexts().isEmpty());
    // The next time, the prompt offers the address the screen shows.
    chooseServer(unreachable);
    TitlePrompt::setNextCancel();
    screen->libraryChosen(HistoryScreen::ServerLibrary);
    EXPECT_EQ(TitlePrompt::shown().back().defaultText, QString::fromStdString(unreachable));
    EXPECT_EQ(screen->libraryChoice->currentIndex(), HistoryScreen::ServerLibrary);
}

TEST_F(HistoryScreenTest, ALibraryFileThatIsNoLibraryIsRefusedWithWhereAndWhyAndLeftUnchanged) {
    const std::string garbage = "not a database, just some text\n";
    writeFile(library::defaultLibraryPath(), garbage);
    HistoryScreen* screen = openScreen();
    ASSERT_EQ(MessageBox::shownTexts().size(), 1);
    const QString message = MessageBox::shownTexts().front();
    EXPECT_TRUE(message.startsWith(QString::fromLatin1(core::kLibraryOpenFailed)));
    EXPECT_TRUE(message.contains(QString::fromStdString(library::defaultLibraryPath())));
    EXPECT_EQ(readFile(library::defaultLibraryPath()), garbage);
    EXPECT_EQ(screen->seriesChoice->count(), 0);
    EXPECT_FALSE(resultsShown(screen));
}

} // namespace
} // namespace kestrana::test
