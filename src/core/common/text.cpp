// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Kestrana developers

#include "core/common/text.h"

#include <algorithm>
#include <cfenv>
#include <charconv>
#include <cmath>
#include <system_error>

namespace kestrana::common {

namespace {

// A non-negative decimal number as digits and the position of the decimal point: the value is
// 0.d1d2...dn x 10^point.
struct DecimalDigits {
    std::string digits;
    int point = 0;
};

// Parses the scientific text of to_chars ("6.25e-01", "4e+01") into digits and point.
template <typename Real> DecimalDigits shortestDigits(Real magnitude) {
    char buffer[64];
    auto result = std::to_chars(buffer, buffer + sizeof buffer, magnitude, std::chars_format::scientific);
    std::string_view text(buffer, static_cast<std::size_t>(result.ptr - buffer));
    auto e = text.find('e');
    DecimalDigits d;
    for (char c : text.substr(0, e)) {
        if (c != '.') {
            d.digits += c;
        }
    }
    int exponent = 0;
    std::string_view exp = text.substr(e + 1);
    if (!exp.empty() && exp.front() == '+') {
        exp.remove_prefix(1);
    }
    std::from_chars(exp.data(), exp.data() + exp.size(), exponent);
    d.point = exponent + 1;
    return d;
}

struct Rounded {
    std::string integer;  // without leading zeros; empty for 0
    std::string fraction; // exactly `decimals` digits
};

// Rounds half away from zero (on the magnitude) to `decimals` places.
Rounded roundDigits(const DecimalDigits& d, int decimals) {
    // All digits laid out as integer part and a long enough fraction part.
    std::string integer;
    std::string fraction;
    const int n = static_cast<int>(d.digits.size());
    if (d.point > 0) {
        for (int i = 0; i < d.point; ++i) {
            integer += i < n ? d.digits[static_cast<std::size_t>(i)] : '0';
        }
        if (d.point < n) {
            fraction = d.digits.substr(static_cast<std::size_t>(d.point));
        }
    } else {
        fraction = std::string(static_cast<std::size_t>(-d.point), '0') + d.digits;
    }
    const bool roundUp =
        static_cast<int>(fraction.size()) > decimals && fraction[static_cast<std::size_t>(decimals)] >= '5';
    fraction.resize(static_cast<std::size_t>(decimals), '0');
    std::string all = integer + fraction;
    if (roundUp) {
        int i = static_cast<int>(all.size()) - 1;
        while (i >= 0 && all[static_cast<std::size_t>(i)] == '9') {
            all[static_cast<std::size_t>(i)] = '0';
            --i;
        }
        if (i >= 0) {
            ++all[static_cast<std::size_t>(i)];
        } else {
            all.insert(all.begin(), '1');
        }
    }
    Rounded r;
    r.fraction = all.substr(all.size() - static_cast<std::size_t>(decimals));
    r.integer = all.substr(0, all.size() - static_cast<std::size_t>(decimals));
    auto firstNonZero = r.integer.find_first_not_of('0');
    r.integer = firstNonZero == std::string::npos ? std::string() : r.integer.substr(firstNonZero);
    return r;
}

struct PatternShape {
    int minIntegerDigits = 0;
    int decimals = 0;
    bool hasPoint = false;
};

PatternShape shapeOf(std::string_view pattern) {
    PatternShape shape;
    auto dot = pattern.find('.');
    std::string_view integerPart = pattern.substr(0, dot);
    for (char c : integerPart) {
        if (c == '0') {
            ++shape.minIntegerDigits;
        }
    }
    if (dot != std::string_view::npos) {
        shape.hasPoint = true;
        shape.decimals = static_cast<int>(pattern.size() - dot - 1);
    }
    return shape;
}

std::string assemble(bool negative, const Rounded& r, const PatternShape& shape) {
    std::string integer = r.integer;
    if (static_cast<int>(integer.size()) < shape.minIntegerDigits) {
        integer.insert(0, static_cast<std::size_t>(shape.minIntegerDigits) - integer.size(), '0');
    }
    std::string text;
    const bool isZero = r.integer.empty() && r.fraction.find_first_not_of('0') == std::string::npos;
    if (negative && !isZero) {
        text += '-';
    }
    text += integer;
    if (shape.hasPoint) {
        text += '.';
        text += r.fraction;
    }
    return text;
}

template <typename Real> std::string formatReal(Real value, std::string_view pattern) {
    const PatternShape shape = shapeOf(pattern);
    if (!std::isfinite(value)) {
        return value != value ? "NaN" : (value < 0 ? "-Infinity" : "Infinity");
    }
    const bool negative = std::signbit(value);
    const Real magnitude = negative ? -value : value;
    DecimalDigits digits;
    if (magnitude == 0) {
        digits.digits = "0";
        digits.point = 1;
    } else {
        digits = shortestDigits(magnitude);
    }
    return assemble(negative, roundDigits(digits, shape.decimals), shape);
}

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

template <typename Real> std::string shortestFixed(Real value) {
    if (value == 0) {
        return "0";
    }
    char buffer[512];
    auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed);
    return std::string(buffer, result.ptr);
}

} // namespace

