// PRINT GRAPH, PRINT DETAILS and SAVE DETAILS from the screen: the title prompt, the printed lines
// as the printer service recorded them, the chart picture on the page, and the saved report byte
// for byte. (Every position and font of the two pages is checked on the core's scripts.)

#include "analyser_screen_fixture.h"

#include "core/analyser/messages.h"
#include "gui/services/file_dialog.h"
#include "gui/services/hard_copy_printer.h"
#include "gui/services/title_prompt.h"

#include <QComboBox>
#include <QDir>
#include <QFileInfo>

#include <filesystem>

namespace {

using namespace kestrana::test::analyser_screen_support;
using kestrana::gui::services::FileDialog;
using kestrana::gui::services::HardCopyPrinter;
using kestrana::gui::services::TitlePrompt;
using kestrana::platform::PrintFont;
using Texts = std::vector<std::string>;

const std::string kHeading = "BHOPAL DOWN MAIN LINRun Date : 040526";
const std::string kHeader = " Kmfr   Kmto   BLK    TGI     TGIU  TGIW  TGIG  TGIL";
const Texts kRows = {expectedRow(101, 102, 1, 20, 10, 5, 7, 5), expectedRow(102, 103, 1, 20, 10, 5, 7, 5),
                     expectedRow(103, 104, 1, 20, 10, 5, 7, 5)};

class AnalyserScreenHardCopies : public AnalyserScreenTest {
protected:
    AnalyserScreen* listed() {
        AnalyserScreen* screen = open();
        processToDetails(screen, writeRun("print.run", exampleRun()));
        return screen;
    }
    std::size_t filesInFolder() const {
        return static_cast<std::size_t>(
            std::distance(std::filesystem::directory_iterator(folder.path()), {}));
    }
};

TEST_F(AnalyserScreenHardCopies, PrintGraphPutsTheChartAndTheFiguresOnOnePage) {
    AnalyserScreen* screen = open();
    process(screen, writeRun("graph.run", exampleRun()));
    type(screen->startKmEdit, "110");
    type(screen->endKmEdit, "100");
    click(screen->processInformationButton);
    TitlePrompt::setNextText("Quarterly check");
    click(screen->printGraphButton);

    ASSERT_EQ(TitlePrompt::shown().size(), 1U);
    EXPECT_EQ(TitlePrompt::shown()[0].prompt, " Enter Title ( if any ) to be printed on the hard copy");
    EXPECT_EQ(TitlePrompt::shown()[0].title, "Print Graph");
    EXPECT_EQ(TitlePrompt::shown()[0].defaultText, "  ");
    ASSERT_EQ(HardCopyPrinter::jobs().size(), 1U);
    const auto& job = HardCopyPrinter::jobs()[0];
    EXPECT_EQ(job.pageCount, 1);
    EXPECT_TRUE(QFileInfo::exists(job.pdfPath));
    ASSERT_EQ(messages().size(), 1);
    EXPECT_TRUE(messages()[0].contains(QDir::toNativeSeparators(job.pdfPath)));

    // The chart at (2400, 1000), no larger than the room above the figures at 7400.
    ASSERT_EQ(job.pictures.size(), 1U);
    EXPECT_EQ(std::make_pair(job.pictures[0].x, job.pictures[0].y), std::make_pair(2400, 1000));
    EXPECT_GT(job.pictures[0].width, 3000);
    EXPECT_LE(1000 + job.pictures[0].height, 7400);

    // The lines that carry the screen's figures; the page's whole layout is checked on the core's script.
    const Texts texts = job.texts();
    ASSERT_EQ(texts.size(), 28U);
    EXPECT_EQ(texts[2], "  Track Quality Distribution ");
    EXPECT_EQ(texts[7], "Quarterly check");
    EXPECT_EQ(texts[9], "BHOPAL DOWN MAIN LIN Run Date : 040526");
    EXPECT_EQ(texts[11], " Quality Distribution between Km 110 to 100"); // as typed, not ordered
    EXPECT_EQ((Texts{texts[13], texts[15], texts[17], texts[19], texts[21], texts[23]}),
              (Texts{" Track below TGI 36              =  30.00 %", " Track between TGI 36 - 50   =  30.00 %",
                     " Track between TGI 51 - 80   =  00.00 %", " Track above TGI 80              =  20.00 %",
                     " Non Recorded Track            =  20.00 %",
                     " Average  TGI                         =  45.00"}));
    EXPECT_TRUE(texts.back().starts_with("Kestrana ( ")) << texts.back();
    EXPECT_EQ(std::make_pair(job.lines[2].x, job.lines[2].y), std::make_pair(3600, 7400));
    EXPECT_EQ(job.lines[2].font, (PrintFont{12, true, false, false}));
    EXPECT_EQ(job.lines[13].x, 3000);
    EXPECT_GT(job.lines[13].y, job.lines[11].y);
    EXPECT_EQ(job.lines[13].font, (PrintFont{12, true, true, false}));
    EXPECT_FALSE(screen->printGraphButton->isEnabled());
}

TEST_F(AnalyserScreenHardCopies, PrintDetailsPrintsTheListingShownWithTheIndexNameOfNow) {
    AnalyserScreen* screen = listed();
    // The index name is read again when printing; the bounds are those of the listing shown.
    type(screen->lowTgiEdit, "5");
    screen->indexCombo->setCurrentText("TGIW");
    TitlePrompt::setNextCancel();
    click(screen->printDetailsButton);

    ASSERT_EQ(TitlePrompt::shown().size(), 1U);
    EXPECT_EQ(TitlePrompt::shown()[0].title, "Print Details");
    ASSERT_EQ(HardCopyPrinter::jobs().size(), 1U);
    const auto& job = HardCopyPrinter::jobs()[0];
    // The cancelled prompt gives an empty title; each row is followed by its one-blank separator.
    EXPECT_EQ(job.texts(),
              (Texts{"", "", kHeading, "", " Lcations with TGIW between 1 and 35 ( Km 100 - 110 )", "",
                     kHeader, "  ", kRows[0], " ", kRows[1], " ", kRows[2], " "}));
    EXPECT_EQ(std::make_pair(job.lines[0].x, job.lines[0].y), std::make_pair(1200, 500));
    EXPECT_EQ(job.lines[8].x, 1200);
    EXPECT_EQ(job.lines[8].font, (PrintFont{9, false, false, false}));
    EXPECT_TRUE(screen->printDetailsButton->isEnabled());
}

TEST_F(AnalyserScreenHardCopies, SaveDetailsWritesTheReportByteForByte) {
    AnalyserScreen* screen = listed();
    type(screen->startKmEdit, "110");
    type(screen->endKmEdit, "-3");
    click(screen->processInformationButton); // the range as typed goes into the report
    FileDialog::setNextFileName(q(folder.file("details")));
    click(screen->saveDetailsButton);
    ASSERT_EQ(FileDialog::shown().size(), 1U);
    EXPECT_EQ(FileDialog::shown()[0].kind, kestrana::gui::services::FileDialogKind::Save);
    const std::string heading = kHeading + "\r\n km   110-3 \r\n";
    EXPECT_EQ(kestrana::test::readFile(folder.file("details.txt")),
              heading + "  TGI between 1 and 35\r\n\r\n" + kHeader + "\r\n" + kRows[0] + "\r\n" + kRows[1] +
                  "\r\n" + kRows[2] + "\r\n");
    EXPECT_TRUE(messages().isEmpty()) << s(messages().join("|"));

    // A name that already ends in .txt is used as it is, and the file is replaced whole.
    type(screen->lowTgiEdit, "95");
    type(screen->highTgiEdit, "99");
    click(screen->showDetailsButton);
    FileDialog::setNextFileName(q(folder.file("details.txt")));
    click(screen->saveDetailsButton);
    EXPECT_EQ(kestrana::test::readFile(folder.file("details.txt")),
              heading + "  TGI between 95 and 99\r\n\r\n" + kHeader + "\r\n");
    EXPECT_FALSE(kestrana::test::fileExists(folder.file("details.txt.txt")));
}

TEST_F(AnalyserScreenHardCopies, SaveDetailsCancelledWritesNothingAndAFailureSaysSo) {
    AnalyserScreen* screen = listed();
    const std::size_t before = filesInFolder();
    FileDialog::setNextCancel();
    click(screen->saveDetailsButton);
    EXPECT_EQ(filesInFolder(), before);
    EXPECT_FALSE(kestrana::test::fileExists(".txt"));
    EXPECT_TRUE(messages().isEmpty());

    FileDialog::setNextFileName(q(folder.file("no-folder/details")));
    click(screen->saveDetailsButton);
    ASSERT_EQ(messages().size(), 1);
    EXPECT_TRUE(messages()[0].startsWith(q(kestrana::analyser::kReportNotSavedMessage))) << s(messages()[0]);
    EXPECT_FALSE(kestrana::test::fileExists(folder.file("no-folder/details.txt")));
}

} // namespace
