// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Kestrana developers

#pragma once
// Dates of track history: a run's six-character date read as DDMMYY (years 00-69 are 2000-2069,
// 70-99 are 1970-1999), day numbers since 1970-01-01, and the YYYY-MM-DD text of a day.

#include "core/history/terms.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace kestrana::history {

struct CivilDate {
    int year = 1970;
    int month = 1; // 1 to 12
    int day = 1;   // 1 to 31
    bool operator==(const CivilDate&) const = default;
};

// The day number of a calendar date of the proleptic Gregorian calendar (1970-01-01 is 0). The date is
// taken as given; see isCalendarDate.
Day dayOf(const CivilDate& date);
CivilDate civilDateOf(Day day);
bool isCalendarDate(const CivilDate& date);

// A run date "DDMMYY": exactly six digits forming a real calendar date; empty otherwise.
std::optional<Day> dayOfRunDate(std::string_view ddmmyy);

// "YYYY-MM-DD".
std::string isoDate(Day day);
// "YYYY-MM-DDTHH:MM:SSZ" of a time in seconds since 1970-01-01 00:00:00 UTC.
std::string isoUtcTime(std::int64_t seconds);
// The same of a time in microseconds, cut to the second it falls in (before 1970 too); empty where the
// time is not known (a run taken into a library before libraries kept the time).
std::string isoUtcTimeOf(const std::optional<std::int64_t>& microseconds);

// The same day `months` calendar months later (earlier when negative); a day past the end of the
// target month becomes its last day (31 January + 1 month = 28 or 29 February).
Day addMonths(Day day, int months);

} // namespace kestrana::history
