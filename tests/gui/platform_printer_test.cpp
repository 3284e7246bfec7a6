// The printer service executes a hard copy script: lines land at the scripted positions in the
// scripted fonts, each line moves the position one line height down, long listings go on over new
// pages, pictures keep their natural size, and without a printer the copy becomes a PDF whose place
// is reported.
#include "gui/platform/message_box.h"
#include "gui/platform/printer.h"
#include "gui_test_support.h"
#include "support/test_support.h"

#include "platform/hard_copy.h"

#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

#include <filesystem>

namespace platform = kestrana::gui::platform;
using kestrana::platform::HardCopyScript;

namespace {

// A4 is 11.69 inches high; lines stop half an inch above its lower edge.
constexpr int kA4HeightTwips = 16838;
constexpr int kFootTwips = kA4HeightTwips - 720;

const platform::PrintJob& onlyJob() {
    EXPECT_EQ(platform::HardCopyPrinter::jobs().size(), 1u);
    return platform::HardCopyPrinter::jobs().front();
}

QPixmap chartPicture(int width, int height) {
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.fillRect(10, 10, width / 2, height / 2, Qt::blue);
    return QPixmap::fromImage(image);
}

} // namespace

TEST(PlatformPrinter, LinesLandAtTheScriptedPositionsAndMoveDownOneLineHeight) {
    HardCopyScript script;
    script.setBold(true);
    script.setFontSize(11);
    script.setUnderline(true);
    script.setY(600);
    script.setX(1400);
    script.printLine("Up main line");
    script.printLine("");
    script.printLineAt(1400, "NAGPUR - WARDHA ( Km 120 to 130 ) ");
    script.setUnderline(false);
    script.printLine(" ");
    script.endDoc();
    ASSERT_TRUE(platform::HardCopyPrinter::print(nullptr, script));

    const auto& lines = onlyJob().lines;
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[0].text, "Up main line");
    EXPECT_EQ(lines[0].x, 1400);
    EXPECT_EQ(lines[0].y, 600);
    EXPECT_TRUE(lines[0].font.bold);
    EXPECT_TRUE(lines[0].font.underline);
    EXPECT_DOUBLE_EQ(lines[0].font.size, 11.0);
    // After a line the position is back at the left edge, one line lower.
    EXPECT_EQ(lines[1].x, 0);
    const int lineHeight = lines[1].y - lines[0].y;
    // An 11 point line is 220 twips of type plus its leading.
    EXPECT_GE(lineHeight, 220);
    EXPECT_LE(lineHeight, 320);
    EXPECT_EQ(lines[2].x, 1400);
    EXPECT_NEAR(lines[2].y - lines[1].y, lineHeight, 1);
    EXPECT_FALSE(lines[3].font.underline);
    EXPECT_EQ(onlyJob().pageCount, 1);
}

TEST(PlatformPrinter, TheLineHeightFollowsTheFontSize) {
    HardCopyScript script;
    script.setFontSize(9);
    script.printLine("a");
    script.printLine("b");
    script.setFontSize(14);
    script.printLine("c");
    script.printLine("d");
    script.endDoc();
    ASSERT_TRUE(platform::HardCopyPrinter::print(nullptr, script));
    const auto& lines = onlyJob().lines;
    ASSERT_EQ(lines.size(), 4u);
    const int small = lines[1].y - lines[0].y;
    const int large = lines[3].y - lines[2].y;
    EXPECT_GT(large, small);
    EXPECT_NEAR(static_cast<double>(large) / small, 14.0 / 9.0, 0.2);
}

