// The printer service: lines at the scripted positions and fonts, one line height down after each,
// long listings over new pages, pictures at their natural size, PDFs whose place is reported.
#include "gui/services/hard_copy_printer.h"
#include "gui/services/message_box.h"
#include "gui_test_support.h"
#include "support/test_support.h"

#include "core/platform/hard_copy.h"

#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

namespace services = kestrana::gui::services;
using kestrana::platform::HardCopyScript;
using services::HardCopyPrinter;
using services::MessageBox;

namespace {

// A4 is 11.69 inches high; lines stop half an inch above its lower edge.
constexpr int kFootTwips = 16838 - 720;

QPixmap chartPicture(int width, int height) {
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter(&image).fillRect(10, 10, width / 2, height / 2, Qt::blue);
    return QPixmap::fromImage(image);
}

// Prints the script and returns its one document.
services::PrintJob printedJob(const HardCopyScript& script, const QPixmap& picture = QPixmap(),
                              const services::PrintOptions& options = {}) {
    EXPECT_TRUE(HardCopyPrinter::print(nullptr, script, picture, options));
    EXPECT_EQ(HardCopyPrinter::jobs().size(), 1u);
    return HardCopyPrinter::jobs().empty() ? services::PrintJob{} : HardCopyPrinter::jobs().front();
}

QString absolute(const std::string& folder) {
    return QDir(QString::fromStdString(folder)).absolutePath();
}

} // namespace

TEST(Printer, LinesLandAtTheScriptedPositionsAndMoveDownOneLineHeightOfTheirFont) {
    HardCopyScript script;
    script.setBold(true);
    script.setFontSize(11);
    script.setUnderline(true);
    script.setPosition(1400, 600);
    script.printLine("Up main line");
    script.printLine("");
    script.printLineAt(1400, "NAGPUR - WARDHA ( Km 120 to 130 ) ");
    script.setUnderline(false);
    script.setFontSize(16.5);
    script.printLine("a");
    script.printLine("b");
    script.endDoc();
    const services::PrintJob job = printedJob(script);
    const auto& lines = job.lines;
    ASSERT_EQ(lines.size(), 5u);
    EXPECT_EQ(lines[0].text, "Up main line");
    EXPECT_EQ(std::vector<int>({lines[0].x, lines[1].x, lines[2].x, lines[3].x}),
              std::vector<int>({1400, 0, 1400, 0})); // back at the left edge after each line
    EXPECT_EQ(lines[0].y, 600);
    EXPECT_EQ(lines[0].font, (kestrana::platform::PrintFont{11, true, false, true}));
    EXPECT_FALSE(lines[3].font.underline);
    // An 11 point line is 220 twips of type plus its leading; a 16.5 point one half as much again.
    const int small = lines[1].y - lines[0].y;
    EXPECT_GE(small, 220);
    EXPECT_LE(small, 320);
    EXPECT_NEAR(lines[2].y - lines[1].y, small, 1);
    EXPECT_NEAR(static_cast<double>(lines[4].y - lines[3].y) / small, 1.5, 0.15);
    EXPECT_EQ(job.pageCount, 1);
}

TEST(Printer, WritesAPdfIntoThePrintFolderAndSaysWhereItWent) {
    kestrana::test::TempFolder folder;
    kestrana::test::ScopedEnv printTo("KESTRANA_PRINT_TO", folder.file("out"));
    HardCopyScript script;
    script.printLineAt(1200, " Kmfr   Kmto   BLK    TGI     TGIU  TGIW  TGIG  TGIL");
    script.endDoc();
    const QString pdf = printedJob(script, QPixmap(), {false, QStringLiteral("Print Details")}).pdfPath;
    EXPECT_EQ(QFileInfo(pdf).absolutePath(), absolute(folder.file("out")));
    EXPECT_TRUE(QFileInfo(pdf).fileName().startsWith(QStringLiteral("print-details-")));
    EXPECT_EQ(kestrana::test::readFile(pdf.toStdString()).substr(0, 5), "%PDF-");
    // Nothing but the finished file is left in the folder (no temporary file).
    EXPECT_EQ(QDir(absolute(folder.file("out"))).entryList(QDir::Files).size(), 1);
    EXPECT_EQ(MessageBox::shownTexts(),
              QStringList{QStringLiteral("The hard copy was saved as ") + QDir::toNativeSeparators(pdf)});

    // A second copy in the same second gets a name of its own.
    ASSERT_TRUE(HardCopyPrinter::print(nullptr, script, QPixmap(), {false, QStringLiteral("Print Details")}));
    ASSERT_EQ(HardCopyPrinter::jobs().size(), 2u);
    EXPECT_NE(HardCopyPrinter::jobs()[1].pdfPath, pdf);

    // A folder named relative to where the program was started is reported as a whole path; without
    // a folder named, PDFs go into the home's prints folder.
    kestrana::test::ScopedEnv relative("KESTRANA_PRINT_TO", "prints here");
    EXPECT_EQ(HardCopyPrinter::pdfFolder(), QDir::current().absoluteFilePath(QStringLiteral("prints here")));
    qunsetenv("KESTRANA_PRINT_TO");
    kestrana::test::ScopedEnv home("KESTRANA_HOME", folder.path());
    EXPECT_EQ(HardCopyPrinter::pdfFolder(), absolute(folder.file("prints")));
}

