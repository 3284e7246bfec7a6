// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Kestrana developers

#pragma once
// A run's numbers read as one stream: commas, blanks and line ends all separate numbers (a run of
// separators is one separator), a fixed count per record, with no re-synchronisation at line ends.
// A token that is not a whole number, or a number outside the signed 16-bit range, is a failure.

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kestrana::runfile {

// True for the characters that separate numbers: comma, blank, tab, CR and LF.
inline bool isNumberSeparator(char c) {
    return c == ',' || c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

// Reads one token (a run of characters between separators) as a signed 16-bit whole number with an
// optional sign. On failure returns false and puts the reason into `problem`: "\"4.5\" is not a
// whole number", "the number 32768 is outside -32768 to 32767".
bool parseWholeNumber(std::string_view token, std::int16_t& value, std::string& problem);

// Slots 1 to 26 hold the numbers of a record; slot 0 is never used.
using RecordSlots = std::array<std::int16_t, 27>;

// The numbers of a run's pairs as one stream, read as they come: for each pair, the numbers of the
// current kilometre line, then those of the paired line. These are the numbers a pair scratch file
// (one line per pair: the kilometre line, blanks, the paired line) gives when it is read back, got
// without writing that copy: a kilometre line's numbers are read once, when it becomes current,
// however many pairs repeat them.
//
// Records of `width` numbers are handed on as they complete. The stream stops at the first token
// that is not a 16-bit whole number and keeps what was wrong with it; the caller decides, once the
// run has been read, whether the records reach that far.
class PairNumberStream {
public:
    // `firstPair` is the 1-based pair that gave the record's first number.
    using RecordHandler = std::function<void(const RecordSlots& record, long firstPair)>;
    PairNumberStream(int width, RecordHandler onRecord);

    // A new current kilometre line (the empty text before the first).
    void setKilometreLine(std::string_view line);
    // The next pair: the current kilometre line's numbers, then those of `pairLine`.
    void addPair(std::string_view pairLine);
    // Later pairs are only counted (the caller has seen enough).
    void stop() { stopped_ = true; }

    struct BadNumber {
        long pair = 0;  // 1-based pair holding the token
        long index = 0; // 0-based position of the token in the stream
        std::string problem;
    };
    const std::optional<BadNumber>& badNumber() const { return bad_; }
    bool stopped() const { return stopped_; }
    long pairs() const { return pairs_; }
    // Numbers read so far (none after a bad token or a stop).
    long numbers() const { return numbers_; }
    // The numbers of the record begun and not yet complete, and the pair of its first number.
    int pendingNumbers() const { return filled_; }
    long pendingFirstPair() const { return recordFirstPair_; }

private:
    void take(std::int16_t value);

    int width_;
    RecordHandler onRecord_;
    // The current kilometre line's numbers up to its first bad token, and that token's problem.
    std::vector<std::int16_t> kmNumbers_;
    std::optional<std::string> kmProblem_;
    RecordSlots record_{};
    int filled_ = 0;
    long recordFirstPair_ = 0;
    long pairs_ = 0;
    long numbers_ = 0;
    std::optional<BadNumber> bad_;
    bool stopped_ = false;
};

// The count of numbers of one pair (kilometre line and paired line), and the problem of its first
// bad token if it has one.
struct PairNumbers {
    int count = 0;
    std::optional<std::string> problem;
};
PairNumbers numbersOfPair(std::string_view kmLine, std::string_view pairLine);

} // namespace kestrana::runfile
