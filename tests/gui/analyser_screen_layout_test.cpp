// How the analyser screen reads: it fits the display it was designed for, the column headers stand
// over their columns in the fixed-pitch lists, a block can be picked with the keyboard, F1 opens
// the help.

#include "analyser_screen_fixture.h"

#include "core/analyser/listing.h"
#include "core/analyser/raw_view.h"
#include "gui/services/help.h"
#include "gui/widgets/column_header.h"

#include <QLabel>

namespace {

using namespace kestrana::test::analyser_screen_support;
using kestrana::gui::widgets::headerWordStarts;

class AnalyserScreenLayout : public AnalyserScreenTest {};

TEST_F(AnalyserScreenLayout, FitsTheDesignedDisplayWithRoomForAWindowFrame) {
    AnalyserScreen* screen = open();
    const QSize least = screen->minimumSizeHint();
    EXPECT_LE(least.width(), 1024);
    EXPECT_LE(least.height(), 700);
}

TEST(AnalyserScreenColumnHeader, EachWordStandsCentredOverItsColumn) {
    const QString header = q(std::string(kestrana::analyser::kListingHeader));
    const QString row = q(expectedRow(1234, 1235, 3, 45, 12, 7, 81, 100));
    // Columns of the row: 2-5, 10-13, 21, 33-35, 45-47, 55-57, 65-67, 75-77 (0-based).
    EXPECT_EQ(headerWordStarts(header, row), (std::vector<int>{2, 10, 20, 33, 44, 54, 64, 74}));
    // A five-digit kilometre widens its column; the words follow the row they head.
    const QString wide =
        q("  12345    12346       3           045         012       007       081       100");
    EXPECT_EQ(headerWordStarts(header, wide)[1], 11);
}

TEST(AnalyserScreenColumnHeader, WordsNeverRunIntoEachOtherAndMismatchesAreLeftAlone) {
    // Narrow columns close together: each word starts after the one before it.
    EXPECT_EQ(headerWordStarts("LONGWORD  LONGWORD", "1 2"), (std::vector<int>{0, 9}));
    EXPECT_TRUE(headerWordStarts("A B C", "1 2").empty());
    EXPECT_TRUE(headerWordStarts("A B", "").empty());
    EXPECT_TRUE(headerWordStarts("", "1 2").empty());
}

TEST_F(AnalyserScreenLayout, ARowPickedWithTheArrowKeysShowsItsBlock) {
    AnalyserScreen* screen = open();
    processToDetails(screen, writeRun("keys.run", exampleRun()));
    ASSERT_EQ(screen->listingList->count(), 6);
    ASSERT_TRUE(kestrana::test::showActive(screen));
    clickEntry(screen->listingList, 0);
    const QStringList first = screen->rawValuesList->entries();
    ASSERT_EQ(first.size(), 1);
    // Down to the separator (an empty view), then down to the next block.
    QTest::keyClick(screen->listingList->viewport(), Qt::Key_Down);
    EXPECT_EQ(screen->rawValuesList->count(), 0);
    QTest::keyClick(screen->listingList->viewport(), Qt::Key_Down);
    EXPECT_EQ(screen->rawHeaderList->entries(),
              QStringList{q(std::string(kestrana::analyser::kRawViewHeader))});
    ASSERT_EQ(screen->rawValuesList->count(), 1);
    EXPECT_EQ(screen->listingList->selectedRow(), 2);
}

TEST_F(AnalyserScreenLayout, TextFromTheRunIsShownAsItStandsNeverAsMarkup) {
    AnalyserScreen* screen = open();
    process(screen, writeRun("markup.run", handRun({{100, 101, {HandBlock{}}}}, '1', "010126",
                                                   "<b>ITARSI</b> &amp; BHOPAL")));
    EXPECT_EQ(screen->sectionLabel->text(), "<b>ITARSI</b> &amp; BHOPAL");
    for (QLabel* label : screen->findChildren<QLabel*>())
        EXPECT_EQ(label->textFormat(), Qt::PlainText) << s(label->text());
}

TEST_F(AnalyserScreenLayout, F1OpensTheHelp) {
    AnalyserScreen* screen = open();
    ASSERT_TRUE(kestrana::test::showActive(screen));
    QTest::keyClick(screen, Qt::Key_F1);
    EXPECT_NE(kestrana::gui::services::helpWindow(), nullptr);
}

} // namespace
