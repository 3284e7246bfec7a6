// The main menu: its design texts and faces, the display question on every path, Quit and the
// window's close control restoring the display, the menu buttons opening or bringing forward the
// working screens, GO TO MAIN, the blinking title and F1.
#include "gui/analyser/form1.h"
#include "gui/app/frmmain.h"
#include "gui/app/menu_texts.h"
#include "gui/app/navigator.h"
#include "gui/comparator/form2.h"
#include "gui/peaks/tgi_form6.h"
#include "gui/platform/help.h"
#include "gui/platform/message_box.h"
#include "gui/platform/resolution_switch.h"
#include "gui_test_support.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTextBrowser>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

namespace platform = kestrana::gui::platform;
using kestrana::gui::app::frmmain;
using kestrana::gui::app::Navigator;
using kestrana::gui::app::Screen;
using platform::MessageAnswer;
using platform::MessageBox;
using platform::MessageButtons;
using platform::ResolutionSwitch;

const QString kSwitchFailed = QStringLiteral(" Resolution of your monitor can not be changed to 1024 X 768");
const QString kNoSwitchWarning =
    QStringLiteral(" Yoy will not be able to view it properly though Program would still run");

class MainMenu : public ::testing::Test {
protected:
    // Loads the menu on a faked display of this size.
    frmmain* openMenu(QSize display, bool switchWorks = false) {
        ResolutionSwitch::fakeDisplay(display, switchWorks);
        return qobject_cast<frmmain*>(Navigator::show(Screen::MainMenu));
    }
    static std::vector<QSize> applied() { return ResolutionSwitch::appliedSizes(); }
};

} // namespace

TEST(MenuTexts, TheDisplayQuestionJoinsTheSizeIntoTheFixedText) {
    EXPECT_EQ(kestrana::gui::app::menu_texts::displayQuestion(1280, 1024),
              " Resolution  1280 X 1024 of your monitor is required to be changed to 1024 x 768 for proper "
              "viewing. Change it? Original resolution will be restored back when you quit.");
}

TEST_F(MainMenu, ShowsItsDesignCaptionsInTheirFaces) {
    frmmain* menu = openMenu({1024, 768});
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(menu->Command1->text(), QStringLiteral("K E S T R A N A"));
    EXPECT_EQ(menu->Command2->text(), QStringLiteral("T G I  COMPARATOR"));
    EXPECT_EQ(menu->Command4->text(), QStringLiteral("PEAK ANALYZER"));
    EXPECT_EQ(menu->Command3->text(), QStringLiteral("Q U I T"));
    EXPECT_EQ(menu->Text1->text(), QStringLiteral("F1-HELP"));
    EXPECT_EQ(menu->Label5[0]->text(), QStringLiteral("TRACK  GEOMETRY  INDEX"));
    EXPECT_EQ(menu->Label5[1]->text(), QStringLiteral("TRACK  GEOMETRY  INDEX"));
    // Each control asks for its design face first; substitutes follow where the system lacks it.
    EXPECT_EQ(menu->Command1->font().families().value(0), QStringLiteral("Arial Black"));
    EXPECT_EQ(menu->Command3->font().families().value(0), QStringLiteral("MS Serif"));
    EXPECT_EQ(menu->Text1->font().families().value(0), QStringLiteral("MS Sans Serif"));
    EXPECT_EQ(menu->Label5[0]->font().families().value(0), QStringLiteral("Palatino Linotype"));
    EXPECT_EQ(menu->Label5[1]->font().families().value(0), QStringLiteral("MS Sans Serif"));
    EXPECT_GT(menu->Label5[0]->font().families().size(), 1);
    EXPECT_EQ(menu->Timer1->interval(), 350);
    EXPECT_TRUE(menu->Timer1->isActive());
    EXPECT_TRUE(menu->windowTitle().startsWith(QStringLiteral("Kestrana")));
    EXPECT_FALSE(menu->Picture1->pixmap().isNull());
    // The screens are laid out for 1024 x 768: the menu fits inside it.
    EXPECT_LE(menu->width(), 1024);
    EXPECT_LE(menu->height(), 700);
}

