#include "core/runfile/run_reader.h"

#include "core/platform/errors.h"
#include "core/platform/paths.h"
#include "core/platform/text.h"

namespace kestrana::runfile {

using platform::cutField;

std::string RunHeader::runNumber() const {
    return std::string(cutField(headerLine, 4, 1));
}
std::string RunHeader::date() const {
    return std::string(cutField(headerLine, 6, 6));
}
std::string RunHeader::section() const {
    return std::string(cutField(sectionLine, 15, 30));
}
std::string RunHeader::shortSection() const {
    return std::string(cutField(sectionLine, 24, 20));
}

void forEachLine(std::string_view text,
                 const std::function<void(std::string_view line, long number)>& onLine) {
    const char* data = text.data();
    const std::size_t size = text.size();
    std::size_t start = 0;
    long number = 0;
    while (start < size) {
        std::size_t end = start;
        // The line ends at the first CR or LF; scanning for both at once keeps this fast.
        while (end < size && data[end] != '\r' && data[end] != '\n') {
            ++end;
        }
        onLine(text.substr(start, end - start), ++number);
        if (end < size && data[end] == '\r' && end + 1 < size && data[end + 1] == '\n') {
            start = end + 2;
        } else {
            start = end + 1;
        }
    }
}

long readPairs(
    const std::string& path, const PairingOptions& options, RunHeader& header,
    const std::function<void(std::string_view kmLine, std::string_view pairLine, long lineNumber)>& onPair) {
    const std::string text = platform::readWholeFile(path);
    std::string_view kmLine;
    long pairs = 0;
    forEachLine(text, [&](std::string_view line, long number) {
        if (line.size() < 2) {
            return;
        }
        const std::string_view code = line.substr(0, 2);
        if (code == "95") {
            header.headerLine = std::string(line);
        } else if (code == "91") {
            header.sectionLine = std::string(line);
        } else if (code == "60") {
            kmLine = line;
        } else if (code == options.pairCode) {
            if (++pairs > options.maxPairs) {
                throw platform::KestranaError("more than " + std::to_string(options.maxPairs) + " \"" +
                                                  std::string(options.pairCode) + "\" lines",
                                              path, number);
            }
            onPair(kmLine, line, number);
        }
    });
    return pairs;
}

void appendScratchLine(std::string& out, std::string_view kmLine, std::string_view pairLine) {
    out += kmLine;
    out.append(platform::blanksToNextZone(kmLine.size()), ' ');
    out += pairLine;
    out += "\r\n";
}

} // namespace kestrana::runfile
