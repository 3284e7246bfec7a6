// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Kestrana developers

#include "core/runfile/field_stream.h"

#include "core/common/errors.h"

namespace kestrana::runfile {

bool parseWholeNumber(std::string_view token, std::int16_t& value, std::string& problem) {
    std::size_t i = 0;
    bool negative = false;
    if (!token.empty() && (token[0] == '+' || token[0] == '-')) {
        negative = token[0] == '-';
        i = 1;
    }
    if (i == token.size()) {
        problem = "\"" + std::string(token) + "\" is not a whole number";
        return false;
    }
    long number = 0;
    for (; i < token.size(); ++i) {
        const char c = token[i];
        if (c < '0' || c > '9') {
            problem = "\"" + std::string(token) + "\" is not a whole number";
            return false;
        }
        // Past 32768 the value is out of range whatever follows; stop growing so it cannot overflow,
        // but look at every character so that "99999x" is still not a number.
        if (number <= 32768) {
            number = number * 10 + (c - '0');
        }
    }
    if (negative) {
        number = -number;
    }
    if (number < -32768 || number > 32767) {
        problem = "the number " + std::string(token) + " is outside -32768 to 32767";
        return false;
    }
    value = static_cast<std::int16_t>(number);
    return true;
}

namespace {

// Calls onToken for every token of `text` in order, until it returns false.
template <typename OnToken> void forEachToken(std::string_view text, OnToken&& onToken) {
    const char* data = text.data();
    const std::size_t size = text.size();
    std::size_t pos = 0;
    for (;;) {
        while (pos < size && isNumberSeparator(data[pos])) {
            ++pos;
        }
        if (pos == size) {
            return;
        }
        const std::size_t start = pos;
        while (pos < size && !isNumberSeparator(data[pos])) {
            ++pos;
        }
        if (!onToken(std::string_view(data + start, pos - start))) {
            return;
        }
    }
}

} // namespace

PairNumberStream::PairNumberStream(int width, RecordHandler onRecord)
    : width_(width), onRecord_(std::move(onRecord)) {}

void PairNumberStream::setKilometreLine(std::string_view line) {
    kmNumbers_.clear();
    kmProblem_.reset();
    std::string problem;
    forEachToken(line, [&](std::string_view token) {
        std::int16_t value = 0;
        if (!parseWholeNumber(token, value, problem)) {
            kmProblem_ = std::move(problem);
            return false;
        }
        kmNumbers_.push_back(value);
        return true;
    });
}

void PairNumberStream::take(std::int16_t value) {
    if (filled_ == 0) {
        recordFirstPair_ = pairs_;
    }
    record_[static_cast<std::size_t>(++filled_)] = value;
    ++numbers_;
    if (filled_ == width_) {
        filled_ = 0;
        onRecord_(record_, recordFirstPair_);
    }
}

void PairNumberStream::addPair(std::string_view pairLine) {
    ++pairs_;
    if (bad_ || stopped_) {
        return;
    }
    for (const std::int16_t value : kmNumbers_) {
        take(value);
        if (stopped_) {
            return;
        }
    }
    if (kmProblem_) {
        bad_ = BadNumber{pairs_, numbers_, *kmProblem_};
        return;
    }
    // Each token is read in one pass: its digits are added up while its end is looked for. Only a
    // token that is not a 16-bit whole number goes through parseWholeNumber, for its reason.
    const char* p = pairLine.data();
    const char* const end = p + pairLine.size();
    while (!stopped_) {
        while (p < end && isNumberSeparator(*p)) {
            ++p;
        }
        if (p == end) {
            return;
        }
        const char* const start = p;
        const bool negative = *p == '-';
        if (*p == '+' || *p == '-') {
            ++p;
        }
        const char* const digits = p;
        long value = 0;
        bool whole = true;
        for (; p < end && !isNumberSeparator(*p); ++p) {
            const unsigned digit = static_cast<unsigned char>(*p) - static_cast<unsigned>('0');
            whole = whole && digit <= 9;
            value = value <= 32768 ? value * 10 + static_cast<long>(digit) : value;
        }
        value = negative ? -value : value;
        if (!whole || p == digits || value < -32768 || value > 32767) {
            std::int16_t ignored = 0;
            std::string problem;
            parseWholeNumber(std::string_view(start, static_cast<std::size_t>(p - start)), ignored, problem);
            bad_ = BadNumber{pairs_, numbers_, std::move(problem)};
            return;
        }
        take(static_cast<std::int16_t>(value));
    }
}

PairNumbers numbersOfPair(std::string_view kmLine, std::string_view pairLine) {
    PairNumbers result;
    std::string problem;
    auto count = [&](std::string_view token) {
        std::int16_t value = 0;
        if (!result.problem && !parseWholeNumber(token, value, problem)) {
            result.problem = std::move(problem);
        }
        ++result.count;
        return true;
    };
    forEachToken(kmLine, count);
    forEachToken(pairLine, count);
    return result;
}

} // namespace kestrana::runfile