TEST_F(MainMenu, AtTheDesignSizeNothingIsAskedAndQuitLeavesTheDisplayAlone) {
    frmmain* menu = openMenu({1024, 768});
    EXPECT_TRUE(MessageBox::shown().empty());
    EXPECT_EQ(frmmain::state().answer, QString());
    EXPECT_EQ(frmmain::state().savedWidth, 1024);
    EXPECT_EQ(frmmain::state().savedHeight, 768);

    QTest::mouseClick(menu->Command3, Qt::LeftButton);
    EXPECT_EQ(Navigator::find(Screen::MainMenu), nullptr);
    EXPECT_TRUE(applied().empty());
}

TEST_F(MainMenu, AnswerNoShowsTheWarningOnceAndQuitLeavesTheDisplayAlone) {
    MessageBox::setNextAnswer(MessageAnswer::No);
    frmmain* menu = openMenu({1280, 1024});

    const auto& shown = MessageBox::shown();
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[0].text,
              QStringLiteral(" Resolution  1280 X 1024 of your monitor is required to be changed to 1024 x "
                             "768 for proper viewing. Change it? Original resolution will be restored "
                             "back when you quit."));
    EXPECT_EQ(shown[0].buttons, MessageButtons::YesNo);
    EXPECT_EQ(shown[0].title, QStringLiteral("Kestrana"));
    EXPECT_EQ(shown[1].text, kNoSwitchWarning);
    EXPECT_EQ(shown[1].buttons, MessageButtons::Ok);
    EXPECT_EQ(frmmain::state().answer, QStringLiteral("7"));

    QTest::mouseClick(menu->Command3, Qt::LeftButton);
    EXPECT_TRUE(applied().empty());
    EXPECT_EQ(MessageBox::shown().size(), 2u);
}

TEST_F(MainMenu, AnswerYesSwitchesAndQuitRestoresTheSavedSize) {
    MessageBox::setNextAnswer(MessageAnswer::Yes);
    frmmain* menu = openMenu({1280, 1024}, true);
    EXPECT_EQ(MessageBox::shown().size(), 1u); // the question only: the switch worked
    EXPECT_EQ(frmmain::state().answer, QStringLiteral("6"));
    EXPECT_EQ(applied(), (std::vector<QSize>{{1024, 768}}));

    QTest::mouseClick(menu->Command3, Qt::LeftButton);
    EXPECT_EQ(applied(), (std::vector<QSize>{{1024, 768}, {1280, 1024}}));
    EXPECT_EQ(ResolutionSwitch::displaySize(), QSize(1280, 1024));
}

TEST_F(MainMenu, AnswerYesWithAFailedSwitchShowsTheErrorAndQuitStillRestores) {
    MessageBox::setNextAnswer(MessageAnswer::Yes);
    frmmain* menu = openMenu({1600, 900}, false);
    ASSERT_EQ(MessageBox::shown().size(), 2u);
    EXPECT_EQ(MessageBox::shown()[1].text, kSwitchFailed);
    EXPECT_EQ(MessageBox::shown()[1].buttons, MessageButtons::Ok);

    QTest::mouseClick(menu->Command3, Qt::LeftButton);
    EXPECT_EQ(applied(), (std::vector<QSize>{{1024, 768}, {1600, 900}}));
}

TEST_F(MainMenu, APortraitDisplayIsAskedAbout) {
    openMenu({768, 1024});
    ASSERT_FALSE(MessageBox::shown().empty());
    EXPECT_TRUE(
        MessageBox::shown()[0].text.startsWith(QStringLiteral(" Resolution  768 X 1024 of your monitor")));
}

