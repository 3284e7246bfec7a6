// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Kestrana developers

#pragma once
// A hard copy as the sequence of printer statements that makes it: positions in twips from the
// page's top-left corner (1440 per inch), font size in points and the bold, italic and underline
// flags. The core builds these scripts (so every printed text is tested here); the screens hand them
// to the printer service, which measures line heights with the real font and puts them on paper.

#include <string>
#include <vector>

namespace kestrana::common {

struct PrintFont {
    double size = 10.0; // points
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool fixedPitch = false; // every character one width, so that columns laid out with blanks line up
    bool operator==(const PrintFont&) const = default;
};

struct PrintOp {
    enum class Kind {
        SetX,       // value = horizontal position in twips
        SetY,       // value = vertical position in twips
        SetFont,    // font = the font from now on
        Line,       // text printed at the current position; then to the left margin, one line lower
        Picture,    // the chart picture at its natural size, top-left at (x, y)
        PageHeader, // text, at x in `font`, opens every page that begins after this point
        EndDoc      // the document is finished and sent to the printer
    };
    Kind kind = Kind::Line;
    int value = 0;
    int x = 0;
    int y = 0;
    std::string text;
    PrintFont font;
};

class HardCopyScript {
public:
    void setX(int twips);
    void setY(int twips);
    void setPosition(int xTwips, int yTwips); // x first, then y
    void setFontSize(double points);
    void setBold(bool on);
    void setItalic(bool on);
    void setUnderline(bool on);
    void setFixedPitch(bool on);
    void printLine(std::string text);
    // setX then printLine: "at x print ...".
    void printLineAt(int xTwips, std::string text);
    void drawPicture(int xTwips, int yTwips);
    // A line (a listing's column header) repeated at the top of every later page of the listing, in
    // the current font; several calls give several lines, in order.
    void repeatOnNewPages(int xTwips, std::string text);
    void endDoc();

    const std::vector<PrintOp>& ops() const { return ops_; }
    const PrintFont& font() const { return font_; }
    // The texts of the Line ops in order (for tests and the command-line front end).
    std::vector<std::string> lines() const;

private:
    void pushFont();
    std::vector<PrintOp> ops_;
    PrintFont font_;
};

} // namespace kestrana::common
