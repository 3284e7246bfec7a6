#pragma once
// CSV text written row by row, the plain way the command line's tables are written: a header of fixed
// snake_case names, then rows whose text fields go through csvField (quoted where they must be, and
// kept from being run as a spreadsheet formula) and whose numbers are written as they are, without
// padding. Every row ends with a single line feed.

#include <string>
#include <string_view>

namespace kestrana::common {

class CsvWriter {
public:
    // Starts the text with its header row, written as it stands.
    explicit CsvWriter(std::string_view header);

    // A text field.
    CsvWriter& text(std::string_view field);
    // A whole number.
    CsvWriter& number(long long value);
    // A number already written as decimal text ("12.5", "-3"); an empty text is an empty field, the
    // plain CSV form of "no value".
    CsvWriter& number(std::string_view decimalText);
    // Ends the current row.
    void endRow();

    // The whole text so far.
    const std::string& str() const { return text_; }

private:
    CsvWriter& raw(std::string_view written);
    std::string text_;
    bool rowStart_ = true;
};

} // namespace kestrana::common
