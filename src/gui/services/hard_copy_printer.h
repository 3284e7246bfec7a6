// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Kestrana developers

#pragma once
// The printer service: puts a hard copy (a common::HardCopyScript built by the core) on paper.
//
//     kestrana::common::HardCopyScript script = analyser::printDetailsScript(...);
//     services::HardCopyPrinter::print(this, script);                        // listing
//     services::HardCopyPrinter::print(this, script, ChartClipboard::picture()); // page with chart
//
// Positions are twips (1440 to the inch) from the paper's top-left corner. A line is printed with
// its top at the current position; the position then moves to x 0, one line height of the current
// font lower. A line that would pass the page's foot (half an inch above the paper's lower edge)
// goes to the top of a new page (y 720) instead, under the listing's column header where the script
// asks for one to be repeated; every page carries "page N of M" below its foot. Listings print in a
// fixed-pitch face where the script asks for it. A picture is drawn at its natural size (one screen
// pixel = 15 twips), shrunk only when it would not fit on the paper, with all its pixels (a chart
// picture is made at print resolution, see widgets::BarChart::picture()).
// EndDoc finishes a document; a script that lacks it is finished at its end all the same.
//
// Where it goes: to the system's default printer; as a PDF file instead when KESTRANA_PRINT_TO
// names a folder, or when no printer is installed (then into <home>/prints), after which a message
// says where the file went. In test mode (test_mode.h) always as a PDF. Failures (no picture for a
// Picture step, a printer that cannot start, a PDF that cannot be written) are shown in a message
// box and print() returns false; the caller just ends its operation.

#include "core/common/hard_copy.h"

#include <QPixmap>
#include <QString>

#include <string>
#include <vector>

class QWidget;

namespace kestrana::gui::services {

struct PrintOptions {
    bool landscape = false;                            // the comparator's graph page is printed across
    QString documentName = QStringLiteral("hardcopy"); // the print job's name; begins the PDF's name
    bool fixedPitch = false; // every line in a fixed-pitch face (tables laid out with blanks)
};

struct PrintedLine {
    std::string text;
    int x = 0; // twips from the left edge
    int y = 0; // twips from the top edge (top of the line)
    kestrana::common::PrintFont font;
    int page = 1;
};

struct PrintedPicture {
    int x = 0;
    int y = 0;
    int width = 0; // twips, as drawn
    int height = 0;
    int page = 1;
    int dotsPerInch = 0; // the picture's pixels to the inch as drawn
};

// One finished document.
struct PrintJob {
    std::vector<PrintedLine> lines;
    std::vector<PrintedLine> repeatedLines; // column headers repeated at the top of later pages
    std::vector<std::string> pageNumbers;   // "page N of M", one per page in order
    std::vector<PrintedPicture> pictures;
    int pageCount = 0;
    bool fixedPitch = false;
    bool landscape = false;
    QString pdfPath; // the PDF written, empty when it went to a printer

    // The texts of the lines in print order (for tests).
    std::vector<std::string> texts() const;
};

class HardCopyPrinter {
public:
    static bool print(QWidget* parent, const kestrana::common::HardCopyScript& script,
                      const QPixmap& picture = QPixmap(), const PrintOptions& options = PrintOptions());

    // Where PDFs go, as an absolute path: $KESTRANA_PRINT_TO when set, else <home>/prints.
    static QString pdfFolder();

    // Test hooks: every finished document in order.
    static const std::vector<PrintJob>& jobs();
    static void reset();
};

} // namespace kestrana::gui::services
