#pragma once

#include <cstdint>

// Proleptic Gregorian calendar arithmetic on 64-bit day counts, free of any time zone.
// Day 0 is 1970-01-01; months run from 1 to 12.

namespace civil {

inline constexpr std::int64_t kSecondsPerDay = 86400;

// Division rounding towards minus infinity, so that negative times fall into the right day.
constexpr std::int64_t FloorDiv(std::int64_t a, std::int64_t b) {
    const std::int64_t q = a / b;
    return (a % b != 0 && (a < 0) != (b < 0)) ? q - 1 : q;
}

constexpr std::int64_t FloorMod(std::int64_t a, std::int64_t b) {
    return a - FloorDiv(a, b) * b;
}

// Days from 1970-01-01 to the given date; month must be 1..12, day may be any value.
constexpr std::int64_t DaysFromCivil(std::int64_t year, std::int64_t month, std::int64_t day) {
    year -= month <= 2 ? 1 : 0;
    const std::int64_t era = FloorDiv(year, 400);
    const std::int64_t yearOfEra = year - era * 400;
    const std::int64_t dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    const std::int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + dayOfEra - 719468;
}

struct Date {
    std::int64_t year = 0;
    int month = 0;
    int day = 0;
};

constexpr Date CivilFromDays(std::int64_t days) {
    days += 719468;
    const std::int64_t era = FloorDiv(days, 146097);
    const std::int64_t dayOfEra = days - era * 146097;
    const std::int64_t yearOfEra =
        (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const std::int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const std::int64_t monthIndex = (5 * dayOfYear + 2) / 153;
    const int day = static_cast<int>(dayOfYear - (153 * monthIndex + 2) / 5 + 1);
    const int month = static_cast<int>(monthIndex < 10 ? monthIndex + 3 : monthIndex - 9);
    const std::int64_t year = yearOfEra + era * 400 + (month <= 2 ? 1 : 0);
    return {year, month, day};
}

// 0 = Sunday .. 6 = Saturday; 1970-01-01 was a Thursday.
constexpr int WeekdayFromDays(std::int64_t days) {
    return static_cast<int>(FloorMod(days + 4, 7));
}

// Seconds of a wall-clock reading counted as if it were UTC, with every field normalised the
// way mktime does: month 13 is January of the next year, day 0 the last day of the previous
// month, hour 24 is 00:00 of the next day.
constexpr std::int64_t WallSeconds(std::int64_t year, std::int64_t month, std::int64_t day,
                                   std::int64_t hour, std::int64_t minute, std::int64_t second) {
    const std::int64_t monthIndex = month - 1;
    const std::int64_t fullYear = year + FloorDiv(monthIndex, 12);
    const std::int64_t days = DaysFromCivil(fullYear, FloorMod(monthIndex, 12) + 1, 1) + day - 1;
    return days * kSecondsPerDay + hour * 3600 + minute * 60 + second;
}

}  // namespace civil
