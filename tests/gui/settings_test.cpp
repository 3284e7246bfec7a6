// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Kestrana developers

// Settings that last: each screen's window place and the values of its boxes and choices come back
// when the screen is closed and opened again (as after a restart: the screen is rebuilt from nothing
// but the settings), the recent run files of the screens that open runs, the file dialogs' folders,
// and the display question asked once with "Don't ask again".
#include "gui/analyser/analyser_screen.h"
#include "gui/app/main_menu.h"
#include "gui/app/navigator.h"
#include "gui/comparator/comparator_screen.h"
#include "gui/history/history_screen.h"
#include "gui/peaks/peak_screen.h"
#include "gui/services/file_dialog.h"
#include "gui/services/message_box.h"
#include "gui/services/resolution_switch.h"
#include "gui/services/settings.h"
#include "gui/services/test_mode.h"
#include "gui_test_support.h"
#include "support/test_support.h"

#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QToolButton>

#include <gtest/gtest.h>

#include <optional>
#include <utility>
#include <vector>

namespace {

namespace services = kestrana::gui::services;
using kestrana::gui::app::MainMenu;
using kestrana::gui::app::Navigator;
using kestrana::gui::app::Screen;
using services::MessageAnswer;
using services::MessageBox;
using services::ResolutionSwitch;

QWidget* reopen(Screen screen) {
    if (QWidget* open = Navigator::find(screen))
        open->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(Navigator::find(screen), nullptr);
    return Navigator::show(screen);
}

// The entries the recent-files button offers, as the user opening its menu sees them.
QStringList offered(QToolButton* button) {
    QMenu* menu = button->menu();
    emit menu->aboutToShow();
    QStringList entries;
    for (const QAction* entry : menu->actions())
        if (entry->isEnabled())
            entries << entry->text();
    return entries;
}

const QString kSamples = QStringLiteral(KESTRANA_SAMPLES_DIR);

} // namespace

TEST(Settings, EachScreenGetsBackItsPlaceBoxesAndChoicesAfterBeingClosed) {
    ResolutionSwitch::fakeDisplay({1024, 768}, false);
    struct Case {
        Screen screen;
        std::vector<std::pair<const char*, QString>> boxes;
        std::vector<const char*> choices; // each set to its second entry
    };
    const std::vector<Case> cases = {
        {Screen::Analyser,
         {{"runFileEdit", "/runs/a b.run"},
          {"outputFileEdit", "/out/sd.txt"},
          {"lowTgiEdit", "12"},
          {"highTgiEdit", "48"},
          {"shareLowEdit", "5"},
          {"shareHighEdit", "60"}},
         {"indexCombo"}},
        {Screen::Comparator,
         {{"runFileEdits_0", "/runs/now.run"}, {"runFileEdits_3", "/runs/old.run"}},
         {"parameterCombo"}},
        {Screen::PeakAnalyser, {{"runFileEdit", "/runs/peaks.run"}, {"limitEdit", "17"}}, {"parameterCombo"}},
        {Screen::TrackHistory,
         {{"thresholdBox", "42"}, {"jumpBox", "9"}, {"horizonBox", "400"}},
         {"indexChoice"}},
    };
    for (const Case& c : cases) {
        QWidget* screen = Navigator::show(c.screen);
        SCOPED_TRACE(screen->objectName().toStdString());
        screen->setWindowState(Qt::WindowNoState);
        screen->setGeometry(40, 50, 900, 640);
        const QRect placed = screen->geometry();
        QStringList chosen;
        for (const auto& [name, text] : c.boxes)
            screen->findChild<QLineEdit*>(QString::fromLatin1(name))->setText(text);
        for (const char* name : c.choices) {
            auto* choice = screen->findChild<QComboBox*>(QString::fromLatin1(name));
            ASSERT_GT(choice->count(), 1);
            choice->setCurrentIndex(1);
            chosen << choice->currentText();
        }

        screen = reopen(c.screen);
        EXPECT_EQ(screen->geometry(), placed);
        for (const auto& [name, text] : c.boxes)
            EXPECT_EQ(screen->findChild<QLineEdit*>(QString::fromLatin1(name))->text(), text) << name;
        for (int i = 0; i < chosen.size(); ++i)
            EXPECT_EQ(screen->findChild<QComboBox*>(QString::fromLatin1(c.choices[i]))->currentText(),
                      chosen[i]);
        screen->close();
    }
}

