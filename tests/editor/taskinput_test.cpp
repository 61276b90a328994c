// A new task from text under the editor's rules.

#include "editor/taskinput.h"

#include <gtest/gtest.h>

#include "calendar/timezone.h"

namespace {

TEST(TaskInput, BothDateFormsAndTheEditorsDefaults) {
    const ScopedTimeZone zone("America/New_York");
    for (const char* date : {"2028-02-29", "2/29/2028", "02/29/2028", "2028-2-29"}) {
        const TaskFromInput made = MakeTask({.title = "Leap", .date = date});
        ASSERT_TRUE(made.task) << date << ": " << made.problem;
        EXPECT_EQ(*made.task, (TaskRecord{.dueMonth = 2,
                                          .dueDay = 29,
                                          .dueYear = 2028,
                                          .title = "Leap",
                                          .note = "(none)",
                                          .hour = 6}));
    }
    // Weekly takes the weekday of the date, whatever the hour: Monday is 32.
    const TaskFromInput weekly =
        MakeTask({.title = "Choir", .date = "2027-03-01", .hour = "24", .repeat = "weekly"});
    ASSERT_TRUE(weekly.task);
    EXPECT_EQ(weekly.task->recurrence, 32);
    EXPECT_EQ(weekly.task->hour, 24);
}

TEST(TaskInput, WrongInputIsNamedAndGivesNoTask) {
    const struct {
        TaskInput input;
        const char* problem;
    } cases[] = {
        {{.title = "", .date = "2027-03-01"}, "You must enter a title for the appointment."},
        {{.title = "x", .date = "2100-02-29"}, "Day 29 is not in 2/2100: that month has 28 days."},
        {{.title = "x", .date = "2027-03-01x"},
         "\"2027-03-01x\" is not a date: give it as "
         "YYYY-MM-DD or M/D/YYYY."},
        {{.title = "x", .date = "27-03-01"},
         "\"27-03-01\" is not a date: give it as YYYY-MM-DD "
         "or M/D/YYYY."},
        {{.title = "x", .date = "3/1/2027/1"},
         "\"3/1/2027/1\" is not a date: give it as "
         "YYYY-MM-DD or M/D/YYYY."},
        {{.title = "x", .date = "2027-00-10"}, "The month must be from 1 to 12."},
        {{.title = "x", .date = "2027-03-01", .hour = "+6"},
         "The hour must be from 1 to 24 (24 is midnight at the end of the day)."},
        {{.title = "x", .date = "2027-03-01", .advanceDays = "-1"},
         "The days of advance notice must be from 0 to 30."},
        {{.title = "x", .date = "2027-03-01", .repeat = "Weekly"},
         "\"Weekly\" is no repeat: give none, weekly, monthly or yearly."},
        {{.title = "x", .date = "2027-03-01", .note = std::string(201, 'n')},
         "The note has more than 200 characters."},
    };
    for (const auto& wrong : cases) {
        const TaskFromInput made = MakeTask(wrong.input);
        EXPECT_FALSE(made.task) << wrong.problem;
        EXPECT_EQ(made.problem, wrong.problem);
    }
    // Eighty characters of UTF-8 are eighty, not the bytes they take.
    std::string title;
    for (int i = 0; i < 80; ++i) {
        title += "ä";
    }
    EXPECT_TRUE(MakeTask({.title = title, .date = "2027-03-01"}).task);
    EXPECT_FALSE(MakeTask({.title = title + "ä", .date = "2027-03-01"}).task);
}

}  // namespace