TEST_F(MainMenu, ClosingTheWindowByItsCloseControlRestoresTheDisplayAsQuitDoes) {
    MessageBox::setNextAnswer(MessageAnswer::Yes);
    frmmain* menu = openMenu({1280, 1024}, true);
    QCloseEvent closeRequest;
    QApplication::sendEvent(menu->windowHandle() != nullptr ? static_cast<QObject*>(menu->windowHandle())
                                                            : static_cast<QObject*>(menu),
                            &closeRequest);
    EXPECT_EQ(applied(), (std::vector<QSize>{{1024, 768}, {1280, 1024}}));
    EXPECT_EQ(Navigator::find(Screen::MainMenu), nullptr);
}

TEST_F(MainMenu, ItsButtonsOpenTheWorkingScreensOnceAndOnlyBringThemForwardAfter) {
    frmmain* menu = openMenu({1024, 768});
    QTest::mouseClick(menu->Command1, Qt::LeftButton);
    QTest::mouseClick(menu->Command2, Qt::LeftButton);
    QTest::mouseClick(menu->Command4, Qt::LeftButton);
    QWidget* analyser = Navigator::find(Screen::Analyser);
    ASSERT_NE(qobject_cast<kestrana::gui::analyser::form1*>(analyser), nullptr);
    ASSERT_NE(qobject_cast<kestrana::gui::comparator::form2*>(Navigator::find(Screen::Comparator)), nullptr);
    ASSERT_NE(qobject_cast<kestrana::gui::peaks::tgi_form6*>(Navigator::find(Screen::PeakAnalyser)), nullptr);
    EXPECT_TRUE(analyser->isVisible());
    EXPECT_TRUE(menu->isVisible()); // the menu stays open behind them

    QTest::mouseClick(menu->Command1, Qt::LeftButton);
    EXPECT_EQ(Navigator::find(Screen::Analyser), analyser);
    EXPECT_EQ(kestrana::test::openWindowsNamed(QStringLiteral("form1")), 1);
    EXPECT_EQ(kestrana::test::openWindowsNamed(QStringLiteral("form2")), 1);
    EXPECT_EQ(kestrana::test::openWindowsNamed(QStringLiteral("tgi_form6")), 1);
}

TEST_F(MainMenu, GoToMainShowsTheLoadedMenuWithoutLoadingItAgainAndClosesTheScreen) {
    MessageBox::setNextAnswer(MessageAnswer::No);
    frmmain* menu = openMenu({1280, 1024});
    QTest::mouseClick(menu->Command1, Qt::LeftButton);
    auto* analyser = qobject_cast<kestrana::gui::analyser::form1*>(Navigator::find(Screen::Analyser));
    ASSERT_NE(analyser, nullptr);

    QTest::mouseClick(analyser->Command6, Qt::LeftButton);
    EXPECT_EQ(Navigator::find(Screen::Analyser), nullptr);
    EXPECT_EQ(Navigator::find(Screen::MainMenu), menu);
    EXPECT_EQ(MessageBox::shown().size(), 2u); // no second question

    // A screen opened again is a new one, from its design state.
    QTest::mouseClick(menu->Command1, Qt::LeftButton);
    ASSERT_NE(Navigator::find(Screen::Analyser), nullptr);
    EXPECT_EQ(kestrana::test::openWindowsNamed(QStringLiteral("form1")), 1);
}

TEST_F(MainMenu, AfterQuitGoToMainLoadsTheMenuAgainAndAsksAgain) {
    MessageBox::setNextAnswer(MessageAnswer::No);
    frmmain* menu = openMenu({1280, 1024});
    QTest::mouseClick(menu->Command4, Qt::LeftButton);
    QTest::mouseClick(menu->Command3, Qt::LeftButton);
    auto* peaks = qobject_cast<kestrana::gui::peaks::tgi_form6*>(Navigator::find(Screen::PeakAnalyser));
    ASSERT_NE(peaks, nullptr); // a working screen keeps the program running

    MessageBox::setNextAnswer(MessageAnswer::No);
    QTest::mouseClick(peaks->Command5, Qt::LeftButton);
    EXPECT_NE(Navigator::find(Screen::MainMenu), nullptr);
    EXPECT_EQ(Navigator::find(Screen::PeakAnalyser), nullptr);
    EXPECT_EQ(MessageBox::shownTexts().count(kNoSwitchWarning), 2);
}

