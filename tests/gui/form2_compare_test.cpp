// The comparator screen's COMPARE and what is made from it: the refusals, the listing with "NA" for
// a block a run lacks, the chart of kilometre averages, the value columns following the block
// column, the two hard copies as printed lines and SAVE DETAILS byte for byte.
#include "form2_fixture.h"

#include "gui/platform/charts.h"
#include "gui/platform/file_dialog.h"
#include "gui/platform/printer.h"
#include "gui/platform/title_prompt.h"

#include <QDir>

#include <cstdio>
#include <optional>

namespace {

using namespace kestrana::test;
using namespace kestrana::test::form2_support;
namespace bench = kestrana::bench;
using kestrana::gui::platform::FileDialog;
using kestrana::gui::platform::HardCopyPrinter;
using kestrana::gui::platform::MessageBox;
using kestrana::gui::platform::TitlePrompt;

// The block label as the listing is designed: km and next km with at least four digits, four blanks,
// a hyphen, three blanks, eight blanks before the block number.
std::string label(int km, int nextKm, int block) {
    char text[64];
    std::snprintf(text, sizeof text, "%04d    -   %04d        %d", km, nextKm, block);
    return text;
}

// The compared index (TGI, field 17) of a run's block, or nothing when the run lacks the block.
std::optional<int> tgiOf(const bench::GeneratedRun& run, int km, int nextKm, int block) {
    for (const auto& row : run.blocks)
        if (row[1] == km && row[2] == nextKm && row[4] == block)
            return row[16];
    return std::nullopt;
}

std::string cell(const std::optional<int>& value) {
    return value ? std::to_string(*value) : std::string("NA");
}

// Right-aligned in three characters; a longer text stays whole.
std::string at3(const std::string& text) {
    return text.size() >= 3 ? text : std::string(3 - text.size(), ' ') + text;
}

// Pads to the next 14-character zone, at least one blank.
std::string zoned(std::vector<std::string> items) {
    std::string line;
    for (std::size_t i = 0; i < items.size(); ++i) {
        line += items[i];
        if (i + 1 < items.size())
            line += std::string(14 - line.size() % 14, ' ');
    }
    return line;
}

class ComparatorCompare : public ComparatorScreen {
protected:
    // Runs 0 and 1 over km 120 to 129; run 1 lacks block 3 of km 121.
    void writeTwoRuns() {
        runs.push_back(writeRun(0, slotRun(0)));
        bench::RunSpec older = slotRun(1);
        older.missingBlocks = {{121, 3}};
        runs.push_back(writeRun(1, older));
    }
    std::vector<bench::GeneratedRun> runs;
};

TEST_F(ComparatorCompare, ListsEveryBlockOfTheRangeWithNaWhereARunLacksIt) {
    writeTwoRuns();
    form2* screen = open();
    processAndType(screen, 1, "120", "125");
    click(screen->Command1);
    EXPECT_EQ(MessageBox::shownTexts().size(), 2); // only the two slot messages

    EXPECT_EQ(entries(screen->List3), QStringList{QStringLiteral("From  -  To       Blk")});
    EXPECT_EQ(entries(screen->List1[0]), QStringList{QStringLiteral("120326")});
    EXPECT_EQ(entries(screen->List1[1]), QStringList{QStringLiteral("110325")});
    EXPECT_TRUE(entries(screen->List1[2]).isEmpty());
    // Rising runs from 120 to 125: km 120 to 124, each with the next km, five blocks each.
    QStringList labels, run0, run1;
    for (int km = 120; km <= 124; ++km)
        for (int block = 1; block <= 5; ++block) {
            labels << q(label(km, km + 1, block)) << QString();
            run0 << q(cell(tgiOf(runs[0], km, km + 1, block))) << QString();
            run1 << q(cell(tgiOf(runs[1], km, km + 1, block))) << QString();
        }
    EXPECT_EQ(entries(screen->List4), labels);
    EXPECT_EQ(entries(screen->List2[0]), run0);
    EXPECT_EQ(entries(screen->List2[1]), run1);
    EXPECT_EQ(screen->List2[1]->entry(2 * (5 + 2)), QStringLiteral("NA")); // km 121, block 3
    EXPECT_TRUE(entries(screen->List2[2]).isEmpty());
    EXPECT_TRUE(screen->Command3->isEnabled());
    EXPECT_TRUE(screen->Command5->isEnabled());
    EXPECT_TRUE(screen->Command7->isEnabled());
}

TEST_F(ComparatorCompare, TheChartHasOneLinePerRunNamedByItsDateOverTheKmsOfTheRange) {
    writeTwoRuns();
    form2* screen = open();
    processAndType(screen, 1, "120", "125");
    click(screen->Command1);
    const auto& chart = *screen->MSChart1;
    // The chart takes both typed kms: 120 to 125, each km as text with its leading blank.
    EXPECT_EQ(chart.categories(), (QStringList{" 120", " 121", " 122", " 123", " 124", " 125"}));
    ASSERT_EQ(chart.series().size(), 2u);
    EXPECT_EQ(chart.series()[0].name, QStringLiteral("120326"));
    EXPECT_EQ(chart.series()[1].name, QStringLiteral("110325"));
    for (const auto& run : chart.series())
        EXPECT_EQ(run.values.size(), 6u);
    EXPECT_TRUE(chart.legendShown());
    // Km 121: block 3 is missing in run 1, so it leaves both averages.
    double sum0 = 0, sum1 = 0;
    for (int block : {1, 2, 4, 5}) {
        sum0 += *tgiOf(runs[0], 121, 122, block);
        sum1 += *tgiOf(runs[1], 121, 122, block);
    }
    EXPECT_DOUBLE_EQ(chart.series()[0].values[1], sum0 / 4);
    EXPECT_DOUBLE_EQ(chart.series()[1].values[1], sum1 / 4);
}

TEST_F(ComparatorCompare, ARangeOverHundredKmIsRefusedEitherWayAndChangesNothing) {
    writeTwoRuns();
    form2* screen = open();
    processAndType(screen, 1, "120", "125");
    click(screen->Command1);
    const QStringList listed = entries(screen->List4);
    for (const auto& [from, to] :
         std::vector<std::pair<std::string, std::string>>{{"100", "201"}, {"201", "100"}}) {
        MessageBox::reset();
        type(screen->Text2[0], from);
        type(screen->Text2[1], to);
        click(screen->Command1);
        EXPECT_EQ(MessageBox::shownTexts(),
                  QStringList{"Range too wide. Please select range within 100 kms"});
        EXPECT_EQ(entries(screen->List4), listed);
    }
    // Exactly 100 km is accepted: km 100 to 199, five blocks each. Enter in a km box compares too.
    MessageBox::reset();
    type(screen->Text2[0], "100");
    type(screen->Text2[1], "200");
    QTest::keyClick(screen->Text2[1], Qt::Key_Return);
    EXPECT_TRUE(MessageBox::shownTexts().isEmpty());
    EXPECT_EQ(screen->List4->count(), 100 * 5 * 2);
}

TEST_F(ComparatorCompare, RunsInDifferentDirectionsAreRefusedWithTheListsEmptied) {
    writeRun(0, slotRun(0));
    bench::RunSpec falling = slotRun(1);
    falling.startKm = 130;
    falling.direction = -1;
    writeRun(1, falling);
    form2* screen = open();
    processAndType(screen, 1, "120", "125");
    MessageBox::reset();
    click(screen->Command1);
    EXPECT_EQ(MessageBox::shownTexts(),
              QStringList{QStringLiteral("Can not compare as both recordings not in same direction")});
    EXPECT_EQ(entries(screen->List3), QStringList{QStringLiteral("From  -  To       Blk")});
    EXPECT_EQ(screen->List4->count(), 0);
    EXPECT_EQ(screen->List1[0]->count(), 0);
    EXPECT_FALSE(screen->Command3->isEnabled());
    EXPECT_FALSE(screen->Command5->isEnabled());
}

TEST_F(ComparatorCompare, AKmBoxThatHoldsNoNumberIsRefusedBeforeTheListing) {
    writeTwoRuns();
    form2* screen = open();
    processAndType(screen, 1, "12O", "125");
    MessageBox::reset();
    click(screen->Command1);
    ASSERT_EQ(MessageBox::shownTexts().size(), 1);
    EXPECT_TRUE(MessageBox::shownTexts()[0].startsWith(QStringLiteral("Please type Km - From and Km - To")));
    EXPECT_EQ(screen->List3->count(), 0);
    EXPECT_FALSE(screen->Command3->isEnabled());
}

TEST_F(ComparatorCompare, TheValueColumnsFollowTheBlockColumnWhenItScrolls) {
    writeRuns(3);
    form2* screen = open();
    processAndType(screen, 2, "120", "130");
    click(screen->Command1);
    ASSERT_EQ(screen->List4->count(), 100);

    screen->List4->setTopIndex(40); // as the scroll bar's thumb dragged there
    ASSERT_EQ(screen->List4->topIndex(), 40);
    for (int k = 0; k <= 2; ++k)
        EXPECT_EQ(screen->List2[k]->topIndex(), 40) << k;

    screen->List4->setFocus();
    QTest::keyClick(screen->List4, Qt::Key_End);
    const int bottom = screen->List4->topIndex();
    EXPECT_GT(bottom, 40);
    for (int k = 0; k <= 2; ++k)
        EXPECT_EQ(screen->List2[k]->topIndex(), bottom) << k;
    // The coupling runs one way only.
    screen->List2[1]->setTopIndex(0);
    EXPECT_EQ(screen->List4->topIndex(), bottom);
}

TEST_F(ComparatorCompare, PrintDetailsPrintsTheHeadingsAndEveryListingLine) {
    writeTwoRuns();
    form2* screen = open();
    processAndType(screen, 1, "120", "122");
    click(screen->Command1);
    TitlePrompt::setNextText(QStringLiteral("Rail Track Survey"));
    click(screen->Command3);

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
            expected.push_back(label(km, km + 1, block) + std::string(8, ' ') +
                               at3(cell(tgiOf(runs[0], km, km + 1, block))) + std::string(10, ' ') +
                               at3(cell(tgiOf(runs[1], km, km + 1, block))));
            expected.push_back(std::string(8, ' ') + "   " + std::string(10, ' ') + "   ");
        }
    EXPECT_EQ(job.texts(), expected);
    // The title: bold, underlined, 11 points, at x 1400 and y 600; the rows in 9 points.
    EXPECT_EQ(job.lines[0].x, 1400);
    EXPECT_EQ(job.lines[0].y, 600);
    EXPECT_TRUE(job.lines[0].font.bold && job.lines[0].font.underline);
    EXPECT_EQ(job.lines[0].font.size, 11.0);
    EXPECT_EQ(job.lines[8].x, 1400);
    EXPECT_EQ(job.lines[8].font.size, 9.0);
    EXPECT_FALSE(job.lines[8].font.bold);
    EXPECT_FALSE(job.landscape);
}

