#pragma once
// A scratch file read back as one stream of whole numbers: commas, blanks and line ends all
// separate numbers (a run of separators is one separator), a fixed count per record, with no
// re-synchronisation at line ends. A token that is not a whole number, or a number outside the
// signed 16-bit range, is a failure with its line number.

#include <cstdint>
#include <string>
#include <string_view>

namespace kestrana::runfile {

class RecordFieldStream {
public:
    // `text` must outlive the stream; `fileName` names it in error reasons.
    RecordFieldStream(std::string_view text, std::string fileName);

    // True when only separators are left. The callers test this before a record, never inside one.
    bool atEnd();
    // The next number. Throws platform::Error: the stream has ended ("the numbers end inside
    // a record"), a token that is not a whole number, a number outside -32768 to 32767.
    std::int16_t next();
    // 1-based line of the last number read (or of the position reached).
    long line() const { return line_; }

private:
    void skipSeparators();
    std::string_view text_;
    std::string fileName_;
    std::size_t pos_ = 0;
    long line_ = 1;
};

} // namespace kestrana::runfile