TEST(Settings, APeakParameterBroughtBackIsChosenWithItsKeptLimitNotItsDefault) {
    auto* peaks = qobject_cast<kestrana::gui::peaks::PeakScreen*>(Navigator::show(Screen::PeakAnalyser));
    peaks->parameterCombo->setCurrentIndex(2);
    emit peaks->parameterCombo->activated(2);
    const QString defaultLimit = peaks->limitEdit->text();
    peaks->limitEdit->setText(defaultLimit + QStringLiteral("5"));
    peaks = qobject_cast<kestrana::gui::peaks::PeakScreen*>(reopen(Screen::PeakAnalyser));
    EXPECT_EQ(peaks->parameterCombo->currentIndex(), 2);
    EXPECT_EQ(peaks->limitEdit->text(), defaultLimit + QStringLiteral("5"));
}

TEST(Settings, RecentFilesAreNewestFirstOnceEachAndAtMostEight) {
    for (int i = 0; i < 10; ++i)
        services::addRecentFile(QStringLiteral("S"), QStringLiteral("/r/%1.run").arg(i));
    services::addRecentFile(QStringLiteral("S"), QStringLiteral("/r/5.run"));
    services::addRecentFile(QStringLiteral("S"), QStringLiteral("  "));
    const QStringList expected = {"/r/5.run", "/r/9.run", "/r/8.run", "/r/7.run",
                                  "/r/6.run", "/r/4.run", "/r/3.run", "/r/2.run"};
    EXPECT_EQ(services::recentFiles(QStringLiteral("S")), expected);
    EXPECT_TRUE(services::recentFiles(QStringLiteral("T")).isEmpty()); // each screen its own list
}

TEST(Settings, ARunProcessedIsOfferedAmongTheRecentFilesOfItsScreenAfterAReopening) {
    ResolutionSwitch::fakeDisplay({1024, 768}, false);
    kestrana::test::TempFolder folder;
    const QString run = QDir::toNativeSeparators(kSamples + QStringLiteral("/trcdata.run"));
    auto* analyser =
        qobject_cast<kestrana::gui::analyser::AnalyserScreen*>(Navigator::show(Screen::Analyser));
    EXPECT_TRUE(offered(analyser->recentRunFilesButton).isEmpty());
    analyser->runFileEdit->setText(run);
    analyser->outputFileEdit->setText(QString::fromStdString(folder.file("sd.txt")));
    analyser->processDataButton->click();
    ASSERT_TRUE(analyser->processInformationButton->isEnabled())
        << MessageBox::shownTexts().join('|').toStdString();
    // A run that fails to process is not offered.
    analyser->runFileEdit->setText(QString::fromStdString(folder.file("missing.run")));
    analyser->processDataButton->click();

    analyser = qobject_cast<kestrana::gui::analyser::AnalyserScreen*>(reopen(Screen::Analyser));
    EXPECT_EQ(offered(analyser->recentRunFilesButton), QStringList{run});
    analyser->runFileEdit->clear();
    analyser->recentRunFilesButton->menu()->actions().front()->trigger();
    EXPECT_EQ(analyser->runFileEdit->text(), run);
    // The list belongs to the analyser: the peak analyser has its own.
    auto* peaks = qobject_cast<kestrana::gui::peaks::PeakScreen*>(Navigator::show(Screen::PeakAnalyser));
    EXPECT_TRUE(offered(peaks->recentRunFilesButton).isEmpty());
}

