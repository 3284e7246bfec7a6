// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Kestrana developers

#pragma once
// CSV text written row by row, the plain way the command line's tables are written: a header of fixed
// snake_case names, then rows whose text fields go through csvField (quoted where they must be, and
// kept from being run as a spreadsheet formula) and whose numbers are written as they are, without
// padding. Every row ends with the same line end: a single line feed unless the owner asks for another
// (the screens save CRLF files for the desktop's spreadsheets).

#include <string>
#include <string_view>
#include <utility>

namespace kestrana::common {

class CsvWriter {
public:
    // Starts the text with its header row, written as it stands.
    explicit CsvWriter(std::string_view header, std::string_view lineEnd = "\n");

    // A text field.
    CsvWriter& text(std::string_view field);
    // A text field already made by csvField: a text that stands in many rows is made into its field once.
    CsvWriter& field(std::string_view madeField) { return raw(madeField); }
    // A whole number.
    CsvWriter& number(long long value);
    // A number already written as decimal text ("12.5", "-3"); an empty text is an empty field, the
    // plain CSV form of "no value".
    CsvWriter& number(std::string_view decimalText);
    // Ends the current row.
    void endRow();

    // The whole text so far.
    const std::string& str() const { return text_; }
    // The text so far, handed over; the writer goes on from an empty text, so a long text can be
    // written out a piece at a time.
    std::string take() {
        std::string taken;
        taken.swap(text_);
        return taken;
    }

private:
    CsvWriter& raw(std::string_view written);
    std::string lineEnd_;
    std::string text_;
    bool rowStart_ = true;
};

} // namespace kestrana::common
