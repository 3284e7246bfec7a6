// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Kestrana developers

// The main menu: its faces, the display question on every path with Quit or the close
// control, the screens it opens, GO TO MAIN with and without a loaded menu, F1.
#include "gui/analyser/analyser_screen.h"
#include "gui/app/main_menu.h"
#include "gui/app/navigator.h"
#include "gui/comparator/comparator_screen.h"
#include "gui/history/history_screen.h"
#include "gui/peaks/peak_screen.h"
#include "gui/services/help.h"
#include "gui/services/message_box.h"
#include "gui/services/resolution_switch.h"
#include "gui/services/test_mode.h"
#include "gui_test_support.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTextBrowser>
#include <QTimer>

#include <gtest/gtest.h>

#include <optional>

namespace {

namespace services = kestrana::gui::services;
using kestrana::gui::app::MainMenu;
using kestrana::gui::app::Navigator;
using kestrana::gui::app::Screen;
using services::MessageAnswer;
using services::MessageBox;
using services::ResolutionSwitch;
using Sizes = std::vector<QSize>;

const QString kSwitchFailed = QStringLiteral(" Resolution of your monitor can not be changed to 1024 X 768");
const QString kNoSwitchWarning =
    QStringLiteral(" Yoy will not be able to view it properly though Program would still run");

QString question(int width, int height) {
    return QStringLiteral(
               " Resolution  %1 X %2 of your monitor is required to be changed to 1024 x 768 for "
               "proper viewing. Change it? Original resolution will be restored back when you quit.")
        .arg(width)
        .arg(height);
}

// Loads the menu on a faked display of this size.
MainMenu* openMenu(QSize display, bool switchWorks = false) {
    ResolutionSwitch::fakeDisplay(display, switchWorks);
    return qobject_cast<MainMenu*>(Navigator::show(Screen::MainMenu));
}

template <class ScreenClass> ScreenClass* openScreen(Screen screen) {
    return qobject_cast<ScreenClass*>(Navigator::find(screen));
}

} // namespace

TEST(MainMenu, EveryCaptionHasSubstituteFacesAndTheMenuFitsTheDesignedDisplay) {
    MainMenu* menu = openMenu({1024, 768});
    ASSERT_NE(menu, nullptr);
    // The design face first, substitutes after it for a system that lacks it.
    for (const QWidget* caption : std::initializer_list<const QWidget*>{
             menu->analyserButton, menu->comparatorButton, menu->peakAnalyserButton, menu->quitButton,
             menu->helpHintEdit, menu->titleFaces[0], menu->titleFaces[1]})
        EXPECT_GT(caption->font().families().size(), 1) << caption->objectName().toStdString();
    EXPECT_EQ(menu->analyserButton->font().families().value(0), QStringLiteral("Arial Black"));
    EXPECT_TRUE(menu->blinkTimer->isActive());
    EXPECT_FALSE(menu->pictureBox->pixmap().isNull());
    EXPECT_LE(menu->width(), 1024);
    EXPECT_LE(menu->height(), 700);
}