TEST(Settings, AScreensFileDialogOpensNextTimeWhereTheLastChoiceWas) {
    ResolutionSwitch::fakeDisplay({1024, 768}, false);
    kestrana::test::TempFolder folder;
    const QString chosen = QDir::toNativeSeparators(QString::fromStdString(folder.file("x.run")));
    auto* analyser =
        qobject_cast<kestrana::gui::analyser::AnalyserScreen*>(Navigator::show(Screen::Analyser));
    services::FileDialog::setNextFileName(chosen);
    analyser->browseRunFileButton->click();
    analyser->runFileEdit->clear(); // so the box's own folder does not decide
    analyser = qobject_cast<kestrana::gui::analyser::AnalyserScreen*>(reopen(Screen::Analyser));
    services::FileDialog::setNextCancel();
    analyser->browseRunFileButton->click();
    EXPECT_EQ(QDir(services::FileDialog::shown().back().startFolder),
              QDir(QString::fromStdString(folder.path())));
}

TEST(Settings, TheDisplayQuestionIsAskedOnlyOfASmallSwitchableDisplayAndNotAgainWhenToldSo) {
    struct Case {
        const char* what;
        QSize display;
        bool switchable;
        std::optional<MessageAnswer> answer; // none: nothing is asked
        bool dontAskAgain;
        int questionsAtSecondLoad; // when the menu is loaded again after Quit
        QString kept;              // the answer the menu keeps at the second load
        std::vector<QSize> applied;
    };
    const std::vector<Case> cases = {
        {"large enough", {1920, 1080}, true, std::nullopt, false, 0, "", {}},
        {"designed size", {1024, 768}, true, std::nullopt, false, 0, "", {}},
        {"Wayland or scaled", {800, 600}, false, std::nullopt, false, 0, "", {}},
        {"No, ask again", {800, 600}, true, MessageAnswer::No, false, 1, "7", {}},
        {"No, don't ask", {800, 600}, true, MessageAnswer::No, true, 0, "7", {}},
        {"Yes, don't ask",
         {800, 600},
         true,
         MessageAnswer::Yes,
         true,
         0,
         "6",
         // switched, put back at Quit, switched again at the second load without a question
         {{1024, 768}, {800, 600}, {1024, 768}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        services::resetServices();
        MainMenu::resetState();
        ResolutionSwitch::fakeDisplay(c.display, true, c.switchable);
        if (c.answer) {
            MessageBox::setNextAnswer(*c.answer);
            MessageBox::setNextDontAskAgain(c.dontAskAgain);
        }
        auto* menu = qobject_cast<MainMenu*>(Navigator::show(Screen::MainMenu));
        ASSERT_EQ(MessageBox::shown().empty(), !c.answer.has_value());
        if (c.answer) {
            EXPECT_TRUE(MessageBox::shown().front().offeredDontAskAgain);
            EXPECT_EQ(MessageBox::shown().front().dontAskAgain, c.dontAskAgain);
        }
        menu->quitButton->click();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

        const std::size_t before = MessageBox::shown().size();
        MessageBox::setNextAnswer(MessageAnswer::No);
        menu = qobject_cast<MainMenu*>(Navigator::show(Screen::MainMenu));
        int questions = 0;
        for (std::size_t i = before; i < MessageBox::shown().size(); ++i)
            questions += MessageBox::shown()[i].buttons == services::MessageButtons::YesNo ? 1 : 0;
        EXPECT_EQ(questions, c.questionsAtSecondLoad);
        // A kept answer brings no warning either.
        if (c.dontAskAgain) {
            EXPECT_EQ(MessageBox::shown().size(), before);
        }
        EXPECT_EQ(MainMenu::state().answer, c.kept);
        EXPECT_EQ(ResolutionSwitch::appliedSizes(), c.applied);
        menu->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
}
