#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "editor/editorrules.h"
#include "reminder/timezone.h"

namespace {

TEST(EditorRules, CheckDayOfMonthGivesTheLastDayOnlyForDaysTheMonthLacks) {
    // {day, month, year, expected}
    const std::vector<std::tuple<int, int, int, int>> cases = {
        {29, 2, 2000, 0},  {29, 2, 1999, 28}, {31, 4, 2001, 30}, {31, 12, 2037, 0},
        {30, 6, 2001, 0},  {1, 1, 1970, 0},   {0, 3, 2001, 31},  {29, 2, 2040, 0},
        {29, 2, 2100, 28}, {29, 2, 2400, 0},  {31, 9, 9999, 30}, {31, 12, 9999, 0},
    };
    for (const auto& [day, month, year, expected] : cases) {
        EXPECT_EQ(CheckDayOfMonth(day, month, year), expected)
            << day << '/' << month << '/' << year;
    }
}

TEST(EditorRules, FormatHour12ReadsNoonAsPmAndTheDaysEndAsAm) {
    const std::vector<std::pair<int, std::string>> cases = {
        {1, "1 AM"},   {6, "6 AM"},   {11, "11 AM"}, {12, "12 PM"}, {13, "1 PM"},
        {23, "11 PM"}, {24, "12 AM"}, {0, ""},       {25, ""},      {-1, ""},
    };
    for (const auto& [hour, text] : cases) {
        EXPECT_EQ(FormatHour12(hour), text) << hour;
    }
}

// Days around daylight saving changes and past 2038 read the same in both zones: the weekday
// belongs to the local date, and hour 24 to the next day.
TEST(EditorRules, WeekdayAndWeeklyCodeFollowTheLocalDate) {
    struct Case {
        int year, month, day, hour;
        const char* weekday;
        int weeklyCode;
    };
    const std::vector<Case> cases = {
        {2024, 3, 4, 23, "Monday", 32},     {2024, 3, 4, 24, "Tuesday", 32},
        {1999, 1, 3, 6, "Sunday", 31},      {1999, 1, 2, 6, "Saturday", 37},
        {2024, 3, 10, 2, "Sunday", 31},     {2024, 3, 10, 24, "Monday", 31},
        {2024, 11, 3, 24, "Monday", 31},    {2040, 2, 29, 12, "Wednesday", 34},
        {2038, 1, 19, 24, "Wednesday", 33}, {9999, 12, 31, 1, "Friday", 36},
        {1970, 1, 1, 1, "Thursday", 35},
    };
    for (const char* zone : {"America/New_York", "UTC"}) {
        const ScopedTimeZone scoped(zone);
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(zone) + " " + std::to_string(c.year) + "-" +
                         std::to_string(c.month) + "-" + std::to_string(c.day));
            EXPECT_EQ(WeekdayText(c.year, c.month, c.day, c.hour), c.weekday);
            EXPECT_EQ(WeeklyCode(c.year, c.month, c.day), c.weeklyCode);
        }
    }
}

TEST(EditorRules, NewTaskIsDueTomorrowCarriedIntoTheNextMonthAndYear) {
    // {now: year, month, day, hour} and the due date {year, month, day} it gives.
    const std::vector<std::pair<std::tuple<int, int, int, int>, std::tuple<int, int, int>>> cases =
        {
            {{2030, 12, 31, 23}, {2031, 1, 1}}, {{2024, 2, 28, 0}, {2024, 2, 29}},
            {{2024, 2, 29, 12}, {2024, 3, 1}},  {{2024, 3, 9, 23}, {2024, 3, 10}},
            {{2024, 4, 30, 1}, {2024, 5, 1}},   {{2038, 1, 19, 5}, {2038, 1, 20}},
        };
    for (const char* zone : {"America/New_York", "UTC"}) {
        const ScopedTimeZone scoped(zone);
        for (const auto& [now, due] : cases) {
            const auto [year, month, day, hour] = now;
            const TaskRecord task = NewTaskDefaults(CTime::FromLocal(year, month, day, hour, 59));
            EXPECT_EQ(std::make_tuple(task.dueYear, task.dueMonth, task.dueDay), due)
                << zone << ' ' << year << '-' << month << '-' << day;
            EXPECT_EQ(task, (TaskRecord{.dueMonth = task.dueMonth,
                                        .dueDay = task.dueDay,
                                        .dueYear = task.dueYear,
                                        .advanceDays = 0,
                                        .status = 0,
                                        .recurrence = 0,
                                        .title = "Enter a title here",
                                        .note = "Additional text here..",
                                        .hour = 6}));
        }
    }
}

}  // namespace