TEST_F(MainMenu, TheKeptAnswerChangesOnlyWhenTheQuestionIsAsked) {
    MessageBox::setNextAnswer(MessageAnswer::Yes);
    frmmain* menu = openMenu({1280, 1024}, true);
    QTest::mouseClick(menu->Command2, Qt::LeftButton);
    QTest::mouseClick(menu->Command3, Qt::LeftButton);

    // The display is at 1024 x 768 when the comparator goes back to the menu: nothing is asked, the
    // answer stays Yes, and the next Quit puts back the size read at this load.
    ResolutionSwitch::fakeDisplay({1024, 768}, true);
    auto* comparator = qobject_cast<kestrana::gui::comparator::form2*>(Navigator::find(Screen::Comparator));
    ASSERT_NE(comparator, nullptr);
    QTest::mouseClick(comparator->Command4, Qt::LeftButton);
    EXPECT_EQ(MessageBox::shown().size(), 1u);
    EXPECT_EQ(frmmain::state().answer, QStringLiteral("6"));
    auto* again = qobject_cast<frmmain*>(Navigator::find(Screen::MainMenu));
    ASSERT_NE(again, nullptr);
    QTest::mouseClick(again->Command3, Qt::LeftButton);
    EXPECT_EQ(applied(), (std::vector<QSize>{{1024, 768}, {1280, 1024}, {1024, 768}}));
}

TEST_F(MainMenu, TheTimerInvertsBothTitleFacesOnEveryTick) {
    frmmain* menu = openMenu({1024, 768});
    const bool hidden0 = menu->Label5[0]->isHidden();
    const bool hidden1 = menu->Label5[1]->isHidden();
    EXPECT_NE(hidden0, hidden1); // one face at a time
    menu->Timer1_Timer();
    EXPECT_EQ(menu->Label5[0]->isHidden(), !hidden0);
    EXPECT_EQ(menu->Label5[1]->isHidden(), !hidden1);
    menu->Timer1_Timer();
    EXPECT_EQ(menu->Label5[0]->isHidden(), hidden0);
    EXPECT_EQ(menu->Label5[1]->isHidden(), hidden1);
}

TEST_F(MainMenu, F1OpensTheBundledHelpFromTheMenuAndFromAWorkingScreen) {
    frmmain* menu = openMenu({1024, 768});
    ASSERT_TRUE(kestrana::test::showActive(menu));
    QTest::keyClick(menu, Qt::Key_F1);
    QWidget* help = platform::helpWindow();
    ASSERT_NE(help, nullptr);
    EXPECT_TRUE(help->isVisible());
    EXPECT_FALSE(help->testAttribute(Qt::WA_QuitOnClose)); // help never keeps the program running
    QTextBrowser* browser = platform::helpBrowser();
    ASSERT_NE(browser, nullptr);
    EXPECT_EQ(browser->source().toString(), QStringLiteral("qrc:/help/help_ver03.html"));
    const QString guide = browser->toPlainText();
    EXPECT_TRUE(guide.contains(QStringLiteral("Index analyser")));
    EXPECT_TRUE(guide.contains(QStringLiteral("TGI comparator")));
    EXPECT_TRUE(guide.contains(QStringLiteral("Peak analyser")));
    EXPECT_TRUE(guide.contains(QStringLiteral("SD output file")));
    help->close();

    QTest::mouseClick(menu->Command2, Qt::LeftButton);
    QWidget* comparator = Navigator::find(Screen::Comparator);
    ASSERT_TRUE(kestrana::test::showActive(comparator));
    QTest::keyClick(comparator, Qt::Key_F1);
    ASSERT_NE(platform::helpWindow(), nullptr);
    EXPECT_TRUE(platform::helpWindow()->isVisible());
}