TEST_F(ComparatorCompare, PrintGraphPutsTheChartAboveTheHeadingsAcrossThePage) {
    writeTwoRuns();
    form2* screen = open();
    processAndType(screen, 1, "120", "125");
    click(screen->Command1);
    TitlePrompt::setNextText(QStringLiteral("Thirteen char")); // 13 characters: printed from x 5600
    click(screen->Command5);

    ASSERT_EQ(TitlePrompt::shown().size(), 1u);
    EXPECT_EQ(TitlePrompt::shown()[0].title, QStringLiteral("Print Comparision Graph "));
    ASSERT_EQ(HardCopyPrinter::jobs().size(), 1u);
    const auto& job = HardCopyPrinter::jobs()[0];
    EXPECT_TRUE(job.landscape);
    ASSERT_EQ(job.pictures.size(), 1u);
    EXPECT_EQ(job.pictures[0].x, 10);
    EXPECT_EQ(job.pictures[0].y, 1850);
    // The picture ends above the heading at 6000 twips.
    EXPECT_LE(job.pictures[0].y + job.pictures[0].height, 6000);
    EXPECT_GT(job.pictures[0].width, 3000);
    const auto texts = job.texts();
    ASSERT_GE(texts.size(), 6u);
    EXPECT_EQ(texts[1], " Comparision of TRC RUNs ( TGI ) ");
    EXPECT_EQ(job.lines[1].x, 4500);
    EXPECT_EQ(job.lines[1].y, 6000);
    EXPECT_EQ(texts[3], "NAGPUR - WARDHA UP MAIN LINE ( Km 120  to 125 )");
    EXPECT_EQ(texts[5], "Thirteen char");
    EXPECT_EQ(job.lines[5].x, 5600);
    EXPECT_TRUE(texts.back().starts_with(" Kestrana ( "));
    EXPECT_TRUE(job.lines.back().font.italic);
}

