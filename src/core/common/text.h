// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Kestrana developers

#pragma once
// Text helpers shared by every screen, report and query: number patterns, typed text to 16-bit
// whole numbers, plain and Str() forms of numbers, print zones and the SD file's decimal form.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kestrana::common {

// Formats a number by a pattern of the kinds "##0.00", "###.00", "00.00", "#00.00", "0000", "000",
// "00", "0", "0.0", "0.00": a 0 always shows a digit (leading zeros included), a # only a
// significant one, the integer part is never cut, a negative value gets a leading minus sign.
// The value is rounded half away from zero on its shortest decimal text that reads back as the
// same double, so 0.625 gives "0.63" under "0.00" and 41.025 gives "41.03".
std::string formatPattern(double value, std::string_view pattern);
// The same for a single-precision value, rounded on its shortest single-precision text.
std::string formatPattern(float value, std::string_view pattern);
// Whole numbers: exact, no rounding question ("0000" on 75 gives "0075", on -7 gives "-0007").
std::string formatPattern(long long value, std::string_view pattern);
inline std::string formatPattern(int value, std::string_view pattern) {
    return formatPattern(static_cast<long long>(value), pattern);
}
// Patterns of @: right-aligns the text in as many characters as the pattern has ("@@@"); a longer
// text stays whole.
std::string formatAt(std::string_view text, std::string_view pattern);

// Reads typed text as a number: optional blanks, optional sign, digits with an optional decimal
// point (".5" and "5." included), an optional exponent, optional blanks. Anything else (an empty
// text included) is not a number.
std::optional<double> parseNumber(std::string_view text);
// Rounds to the nearest whole number, halves to the even neighbour, and checks the signed 16-bit
// range; nullopt when the result is outside -32768 to 32767 or the value is not finite.
std::optional<std::int16_t> roundToInt16(double value);
// Typed text to a signed 16-bit whole number: parseNumber then roundToInt16 ("0.20" gives 0,
// "35.5" gives 36, "34.5" gives 34).
std::optional<std::int16_t> textToInt16(std::string_view text);

// Plain decimal digits with a minus sign when negative, no blanks or leading zeros.
std::string plainInt(long long value);
// Str() of a number: a leading blank before zero or a positive value, a minus sign before a
// negative one (" 120", "-5").
std::string strOfInt(long long value);
// A whole number as the printer statement writes it into a file: a blank (a minus sign instead when
// negative), its digits and one trailing blank (" 120 ", "-5 ").
std::string printedInt(long long value);

// The shortest decimal text that reads back as the same double (42, 42.4, 41.666666666666664);
// no decimal point when the value is whole, no exponent for ordinary magnitudes.
std::string shortestDouble(double value);
// The same for single precision (30, 33.33, 12.5).
std::string shortestFloat(float value);

// A stored 16-bit value divided by 10 or 100 as the SD output file writes it: only the digits the
// quotient needs, no trailing zeros, no point when whole, a leading zero between -1 and 1
// (120/10 -> "12", 125/10 -> "12.5", 5/100 -> "0.05", -5/10 -> "-0.5").
std::string sdDecimal(std::int16_t stored, int divisor);
// The same appended to `out`; divisor 1 writes the whole number.
void appendSdDecimal(std::string& out, std::int16_t stored, int divisor);

// Print zones of 14 characters: the blanks that take an item ending at 0-based `column` to the
// start of the next zone, at least one and at most 14.
constexpr std::size_t kPrintZoneWidth = 14;
constexpr std::size_t blanksToNextZone(std::size_t column) {
    return kPrintZoneWidth - column % kPrintZoneWidth;
}
// Joins items into one line, each item but the last followed by blanks up to the next zone.
std::string joinZones(const std::vector<std::string>& items);

// A field cut from a line by 1-based position and length; cut at the end of the line, empty when
// it starts past the end.
std::string_view cutField(std::string_view line, std::size_t position1, std::size_t length);
// Leading and trailing blanks removed.
std::string_view trimBlanks(std::string_view text);
// One text field of a comma-separated line, the one way every CSV of this program writes text (line
// names, run numbers, dates, paths). A text a spreadsheet would run as a formula, one beginning with
// =, +, -, @, a tab or a carriage return, gets a leading ' so that it is shown as the text it is.
// The field is then written as it stands, unless it holds a comma, a double quote, a carriage return
// or a line feed: then in double quotes with inner quotes doubled. Numbers never go through this:
// they are written as they are, so a direction of -1 stays -1.
std::string csvField(std::string_view text);

// The text with every control character (below 32, and 127) written as a visible escape: \n, \r, \t,
// or \xNN (two hex digits), so that a name holding one still prints as one line of plain text.
std::string escapeControlCharacters(std::string_view text);

// A column header made to stand over its columns in a fixed-pitch face: each word of `header` centred
// over the matching run of non-blank characters of the first of `rows` that has as many runs as the
// header has words (a wider word starts no later than its column would centre it, and never runs
// into the word before). The header as it stands when no row matches.
std::string alignedHeader(std::string_view header, const std::vector<std::string>& rows);

} // namespace kestrana::common
