// The list box all three screens use: core texts in and out unchanged, the top visible entry as the
// coupled columns read and set it, a pick only by the user, and boxes sized to a number of rows.
#include "gui/widgets/list_box.h"

#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace widgets = kestrana::gui::widgets;

namespace {

std::vector<std::string> numbered(int count) {
    std::vector<std::string> entries;
    for (int i = 0; i < count; ++i)
        entries.push_back(std::to_string(i));
    return entries;
}

std::unique_ptr<widgets::ListBox> shownBox(int rows) {
    auto box = std::make_unique<widgets::ListBox>();
    box->resize(200, box->heightForRows(rows));
    box->show();
    return box;
}

TEST(ListBox, CoreTextsAreEntriesOneCharacterPerByte) {
    widgets::ListBox box;
    box.setEntries(std::vector<std::string>{"0101  \xB0", "", "end"});
    ASSERT_EQ(box.count(), 3);
    EXPECT_EQ(box.entry(0), QStringLiteral("0101  \u00B0"));
    EXPECT_EQ(box.entries(), (QStringList{QStringLiteral("0101  \u00B0"), QString(), QStringLiteral("end")}));
    box.clear();
    EXPECT_EQ(box.count(), 0);
    EXPECT_EQ(box.topIndex(), 0);
}

TEST(ListBox, TheTopEntryIsSetAsFarAsTheBoxScrollsAndKeptForNewEntries) {
    auto box = shownBox(5);
    box->setEntries(numbered(100));
    QSignalSpy scrolled(box.get(), &widgets::ListBox::scrolled);
    box->setTopIndex(40);
    EXPECT_EQ(box->topIndex(), 40);
    EXPECT_EQ(scrolled.count(), 1);
    // Past the end the last entry stays in view, at the bottom.
    box->setTopIndex(1000);
    const int last = box->topIndex();
    EXPECT_LT(last, 99);
    EXPECT_TRUE(box->viewport()->rect().intersects(box->visualRect(box->model()->index(99, 0))));
    // A new listing starts where the box stood, and at the top once the screen asks for it.
    box->setTopIndex(40);
    box->setEntries(numbered(60));
    EXPECT_EQ(box->topIndex(), 40);
    box->scrollToTop();
    EXPECT_EQ(box->topIndex(), 0);
}

TEST(ListBox, OnlyTheUsersPickIsAPick) {
    auto box = shownBox(5);
    box->setEntries(numbered(10));
    QSignalSpy picked(box.get(), &widgets::ListBox::entryClicked);
    box->setFocus();
    QApplication::processEvents();
    EXPECT_EQ(picked.count(), 0);
    EXPECT_EQ(box->selectedRow(), -1);
    EXPECT_EQ(box->selectedEntry(), QString());
    const QModelIndex third = box->model()->index(2, 0);
    QTest::mouseClick(box->viewport(), Qt::LeftButton, {}, box->visualRect(third).center());
    EXPECT_EQ(picked.count(), 1);
    EXPECT_EQ(box->selectedEntry(), QStringLiteral("2"));
    QTest::keyClick(box.get(), Qt::Key_Down);
    EXPECT_EQ(picked.count(), 2);
    EXPECT_EQ(box->selectedRow(), 3);
}

TEST(ListBox, AHeightForRowsShowsThatManyWholeEntriesBesideTheSidewaysScrollBar) {
    for (const Qt::ScrollBarPolicy policy : {Qt::ScrollBarAlwaysOff, Qt::ScrollBarAlwaysOn}) {
        widgets::ListBox box;
        box.setHorizontalScrollBarPolicy(policy);
        box.setEntries(numbered(10));
        box.resize(200, box.heightForRows(3));
        box.show();
        QApplication::processEvents();
        const QRect shown = box.viewport()->rect();
        EXPECT_TRUE(shown.contains(box.visualRect(box.model()->index(2, 0)))) << policy;
        EXPECT_FALSE(shown.contains(box.visualRect(box.model()->index(3, 0)))) << policy;
    }
}

} // namespace
