// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Kestrana developers

#pragma once
// The one failure type of the program, used by the core, the screens and the command line alike.
//
// An Error carries two things:
//   - message(): the designed text a user sees for the operation that failed or refused (the texts
//     of the screens' message boxes); empty while the failure has not reached an operation yet;
//   - reason(): the precise reason behind it, "file, line N: what" with the parts that apply; empty
//     when the message says it all (a refused typed value, for example).
// The core raises a failure where it finds it, with its reason; the operation that meets it gives it
// its designed message with withMessage(). A screen shows message(); the command line prints
// message() and then reason() on the next line. what() is the message, or the reason when there is
// no message.

#include <stdexcept>
#include <string>
#include <string_view>

namespace kestrana::common {

class Error : public std::runtime_error {
public:
    // A failure found while reading, computing or storing. line 0 means "no line number applies".
    explicit Error(std::string what, std::string file = {}, long line = 0);

    // A refused or failed operation: the designed message and, when there is one, the reason.
    static Error refused(std::string_view message, std::string reason = {});

    // This failure under the designed message of the operation that met it. A failure that already
    // carries a message keeps it: the innermost operation knows best what went wrong.
    Error withMessage(std::string_view message) const;

    const std::string& message() const { return message_; }
    const std::string& reason() const { return reason_; }
    const std::string& what_text() const { return what_; }
    const std::string& file() const { return file_; }
    long line() const { return line_; }

private:
    Error(std::string message, std::string reason, std::string what, std::string file, long line);

    std::string message_;
    std::string reason_;
    std::string what_;
    std::string file_;
    long line_ = 0;
};

} // namespace kestrana::common
