// What the working screens share when they open: they fill the display, and Enter in a text box
// presses the button it feeds only while that button is usable.
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
