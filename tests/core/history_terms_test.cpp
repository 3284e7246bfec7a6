// Track history's small definitions: run dates, day numbers, months, the content hash, the value
// bands and the refusals of typed settings.

#include "core/history/dates.h"
#include "core/history/history_settings.h"
#include "core/history/sha256.h"
#include "core/history/terms.h"

#include <gtest/gtest.h>

#include <string>

using namespace kestrana::history;

TEST(HistoryDates, RunDatesAreDdmmyyWithTheCenturyWindow) {
    struct Case {
        const char* text;
        const char* iso; // nullptr: refused
    };
    const Case cases[] = {
        {"010170", "1970-01-01"}, {"311269", "2069-12-31"}, {"311299", "1999-12-31"},
        {"010100", "2000-01-01"}, {"290224", "2024-02-29"}, {"290200", "2000-02-29"},
        {"290223", nullptr},      {"310424", nullptr},      {"000124", nullptr},
        {"011324", nullptr},      {"01012", nullptr},       {"0101245", nullptr},
        {" 10124", nullptr},      {"01-124", nullptr},      {"", nullptr},
    };
    for (const Case& c : cases) {
        const auto day = dayOfRunDate(c.text);
        if (c.iso == nullptr) {
            EXPECT_FALSE(day) << c.text;
        } else {
            ASSERT_TRUE(day) << c.text;
            EXPECT_EQ(isoDate(*day), c.iso) << c.text;
        }
    }
    EXPECT_EQ(*dayOfRunDate("010170"), 0);
    EXPECT_EQ(*dayOfRunDate("020170"), 1);
}

TEST(HistoryDates, DayNumbersFollowTheCalendarDayByDay) {
    // Walking day by day from 0001-01-01 to 9999-12-31, each day is the next calendar date.
    CivilDate expected{1, 1, 1};
    for (Day day = dayOf(expected); day <= dayOf({9999, 12, 31}); ++day) {
        const CivilDate date = civilDateOf(day);
        ASSERT_EQ(date, expected) << day;
        ASSERT_EQ(dayOf(date), day);
        expected.day += 1;
        if (!isCalendarDate(expected)) {
            expected = {expected.year + (expected.month == 12 ? 1 : 0), expected.month % 12 + 1, 1};
        }
    }
}

TEST(HistoryDates, MonthsLaterKeepTheDayOrTakeTheMonthsLast) {
    struct Case {
        CivilDate from;
        int months;
        CivilDate to;
    };
    const Case cases[] = {
        {{2024, 1, 31}, 1, {2024, 2, 29}},    {{2023, 1, 31}, 1, {2023, 2, 28}},
        {{2024, 12, 15}, 12, {2025, 12, 15}}, {{2024, 3, 31}, -1, {2024, 2, 29}},
        {{2024, 11, 30}, 3, {2025, 2, 28}},   {{2026, 12, 6}, 0, {2026, 12, 6}},
        {{2000, 1, 1}, -13, {1998, 12, 1}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(civilDateOf(addMonths(dayOf(c.from), c.months)), c.to)
            << c.from.year << "-" << c.from.month;
    }
}

TEST(HistoryHash, Sha256MatchesTheStandardsVectors) {
    const std::pair<std::string, const char*> cases[] = {
        {"", "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"},
        {"abc", "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"},
        {"abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq",
         "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1"},
    };
    for (const auto& [bytes, hex] : cases) {
        EXPECT_EQ(hexText(sha256(bytes)), hex) << bytes;
    }
}

TEST(HistoryTerms, ValueBandsAreTheAnalysersQualityBands) {
    const std::pair<int, ValueBand> cases[] = {
        {0, ValueBand::NotRecorded}, {-1, ValueBand::NoBand},   {-32768, ValueBand::NoBand},
        {1, ValueBand::Band1},       {35, ValueBand::Band1},    {36, ValueBand::Band2},
        {50, ValueBand::Band2},      {51, ValueBand::Band3},    {80, ValueBand::Band3},
        {81, ValueBand::Band4},      {32767, ValueBand::Band4},
    };
    for (const auto& [value, band] : cases) {
        EXPECT_EQ(valueBandOf(static_cast<std::int16_t>(value)), band) << value;
    }
}

TEST(HistoryTerms, BlocksRunInTheRunDirection) {
    const BlockKey low{10, 5}, high{11, 1}, sameKmLater{10, 6};
    EXPECT_TRUE(comesBefore(low, high, 1));
    EXPECT_TRUE(comesBefore(high, low, -1));
    EXPECT_TRUE(comesBefore(low, sameKmLater, 1));
    EXPECT_TRUE(comesBefore(low, sameKmLater, -1));
    EXPECT_EQ(kmRangeBetween(12, 3), (KmRange{3, 12}));
}

TEST(HistorySettings, TypedValuesAreReadAsTheScreensReadNumbers) {
    struct Case {
        std::int16_t (*parse)(std::string_view);
        const char* text;
        int expected; // -99999: refused
    };
    constexpr int kRefused = -99999;
    const Case cases[] = {
        {jumpFromText, "15", 15},          {jumpFromText, "1.5", 2},
        {jumpFromText, "0.4", kRefused},   {jumpFromText, "0", kRefused},
        {jumpFromText, "-3", kRefused},    {jumpFromText, "x", kRefused},
        {thresholdFromText, "36", 36},     {thresholdFromText, "-5", -5},
        {thresholdFromText, "35.5", 36},   {thresholdFromText, "32768", kRefused},
        {thresholdFromText, "", kRefused}, {kmFromText, "-32768", -32768},
        {kmFromText, "12abc", kRefused},   {blockFromText, "4", 4},
    };
    for (const Case& c : cases) {
        if (c.expected == kRefused) {
            EXPECT_THROW(c.parse(c.text), SettingRefused) << c.text;
        } else {
            EXPECT_EQ(c.parse(c.text), c.expected) << c.text;
        }
    }
    EXPECT_EQ(directionFromText("-1"), -1);
    EXPECT_THROW(directionFromText("2"), SettingRefused);
    EXPECT_THROW(directionFromText("0"), SettingRefused);
    EXPECT_EQ(indexFromText("TGIL"), BlockIndex::TGIL);
    EXPECT_THROW(indexFromText("tgi"), SettingRefused);
    EXPECT_EQ(horizonMonthsFromText("12"), 12);
    EXPECT_THROW(horizonMonthsFromText("-1"), SettingRefused);
}