TEST(Printer, ALongListingGoesOnAtTheTopOfNewPagesWithoutPassingTheFoot) {
    HardCopyScript script;
    script.setY(600);
    script.printLineAt(900, "KMF   KMT      L1      P1");
    script.setFontSize(9);
    for (int row = 0; row < 150; ++row) {
        script.printLineAt(900, "0120  0121    0350  18");
        script.printLineAt(900, " ");
    }
    script.endDoc();
    const services::PrintJob job = printedJob(script);
    ASSERT_EQ(job.lines.size(), 301u);
    EXPECT_GE(job.pageCount, 2);
    int lastPage = 1;
    for (const services::PrintedLine& line : job.lines) {
        EXPECT_LT(line.y, kFootTwips);
        if (line.page != lastPage) {
            EXPECT_EQ(line.page, lastPage + 1);
            EXPECT_EQ(line.y, 720); // the top of the new page; the header is not repeated
            lastPage = line.page;
        }
    }
    EXPECT_EQ(lastPage, job.pageCount);
}

TEST(Printer, BlankLinesPastTheFootLeaveNoEmptyPageAndABlankDocumentIsNotSent) {
    HardCopyScript script;
    script.setY(kFootTwips - 300);
    script.printLine("last row");
    for (int i = 0; i < 10; ++i)
        script.printLine(" ");
    script.endDoc();
    EXPECT_EQ(printedJob(script).pageCount, 1);

    HardCopyPrinter::reset();
    HardCopyScript blank;
    blank.setPosition(1400, 600);
    blank.printLine("");
    blank.printLine("   ");
    blank.endDoc();
    EXPECT_TRUE(HardCopyPrinter::print(nullptr, blank));
    EXPECT_TRUE(HardCopyPrinter::jobs().empty());
}

TEST(Printer, APictureKeepsItsNaturalSizeUnlessItWouldLeaveThePaper) {
    HardCopyScript script;
    script.printLine(" ");
    script.drawPicture(2400, 1000);
    const services::PrintJob natural = printedJob(script, chartPicture(400, 300));
    ASSERT_EQ(natural.pictures.size(), 1u);
    const services::PrintedPicture& p = natural.pictures[0];
    // 400 x 300 screen pixels at 15 twips each.
    EXPECT_EQ(std::vector<int>({p.x, p.y, p.width, p.height}), std::vector<int>({2400, 1000, 6000, 4500}));

    HardCopyPrinter::reset();
    HardCopyScript across;
    across.drawPicture(10, 1850);
    const services::PrintJob shrunk = printedJob(across, chartPicture(1600, 900), {true, "graph"});
    ASSERT_EQ(shrunk.pictures.size(), 1u);
    const services::PrintedPicture& q = shrunk.pictures[0];
    EXPECT_TRUE(shrunk.landscape);
    EXPECT_LE(q.x + q.width, 16842); // across an A4 page: 842 points
    EXPECT_NEAR(static_cast<double>(q.width) / q.height, 1600.0 / 900.0, 0.01);
}

TEST(Printer, EachEndDocFinishesADocumentAndTheNextStartsAfresh) {
    HardCopyScript script;
    script.setFontSize(14);
    script.printLine("first");
    script.endDoc();
    script.printLine("second"); // no EndDoc: finished at the end all the same
    ASSERT_TRUE(HardCopyPrinter::print(nullptr, script));
    const auto& jobs = HardCopyPrinter::jobs();
    ASSERT_EQ(jobs.size(), 2u);
    EXPECT_EQ(jobs[0].texts(), std::vector<std::string>{"first"});
    EXPECT_EQ(jobs[1].texts(), std::vector<std::string>{"second"});
    EXPECT_DOUBLE_EQ(jobs[1].lines[0].font.size, kestrana::platform::PrintFont{}.size);
    EXPECT_EQ(jobs[1].lines[0].y, 0);
}

TEST(Printer, FailuresAreReportedAndNothingIsPrinted) {
    HardCopyScript withPicture;
    withPicture.printLine("heading");
    withPicture.drawPicture(2400, 1000);
    EXPECT_FALSE(HardCopyPrinter::print(nullptr, withPicture)); // no picture to draw

    kestrana::test::TempFolder folder;
    kestrana::test::writeFile(folder.file("taken"), "a file, not a folder");
    kestrana::test::ScopedEnv printTo("KESTRANA_PRINT_TO", folder.file("taken") + "/prints");
    HardCopyScript plain;
    plain.printLine("x");
    EXPECT_FALSE(HardCopyPrinter::print(nullptr, plain));

    EXPECT_TRUE(HardCopyPrinter::jobs().empty());
    const QStringList shown = MessageBox::shownTexts();
    ASSERT_EQ(shown.size(), 2);
    EXPECT_EQ(shown[0], QStringLiteral("The hard copy could not be printed: there is no chart picture."));
    EXPECT_TRUE(shown[1].startsWith(QStringLiteral("The hard copy could not be printed: the folder ")));
}
