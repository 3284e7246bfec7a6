// The display-resolution switch: which xrandr output offers a mode, and no switch of the real display
// from a test.
#include "gui/services/resolution_switch.h"

#include <gtest/gtest.h>

namespace services = kestrana::gui::services;
using services::ResolutionSwitch;

namespace {

const QString kTwoOutputs = QStringLiteral(
    "Screen 0: minimum 320 x 200, current 1920 x 1080, maximum 16384 x 16384\n"
    "HDMI-1 connected primary 1920x1080+0+0 (normal left inverted right x axis y axis) 527mm x 296mm\n"
    "   1920x1080     60.00*+  50.00    59.94  \n"
    "   1280x1024     60.02  \n"
    "   1024x768      60.00  \n"
    "   800x600       60.32    56.25  \n"
    "DP-1 disconnected (normal left inverted right x axis y axis)\n");

const QString kVirtualScreen =
    QStringLiteral("Screen 0: minimum 1 x 1, current 1280 x 1024, maximum 1280 x 1024\n"
                   "screen connected 1280x1024+0+0 0mm x 0mm\n"
                   "   1280x1024      0.00* \n");

} // namespace

TEST(ResolutionSwitch, AModeIsOfferedOnlyWhenListedAsAModeLine) {
    EXPECT_TRUE(ResolutionSwitch::modeOffered(kTwoOutputs, {1024, 768}));
    EXPECT_TRUE(ResolutionSwitch::modeOffered(kTwoOutputs, {1920, 1080}));
    EXPECT_FALSE(ResolutionSwitch::modeOffered(kTwoOutputs, {768, 1024}));
    // The current size on the output's own line and the screen limits are not modes.
    EXPECT_FALSE(ResolutionSwitch::modeOffered(kVirtualScreen, {1024, 768}));
    EXPECT_TRUE(ResolutionSwitch::modeOffered(kVirtualScreen, {1280, 1024}));
    EXPECT_FALSE(ResolutionSwitch::modeOffered(QStringLiteral("   10240x768   60.00\n"), {1024, 768}));
    EXPECT_TRUE(ResolutionSwitch::modeOffered(QStringLiteral("   1024x768i   60.00\n"), {1024, 768}));
    EXPECT_FALSE(ResolutionSwitch::modeOffered(QString(), {1024, 768}));
}

TEST(ResolutionSwitch, TheRealDisplayIsNeverSwitchedInTestMode) {
    EXPECT_TRUE(ResolutionSwitch::displaySize().isValid());
    EXPECT_FALSE(ResolutionSwitch::apply({1024, 768}));
}
