#include "core/runfile/field_stream.h"

#include "core/platform/errors.h"

namespace kestrana::runfile {

namespace {
bool isSeparator(char c) {
    return c == ',' || c == ' ' || c == '\t' || c == '\r' || c == '\n';
}
} // namespace

RecordFieldStream::RecordFieldStream(std::string_view text, std::string fileName)
    : text_(text), fileName_(std::move(fileName)) {}

void RecordFieldStream::skipSeparators() {
    while (pos_ < text_.size() && isSeparator(text_[pos_])) {
        if (text_[pos_] == '\n') {
            ++line_;
        }
        ++pos_;
    }
}

bool RecordFieldStream::atEnd() {
    skipSeparators();
    return pos_ >= text_.size();
}

std::int16_t RecordFieldStream::next() {
    skipSeparators();
    if (pos_ >= text_.size()) {
        throw platform::KestranaError("the numbers end inside a record", fileName_, line_);
    }
    const std::size_t start = pos_;
    while (pos_ < text_.size() && !isSeparator(text_[pos_])) {
        ++pos_;
    }
    const std::string_view token = text_.substr(start, pos_ - start);
    std::size_t i = 0;
    bool negative = false;
    if (token[0] == '+' || token[0] == '-') {
        negative = token[0] == '-';
        i = 1;
    }
    auto notWhole = [&] {
        return platform::KestranaError("\"" + std::string(token) + "\" is not a whole number", fileName_,
                                       line_);
    };
    if (i == token.size()) {
        throw notWhole();
    }
    long value = 0;
    for (; i < token.size(); ++i) {
        const char c = token[i];
        if (c < '0' || c > '9') {
            throw notWhole();
        }
        // Past 32768 the value is out of range whatever follows; stop growing so it cannot overflow,
        // but look at every character so that "99999x" is still not a number.
        if (value <= 32768) {
            value = value * 10 + (c - '0');
        }
    }
    if (negative) {
        value = -value;
    }
    if (value < -32768 || value > 32767) {
        throw platform::KestranaError("the number " + std::string(token) + " is outside -32768 to 32767",
                                      fileName_, line_);
    }
    return static_cast<std::int16_t>(value);
}

} // namespace kestrana::runfile
