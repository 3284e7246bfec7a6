// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Kestrana developers

// The printer service: long listings over new pages under their repeated header, no empty page,
// and failures reported with nothing printed.
#include "gui/services/hard_copy_printer.h"
#include "gui/services/message_box.h"
#include "gui_test_support.h"
#include "support/test_support.h"

#include "core/common/hard_copy.h"

#include <tuple>

#include <gtest/gtest.h>

namespace services = kestrana::gui::services;
using kestrana::common::HardCopyScript;
using services::HardCopyPrinter;
using services::MessageBox;

namespace {

// A4 is 11.69 inches high; lines stop half an inch above its lower edge.
constexpr int kFootTwips = 16838 - 720;

// Prints the script and returns its one document.
services::PrintJob printedJob(const HardCopyScript& script, const QPixmap& picture = QPixmap(),
                              const services::PrintOptions& options = {}) {
    EXPECT_TRUE(HardCopyPrinter::print(nullptr, script, picture, options));
    EXPECT_EQ(HardCopyPrinter::jobs().size(), 1u);
    return HardCopyPrinter::jobs().empty() ? services::PrintJob{} : HardCopyPrinter::jobs().front();
}

} // namespace

TEST(Printer, ALongListingGoesOnUnderItsRepeatedHeaderAndEveryPageIsNumbered) {
    HardCopyScript script;
    script.setY(600);
    script.setFontSize(9);
    script.setFixedPitch(true);
    script.printLineAt(900, "KMF   KMT      L1      P1");
    script.repeatOnNewPages(900, "KMF   KMT      L1      P1");
    for (int row = 0; row < 150; ++row) {
        script.printLineAt(900, "0120  0121    0350  18");
        script.printLineAt(900, " ");
    }
    script.endDoc();
    const services::PrintJob job = printedJob(script);
    ASSERT_EQ(job.lines.size(), 301u);
    ASSERT_GE(job.pageCount, 2);
    EXPECT_TRUE(job.lines.back().font.fixedPitch);
    // Each later page opens with the header at its top and goes on one line below it.
    ASSERT_EQ(job.repeatedLines.size(), static_cast<std::size_t>(job.pageCount - 1));
    const int headerHeight = job.lines[1].y - job.lines[0].y;
    int lastPage = 1;
    for (const services::PrintedLine& line : job.lines) {
        EXPECT_LT(line.y, kFootTwips);
        if (line.page != lastPage) {
            EXPECT_EQ(line.page, lastPage + 1);
            const services::PrintedLine& header = job.repeatedLines[static_cast<std::size_t>(lastPage - 1)];
            EXPECT_EQ(std::make_tuple(header.text, header.x, header.y, header.page),
                      std::make_tuple(job.lines[0].text, 900, 720, line.page));
            EXPECT_EQ(line.y, 720 + headerHeight);
            lastPage = line.page;
        }
    }
    EXPECT_EQ(lastPage, job.pageCount);
    std::vector<std::string> numbers;
    for (int page = 1; page <= job.pageCount; ++page)
        numbers.push_back("page " + std::to_string(page) + " of " + std::to_string(job.pageCount));
    EXPECT_EQ(job.pageNumbers, numbers);
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
