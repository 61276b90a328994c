#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "calendar/timezone.h"
#include "editor/editorrules.h"
#include "tasks/taskline.h"

namespace {

TEST(EditorRules, CheckDayOfMonthGivesTheLastDayOnlyForDaysTheMonthLacks) {
    // {day, month, year, expected}
    const std::vector<std::tuple<int, int, int, int>> cases = {
        {29, 2, 2000, 0}, {29, 2, 1999, 28}, {31, 4, 2001, 30}, {31, 12, 2037, 0},
        {0, 3, 2001, 31}, {29, 2, 2040, 0},  {29, 2, 2100, 28}, {29, 2, 2400, 0},
    };
    for (const auto& [day, month, year, expected] : cases) {
        EXPECT_EQ(CheckDayOfMonth(day, month, year), expected)
            << day << '/' << month << '/' << year;
    }
}

TEST(EditorRules, FormatHour12ReadsNoonAsPmAndTheDaysEndAsAm) {
    const std::vector<std::pair<int, std::string>> cases = {
        {1, "1 AM"},   {11, "11 AM"}, {12, "12 PM"}, {13, "1 PM"},
        {23, "11 PM"}, {24, "12 AM"}, {0, ""},       {25, ""},
    };
    for (const auto& [hour, text] : cases) {
        EXPECT_EQ(FormatHour12(hour), text) << hour;
    }
}

// The weekday belongs to the local date, hour 24 to the next day, also on the days daylight
// saving changes and past 2038.
TEST(EditorRules, WeekdayAndWeeklyCodeFollowTheLocalDate) {
    // {year, month, day, hour, weekday, weekly code}
    const std::vector<std::tuple<int, int, int, int, std::string, int>> cases = {
        {2024, 3, 4, 23, "Monday", 32},     {2024, 3, 4, 24, "Tuesday", 32},
        {1999, 1, 3, 6, "Sunday", 31},      {1999, 1, 2, 6, "Saturday", 37},
        {2024, 3, 10, 24, "Monday", 31},    {2024, 11, 3, 24, "Monday", 31},
        {2038, 1, 19, 24, "Wednesday", 33}, {9999, 12, 31, 1, "Friday", 36},
    };
    for (const char* zone : {"America/New_York", "UTC"}) {
        const ScopedTimeZone scoped(zone);
        for (const auto& [year, month, day, hour, weekday, code] : cases) {
            EXPECT_EQ(WeekdayText(year, month, day, hour), weekday) << zone << ' ' << year;
            EXPECT_EQ(WeeklyCode(year, month, day), code) << zone << ' ' << year;
        }
    }
}

TEST(EditorRules, NewTaskIsDueTomorrowCarriedIntoTheNextMonthAndYear) {
    // {today: year, month, day} and the due date {year, month, day} it gives.
    const std::vector<std::pair<std::tuple<int, int, int>, std::tuple<int, int, int>>> cases = {
        {{2030, 12, 31}, {2031, 1, 1}},
        {{2024, 2, 28}, {2024, 2, 29}},
        {{2024, 2, 29}, {2024, 3, 1}},
        {{2024, 3, 9}, {2024, 3, 10}},
    };
    for (const char* zone : {"America/New_York", "UTC"}) {
        const ScopedTimeZone scoped(zone);
        for (const auto& [today, due] : cases) {
            const auto [year, month, day] = today;
            const auto [dueYear, dueMonth, dueDay] = due;
            EXPECT_EQ(FormatTaskLine(NewTaskDefaults(CTime::FromLocal(year, month, day, 23, 59))),
                      FormatTaskLine(dueYear, dueMonth, dueDay, 0, 0, 0, "Enter a title here",
                                     "Additional text here..", 6))
                << zone;
        }
    }
}

}  // namespace
