// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Kestrana developers

// Run files in: named on the command line (one to the analyser, two to four to the comparator, more
// refused with a message) and dropped on a screen (into its boxes, or imported on the track history).

// The core's headers come before any Qt header (Qt's `record` macro).
#include "core/library/sqlite_run_library.h"
#include "gui/analyser/analyser_screen.h"
#include "gui/app/files_in.h"
#include "gui/app/navigator.h"
#include "gui/comparator/comparator_screen.h"
#include "gui/history/history_screen.h"
#include "gui/peaks/peak_screen.h"
#include "gui/services/message_box.h"
#include "gui/services/resolution_switch.h"
#include "gui/widgets/file_drops.h"
#include "gui_test_support.h"
#include "support/test_support.h"

#include <QComboBox>
#include <QDir>
#include <QDropEvent>
#include <QLineEdit>
#include <QMimeData>
#include <QUrl>

#include <gtest/gtest.h>

namespace {

namespace services = kestrana::gui::services;
using kestrana::gui::app::Navigator;
using kestrana::gui::app::Screen;

const QString kSamples = QStringLiteral(KESTRANA_SAMPLES_DIR);

QString sample(const char* name) {
    return QDir::toNativeSeparators(kSamples + QLatin1Char('/') + QLatin1String(name));
}

QMimeData* filesCarried(const QStringList& paths) {
    auto* data = new QMimeData;
    QList<QUrl> urls;
    for (const QString& path : paths)
        urls << (path.contains(QStringLiteral("://")) ? QUrl(path) : QUrl::fromLocalFile(path));
    data->setUrls(urls);
    data->setText(paths.join(QLatin1Char('\n')));
    return data;
}

// Drags `paths` over `target` and drops them there if the drag is accepted; whether it was.
bool drop(QWidget* target, const QStringList& paths) {
    std::unique_ptr<QMimeData> data(filesCarried(paths));
    const QPoint middle = target->rect().center();
    QDragEnterEvent enter(middle, Qt::CopyAction, data.get(), Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &enter);
    if (!enter.isAccepted())
        return false;
    QDropEvent dropped(QPointF(middle), Qt::CopyAction, data.get(), Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &dropped);
    return dropped.isAccepted();
}

class FilesIn : public ::testing::Test {
protected:
    void SetUp() override { services::ResolutionSwitch::fakeDisplay({1024, 768}, false); }
};

} // namespace

TEST_F(FilesIn, TheCommandLinesRunFilesAreItsArgumentsThatAreNoOptionsAndAllAfterADoubleDash) {
    using kestrana::gui::app::runFileArguments;
    const std::vector<std::pair<QStringList, QStringList>> cases = {
        {{}, {}},
        {{"a.run"}, {"a.run"}},
        {{"-style", "a.run", "b.run"}, {"a.run", "b.run"}},
        {{"a.run", "--", "-b.run", "--"}, {"a.run", "-b.run", "--"}},
    };
    for (const auto& [arguments, files] : cases)
        EXPECT_EQ(runFileArguments(arguments), files) << arguments.join(' ').toStdString();
}

TEST_F(FilesIn, OneRunOpensTheAnalyserTwoToFourTheComparatorAndMoreAreRefused) {
    using kestrana::gui::app::openRunFiles;
    EXPECT_EQ(openRunFiles({}), nullptr);

    // A relative path is taken from where the program was started.
    const QString here = QDir::currentPath();
    QDir::setCurrent(kSamples);
    auto* analyser = qobject_cast<kestrana::gui::analyser::AnalyserScreen*>(openRunFiles({"trcdata.run"}));
    QDir::setCurrent(here);
    ASSERT_NE(analyser, nullptr);
    EXPECT_EQ(analyser->runFileEdit->text(), sample("trcdata.run"));
    EXPECT_EQ(Navigator::find(Screen::Comparator), nullptr);

    auto* comparator = qobject_cast<kestrana::gui::comparator::ComparatorScreen*>(
        openRunFiles({sample("trcdata.run"), sample("trcdata0.run"), sample("trcdata1.run")}));
    ASSERT_NE(comparator, nullptr);
    EXPECT_EQ(comparator->olderRunCountEdit->text(), QStringLiteral("2"));
    for (int k = 0; k < 3; ++k)
        EXPECT_TRUE(comparator->runFileEdits[k]->isEnabled()) << k;
    EXPECT_FALSE(comparator->runFileEdits[3]->isEnabled());
    EXPECT_EQ(comparator->runFileEdits[2]->text(), sample("trcdata1.run"));
    EXPECT_TRUE(services::MessageBox::shown().empty());

    Navigator::closeAll();
    const QStringList five(5, sample("trcdata.run"));
    EXPECT_EQ(openRunFiles(five), nullptr);
    EXPECT_EQ(services::MessageBox::shownTexts(),
              QStringList{QStringLiteral("At most 4 run files can be compared; 5 were given.")});
    EXPECT_EQ(Navigator::find(Screen::Comparator), nullptr);
    EXPECT_EQ(Navigator::find(Screen::Analyser), nullptr);
}

