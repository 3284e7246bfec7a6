// The comparator screen's COMPARE and what is made from it: the refusals, the listing with "NA" for
// a block a run lacks, the chart of kilometre averages, the value columns following the block
// column, the two hard copies as printed lines and SAVE DETAILS byte for byte.
#include "comparator_screen_fixture.h"

#include "gui/services/file_dialog.h"
#include "gui/services/hard_copy_printer.h"
#include "gui/services/title_prompt.h"
#include "gui/widgets/charts.h"

#include <QDir>

#include <algorithm>
#include <cstdio>
#include <tuple>

namespace {

using namespace kestrana::test;
using namespace kestrana::test::comparator_screen_support;
namespace bench = kestrana::bench;
using kestrana::gui::services::FileDialog;
using kestrana::gui::services::HardCopyPrinter;
using kestrana::gui::services::TitlePrompt;

// The block label as designed: km and next km with at least four digits, four blanks, a hyphen,
// three blanks, eight blanks before the block number.
std::string label(int km, int block) {
    char text[64];
    std::snprintf(text, sizeof text, "%04d    -   %04d        %d", km, km + 1, block);
    return text;
}

// The compared index (TGI, field 17) of a run's block of (km, km + 1), or "NA" when the run lacks it.
std::string cell(const bench::GeneratedRun& run, int km, int block) {
    for (const auto& row : run.blocks)
        if (row[1] == km && row[2] == km + 1 && row[4] == block)
            return std::to_string(row[16]);
    return "NA";
}

// Right-aligned in three characters; a longer text stays whole.
std::string at3(const std::string& text) {
    return std::string(3 - std::min<std::size_t>(3, text.size()), ' ') + text;
}

// Pads each item but the last to the next 14-character zone, at least one blank.
std::string zoned(const std::vector<std::string>& items) {
    std::string line;
    for (std::size_t i = 0; i < items.size(); ++i)
        line += items[i] +
                (i + 1 < items.size() ? std::string(14 - (line.size() + items[i].size()) % 14, ' ') : "");
    return line;
}

class ComparatorCompare : public ComparatorScreenTest {
protected:
    // Runs 0 and 1 over km 120 to 129, run 1 lacking block 3 of km 121; n = 1, compared over from-to.
    ComparatorScreen* compareTwoRuns(const std::string& from, const std::string& to) {
        runs.push_back(writeRun(0, slotRun(0)));
        bench::RunRecipe older = slotRun(1);
        older.missingBlocks = {{121, 3}};
        runs.push_back(writeRun(1, older));
        ComparatorScreen* screen = open();
        processAndType(screen, 1, from, to);
        click(screen->compareButton);
        return screen;
    }
    std::vector<bench::GeneratedRun> runs;
};

TEST_F(ComparatorCompare, ListsEveryBlockOfTheRangeWithNaWhereARunLacksIt) {
    ComparatorScreen* screen = compareTwoRuns("120", "125");
    EXPECT_EQ(MessageBox::shownTexts().size(), 2); // only the two slot messages
    EXPECT_EQ(screen->headingList->entries(), QStringList{QStringLiteral("From  -  To       Blk")});
    EXPECT_EQ(screen->runDateLists[0]->entries(), QStringList{QStringLiteral("120326")});
    EXPECT_EQ(screen->runDateLists[1]->entries(), QStringList{QStringLiteral("110325")});
    // Rising runs from 120 to 125: km 120 to 124, each with the next km, five blocks each.
    QStringList labels, run0, run1;
    for (int km = 120; km <= 124; ++km)
        for (int block = 1; block <= 5; ++block) {
            labels << q(label(km, block)) << QString();
            run0 << q(cell(runs[0], km, block)) << QString();
            run1 << q(cell(runs[1], km, block)) << QString();
        }
    EXPECT_EQ(screen->blockList->entries(), labels);
    EXPECT_EQ(screen->valueLists[0]->entries(), run0);
    EXPECT_EQ(screen->valueLists[1]->entries(), run1);
    EXPECT_EQ(screen->valueLists[1]->entry(2 * (5 + 2)), QStringLiteral("NA")); // km 121, block 3
    EXPECT_TRUE(screen->runDateLists[2]->entries().isEmpty() && screen->valueLists[2]->entries().isEmpty());
    for (QPushButton* made :
         {screen->printDetailsButton, screen->printGraphButton, screen->saveDetailsButton})
        EXPECT_TRUE(made->isEnabled());

    // The chart: one line per run named by its date, over both typed kms, each km with its blank.
    const auto& chart = *screen->comparisonChart;
    EXPECT_EQ(chart.categories(), (QStringList{" 120", " 121", " 122", " 123", " 124", " 125"}));
    ASSERT_EQ(chart.series().size(), 2u);
    EXPECT_EQ(chart.series()[0].name, QStringLiteral("120326"));
    EXPECT_EQ(chart.series()[1].name, QStringLiteral("110325"));
    EXPECT_TRUE(chart.legendShown());
    // Km 121: block 3 is missing in run 1, so it leaves both averages.
    for (std::size_t k = 0; k < 2; ++k) {
        ASSERT_EQ(chart.series()[k].values.size(), 6u);
        double sum = 0;
        for (int block : {1, 2, 4, 5})
            sum += std::stoi(cell(runs[k], 121, block));
        EXPECT_DOUBLE_EQ(chart.series()[k].values[1], sum / 4);
    }
}

TEST_F(ComparatorCompare, RangesOverHundredKmOrNotNumbersAreRefusedAndChangeNothing) {
    ComparatorScreen* screen = compareTwoRuns("120", "125");
    const QStringList listed = screen->blockList->entries();
    for (const auto& [from, to, message] : std::vector<std::tuple<std::string, std::string, QString>>{
             {"100", "201", "Range too wide. Please select range within 100 kms"},
             {"201", "100", "Range too wide. Please select range within 100 kms"},
             {"12O", "125", "Please type Km - From and Km - To as numbers between -32768 and 32767"}}) {
        MessageBox::reset();
        type(screen->kmRangeEdits[0], from);
        type(screen->kmRangeEdits[1], to);
        click(screen->compareButton);
        EXPECT_EQ(MessageBox::shownTexts(), QStringList{message});
        EXPECT_EQ(screen->blockList->entries(), listed);
    }
    // Exactly 100 km is accepted: km 100 to 199, five blocks each. Enter in a km box compares too.
    MessageBox::reset();
    type(screen->kmRangeEdits[0], "100");
    type(screen->kmRangeEdits[1], "200");
    QTest::keyClick(screen->kmRangeEdits[1], Qt::Key_Return);
    EXPECT_TRUE(MessageBox::shownTexts().isEmpty());
    EXPECT_EQ(screen->blockList->count(), 100 * 5 * 2);
}

TEST_F(ComparatorCompare, RunsInDifferentDirectionsAreRefusedWithTheListsEmptied) {
    writeRun(0, slotRun(0));
    bench::RunRecipe falling = slotRun(1);
    falling.startKm = 130;
    falling.direction = -1;
    writeRun(1, falling);
    ComparatorScreen* screen = open();
    processAndType(screen, 1, "120", "125");
    MessageBox::reset();
    click(screen->compareButton);
    EXPECT_EQ(MessageBox::shownTexts(),
              QStringList{QStringLiteral("Can not compare as both recordings not in same direction")});
    EXPECT_EQ(screen->headingList->entries(), QStringList{QStringLiteral("From  -  To       Blk")});
    EXPECT_EQ(screen->blockList->count() + screen->runDateLists[0]->count(), 0);
    EXPECT_FALSE(screen->printDetailsButton->isEnabled() || screen->printGraphButton->isEnabled());
}

TEST_F(ComparatorCompare, TheValueColumnsFollowTheBlockColumnWhenItScrolls) {
    writeRuns(3);
    ComparatorScreen* screen = open();
    processAndType(screen, 2, "120", "130");
    click(screen->compareButton);
    ASSERT_EQ(screen->blockList->count(), 100);

    screen->blockList->setTopIndex(40); // as the scroll bar's thumb dragged there
    ASSERT_EQ(screen->blockList->topIndex(), 40);
    for (int k = 0; k <= 2; ++k)
        EXPECT_EQ(screen->valueLists[k]->topIndex(), 40) << k;
    screen->blockList->setFocus();
    QTest::keyClick(screen->blockList, Qt::Key_End);
    const int bottom = screen->blockList->topIndex();
    EXPECT_GT(bottom, 40);
    for (int k = 0; k <= 2; ++k)
        EXPECT_EQ(screen->valueLists[k]->topIndex(), bottom) << k;
    // The coupling runs one way only.
    screen->valueLists[1]->setTopIndex(0);
    EXPECT_EQ(screen->blockList->topIndex(), bottom);
}

TEST_F(ComparatorCompare, PrintDetailsPrintsTheHeadingsAndEveryListingLine) {
    ComparatorScreen* screen = compareTwoRuns("120", "122");
    TitlePrompt::setNextText(QStringLiteral("Rail Track Survey"));
    click(screen->printDetailsButton);

    ASSERT_EQ(TitlePrompt::shown().size(), 1u);
    EXPECT_EQ(TitlePrompt::shown()[0].prompt,
              QStringLiteral(" Enter Title ( if any ) to be printed on the hard copy"));
    EXPECT_EQ(TitlePrompt::shown()[0].title, QStringLiteral("Print Details"));
    EXPECT_EQ(TitlePrompt::shown()[0].defaultText, QStringLiteral("  "));
    ASSERT_EQ(HardCopyPrinter::jobs().size(), 1u);
    const auto& job = HardCopyPrinter::jobs()[0];
    std::vector<std::string> expected = {"Rail Track Survey",
                                         "",
                                         "NAGPUR - WARDHA UP MAIN LINE ( Km 120 to 122 ) ",
                                         "",
                                         " Comparision of TRC runs ( TGI )",
                                         "",
                                         "From  -  To       Blk   120326   110325",
                                         " "};
    for (int km = 120; km <= 121; ++km)
        for (int block = 1; block <= 5; ++block) {
            expected.push_back(label(km, block) + std::string(8, ' ') + at3(cell(runs[0], km, block)) +
                               std::string(10, ' ') + at3(cell(runs[1], km, block)));
            expected.push_back(std::string(24, ' '));
        }
    EXPECT_EQ(job.texts(), expected);
    EXPECT_FALSE(job.landscape);
}

TEST_F(ComparatorCompare, PrintGraphPutsTheChartAboveTheHeadingsAcrossThePage) {
    ComparatorScreen* screen = compareTwoRuns("120", "125");
    TitlePrompt::setNextText(QStringLiteral("Thirteen char")); // 13 characters: printed from x 5600
    click(screen->printGraphButton);

    ASSERT_EQ(TitlePrompt::shown().size(), 1u);
    EXPECT_EQ(TitlePrompt::shown()[0].title, QStringLiteral("Print Comparision Graph "));
    ASSERT_EQ(HardCopyPrinter::jobs().size(), 1u);
    const auto& job = HardCopyPrinter::jobs()[0];
    EXPECT_TRUE(job.landscape);
    ASSERT_EQ(job.pictures.size(), 1u);
    EXPECT_EQ(std::make_pair(job.pictures[0].x, job.pictures[0].y), std::make_pair(10, 1850));
    EXPECT_LE(job.pictures[0].y + job.pictures[0].height, 6000); // above the heading
    EXPECT_GT(job.pictures[0].width, 3000);
    // The texts as the screen shows them: the parameter, the section and the km boxes, the title.
    const auto texts = job.texts();
    ASSERT_GE(texts.size(), 6u);
    EXPECT_EQ(
        std::vector<std::string>(texts.begin() + 1, texts.begin() + 6),
        (std::vector<std::string>{" Comparision of TRC RUNs ( TGI ) ", "",
                                  "NAGPUR - WARDHA UP MAIN LINE ( Km 120  to 125 )", "", "Thirteen char"}));
}

TEST_F(ComparatorCompare, SaveDetailsWritesTheListingByteForByteAndACancelWritesNothing) {
    ComparatorScreen* screen = compareTwoRuns("120", "121");
    const std::string folder = home + "/reports";
    std::filesystem::create_directories(folder);

    FileDialog::setNextFileName(QDir::toNativeSeparators(q(folder + "/comparison")));
    click(screen->saveDetailsButton);
    std::string expected = "NAGPUR - WARDHA UP MAIN LINE\r\n" +
                           zoned({"From  -  To       Blk", "120326", "110325", "", ""}) + "\r\n";
    for (int block = 1; block <= 5; ++block)
        expected +=
            zoned({label(120, block), cell(runs[0], 120, block), cell(runs[1], 120, block), "", ""}) + "\r\n";
    EXPECT_EQ(readFile(folder + "/comparison.txt"), expected);

    // A name that already ends in .txt is used as it is; a cancel writes nothing.
    FileDialog::setNextFileName(q(folder + "/named.txt"));
    click(screen->saveDetailsButton);
    FileDialog::setNextCancel();
    click(screen->saveDetailsButton);
    std::vector<std::string> files;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        files.push_back(entry.path().filename().string());
    std::sort(files.begin(), files.end());
    EXPECT_EQ(files, (std::vector<std::string>{"comparison.txt", "named.txt"}));
    EXPECT_EQ(MessageBox::shownTexts().size(), 2); // the slot messages only
}

} // namespace