std::string formatPattern(double value, std::string_view pattern) {
    return formatReal(value, pattern);
}

std::string formatPattern(float value, std::string_view pattern) {
    return formatReal(value, pattern);
}

std::string formatPattern(long long value, std::string_view pattern) {
    const PatternShape shape = shapeOf(pattern);
    const bool negative = value < 0;
    // Magnitude as unsigned so that the smallest long long does not overflow.
    unsigned long long magnitude =
        negative ? static_cast<unsigned long long>(-(value + 1)) + 1 : static_cast<unsigned long long>(value);
    Rounded r;
    r.integer = magnitude == 0 ? std::string() : std::to_string(magnitude);
    r.fraction = std::string(static_cast<std::size_t>(shape.decimals), '0');
    return assemble(negative, r, shape);
}

std::string formatAt(std::string_view text, std::string_view pattern) {
    std::string result(text);
    if (result.size() < pattern.size()) {
        result.insert(0, pattern.size() - result.size(), ' ');
    }
    return result;
}

std::optional<double> parseNumber(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) {
        ++i;
    }
    std::size_t end = text.size();
    while (end > i && (text[end - 1] == ' ' || text[end - 1] == '\t')) {
        --end;
    }
    std::string_view body = text.substr(i, end - i);
    bool negative = false;
    if (!body.empty() && (body.front() == '+' || body.front() == '-')) {
        negative = body.front() == '-';
        body.remove_prefix(1);
    }
    // Check the shape first: digits, an optional point with digits, an optional exponent.
    std::size_t p = 0;
    std::size_t mantissaDigits = 0;
    while (p < body.size() && isDigit(body[p])) {
        ++p;
        ++mantissaDigits;
    }
    if (p < body.size() && body[p] == '.') {
        ++p;
        while (p < body.size() && isDigit(body[p])) {
            ++p;
            ++mantissaDigits;
        }
    }
    if (mantissaDigits == 0) {
        return std::nullopt;
    }
    if (p < body.size() && (body[p] == 'e' || body[p] == 'E')) {
        std::size_t q = p + 1;
        if (q < body.size() && (body[q] == '+' || body[q] == '-')) {
            ++q;
        }
        std::size_t expDigits = 0;
        while (q < body.size() && isDigit(body[q])) {
            ++q;
            ++expDigits;
        }
        if (expDigits == 0) {
            return std::nullopt;
        }
        p = q;
    }
    if (p != body.size()) {
        return std::nullopt;
    }
    double value = 0;
    auto result = std::from_chars(body.data(), body.data() + body.size(), value);
    if (result.ec == std::errc::result_out_of_range) {
        // Too large for a double: certainly outside any range a caller accepts.
        value = HUGE_VAL;
    } else if (result.ec != std::errc()) {
        return std::nullopt;
    }
    return negative ? -value : value;
}

std::optional<std::int16_t> roundToInt16(double value) {
    if (!std::isfinite(value)) {
        return std::nullopt;
    }
    // Halves to the even neighbour, whatever rounding mode the process is in.
    const int saved = std::fegetround();
    std::fesetround(FE_TONEAREST);
    const double rounded = std::nearbyint(value);
    std::fesetround(saved);
    if (rounded < -32768.0 || rounded > 32767.0) {
        return std::nullopt;
    }
    return static_cast<std::int16_t>(rounded);
}

std::optional<std::int16_t> textToInt16(std::string_view text) {
    auto number = parseNumber(text);
    if (!number) {
        return std::nullopt;
    }
    return roundToInt16(*number);
}

std::string plainInt(long long value) {
    return std::to_string(value);
}

std::string strOfInt(long long value) {
    std::string text = value < 0 ? std::string() : std::string(1, ' ');
    text += std::to_string(value);
    return text;
}

std::string printedInt(long long value) {
    return strOfInt(value) + " ";
}

std::string shortestDouble(double value) {
    return shortestFixed(value);
}

std::string shortestFloat(float value) {
    return shortestFixed(value);
}