TEST(MainMenu, TheDisplayQuestionOnEveryPathAndWhatQuitOrTheCloseControlPutsBack) {
    struct Case {
        QSize display;
        std::optional<MessageAnswer> answer; // none: nothing may be asked
        bool switchWorks;
        bool closeControl; // leave by the window's close control instead of Quit
        QStringList messages;
        QString kept;
        Sizes applied; // at load and then at the leaving
    };
    const std::vector<Case> cases = {
        {{1024, 768}, std::nullopt, true, false, {}, "", {}},
        {{800, 600}, MessageAnswer::No, true, false, {question(800, 600), kNoSwitchWarning}, "7", {}},
        {{800, 600}, MessageAnswer::Yes, true, false, {question(800, 600)}, "6", {{1024, 768}, {800, 600}}},
        {{960, 720},
         MessageAnswer::Yes,
         false,
         false,
         {question(960, 720), kSwitchFailed},
         "6",
         {{1024, 768}, {960, 720}}},
        {{800, 600}, MessageAnswer::Yes, true, true, {question(800, 600)}, "6", {{1024, 768}, {800, 600}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.messages.value(0, QStringLiteral("no question")).toStdString());
        services::resetServices();
        MainMenu::resetState();
        if (c.answer)
            MessageBox::setNextAnswer(*c.answer);
        MainMenu* menu = openMenu(c.display, c.switchWorks);
        EXPECT_EQ(MessageBox::shownTexts(), c.messages);
        if (!MessageBox::shown().empty()) {
            EXPECT_EQ(MessageBox::shown()[0].buttons, services::MessageButtons::YesNo);
            EXPECT_EQ(MessageBox::shown()[0].title, QStringLiteral("Kestrana"));
            EXPECT_EQ(MessageBox::shown().back().buttons, MessageBox::shown().size() == 1
                                                              ? services::MessageButtons::YesNo
                                                              : services::MessageButtons::Ok);
        }
        EXPECT_EQ(MainMenu::state().answer, c.kept);
        EXPECT_EQ(MainMenu::state().savedWidth, c.display.width());
        EXPECT_EQ(MainMenu::state().savedHeight, c.display.height());
        // After a switch the menu stands on the switched display.
        if (c.answer == MessageAnswer::Yes && c.switchWorks) {
            EXPECT_TRUE(QRect(0, 0, 1024, 768).contains(menu->frameGeometry()));
        }

        if (c.closeControl) {
            // What the window system's close control sends.
            QCloseEvent closeRequest;
            ASSERT_NE(menu->windowHandle(), nullptr);
            QApplication::sendEvent(menu->windowHandle(), &closeRequest);
        } else {
            QTest::mouseClick(menu->quitButton, Qt::LeftButton);
        }
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        EXPECT_EQ(Navigator::find(Screen::MainMenu), nullptr);
        EXPECT_EQ(ResolutionSwitch::appliedSizes(), c.applied);
        EXPECT_EQ(MessageBox::shown().size(), static_cast<std::size_t>(c.messages.size()));
    }
}

TEST(MainMenu, GoToMainShowsTheLoadedMenuAsItIsButLoadsAQuitMenuAgain) {
    MessageBox::setNextAnswer(MessageAnswer::No);
    MainMenu* menu = openMenu({800, 600});
    QTest::mouseClick(menu->analyserButton, Qt::LeftButton);
    auto* analyser = openScreen<kestrana::gui::analyser::AnalyserScreen>(Screen::Analyser);
    ASSERT_NE(analyser, nullptr);
    QTest::mouseClick(analyser->goToMainButton, Qt::LeftButton);
    EXPECT_EQ(Navigator::find(Screen::Analyser), nullptr);
    EXPECT_EQ(Navigator::find(Screen::MainMenu), menu);
    EXPECT_EQ(MessageBox::shownTexts().count(kNoSwitchWarning), 1); // not asked again

    QTest::mouseClick(menu->peakAnalyserButton, Qt::LeftButton);
    QTest::mouseClick(menu->quitButton, Qt::LeftButton);
    auto* peaks = openScreen<kestrana::gui::peaks::PeakScreen>(Screen::PeakAnalyser);
    ASSERT_NE(peaks, nullptr); // a working screen keeps the program running
    MessageBox::setNextAnswer(MessageAnswer::No);
    QTest::mouseClick(peaks->goToMainButton, Qt::LeftButton);
    EXPECT_NE(Navigator::find(Screen::MainMenu), nullptr);
    EXPECT_EQ(Navigator::find(Screen::PeakAnalyser), nullptr);
    EXPECT_EQ(MessageBox::shownTexts().count(kNoSwitchWarning), 2);
}

TEST(MainMenu, ItsButtonsOpenEachScreenOnceAndF1OnEveryScreenOpensTheBundledGuide) {
    MainMenu* menu = openMenu({1024, 768});
    for (int round = 0; round < 2; ++round)
        for (QPushButton* button :
             {menu->analyserButton, menu->comparatorButton, menu->peakAnalyserButton, menu->historyButton})
            QTest::mouseClick(button, Qt::LeftButton);
    EXPECT_NE(openScreen<kestrana::gui::analyser::AnalyserScreen>(Screen::Analyser), nullptr);
    EXPECT_NE(openScreen<kestrana::gui::comparator::ComparatorScreen>(Screen::Comparator), nullptr);
    EXPECT_NE(openScreen<kestrana::gui::peaks::PeakScreen>(Screen::PeakAnalyser), nullptr);
    EXPECT_NE(openScreen<kestrana::gui::history::HistoryScreen>(Screen::TrackHistory), nullptr);
    for (const char* name : {"AnalyserScreen", "ComparatorScreen", "PeakScreen", "HistoryScreen"})
        EXPECT_EQ(kestrana::test::openWindowsNamed(QString::fromLatin1(name)), 1) << name;
    EXPECT_TRUE(menu->isVisible()); // the menu stays open behind them

    for (Screen screen : {Screen::MainMenu, Screen::Analyser, Screen::Comparator, Screen::PeakAnalyser,
                          Screen::TrackHistory}) {
        QWidget* window = Navigator::find(screen);
        ASSERT_TRUE(kestrana::test::showActive(window));
        QTest::keyClick(window, Qt::Key_F1);
        QWidget* help = services::helpWindow();
        ASSERT_NE(help, nullptr) << window->objectName().toStdString();
        EXPECT_TRUE(help->isVisible());
        EXPECT_FALSE(help->testAttribute(Qt::WA_QuitOnClose)); // help never keeps the program running
        help->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    services::showHelp();
    ASSERT_NE(services::helpBrowser(), nullptr);
    EXPECT_EQ(services::helpBrowser()->source().toString(), QStringLiteral("qrc:/help/help_ver03.html"));
}
