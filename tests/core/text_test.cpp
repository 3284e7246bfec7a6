// The text helpers against the worked examples: number patterns and their rounding at ties, typed
// text to 16-bit whole numbers, plain and Str() forms, shortest decimal texts, the SD file's decimal
// form, print zones and fixed-position fields.

#include "platform/text.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <limits>
#include <string>

namespace kestrana::platform {
namespace {

TEST(TextPattern, DigitPlaceholdersAndLeadingZeros) {
    // "0" always shows a digit, "#" only a significant one; the integer part is never cut.
    EXPECT_EQ(formatPattern(0.5, "##0.00"), "0.50");
    EXPECT_EQ(formatPattern(0.5, "###.00"), ".50");
    EXPECT_EQ(formatPattern(0.0, "###.00"), ".00");
    EXPECT_EQ(formatPattern(30.0, "00.00"), "30.00");
    EXPECT_EQ(formatPattern(0.0, "00.00"), "00.00");
    EXPECT_EQ(formatPattern(100.0, "00.00"), "100.00");
    EXPECT_EQ(formatPattern(100.0 / 3.0, "00.00"), "33.33");
    EXPECT_EQ(formatPattern(5.5, "#00.00"), "05.50");
    EXPECT_EQ(formatPattern(123.456, "#00.00"), "123.46");
    EXPECT_EQ(formatPattern(12345.0, "##0.00"), "12345.00");
    EXPECT_EQ(formatPattern(7.25, "0.0"), "7.3");
    EXPECT_EQ(formatPattern(7.0, "0.00"), "7.00");
    EXPECT_EQ(formatPattern(3.4, "0"), "3");
}

TEST(TextPattern, WholeNumbersArePaddedNeverCut) {
    EXPECT_EQ(formatPattern(75, "0000"), "0075");
    EXPECT_EQ(formatPattern(120, "0000"), "0120");
    EXPECT_EQ(formatPattern(12345, "0000"), "12345");
    EXPECT_EQ(formatPattern(0, "0000"), "0000");
    EXPECT_EQ(formatPattern(7, "000"), "007");
    EXPECT_EQ(formatPattern(7, "00"), "07");
    EXPECT_EQ(formatPattern(18, "00"), "18");
    EXPECT_EQ(formatPattern(350, "00"), "350");
    EXPECT_EQ(formatPattern(-7, "0000"), "-0007");
    EXPECT_EQ(formatPattern(3, "0.00"), "3.00");
    EXPECT_EQ(formatPattern(0, "###.00"), ".00");
    EXPECT_EQ(formatPattern(-32768LL, "0"), "-32768");
}

TEST(TextPattern, TiesRoundAwayFromZeroOnTheShortestDecimalText) {
    // The written decimal value decides, not the binary one: printf rounds these ties differently.
    EXPECT_EQ(formatPattern(0.625, "0.00"), "0.63");
    EXPECT_EQ(formatPattern(41.025, "0.00"), "41.03");
    EXPECT_EQ(formatPattern(45.125, "##0.00"), "45.13");
    EXPECT_EQ(formatPattern(45.125, "00.00"), "45.13");
    EXPECT_EQ(formatPattern(1.0 * 100 / 160, "00.00"), "00.63"); // 1 block in 160
    char viaPrintf[32];
    std::snprintf(viaPrintf, sizeof viaPrintf, "%.2f", 41.025);
    EXPECT_STRNE(viaPrintf, "41.03") << "41.025 is not a tie in binary; the pattern must not depend on that";
    EXPECT_EQ(formatPattern(2.5, "0"), "3");
    EXPECT_EQ(formatPattern(0.25, "0.0"), "0.3");
    EXPECT_EQ(formatPattern(0.05, "0.0"), "0.1");
    EXPECT_EQ(formatPattern(0.625, "0.000"), "0.625");
    EXPECT_EQ(formatPattern(0.624999, "0.00"), "0.62");
}

TEST(TextPattern, RoundingCarriesIntoTheIntegerPart) {
    EXPECT_EQ(formatPattern(9.995, "0.00"), "10.00");
    EXPECT_EQ(formatPattern(99.5, "00"), "100");
    EXPECT_EQ(formatPattern(0.999, "###.00"), "1.00");
    EXPECT_EQ(formatPattern(99.999, "00.00"), "100.00");
}

TEST(TextPattern, NegativeValues) {
    EXPECT_EQ(formatPattern(-7.5, "0.0"), "-7.5");
    EXPECT_EQ(formatPattern(-0.5, "##0.00"), "-0.50");
    EXPECT_EQ(formatPattern(-0.5, "###.00"), "-.50");
    EXPECT_EQ(formatPattern(-2.5, "0"), "-3");
    EXPECT_EQ(formatPattern(-41.025, "0.00"), "-41.03");
    // A value that rounds to zero shows no sign.
    EXPECT_EQ(formatPattern(-0.001, "0.00"), "0.00");
}

TEST(TextPattern, SinglePrecisionIsRoundedOnItsOwnShortestText) {
    // 0.625f and 33.335f: the float's own shortest text is the tie, whatever the double widening shows.
    EXPECT_EQ(formatPattern(0.625f, "0.00"), "0.63");
    EXPECT_EQ(formatPattern(33.335f, "00.00"), "33.34");
    EXPECT_EQ(formatPattern(33.33f, "00.00"), "33.33");
    EXPECT_EQ(formatPattern(12.5f, "0"), "13");
}

TEST(TextPattern, AtSignsRightAlignText) {
    EXPECT_EQ(formatAt("5", "@@@"), "  5");
    EXPECT_EQ(formatAt("42", "@@@"), " 42");
    EXPECT_EQ(formatAt("", "@@@"), "   ");
    EXPECT_EQ(formatAt("abc", "@@@"), "abc");
    EXPECT_EQ(formatAt("abcd", "@@@"), "abcd");
}

TEST(TextToInt16, RoundsHalvesToEven) {
    EXPECT_EQ(textToInt16("0.20"), 0);
    EXPECT_EQ(textToInt16("35.5"), 36);
    EXPECT_EQ(textToInt16("34.5"), 34);
    EXPECT_EQ(textToInt16("15.5"), 16);
    EXPECT_EQ(textToInt16("14.5"), 14);
    EXPECT_EQ(textToInt16("0.5"), 0);
    EXPECT_EQ(textToInt16(".5"), 0);
    EXPECT_EQ(textToInt16("1.5"), 2);
    EXPECT_EQ(textToInt16("-2.5"), -2);
    EXPECT_EQ(textToInt16("-3.5"), -4);
    EXPECT_EQ(textToInt16("35.51"), 36);
    EXPECT_EQ(textToInt16("5."), 5);
    EXPECT_EQ(textToInt16("+7"), 7);
    EXPECT_EQ(textToInt16("1e3"), 1000);
    EXPECT_EQ(textToInt16("  120  "), 120);
}

TEST(TextToInt16, SixteenBitRangeEdges) {
    EXPECT_EQ(textToInt16("32767"), 32767);
    EXPECT_EQ(textToInt16("32767.4"), 32767);
    EXPECT_EQ(textToInt16("32767.5"), std::nullopt);
    EXPECT_EQ(textToInt16("32768"), std::nullopt);
    EXPECT_EQ(textToInt16("-32768"), -32768);
    EXPECT_EQ(textToInt16("-32768.5"), -32768); // the even neighbour is still inside
    EXPECT_EQ(textToInt16("-32769"), std::nullopt);
    EXPECT_EQ(textToInt16("1e400"), std::nullopt);
    EXPECT_EQ(textToInt16("-1e400"), std::nullopt);
    EXPECT_EQ(roundToInt16(std::numeric_limits<double>::quiet_NaN()), std::nullopt);
    EXPECT_EQ(roundToInt16(std::numeric_limits<double>::infinity()), std::nullopt);
}

TEST(TextToInt16, RefusesTextsThatAreNotNumbers) {
    for (const char* text : {"", " ", "abc", "12abc", "1,5", ".", "-", "+", "1e", "1e+", "--5", "5-", "0x10",
                             "1 2", "12.5.1", "nan", "inf"}) {
        EXPECT_EQ(textToInt16(text), std::nullopt) << '"' << text << '"';
    }
}

TEST(TextNumbers, PlainStrAndPrintedForms) {
    EXPECT_EQ(plainInt(120), "120");
    EXPECT_EQ(plainInt(-7), "-7");
    EXPECT_EQ(plainInt(0), "0");
    EXPECT_EQ(strOfInt(120), " 120");
    EXPECT_EQ(strOfInt(0), " 0");
    EXPECT_EQ(strOfInt(-5), "-5");
    EXPECT_EQ(printedInt(120), " 120 ");
    EXPECT_EQ(printedInt(-5), "-5 ");
}

TEST(TextNumbers, ShortestDecimalTexts) {
    EXPECT_EQ(shortestDouble(42.0), "42");
    EXPECT_EQ(shortestDouble(42.4), "42.4");
    EXPECT_EQ(shortestDouble(125.0 / 3.0), "41.666666666666664");
    EXPECT_EQ(shortestDouble(0.1 + 0.2), "0.30000000000000004");
    EXPECT_EQ(shortestDouble(-0.5), "-0.5");
    EXPECT_EQ(shortestDouble(0.0), "0");
    EXPECT_EQ(shortestDouble(1e-7), "0.0000001");
    EXPECT_EQ(shortestDouble(1e21), "1000000000000000000000");
    EXPECT_EQ(shortestFloat(30.0f), "30");
    EXPECT_EQ(shortestFloat(33.33f), "33.33");
    EXPECT_EQ(shortestFloat(12.5f), "12.5");
    EXPECT_EQ(shortestFloat(0.0f), "0");
    // Each text reads back as the same value.
    for (double value : {125.0 / 3.0, 0.1 + 0.2, 2.0 / 7.0, 1234.5678}) {
        EXPECT_EQ(std::strtod(shortestDouble(value).c_str(), nullptr), value);
    }
}

TEST(TextSdDecimal, WorkedExamples) {
    EXPECT_EQ(sdDecimal(120, 10), "12");
    EXPECT_EQ(sdDecimal(125, 10), "12.5");
    EXPECT_EQ(sdDecimal(187, 100), "1.87");
    EXPECT_EQ(sdDecimal(115, 100), "1.15");
    EXPECT_EQ(sdDecimal(-75, 10), "-7.5");
    EXPECT_EQ(sdDecimal(5, 10), "0.5");
    EXPECT_EQ(sdDecimal(-5, 10), "-0.5");
    EXPECT_EQ(sdDecimal(5, 100), "0.05");
    EXPECT_EQ(sdDecimal(110, 100), "1.1");
    EXPECT_EQ(sdDecimal(100, 100), "1");
    EXPECT_EQ(sdDecimal(0, 10), "0");
    EXPECT_EQ(sdDecimal(-32768, 10), "-3276.8");
    EXPECT_EQ(sdDecimal(32767, 100), "327.67");
}

// The quotient written from whole-number arithmetic alone: the reference the double-based helper
// has to agree with over the whole 16-bit range.
std::string exactQuotient(int stored, int divisor) {
    const int places = divisor == 10 ? 1 : 2;
    const int magnitude = std::abs(stored);
    std::string text = stored < 0 ? "-" : "";
    text += std::to_string(magnitude / divisor);
    std::string fraction = std::to_string(magnitude % divisor);
    fraction.insert(0, static_cast<std::size_t>(places) - fraction.size(), '0');
    while (!fraction.empty() && fraction.back() == '0') {
        fraction.pop_back();
    }
    if (!fraction.empty()) {
        text += "." + fraction;
    }
    return text;
}

TEST(TextSdDecimal, AgreesWithExactArithmeticOverTheWholeRange) {
    int mismatches = 0;
    for (int stored = -32768; stored <= 32767; ++stored) {
        for (int divisor : {10, 100}) {
            const std::string got = sdDecimal(static_cast<std::int16_t>(stored), divisor);
            if (got != exactQuotient(stored, divisor) && ++mismatches <= 5) {
                ADD_FAILURE() << stored << " / " << divisor << " gave " << got << ", expected "
                              << exactQuotient(stored, divisor);
            }
        }
    }
    EXPECT_EQ(mismatches, 0);
}

TEST(TextZones, PadToTheNextFourteenCharacterZone) {
    std::string line;
    padToNextZone(line);
    EXPECT_EQ(line, std::string(14, ' '));
    line = std::string(13, 'x');
    padToNextZone(line);
    EXPECT_EQ(line, std::string(13, 'x') + " ");
    line = std::string(14, 'x');
    padToNextZone(line);
    EXPECT_EQ(line, std::string(14, 'x') + std::string(14, ' '));
    line = std::string(15, 'x');
    padToNextZone(line);
    EXPECT_EQ(line.size(), 28u);
    line = std::string(27, 'x');
    padToNextZone(line);
    EXPECT_EQ(line.size(), 28u);
}

TEST(TextZones, JoinPadsEveryItemButTheLast) {
    EXPECT_EQ(joinZones({}), "");
    EXPECT_EQ(joinZones({"abc"}), "abc");
    EXPECT_EQ(joinZones({"a", "b"}), "a" + std::string(13, ' ') + "b");
    EXPECT_EQ(joinZones({"", "x", ""}), std::string(14, ' ') + "x" + std::string(13, ' '));
    EXPECT_EQ(joinZones({std::string(14, 'k'), "v"}), std::string(14, 'k') + std::string(14, ' ') + "v");
}

TEST(TextFields, CutByPositionWithoutTrimming) {
    const std::string header = "95,1,120326,0815";
    EXPECT_EQ(cutField(header, 4, 1), "1");
    EXPECT_EQ(cutField(header, 6, 6), "120326");
    // A header line of 8 characters: the date is cut at the end of the line.
    EXPECT_EQ(cutField("95,1,120", 6, 6), "120");
    EXPECT_EQ(cutField("95,1,120", 4, 1), "1");
    EXPECT_EQ(cutField("95,1,120", 9, 6), "");
    EXPECT_EQ(cutField("95", 4, 1), "");
    EXPECT_EQ(cutField("91,0034,NR,KM,  A B  ,", 15, 30), "  A B  ,");
    EXPECT_EQ(cutField("", 1, 3), "");
}

TEST(TextFields, TrimBlanksOnly) {
    EXPECT_EQ(trimBlanks("  ab c  "), "ab c");
    EXPECT_EQ(trimBlanks("   "), "");
    EXPECT_EQ(trimBlanks(""), "");
    EXPECT_EQ(trimBlanks("x"), "x");
}

} // namespace
} // namespace kestrana::platform