void appendSdDecimal(std::string& out, std::int16_t stored, int divisor) {
    // For 1, 10 and 100 the shortest text of the double quotient is the exact decimal quotient, which
    // whole-number arithmetic gives many times faster than a double-to-text conversion; the SD
    // output file writes hundreds of thousands of these.
    if (divisor != 1 && divisor != 10 && divisor != 100) {
        out += shortestFixed(static_cast<double>(stored) / divisor);
        return;
    }
    char buffer[16];
    char* end = buffer;
    const int magnitude = stored < 0 ? -static_cast<int>(stored) : stored;
    if (stored < 0) {
        *end++ = '-';
    }
    end = std::to_chars(end, buffer + sizeof buffer, magnitude / divisor).ptr;
    int rest = magnitude % divisor;
    if (rest != 0) {
        *end++ = '.';
        if (divisor == 100) {
            *end++ = static_cast<char>('0' + rest / 10);
            rest %= 10;
        }
        if (rest != 0) {
            *end++ = static_cast<char>('0' + rest);
        }
    }
    out.append(buffer, end);
}

std::string sdDecimal(std::int16_t stored, int divisor) {
    std::string text;
    appendSdDecimal(text, stored, divisor);
    return text;
}

std::string joinZones(const std::vector<std::string>& items) {
    std::string line;
    for (std::size_t i = 0; i < items.size(); ++i) {
        line += items[i];
        if (i + 1 < items.size()) {
            line.append(blanksToNextZone(line.size()), ' ');
        }
    }
    return line;
}

std::string_view cutField(std::string_view line, std::size_t position1, std::size_t length) {
    if (position1 == 0 || position1 > line.size()) {
        return {};
    }
    return line.substr(position1 - 1, length);
}

std::string_view trimBlanks(std::string_view text) {
    auto first = text.find_first_not_of(' ');
    if (first == std::string_view::npos) {
        return {};
    }
    auto last = text.find_last_not_of(' ');
    return text.substr(first, last - first + 1);
}

std::string csvField(std::string_view text) {
    std::string field;
    if (!text.empty() && std::string_view("=+-@\t\r").find(text.front()) != std::string_view::npos) {
        field += '\'';
    }
    field += text;
    if (field.find_first_of(",\"\r\n") == std::string::npos) {
        return field;
    }
    std::string quoted = "\"";
    for (char c : field) {
        if (c == '"') {
            quoted += '"';
        }
        quoted += c;
    }
    quoted += '"';
    return quoted;
}

std::string escapeControlCharacters(std::string_view text) {
    static constexpr char kHex[] = "0123456789abcdef";
    std::string escaped;
    escaped.reserve(text.size());
    for (char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte >= 32 && byte != 127) {
            escaped += c;
        } else if (c == '\n') {
            escaped += "\\n";
        } else if (c == '\r') {
            escaped += "\\r";
        } else if (c == '\t') {
            escaped += "\\t";
        } else {
            escaped += "\\x";
            escaped += kHex[byte >> 4];
            escaped += kHex[byte & 0x0f];
        }
    }
    return escaped;
}

namespace {

struct Run {
    std::size_t start;
    std::size_t end;
};

std::vector<Run> nonBlankRuns(std::string_view text) {
    std::vector<Run> runs;
    std::size_t i = 0;
    while (i < text.size()) {
        while (i < text.size() && text[i] == ' ')
            ++i;
        if (i == text.size())
            break;
        const std::size_t start = i;
        while (i < text.size() && text[i] != ' ')
            ++i;
        runs.push_back({start, i});
    }
    return runs;
}

} // namespace

std::string alignedHeader(std::string_view header, const std::vector<std::string>& rows) {
    const std::vector<Run> words = nonBlankRuns(header);
    for (const std::string& row : rows) {
        const std::vector<Run> columns = nonBlankRuns(row);
        if (words.empty() || columns.size() != words.size())
            continue;
        std::string aligned;
        for (std::size_t i = 0; i < words.size(); ++i) {
            const long width = static_cast<long>(words[i].end - words[i].start);
            const long spare = static_cast<long>(columns[i].end - columns[i].start) - width;
            long start = static_cast<long>(columns[i].start) + (spare >= 0 ? spare / 2 : -((1 - spare) / 2));
            // Never into the word before (one blank at least), never before the line's start.
            start = std::max({start, 0L, aligned.empty() ? 0L : static_cast<long>(aligned.size()) + 1});
            aligned.append(static_cast<std::size_t>(start) - aligned.size(), ' ');
            aligned += header.substr(words[i].start, static_cast<std::size_t>(width));
        }
        return aligned;
    }
    return std::string(header);
}

} // namespace kestrana::common