TEST(PlatformPrinter, WritesAPdfIntoThePrintFolderAndSaysWhereItWent) {
    kestrana::test::TempFolder folder;
    kestrana::test::ScopedEnv printTo("KESTRANA_PRINT_TO", folder.file("out"));
    HardCopyScript script;
    script.printLineAt(1200, " Kmfr   Kmto   BLK    TGI     TGIU  TGIW  TGIG  TGIL");
    script.endDoc();
    ASSERT_TRUE(platform::HardCopyPrinter::print(nullptr, script, QPixmap(),
                                                 {false, QStringLiteral("Print Details")}));

    const QString pdf = onlyJob().pdfPath;
    EXPECT_EQ(QFileInfo(pdf).absolutePath(), QDir(QString::fromStdString(folder.file("out"))).absolutePath());
    EXPECT_TRUE(QFileInfo(pdf).fileName().startsWith(QStringLiteral("print-details-")));
    const std::string content = kestrana::test::readFile(pdf.toStdString());
    EXPECT_EQ(content.substr(0, 5), "%PDF-");
    // Nothing but the finished file is left in the folder (no temporary file).
    EXPECT_EQ(QDir(QString::fromStdString(folder.file("out"))).entryList(QDir::Files).size(), 1);
    ASSERT_EQ(platform::MessageBox::shown().size(), 1u);
    EXPECT_TRUE(platform::MessageBox::shown()[0].text.contains(QDir::toNativeSeparators(pdf)));

    // A second copy in the same second gets a name of its own.
    ASSERT_TRUE(platform::HardCopyPrinter::print(nullptr, script, QPixmap(),
                                                 {false, QStringLiteral("Print Details")}));
    ASSERT_EQ(platform::HardCopyPrinter::jobs().size(), 2u);
    EXPECT_NE(platform::HardCopyPrinter::jobs()[1].pdfPath, pdf);
}

TEST(PlatformPrinter, WithoutAPrintFolderPdfsGoIntoTheHomePrintsFolder) {
    kestrana::test::TempFolder home;
    kestrana::test::ScopedEnv homeEnv("KESTRANA_HOME", home.path());
    qunsetenv("KESTRANA_PRINT_TO");
    EXPECT_EQ(QDir(platform::HardCopyPrinter::pdfFolder()).absolutePath(),
              QDir(QString::fromStdString(home.file("prints"))).absolutePath());
    HardCopyScript script;
    script.printLine("x");
    ASSERT_TRUE(platform::HardCopyPrinter::print(nullptr, script));
    EXPECT_TRUE(QFileInfo::exists(onlyJob().pdfPath));
}

TEST(PlatformPrinter, ALongListingGoesOnAtTheTopOfNewPagesWithoutPassingTheFoot) {
    HardCopyScript script;
    script.setBold(true);
    script.setY(600);
    script.printLineAt(900, "KMF   KMT      L1      P1");
    script.setBold(false);
    script.setFontSize(9);
    for (int row = 0; row < 150; ++row) {
        script.printLineAt(900, "0120  0121    0350  18");
        script.printLineAt(900, " ");
    }
    script.endDoc();
    ASSERT_TRUE(platform::HardCopyPrinter::print(nullptr, script));

    const platform::PrintJob& job = onlyJob();
    ASSERT_EQ(job.lines.size(), 301u);
    EXPECT_GE(job.pageCount, 2);
    int lastPage = 1;
    for (std::size_t i = 1; i < job.lines.size(); ++i) {
        const platform::PrintedLine& line = job.lines[i];
        EXPECT_LT(line.y, kFootTwips);
        if (line.page != lastPage) {
            EXPECT_EQ(line.page, lastPage + 1);
            EXPECT_EQ(line.y, 720); // the top of the new page; the header is not repeated
            lastPage = line.page;
        }
    }
    EXPECT_EQ(lastPage, job.pageCount);
}

TEST(PlatformPrinter, BlankLinesPastTheFootLeaveNoEmptyPage) {
    HardCopyScript script;
    script.setY(kFootTwips - 300);
    script.printLine("last row");
    for (int i = 0; i < 10; ++i)
        script.printLine(" ");
    script.endDoc();
    ASSERT_TRUE(platform::HardCopyPrinter::print(nullptr, script));
    EXPECT_EQ(onlyJob().pageCount, 1);
}

