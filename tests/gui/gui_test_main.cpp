// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Kestrana developers

// The GUI test program: one QApplication on the offscreen platform for every screen test, with the
// services in test mode and a fresh service state before each test.
#include "gui/app/main_menu.h"
#include "gui/app/navigator.h"
#include "gui/services/test_mode.h"
#include "support/test_support.h"

#include <QApplication>

#include <gtest/gtest.h>

#include <string>

namespace {

// Puts every test on the same footing: the run's private folders, no queued answers, no records,
// no screen left open by the test before.
class FreshServices : public ::testing::EmptyTestEventListener {
public:
    FreshServices(std::string home, std::string prints)
        : home_(std::move(home)), prints_(std::move(prints)) {}

    void OnTestStart(const ::testing::TestInfo&) override {
        qputenv("KESTRANA_HOME", QByteArray::fromStdString(home_));
        qputenv("KESTRANA_PRINT_TO", QByteArray::fromStdString(prints_));
        kestrana::gui::services::resetServices();
        kestrana::gui::app::MainMenu::resetState();
    }
    void OnTestEnd(const ::testing::TestInfo&) override { kestrana::gui::app::Navigator::closeAll(); }

private:
    std::string home_;
    std::string prints_;
};

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    kestrana::test::TempFolder folders;
    const std::string home = folders.file("home");
    const std::string prints = folders.file("prints");
    qputenv("KESTRANA_HOME", QByteArray::fromStdString(home));
    qputenv("KESTRANA_PRINT_TO", QByteArray::fromStdString(prints));

    QApplication application(argc, argv);
    // Tests close windows all the time; that must never end the program.
    QApplication::setQuitOnLastWindowClosed(false);
    kestrana::gui::services::enableTestMode();

    ::testing::InitGoogleTest(&argc, argv);
    ::testing::UnitTest::GetInstance()->listeners().Append(new FreshServices(home, prints));
    return RUN_ALL_TESTS();
}
