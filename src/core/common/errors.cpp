// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Kestrana developers

#include "core/common/errors.h"

namespace kestrana::common {

namespace {
std::string describe(const std::string& what, const std::string& file, long line) {
    std::string text;
    if (!file.empty()) {
        text = file;
        if (line > 0) {
            text += ", line " + std::to_string(line);
        }
        text += ": ";
    } else if (line > 0) {
        text = "line " + std::to_string(line) + ": ";
    }
    return text + what;
}
} // namespace

Error::Error(std::string message, std::string reason, std::string what, std::string file, long line)
    : std::runtime_error(message.empty() ? reason : message), message_(std::move(message)),
      reason_(std::move(reason)), what_(std::move(what)), file_(std::move(file)), line_(line) {}

Error::Error(std::string what, std::string file, long line)
    : Error({}, describe(what, file, line), what, file, line) {}

Error Error::refused(std::string_view message, std::string reason) {
    return Error(std::string(message), reason, reason, {}, 0);
}

Error Error::withMessage(std::string_view message) const {
    if (!message_.empty()) {
        return *this;
    }
    return Error(std::string(message), reason_, what_, file_, line_);
}

} // namespace kestrana::common
