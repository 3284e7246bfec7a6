// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Kestrana developers

#include "core/runfile/run_reader.h"

#include "core/common/errors.h"
#include "core/common/text.h"
#include "core/runfile/line_reader.h"

namespace kestrana::runfile {

using common::cutField;

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

long readPairs(
    const std::string& path, const PairingOptions& options, RunHeader& header,
    const std::function<void(std::string_view kmLine, std::string_view pairLine, long lineNumber)>& onPair) {
    LineReader reader(path);
    if (options.onBytes) {
        reader.observeBytes(options.onBytes);
    }
    std::string kmLine;
    long pairs = 0;
    LineReader::Line line;
    while (reader.next(line)) {
        if (options.onLine) {
            options.onLine(line.text, line.number, line.tooLong);
        }
        if (line.text.size() < 2) {
            continue;
        }
        const std::string_view code = line.text.substr(0, 2);
        const bool kept = code == "95" || code == "91" || code == "60" || code == options.pairCode;
        if (!kept) {
            continue;
        }
        if (line.tooLong) {
            throw common::Error("the line is longer than " + std::to_string(kMaxLineLength) +
                                    " characters, more than any run file line can be",
                                path, line.number);
        }
        if (code == "95") {
            header.headerLine = std::string(line.text);
        } else if (code == "91") {
            header.sectionLine = std::string(line.text);
        } else if (code == "60") {
            kmLine.assign(line.text);
            if (options.onKilometreLine) {
                options.onKilometreLine(kmLine);
            }
        } else {
            if (++pairs > options.maxPairs) {
                throw common::Error("more than " + std::to_string(options.maxPairs) + " \"" +
                                        std::string(options.pairCode) + "\" lines",
                                    path, line.number);
            }
            onPair(kmLine, line.text, line.number);
        }
    }
    return pairs;
}

void appendScratchLine(std::string& out, std::string_view kmLine, std::string_view pairLine) {
    out += kmLine;
    out.append(common::blanksToNextZone(kmLine.size()), ' ');
    out += pairLine;
    out += "\r\n";
}

} // namespace kestrana::runfile
