// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Kestrana developers

#pragma once
// The pairing reader of a recorded run file: line by line, keeping the last run header ("95") and
// section ("91") lines, remembering the current kilometre line ("60") and handing each line of the
// chosen code ("68" block lines, "67" peak lines) on together with that kilometre line.
//
// A line ends at CR LF, a lone CR or a lone LF; none of them is part of the line. The code alone
// (the first two characters) decides what a line is. The file is read as a stream (see
// line_reader.h): only the current kilometre line and the kept lines are held.

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace kestrana::runfile {

// What a reader keeps of a run besides its blocks: the kept lines and the fields cut from them.
struct RunHeader {
    std::string headerLine;  // the last "95" line
    std::string sectionLine; // the last "91" line

    std::string runNumber() const;    // header line, position 4 (1 character)
    std::string date() const;         // header line, positions 6 to 11, as they stand
    std::string section() const;      // section line, positions 15 to 44, untrimmed
    std::string shortSection() const; // section line, 20 characters from position 24
};

struct PairingOptions {
    std::string_view pairCode = "68"; // "68" for the analyser and comparator, "67" for peaks
    // The analyser and the comparator count pairs in 16 bits: more than this many is a failure.
    long maxPairs = 32767;
    // Told of every "60" line as it becomes the current kilometre line, before the pairs that use
    // it, so that a reader can take its numbers once rather than once per pair. May be empty.
    std::function<void(std::string_view kmLine)> onKilometreLine;
    // Told of every byte of the file as it is read, in order, each byte once (see
    // LineReader::observeBytes); when readPairs returns, it has been told the whole file. May be empty.
    std::function<void(std::string_view bytes)> onBytes;
    // Told of every line of the file as it is read, whatever its code, before it is paired: its text
    // (only its code when the line is longer than kMaxLineLength), its line number and whether it was
    // too long. May be empty.
    std::function<void(std::string_view text, long number, bool tooLong)> onLine;
};

// Reads the run file at `path` and calls onPair(kmLine, pairLine, lineNumber) for each pair in file
// order (kmLine empty before the first "60" line). Updates `header` with the kept lines (lines
// absent from the file leave what `header` held). Returns the number of pairs. The texts handed on
// are valid during the call only.
// Throws common::Error: the file cannot be opened or read; more than maxPairs pairs; a
// "95", "91", "60" or paired line longer than kMaxLineLength (at its line; longer lines of other
// codes are skipped like any line of another code).
long readPairs(
    const std::string& path, const PairingOptions& options, RunHeader& header,
    const std::function<void(std::string_view kmLine, std::string_view pairLine, long lineNumber)>& onPair);

// One line of a pair scratch file: the kilometre line, blanks to the next 14-character print zone
// (at least one, at most 14), the paired line, CR LF; appended to `out`.
void appendScratchLine(std::string& out, std::string_view kmLine, std::string_view pairLine);

} // namespace kestrana::runfile
