// PRINT GRAPH, PRINT DETAILS and SAVE DETAILS from the screen: the title prompt, the printed lines
// with their positions and fonts as the printer service recorded them, the chart picture on the
// page, and the saved report byte for byte.

#include "form1_fixture.h"

#include "analyser/messages.h"
#include "gui/platform/file_dialog.h"
#include "gui/platform/printer.h"
#include "gui/platform/title_prompt.h"

#include <QComboBox>
#include <QDir>
#include <QFileInfo>

#include <filesystem>

namespace {

using namespace kestrana::test::form1_support;
using kestrana::gui::platform::FileDialog;
using kestrana::gui::platform::HardCopyPrinter;
using kestrana::gui::platform::PrintedLine;
using kestrana::gui::platform::TitlePrompt;
using kestrana::platform::PrintFont;

const std::string kSection = "BHOPAL DOWN MAIN LIN";
const std::string kHeader = " Kmfr   Kmto   BLK    TGI     TGIU  TGIW  TGIG  TGIL";

const PrintedLine* lineWithText(const std::vector<PrintedLine>& lines, const std::string& text) {
    for (const PrintedLine& line : lines)
        if (line.text == text)
            return &line;
    return nullptr;
}

class Form1HardCopies : public Form1Test {
protected:
    form1* listed() {
        form1* screen = open();
        processToDetails(screen, writeRun("print.run", exampleRun()));
        return screen;
    }
};

TEST_F(Form1HardCopies, PrintGraphPutsTheChartAndTheFiguresOnOnePage) {
    form1* screen = open();
    process(screen, writeRun("graph.run", exampleRun()));
    type(screen->txtskm, "110");
    type(screen->txtekm, "100");
    click(screen->Command2);
    TitlePrompt::setNextText("Quarterly check");
    click(screen->Command7);

    ASSERT_EQ(TitlePrompt::shown().size(), 1U);
    EXPECT_EQ(TitlePrompt::shown()[0].prompt, " Enter Title ( if any ) to be printed on the hard copy");
    EXPECT_EQ(TitlePrompt::shown()[0].title, "Print Graph");
    EXPECT_EQ(TitlePrompt::shown()[0].defaultText, "  ");
    ASSERT_EQ(HardCopyPrinter::jobs().size(), 1U);
    const auto& job = HardCopyPrinter::jobs()[0];
    EXPECT_EQ(job.pageCount, 1);
    EXPECT_TRUE(QFileInfo::exists(job.pdfPath));
    EXPECT_TRUE(job.pdfPath.startsWith(q(std::string(qgetenv("KESTRANA_PRINT_TO")))));

    // The chart at (2400, 1000), no larger than the room above the figures at 7400.
    ASSERT_EQ(job.pictures.size(), 1U);
    EXPECT_EQ(job.pictures[0].x, 2400);
    EXPECT_EQ(job.pictures[0].y, 1000);
    EXPECT_GT(job.pictures[0].width, 3000);
    EXPECT_LE(1000 + job.pictures[0].height, 7400);

    const PrintedLine* heading = lineWithText(job.lines, "  Track Quality Distribution ");
    ASSERT_NE(heading, nullptr);
    EXPECT_EQ(heading->x, 3600);
    EXPECT_EQ(heading->y, 7400);
    EXPECT_EQ(heading->font, (PrintFont{12, true, false, false}));
    const PrintedLine* title = lineWithText(job.lines, "Quarterly check");
    ASSERT_NE(title, nullptr);
    EXPECT_EQ(title->x, 3000);
    EXPECT_GT(title->y, heading->y);
    EXPECT_EQ(title->font, (PrintFont{13, true, false, true}));
    const PrintedLine* run = lineWithText(job.lines, kSection + " Run Date : 040526");
    ASSERT_NE(run, nullptr);
    EXPECT_EQ(run->x, 3000);
    // The range as typed, not ordered.
    const PrintedLine* range = lineWithText(job.lines, " Quality Distribution between Km 110 to 100");
    ASSERT_NE(range, nullptr);
    EXPECT_EQ(range->font, (PrintFont{13, true, false, true}));
    const std::vector<std::string> figures = {
        " Track below TGI 36              =  30.00 %", " Track between TGI 36 - 50   =  30.00 %",
        " Track between TGI 51 - 80   =  00.00 %",     " Track above TGI 80              =  20.00 %",
        " Non Recorded Track            =  20.00 %",   " Average  TGI                         =  45.00"};
    int previousY = range->y;
    for (const std::string& text : figures) {
        const PrintedLine* figure = lineWithText(job.lines, text);
        ASSERT_NE(figure, nullptr) << text;
        EXPECT_EQ(figure->x, 3000) << text;
        EXPECT_GT(figure->y, previousY) << text;
        EXPECT_EQ(figure->font, (PrintFont{12, true, true, false})) << text;
        previousY = figure->y;
    }
    const PrintedLine& footer = job.lines.back();
    EXPECT_TRUE(footer.text.starts_with("Kestrana ( ")) << footer.text;
    EXPECT_TRUE(footer.text.ends_with(" ) ")) << footer.text;
    EXPECT_EQ(footer.x, 500);
    EXPECT_EQ(footer.font, (PrintFont{10, false, true, false}));

    EXPECT_FALSE(screen->Command7->isEnabled());
    ASSERT_EQ(messages().size(), 1);
    EXPECT_TRUE(messages()[0].contains(QDir::toNativeSeparators(job.pdfPath)));
}

TEST_F(Form1HardCopies, PrintDetailsPrintsTheListingShownWithTheIndexNameOfNow) {
    form1* screen = listed();
    // The index name is read again when printing; the bounds are those of the listing shown.
    type(screen->Text3, "5");
    screen->Combo1->setCurrentText("TGIW");
    TitlePrompt::setNextCancel();
    click(screen->Command5);

    ASSERT_EQ(TitlePrompt::shown().size(), 1U);
    EXPECT_EQ(TitlePrompt::shown()[0].title, "Print Details");
    ASSERT_EQ(HardCopyPrinter::jobs().size(), 1U);
    const std::vector<PrintedLine>& lines = HardCopyPrinter::jobs()[0].lines;
    const std::vector<std::string> rows = {expectedRow(101, 102, 1, 20, 10, 5, 7, 5),
                                           expectedRow(102, 103, 1, 20, 10, 5, 7, 5),
                                           expectedRow(103, 104, 1, 20, 10, 5, 7, 5)};
    const std::vector<std::string> expected = {"",
                                               "",
                                               kSection + "Run Date : 040526",
                                               "",
                                               " Lcations with TGIW between 1 and 35 ( Km 100 - 110 )",
                                               "",
                                               kHeader,
                                               "  ",
                                               rows[0],
                                               " ",
                                               rows[1],
                                               " ",
                                               rows[2],
                                               " "};
    std::vector<std::string> printed;
    for (const PrintedLine& line : lines)
        printed.push_back(line.text);
    EXPECT_EQ(printed, expected);
    // The cancelled prompt gives an empty title, printed at (1200, 500) bold, 11 points, underlined.
    EXPECT_EQ(lines[0].x, 1200);
    EXPECT_EQ(lines[0].y, 500);
    EXPECT_EQ(lines[0].font, (PrintFont{11, true, false, true}));
    EXPECT_EQ(lines[6].font, (PrintFont{11, true, false, false}));
    for (std::size_t i = 8; i < lines.size(); ++i) {
        EXPECT_EQ(lines[i].x, 1200);
        EXPECT_EQ(lines[i].font, (PrintFont{9, false, false, false}));
    }
    EXPECT_TRUE(screen->Command5->isEnabled());
}

TEST_F(Form1HardCopies, SaveDetailsWritesTheReportByteForByte) {
    form1* screen = listed();
    type(screen->txtskm, "110");
    type(screen->txtekm, "-3");
    click(screen->Command2); // the range as typed goes into the report
    FileDialog::setNextFileName(q(folder.file("details")));
    click(screen->Command10);
    ASSERT_EQ(FileDialog::shown().size(), 1U);
    EXPECT_EQ(FileDialog::shown()[0].kind, kestrana::gui::platform::FileDialogKind::Save);
    const std::string expected = kSection + "Run Date : 040526\r\n" + " km   110-3 \r\n" +
                                 "  TGI between 1 and 35\r\n" + "\r\n" + kHeader + "\r\n" +
                                 expectedRow(101, 102, 1, 20, 10, 5, 7, 5) + "\r\n" +
                                 expectedRow(102, 103, 1, 20, 10, 5, 7, 5) + "\r\n" +
                                 expectedRow(103, 104, 1, 20, 10, 5, 7, 5) + "\r\n";
    EXPECT_EQ(kestrana::test::readFile(folder.file("details.txt")), expected);
    EXPECT_TRUE(messages().isEmpty()) << s(messages().join("|"));

    // A name that already ends in .txt is used as it is, and the file is replaced whole.
    type(screen->Text3, "95");
    type(screen->Text4, "99");
    click(screen->Command3);
    FileDialog::setNextFileName(q(folder.file("details.txt")));
    click(screen->Command10);
    EXPECT_EQ(kestrana::test::readFile(folder.file("details.txt")),
              kSection + "Run Date : 040526\r\n km   110-3 \r\n  TGI between 95 and 99\r\n\r\n" + kHeader +
                  "\r\n");
    EXPECT_FALSE(kestrana::test::fileExists(folder.file("details.txt.txt")));
}

TEST_F(Form1HardCopies, SaveDetailsCancelledWritesNothing) {
    form1* screen = listed();
    const auto before = std::distance(std::filesystem::directory_iterator(folder.path()), {});
    FileDialog::setNextCancel();
    click(screen->Command10);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.path()), {}), before);
    EXPECT_FALSE(kestrana::test::fileExists(".txt"));
    EXPECT_TRUE(messages().isEmpty());
}

TEST_F(Form1HardCopies, SaveDetailsThatCannotWriteSaysSo) {
    form1* screen = listed();
    FileDialog::setNextFileName(q(folder.file("no-folder/details")));
    click(screen->Command10);
    ASSERT_EQ(messages().size(), 1);
    EXPECT_TRUE(messages()[0].startsWith(q(std::string(kestrana::analyser::kReportNotSavedMessage))))
        << s(messages()[0]);
    EXPECT_FALSE(kestrana::test::fileExists(folder.file("no-folder/details.txt")));
}

} // namespace
