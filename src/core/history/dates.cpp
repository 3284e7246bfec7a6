// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Kestrana developers

#include "core/history/dates.h"

#include <cstdio>

namespace kestrana::history {

namespace {
bool isLeapYear(int year) {
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}
int daysInMonth(int year, int month) {
    static constexpr int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && isLeapYear(year) ? 29 : kDays[month - 1];
}
} // namespace

// Days from the civil calendar by eras of 400 years (146097 days each), with the year starting in
// March so that the leap day falls at its end.
Day dayOf(const CivilDate& date) {
    const int year = date.year - (date.month <= 2 ? 1 : 0);
    const int era = (year >= 0 ? year : year - 399) / 400;
    const int yearOfEra = year - era * 400;
    const int monthFromMarch = date.month > 2 ? date.month - 3 : date.month + 9;
    const int dayOfYear = (153 * monthFromMarch + 2) / 5 + date.day - 1;
    const int dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + dayOfEra - 719468;
}

CivilDate civilDateOf(Day day) {
    const int shifted = day + 719468;
    const int era = (shifted >= 0 ? shifted : shifted - 146096) / 146097;
    const int dayOfEra = shifted - era * 146097;
    const int yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const int dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const int monthFromMarch = (5 * dayOfYear + 2) / 153;
    CivilDate date;
    date.day = dayOfYear - (153 * monthFromMarch + 2) / 5 + 1;
    date.month = monthFromMarch < 10 ? monthFromMarch + 3 : monthFromMarch - 9;
    date.year = yearOfEra + era * 400 + (date.month <= 2 ? 1 : 0);
    return date;
}

bool isCalendarDate(const CivilDate& date) {
    return date.month >= 1 && date.month <= 12 && date.day >= 1 &&
           date.day <= daysInMonth(date.year, date.month);
}

std::optional<Day> dayOfRunDate(std::string_view ddmmyy) {
    if (ddmmyy.size() != 6) {
        return std::nullopt;
    }
    for (char c : ddmmyy) {
        if (c < '0' || c > '9') {
            return std::nullopt;
        }
    }
    auto twoDigits = [&](std::size_t at) { return (ddmmyy[at] - '0') * 10 + (ddmmyy[at + 1] - '0'); };
    const int yy = twoDigits(4);
    const CivilDate date{yy < 70 ? 2000 + yy : 1900 + yy, twoDigits(2), twoDigits(0)};
    if (!isCalendarDate(date)) {
        return std::nullopt;
    }
    return dayOf(date);
}

std::string isoDate(Day day) {
    const CivilDate date = civilDateOf(day);
    char text[32];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d", date.year, date.month, date.day);
    return text;
}

std::string isoUtcTime(std::int64_t seconds) {
    constexpr std::int64_t kDaySeconds = 86400;
    const std::int64_t day = seconds >= 0 ? seconds / kDaySeconds : (seconds - kDaySeconds + 1) / kDaySeconds;
    const std::int64_t ofDay = seconds - day * kDaySeconds;
    char text[32];
    std::snprintf(text, sizeof text, "T%02d:%02d:%02dZ", static_cast<int>(ofDay / 3600),
                  static_cast<int>(ofDay / 60 % 60), static_cast<int>(ofDay % 60));
    return isoDate(static_cast<Day>(day)) + text;
}

std::string isoUtcTimeOf(const std::optional<std::int64_t>& microseconds) {
    if (!microseconds)
        return {};
    constexpr std::int64_t kSecond = 1000000;
    const std::int64_t time = *microseconds;
    return isoUtcTime(time >= 0 ? time / kSecond : (time - kSecond + 1) / kSecond);
}

Day addMonths(Day day, int months) {
    const CivilDate date = civilDateOf(day);
    const int monthIndex = date.year * 12 + (date.month - 1) + months;
    const int year = monthIndex >= 0 ? monthIndex / 12 : (monthIndex - 11) / 12;
    const int month = monthIndex - year * 12 + 1;
    const int lastDay = daysInMonth(year, month);
    return dayOf(CivilDate{year, month, date.day < lastDay ? date.day : lastDay});
}

} // namespace kestrana::history
