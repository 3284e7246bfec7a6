#pragma once
// The one failure type of the core: a precise reason (which file, which line, what was wrong).
// Screens turn it into their fixed message; the command-line front end prints the fixed message
// first and this reason after it.

#include <stdexcept>
#include <string>

namespace kestrana::platform {

class KestranaError : public std::runtime_error {
public:
    // line 0 means "no line number applies".
    KestranaError(std::string what, std::string file = {}, long line = 0);

    const std::string& what_text() const { return what_; }
    const std::string& file() const { return file_; }
    long line() const { return line_; }

    // "file, line N: what" with the parts that apply.
    std::string reason() const { return std::runtime_error::what(); }

private:
    std::string what_;
    std::string file_;
    long line_;
};

} // namespace kestrana::platform
