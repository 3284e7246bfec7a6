// What the working screens share when they open: they fill the display, and fit one of 800 x 600
// (scrolling where they must, never placed off screen), and Enter in a text box presses the button it
// feeds only while that button is usable.
#include "gui/app/navigator.h"
#include "gui/services/resolution_switch.h"
#include "gui/widgets/screen_setup.h"

#include <QGuiApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

namespace widgets = kestrana::gui::widgets;

namespace {

TEST(ScreenSetup, AScreenIsAsLargeAsTheDisplayWithoutAWindowManager) {
    QWidget screen;
    screen.resize(300, 200);
    widgets::fillDisplay(&screen);
    EXPECT_EQ(screen.size(), QGuiApplication::primaryScreen()->availableGeometry().size());
}

TEST(ScreenSetup, EveryScreenFitsAnEightHundredBySixHundredDisplay) {
    using kestrana::gui::app::Navigator;
    using kestrana::gui::app::Screen;
    kestrana::gui::services::ResolutionSwitch::fakeDisplay({800, 600}, false);
    const QRect display = QGuiApplication::primaryScreen()->availableGeometry();
    for (const Screen kind : {Screen::MainMenu, Screen::Analyser, Screen::Comparator, Screen::PeakAnalyser}) {
        QWidget* screen = Navigator::show(kind);
        ASSERT_NE(screen, nullptr);
        const std::string name = screen->objectName().toStdString();
        EXPECT_TRUE(display.contains(QRect(screen->pos(), screen->size())))
            << name << " at " << screen->x() << "," << screen->y() << " " << screen->width() << "x"
            << screen->height() << " in " << display.x() << "," << display.y() << " " << display.width()
            << "x" << display.height();
        // Whatever the display, the window may be made as small as 800 x 600: its page scrolls.
        EXPECT_LE(screen->minimumSizeHint().width(), 800) << name;
        EXPECT_LE(screen->minimumSizeHint().height(), 600) << name;
        Navigator::closeAll();
    }
    // Centred where there is room, cut to the display and held at its corner where there is not.
    EXPECT_EQ(widgets::placedInside({880, 620}, QRect(0, 0, 1024, 768)), QRect(72, 74, 880, 620));
    EXPECT_EQ(widgets::placedInside({880, 620}, QRect(0, 20, 800, 580)), QRect(0, 20, 800, 580));
}

TEST(ScreenSetup, EnterInABoxPressesItsButtonOnlyWhenEnabled) {
    QWidget screen;
    auto* box = new QLineEdit(&screen);
    auto* button = new QPushButton(&screen);
    widgets::pressOnEnter(box, button);
    QSignalSpy pressed(button, &QPushButton::clicked);
    button->setEnabled(false);
    QTest::keyClick(box, Qt::Key_Return);
    EXPECT_EQ(pressed.count(), 0);
    button->setEnabled(true);
    QTest::keyClick(box, Qt::Key_Return);
    QTest::keyClick(box, Qt::Key_Enter);
    EXPECT_EQ(pressed.count(), 2);
}

} // namespace
