// The analyser screen's button states, scrolling title and credit line.

#include "core/analyser/screen_state.h"

#include <gtest/gtest.h>

namespace kestrana::analyser {
namespace {

TEST(AnalyserScreenState, ButtonsFollowTheOperations) {
    AnalyserButtons buttons;
    buttons.runFileChanged(); // cancelling the first Browse disables nothing new
    EXPECT_EQ(buttons, AnalyserButtons{});
    buttons.processDataSucceeded();
    buttons.processInformationDone();
    buttons.showDetailsDone();
    EXPECT_EQ(buttons, (AnalyserButtons{true, true, true, true, true, true}));
    buttons.runFileChanged();
    EXPECT_EQ(buttons, (AnalyserButtons{false, false, false, false, true, true}));
    buttons.printGraphDone();
    EXPECT_EQ(buttons, (AnalyserButtons{false, false, false, false, false, true}));
}

TEST(AnalyserScreenState, TitleScrollsThroughTheBandWithTheDesignTimings) {
    // Band at left 0, 15375 twips wide; title 3375 wide starting at 11880.
    int left = 11880;
    const auto ticksToWrap = [&left] {
        int ticks = 0;
        do {
            left = scrolledTitleLeft(left, 3375, 0, 15375);
            ++ticks;
        } while (left != 15375);
        return ticks;
    };
    EXPECT_EQ(ticksToWrap(), 3051);
    EXPECT_EQ(ticksToWrap(), 3750);
    // Positions off the 5-twip grid still wrap once the edge is passed.
    EXPECT_EQ(scrolledTitleLeft(-3372, 3375, 0, 15375), 15375);
}

TEST(AnalyserScreenState, CreditLineTypesOutAndStartsAgainAfterFiftyOne) {
    CreditLine credit;
    EXPECT_EQ(credit.tick(), "K");
    EXPECT_EQ(credit.tick(), "Ke");
    std::string caption;
    for (int i = 3; i <= 51; ++i) {
        caption = credit.tick();
    }
    EXPECT_EQ(credit.counter(), 51);
    EXPECT_EQ(caption, kCreditText);
    EXPECT_EQ(credit.tick(), "K");
}

} // namespace
} // namespace kestrana::analyser
