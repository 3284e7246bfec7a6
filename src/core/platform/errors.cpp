#include "core/platform/errors.h"

namespace kestrana::platform {

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

KestranaError::KestranaError(std::string what, std::string file, long line)
    : std::runtime_error(describe(what, file, line)), what_(std::move(what)), file_(std::move(file)),
      line_(line) {}

} // namespace kestrana::platform
