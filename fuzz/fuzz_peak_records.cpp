// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Kestrana developers

// Fuzz target: the peak record stream over any lines. A line beginning "60" becomes the current
// kilometre line, every other line a peak line read with it; the record width, the rows of every
// record and the faults kept are all taken, as PROCESS DATA takes them.

#include "core/peaks/extraction.h"
#include "core/peaks/texts.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace kestrana::peaks;
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    long rows = 0;
    PeakRecordStream records("temp_peak.txt", "temp_peak1.txt",
                             [&](std::span<const PeakRow> made) { rows += static_cast<long>(made.size()); });
    std::string_view kmLine;
    long lineNumber = 0;
    try {
        for (std::size_t start = 0; start < text.size();) {
            std::size_t end = text.find('\n', start);
            if (end == std::string_view::npos) {
                end = text.size();
            }
            const std::string_view line = text.substr(start, end - start);
            ++lineNumber;
            if (line.starts_with("60")) {
                kmLine = line;
                records.setKilometreLine(kmLine);
            } else {
                records.addPeakLine(kmLine, line, "run", lineNumber);
            }
            start = end + 1;
        }
    } catch (const kestrana::common::Error&) {
    }
    (void)records.itemsPerRecord();
    (void)records.widthFailure();
    (void)records.recordFailure();
    return rows < 0;
}
