// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Kestrana developers

// The text helpers against the worked examples: number patterns and their rounding at ties, typed
// text to 16-bit whole numbers, the SD file's decimal form, CSV text fields and escaped names.

#include "core/common/text.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <limits>
#include <string>
#include <string_view>
#include <utility>

namespace kestrana::common {
namespace {

struct PatternCase {
    double value;
    const char* pattern;
    const char* expected;
};

TEST(TextPattern, DigitsTiesCarriesAndSigns) {
    // clang-format off
    const PatternCase cases[] = {
        // "0" always shows a digit, "#" only a significant one; the integer part is never cut.
        {0.5, "##0.00", "0.50"}, {0.5, "###.00", ".50"}, {0.0, "###.00", ".00"}, {0.0, "00.00", "00.00"},
        {100.0, "00.00", "100.00"}, {100.0 / 3.0, "00.00", "33.33"}, {5.5, "#00.00", "05.50"},
        {123.456, "#00.00", "123.46"}, {12345.0, "##0.00", "12345.00"}, {3.4, "0", "3"},
        // Ties round away from zero on the shortest decimal text, not on the binary value (printf
        // gives 41.02 and 45.12 here); 1 block in 160 is such a tie.
        {0.625, "0.00", "0.63"}, {41.025, "0.00", "41.03"}, {45.125, "##0.00", "45.13"},
        {100.0 / 160, "00.00", "00.63"}, {2.5, "0", "3"}, {0.05, "0.0", "0.1"}, {0.624999, "0.00", "0.62"},
        // Rounding carries into the integer part.
        {9.995, "0.00", "10.00"}, {99.5, "00", "100"}, {0.999, "###.00", "1.00"},
        // Negative values; one that rounds to zero shows no sign.
        {-0.5, "##0.00", "-0.50"}, {-0.5, "###.00", "-.50"}, {-2.5, "0", "-3"}, {-41.025, "0.00", "-41.03"},
        {-0.001, "0.00", "0.00"}};
    // clang-format on
    for (const auto& c : cases) {
        EXPECT_EQ(formatPattern(c.value, c.pattern), c.expected) << c.value << " under " << c.pattern;
    }
    // Whole numbers are padded, never cut.
    EXPECT_EQ(formatPattern(75, "0000"), "0075");
    EXPECT_EQ(formatPattern(12345, "0000"), "12345");
    EXPECT_EQ(formatPattern(-7, "0000"), "-0007");
    EXPECT_EQ(formatPattern(3, "0.00"), "3.00");
    EXPECT_EQ(formatPattern(0, "###.00"), ".00");
    EXPECT_EQ(formatPattern(std::numeric_limits<long long>::min(), "0"), "-9223372036854775808");
    // A single-precision value is rounded on its own shortest text (33.335f widens to 33.334999...).
    EXPECT_EQ(formatPattern(0.625f, "0.00"), "0.63");
    EXPECT_EQ(formatPattern(33.335f, "00.00"), "33.34");
    // "@@@" right-aligns in three characters and never cuts.
    EXPECT_EQ(formatAt("5", "@@@"), "  5");
    EXPECT_EQ(formatAt("", "@@@"), "   ");
    EXPECT_EQ(formatAt("abcd", "@@@"), "abcd");
}

TEST(TextToInt16, RoundsHalvesToEvenWithinSixteenBits) {
    // clang-format off
    const std::pair<const char*, int> cases[] = {
        {"0.20", 0}, {"35.5", 36}, {"34.5", 34}, {".5", 0}, {"1.5", 2}, {"-2.5", -2}, {"-3.5", -4}, {"5.", 5},
        {"+7", 7}, {"1e3", 1000}, {"  120  ", 120}, {"32767.4", 32767}, {"-32768.5", -32768}};
    // clang-format on
    for (const auto& [text, expected] : cases) {
        EXPECT_EQ(textToInt16(text), expected) << '"' << text << '"';
    }
    for (const char* text : {"32767.5", "32768", "-32769", "1e400", "", " ", "12abc", "1,5", ".", "-", "1e",
                             "--5", "0x10", "1 2", "12.5.1", "nan", "inf"}) {
        EXPECT_EQ(textToInt16(text), std::nullopt) << '"' << text << '"';
    }
    EXPECT_EQ(roundToInt16(std::numeric_limits<double>::quiet_NaN()), std::nullopt);
}

TEST(TextSdDecimal, TheDoubleQuotientWithALeadingZero) {
    EXPECT_EQ(sdDecimal(120, 10), "12");
    EXPECT_EQ(sdDecimal(125, 10), "12.5");
    EXPECT_EQ(sdDecimal(187, 100), "1.87");
    EXPECT_EQ(sdDecimal(-75, 10), "-7.5");
    EXPECT_EQ(sdDecimal(-5, 10), "-0.5");
    EXPECT_EQ(sdDecimal(5, 100), "0.05");
    EXPECT_EQ(sdDecimal(110, 100), "1.1");
    // The whole-number shortcut must agree with the shortest text of the double quotient everywhere.
    int mismatches = 0;
    for (int stored = -32768; stored <= 32767; ++stored) {
        for (int divisor : {10, 100}) {
            const std::string expected = shortestDouble(static_cast<double>(stored) / divisor);
            const std::string got = sdDecimal(static_cast<std::int16_t>(stored), divisor);
            if (got != expected && ++mismatches <= 5) {
                ADD_FAILURE() << stored << " / " << divisor << " gave " << got << ", expected " << expected;
            }
        }
    }
    EXPECT_EQ(mismatches, 0);
}

TEST(TextForOthers, CsvFieldsQuotedAndKeptFromFormulasAndControlCharactersEscaped) {
    const std::pair<std::string_view, std::string> cases[] = {
        {"ITARSI - NAGPUR UP", "ITARSI - NAGPUR UP"},
        {"", ""},
        {"A, B \"UP\"", "\"A, B \"\"UP\"\"\""},
        {"=HYPERLINK(\"http://x\")", "\"'=HYPERLINK(\"\"http://x\"\")\""},
        {"+1", "'+1"},
        {"-1", "'-1"}, // a text: numbers never go through csvField
        {"@SUM(A1)", "'@SUM(A1)"},
        {"\tTAB", "'\tTAB"},
        {"\rCR", "\"'\rCR\""},
        {"=1,2", "\"'=1,2\""},
        {"a=b", "a=b"},
        {"line\nend", "\"line\nend\""},
    };
    for (const auto& [text, expected] : cases) {
        EXPECT_EQ(csvField(text), expected) << text;
    }
    // Control characters become visible escapes, and nothing else changes.
    using namespace std::string_literals;
    EXPECT_EQ(escapeControlCharacters("/runs/a b\\c.run"), "/runs/a b\\c.run");
    EXPECT_EQ(escapeControlCharacters("two\nlines\r\tand\x1b[31m"), "two\\nlines\\r\\tand\\x1b[31m");
    EXPECT_EQ(escapeControlCharacters("nul\0byte\x7f"s), "nul\\x00byte\\x7f");
    EXPECT_EQ(escapeControlCharacters("caf\xc3\xa9"), "caf\xc3\xa9"); // bytes past 127 are text
}

} // namespace
} // namespace kestrana::common