TEST(PlatformPrinter, APictureKeepsItsNaturalSizeAndPosition) {
    HardCopyScript script;
    script.printLine(" ");
    script.setPosition(1200, 700);
    script.drawPicture(2400, 1000);
    script.endDoc();
    ASSERT_TRUE(platform::HardCopyPrinter::print(nullptr, script, chartPicture(400, 300)));
    const auto& pictures = onlyJob().pictures;
    ASSERT_EQ(pictures.size(), 1u);
    EXPECT_EQ(pictures[0].x, 2400);
    EXPECT_EQ(pictures[0].y, 1000);
    EXPECT_EQ(pictures[0].width, 6000); // 400 screen pixels at 15 twips each
    EXPECT_EQ(pictures[0].height, 4500);
}

TEST(PlatformPrinter, APictureTooLargeForThePaperIsShrunkToFit) {
    HardCopyScript script;
    script.drawPicture(10, 1850);
    script.endDoc();
    ASSERT_TRUE(platform::HardCopyPrinter::print(nullptr, script, chartPicture(1600, 900), {true, "graph"}));
    const platform::PrintJob& job = onlyJob();
    EXPECT_TRUE(job.landscape);
    ASSERT_EQ(job.pictures.size(), 1u);
    // Across an A4 page (842 points) there are 16840 twips; the picture starts at 10.
    EXPECT_LT(job.pictures[0].width, 24000); // shrunk from 1600 pixels
    EXPECT_LE(job.pictures[0].x + job.pictures[0].width, 16842);
    EXPECT_NEAR(static_cast<double>(job.pictures[0].width) / job.pictures[0].height, 1600.0 / 900.0, 0.01);
}

TEST(PlatformPrinter, APictureStepWithoutAPictureIsReportedAndNothingIsPrinted) {
    HardCopyScript script;
    script.printLine("heading");
    script.drawPicture(2400, 1000);
    script.endDoc();
    EXPECT_FALSE(platform::HardCopyPrinter::print(nullptr, script));
    EXPECT_TRUE(platform::HardCopyPrinter::jobs().empty());
    ASSERT_EQ(platform::MessageBox::shown().size(), 1u);
    EXPECT_EQ(platform::MessageBox::shown()[0].text,
              QStringLiteral("The hard copy could not be printed: there is no chart picture."));
}

TEST(PlatformPrinter, EachEndDocFinishesADocumentAndAMissingOneIsSuppliedAtTheEnd) {
    HardCopyScript script;
    script.setFontSize(14);
    script.printLine("first");
    script.endDoc();
    script.printLine("second"); // the printer starts afresh: default font, top of the page
    ASSERT_TRUE(platform::HardCopyPrinter::print(nullptr, script));
    const auto& jobs = platform::HardCopyPrinter::jobs();
    ASSERT_EQ(jobs.size(), 2u);
    EXPECT_EQ(jobs[0].texts(), std::vector<std::string>{"first"});
    EXPECT_EQ(jobs[1].texts(), std::vector<std::string>{"second"});
    EXPECT_DOUBLE_EQ(jobs[1].lines[0].font.size, kestrana::platform::PrintFont{}.size);
    EXPECT_EQ(jobs[1].lines[0].y, 0);
}

TEST(PlatformPrinter, ADocumentWithNothingVisibleIsNotSent) {
    HardCopyScript script;
    script.setPosition(1400, 600);
    script.printLine("");
    script.printLine("   ");
    script.endDoc();
    EXPECT_TRUE(platform::HardCopyPrinter::print(nullptr, script));
    EXPECT_TRUE(platform::HardCopyPrinter::jobs().empty());
    EXPECT_TRUE(platform::MessageBox::shown().empty());
}

TEST(PlatformPrinter, AFolderThatCannotBeMadeIsReported) {
    kestrana::test::TempFolder folder;
    kestrana::test::writeFile(folder.file("taken"), "a file, not a folder");
    kestrana::test::ScopedEnv printTo("KESTRANA_PRINT_TO", folder.file("taken") + "/prints");
    HardCopyScript script;
    script.printLine("x");
    EXPECT_FALSE(platform::HardCopyPrinter::print(nullptr, script));
    EXPECT_TRUE(platform::HardCopyPrinter::jobs().empty());
    ASSERT_EQ(platform::MessageBox::shown().size(), 1u);
    EXPECT_TRUE(platform::MessageBox::shown()[0].text.startsWith(
        QStringLiteral("The hard copy could not be printed")));
}