TEST_F(FilesIn, RunFilesDroppedOnAScreenGoInItsBoxesAndWhatItCannotTakeIsRefusedAsItEnters) {
    auto* analyser =
        qobject_cast<kestrana::gui::analyser::AnalyserScreen*>(Navigator::show(Screen::Analyser));
    const QString before = analyser->runFileEdit->text();
    EXPECT_FALSE(drop(analyser, {sample("trcdata.run"), sample("trcdata0.run")})); // one run only
    EXPECT_FALSE(drop(analyser, {QStringLiteral("https://example.org/a.run")}));
    EXPECT_EQ(analyser->runFileEdit->text(), before);
    // Dropped on the box itself, the box takes the path, not the file's address as text.
    EXPECT_TRUE(drop(analyser->outputFileEdit, {sample("trcdata2.run")}));
    EXPECT_EQ(analyser->runFileEdit->text(), sample("trcdata2.run"));
    EXPECT_NE(analyser->outputFileEdit->text(), sample("trcdata2.run"));

    auto* peaks = qobject_cast<kestrana::gui::peaks::PeakScreen*>(Navigator::show(Screen::PeakAnalyser));
    EXPECT_TRUE(drop(peaks, {sample("trcdata.run")}));
    EXPECT_EQ(peaks->runFileEdit->text(), sample("trcdata.run"));

    auto* comparator =
        qobject_cast<kestrana::gui::comparator::ComparatorScreen*>(Navigator::show(Screen::Comparator));
    EXPECT_FALSE(drop(comparator, QStringList(5, sample("trcdata.run"))));
    EXPECT_TRUE(drop(comparator, {sample("trcdata3.run"), sample("trcdata0.run")}));
    EXPECT_EQ(comparator->olderRunCountEdit->text(), QStringLiteral("1"));
    EXPECT_EQ(comparator->runFileEdits[0]->text(), sample("trcdata3.run"));
    EXPECT_EQ(comparator->runFileEdits[1]->text(), sample("trcdata0.run"));
    EXPECT_TRUE(comparator->runFileEdits[1]->isEnabled());
    EXPECT_FALSE(comparator->runFileEdits[2]->isEnabled());
}

TEST_F(FilesIn, RunFilesDroppedOnTheTrackHistoryAreImportedIntoTheUsersLibrary) {
    kestrana::test::TempFolder folder;
    kestrana::test::ScopedEnv home("KESTRANA_HOME", folder.file("home"));
    QDir().mkpath(QString::fromStdString(folder.file("home")));
    auto* screen =
        qobject_cast<kestrana::gui::history::HistoryScreen*>(Navigator::show(Screen::TrackHistory));
    ASSERT_TRUE(QTest::qWaitFor([screen] { return !screen->busy(); }, 20000));
    EXPECT_TRUE(drop(screen, {sample("history01.run"), sample("history02.run")}));
    ASSERT_TRUE(QTest::qWaitFor([screen] { return !screen->busy(); }, 20000));
    EXPECT_EQ(screen->libraryChoice->currentIndex(), kestrana::gui::history::HistoryScreen::YourLibrary);
    EXPECT_EQ(kestrana::library::openSqliteLibrary(kestrana::library::defaultLibraryPath(),
                                                   kestrana::library::LibraryAccess::OpenExisting)
                  ->runs()
                  .size(),
              2u);
}