TEST_F(ComparatorCompare, SaveDetailsWritesTheListingByteForByteAndACancelWritesNothing) {
    writeTwoRuns();
    form2* screen = open();
    processAndType(screen, 1, "120", "121");
    click(screen->Command1);
    const std::string folder = home + "/reports";
    std::filesystem::create_directories(folder);

    FileDialog::setNextFileName(QDir::toNativeSeparators(q(folder + "/comparison")));
    click(screen->Command7);
    std::string expected = "NAGPUR - WARDHA UP MAIN LINE\r\n" +
                           zoned({"From  -  To       Blk", "120326", "110325", "", ""}) + "\r\n";
    for (int block = 1; block <= 5; ++block)
        expected += zoned({label(120, 121, block), cell(tgiOf(runs[0], 120, 121, block)),
                           cell(tgiOf(runs[1], 120, 121, block)), "", ""}) +
                    "\r\n";
    EXPECT_EQ(readFile(folder + "/comparison.txt"), expected);

    // A name that already ends in .txt is used as it is.
    FileDialog::setNextFileName(q(folder + "/named.txt"));
    click(screen->Command7);
    EXPECT_TRUE(fileExists(folder + "/named.txt"));
    EXPECT_FALSE(fileExists(folder + "/named.txt.txt"));

    FileDialog::setNextCancel();
    click(screen->Command7);
    std::size_t files = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(folder))
        ++files;
    EXPECT_EQ(files, 2u);
    EXPECT_TRUE(MessageBox::shownTexts().size() == 2); // the slot messages only
}

} // namespace
