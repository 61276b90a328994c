#include "reminder/classify.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "calendar/timezone.h"
#include "res/strings.h"

// Readable failures: the shown status and the caption.
void PrintTo(const Classification& c, std::ostream* out) {
    *out << "{" << c.shownStatus << ", \"" << c.caption << "\"}";
}

namespace {

constexpr int kFuture = 0;
constexpr int kComplete = 1;
constexpr int kMissed = 2;
constexpr int kToDelete = 3;
constexpr int kTodayUnread = 4;

struct Clock {
    int year, month, day, hour, minute, second;
};

struct Task {
    int year, month, day, hour, advanceDays;
};

struct ClassifyCase {
    const char* name;
    Task task;
    int storedStatus;
    Clock now;
    int shown;
    std::string_view caption;  // empty: no reminder
};

TaskRecord Record(const Task& t, int status) {
    return TaskRecord{.dueMonth = t.month,
                      .dueDay = t.day,
                      .dueYear = t.year,
                      .advanceDays = t.advanceDays,
                      .status = status,
                      .recurrence = 0,
                      .title = "Dentist",
                      .note = "(none)",
                      .hour = t.hour};
}

Classification ClassifyAt(const ClassifyCase& c) {
    const CTime now = CTime::FromLocal(c.now.year, c.now.month, c.now.day, c.now.hour, c.now.minute,
                                       c.now.second);
    return ClassifyTask(CurrentHour(now), Record(c.task, c.storedStatus));
}

void ExpectCases(const std::vector<ClassifyCase>& cases, const char* zoneName) {
    for (const ClassifyCase& c : cases) {
        const Classification got = ClassifyAt(c);
        EXPECT_EQ(got.shownStatus, c.shown) << zoneName << ": " << c.name;
        EXPECT_EQ(std::string(got.caption), std::string(c.caption)) << zoneName << ": " << c.name;
    }
}

const Task kToday14{2024, 6, 14, 14, 0};
const Task kNotice3{2024, 6, 10, 9, 3};

// Every row of the classification, for a task without advance notice and one with three days,
// at the edges of the hours concerned. The dates lie away from any clock change, so every zone
// gives the same answers.
const std::vector<ClassifyCase> kTableCases = {
    {"before the due hour", kToday14, kFuture, {2024, 6, 14, 13, 59, 59}, kFuture, {}},
    {"first second of the due hour",
     kToday14,
     kFuture,
     {2024, 6, 14, 14, 0, 0},
     kTodayUnread,
     Str::NowDue},
    {"last second of the due hour",
     kToday14,
     kFuture,
     {2024, 6, 14, 14, 59, 59},
     kTodayUnread,
     Str::NowDue},
    {"the hour after",
     kToday14,
     kFuture,
     {2024, 6, 14, 15, 0, 0},
     kMissed,
     Str::MissedAppointments},
    {"a year before", kToday14, kFuture, {2023, 6, 14, 14, 0, 0}, kFuture, {}},
    {"a year before, to delete", kToday14, kToDelete, {2023, 6, 14, 14, 0, 0}, kToDelete, {}},
    {"days later", kToday14, kFuture, {2024, 7, 1, 3, 0, 0}, kMissed, Str::MissedAppointments},
    {"complete after the hour", kToday14, kComplete, {2024, 6, 14, 16, 0, 0}, kComplete, {}},
    {"complete before the hour", kToday14, kComplete, {2024, 6, 14, 10, 0, 0}, kFuture, {}},
    {"complete in the hour", kToday14, kComplete, {2024, 6, 14, 14, 30, 0}, kComplete, {}},
    {"to delete before", kToday14, kToDelete, {2024, 6, 14, 10, 0, 0}, kToDelete, {}},
    {"to delete in the hour", kToday14, kToDelete, {2024, 6, 14, 14, 30, 0}, kToDelete, {}},
    {"to delete after", kToday14, kToDelete, {2024, 6, 14, 16, 0, 0}, kToDelete, {}},
    {"stored missed in the hour", kToday14, kMissed, {2024, 6, 14, 14, 0, 0}, kComplete, {}},
    {"stored today/unread in the hour",
     kToday14,
     kTodayUnread,
     {2024, 6, 14, 14, 0, 0},
     kComplete,
     {}},
    {"unknown status in the hour", kToday14, 9, {2024, 6, 14, 14, 0, 0}, kComplete, {}},
    {"stored missed after",
     kToday14,
     kMissed,
     {2024, 6, 14, 15, 0, 0},
     kMissed,
     Str::MissedAppointments},
    {"stored today/unread after",
     kToday14,
     kTodayUnread,
     {2024, 6, 15, 0, 0, 0},
     kMissed,
     Str::MissedAppointments},
    {"unknown status after",
     kToday14,
     -7,
     {2024, 6, 15, 0, 0, 0},
     kMissed,
     Str::MissedAppointments},
    {"unknown status before", kToday14, 9, {2024, 6, 14, 13, 0, 0}, kFuture, {}},
    {"due before 1970",
     {1960, 7, 4, 6, 0},
     kFuture,
     {2024, 6, 14, 13, 0, 0},
     kMissed,
     Str::MissedAppointments},
    {"due after 2038", {2040, 1, 1, 6, 0}, kFuture, {2039, 12, 31, 6, 0, 0}, kFuture, {}},
    {"due after 2038, reached",
     {2040, 1, 1, 6, 0},
     kFuture,
     {2040, 1, 1, 6, 0, 0},
     kTodayUnread,
     Str::NowDue},

    {"before the notice hour", kNotice3, kFuture, {2024, 6, 7, 8, 59, 59}, kFuture, {}},
    {"notice hour begins", kNotice3, kFuture, {2024, 6, 7, 9, 0, 0}, kTodayUnread, Str::NowDue},
    {"notice hour ends", kNotice3, kFuture, {2024, 6, 7, 9, 59, 59}, kTodayUnread, Str::NowDue},
    {"after the notice hour",
     kNotice3,
     kFuture,
     {2024, 6, 7, 10, 0, 0},
     kFuture,
     Str::AdvanceNotice},
    {"last second of the due hour",
     kNotice3,
     kFuture,
     {2024, 6, 10, 9, 59, 59},
     kFuture,
     Str::AdvanceNotice},
    {"the hour after the due hour",
     kNotice3,
     kFuture,
     {2024, 6, 10, 10, 0, 0},
     kMissed,
     Str::MissedAppointments},
    {"a month of notice, early on",
     {2024, 6, 30, 9, 30},
     kFuture,
     {2024, 6, 2, 0, 0, 0},
     kFuture,
     Str::AdvanceNotice},
    {"complete within the notice", kNotice3, kComplete, {2024, 6, 8, 0, 0, 0}, kComplete, {}},
    {"stored missed within the notice",
     kNotice3,
     kMissed,
     {2024, 6, 8, 0, 0, 0},
     kFuture,
     Str::AdvanceNotice},
    {"to delete within the notice", kNotice3, kToDelete, {2024, 6, 8, 0, 0, 0}, kToDelete, {}},

    {"hour 24 before midnight",
     {2024, 6, 14, 24, 0},
     kFuture,
     {2024, 6, 14, 23, 59, 59},
     kFuture,
     {}},
    {"hour 24 at midnight",
     {2024, 6, 14, 24, 0},
     kFuture,
     {2024, 6, 15, 0, 0, 0},
     kTodayUnread,
     Str::NowDue},
    {"hour 24 an hour later",
     {2024, 6, 14, 24, 0},
     kFuture,
     {2024, 6, 15, 1, 0, 0},
     kMissed,
     Str::MissedAppointments},
    {"hour 24 with a day's notice",
     {2024, 6, 14, 24, 1},
     kFuture,
     {2024, 6, 14, 0, 30, 0},
     kTodayUnread,
     Str::NowDue},
    {"hour 24 with a day's notice, at the due midnight",
     {2024, 6, 14, 24, 1},
     kFuture,
     {2024, 6, 15, 0, 59, 59},
     kFuture,
     Str::AdvanceNotice},

    {"notice back into a leap February",
     {2024, 3, 3, 8, 5},
     kFuture,
     {2024, 2, 27, 8, 0, 0},
     kTodayUnread,
     Str::NowDue},
    {"notice back into a leap February, early",
     {2024, 3, 3, 8, 5},
     kFuture,
     {2024, 2, 27, 7, 59, 59},
     kFuture,
     {}},
    {"notice back into a short February",
     {2023, 3, 3, 8, 5},
     kFuture,
     {2023, 2, 26, 8, 0, 0},
     kTodayUnread,
     Str::NowDue},
    {"notice back into April",
     {2023, 5, 3, 8, 5},
     kFuture,
     {2023, 4, 28, 8, 0, 0},
     kTodayUnread,
     Str::NowDue},
    {"notice back across the year end",
     {2024, 1, 2, 8, 5},
     kFuture,
     {2023, 12, 28, 8, 10, 0},
     kTodayUnread,
     Str::NowDue},
};

TEST(ClassifyTest, FollowsTheTableInEveryZone) {
    for (const char* zoneName : {"UTC", "America/New_York", "Europe/Berlin", "Asia/Kolkata"}) {
        const ScopedTimeZone zone(zoneName);
        ExpectCases(kTableCases, zoneName);
    }
}

// Tasks due in the hour the spring change skips and in the hour the autumn change repeats.
TEST(ClassifyTest, ClockChangeHours) {
    {
        const ScopedTimeZone zone("America/New_York");
        ExpectCases(
            {
                {"skipped hour, before",
                 {2021, 3, 14, 2, 0},
                 kFuture,
                 {2021, 3, 14, 1, 59, 59},
                 kFuture,
                 {}},
                {"skipped hour falls due when the clock reads 3",
                 {2021, 3, 14, 2, 0},
                 kFuture,
                 {2021, 3, 14, 3, 0, 0},
                 kTodayUnread,
                 Str::NowDue},
                {"skipped hour is missed from 4",
                 {2021, 3, 14, 2, 0},
                 kFuture,
                 {2021, 3, 14, 4, 0, 0},
                 kMissed,
                 Str::MissedAppointments},
                {"notice hour in the skipped hour",
                 {2021, 3, 17, 2, 3},
                 kFuture,
                 {2021, 3, 14, 3, 30, 0},
                 kTodayUnread,
                 Str::NowDue},
                {"repeated hour, first time",
                 {2021, 11, 7, 1, 0},
                 kFuture,
                 {2021, 11, 7, 1, 30, 0},
                 kTodayUnread,
                 Str::NowDue},
                {"hour after the repeated one, before it",
                 {2021, 11, 7, 2, 0},
                 kFuture,
                 {2021, 11, 7, 1, 59, 59},
                 kFuture,
                 {}},
            },
            "America/New_York");

        // The repeated hour the second time round still reads as its first occurrence, so a
        // task answered during the first one stays quiet, and the next hour is not yet due.
        const CTime secondTime(CTime::FromLocal(2021, 11, 7, 1, 30).GetTime() + 3600);
        ASSERT_EQ(secondTime.GetLocalTm().hour, 1);
        const PollHour hourNow = CurrentHour(secondTime);
        EXPECT_EQ(hourNow.start, CTime::FromLocal(2021, 11, 7, 1));
        EXPECT_EQ(CutToHour(secondTime), hourNow.start);
        EXPECT_EQ(ClassifyTask(hourNow, Record({2021, 11, 7, 1, 0}, kComplete)).caption, "");
        EXPECT_EQ(ClassifyTask(hourNow, Record({2021, 11, 7, 2, 0}, kFuture)).shownStatus, kFuture);
    }
    const ScopedTimeZone zone("Europe/Berlin");
    ExpectCases(
        {
            {"skipped hour falls due when the clock reads 3",
             {2021, 3, 28, 2, 0},
             kFuture,
             {2021, 3, 28, 3, 15, 0},
             kTodayUnread,
             Str::NowDue},
            {"skipped hour, an hour on",
             {2021, 3, 28, 2, 0},
             kFuture,
             {2021, 3, 28, 4, 0, 0},
             kMissed,
             Str::MissedAppointments},
            {"repeated hour",
             {2021, 10, 31, 2, 0},
             kFuture,
             {2021, 10, 31, 2, 59, 59},
             kTodayUnread,
             Str::NowDue},
        },
        "Europe/Berlin");
}

TEST(ClassifyTest, AdvanceInstantKeepsTheLocalHourAcrossAClockChange) {
    const ScopedTimeZone zone("Europe/Berlin");
    const TaskInstants instants = TaskInstantsOf(2021, 4, 2, 9, 7);
    EXPECT_EQ(instants.due.GetTime() - instants.advance.GetTime(), 7 * 86400 - 3600);
    EXPECT_EQ(instants.advance.GetLocalTm().hour, 9);
    EXPECT_EQ(instants.advance.GetLocalTm().day, 26);
}

TEST(ClassifyTest, ExtremeStoredValuesClassifyWithoutOverflow) {
    const ScopedTimeZone zone("UTC");
    const PollHour now = CurrentHour(CTime::FromLocal(2024, 6, 14, 12));
    EXPECT_EQ(ClassifyTask(now, Record({INT_MAX, INT_MAX, INT_MAX, INT_MAX, INT_MIN}, 0)).caption,
              "");
    EXPECT_EQ(ClassifyTask(now, Record({INT_MIN, INT_MIN, INT_MIN, INT_MIN, INT_MAX}, 0)).caption,
              Str::MissedAppointments);
    EXPECT_EQ(ClassifyTask(now, Record({0, 0, 0, 0, 0}, 0)).shownStatus, kMissed);
}

// Tasks far from the hour are classified without the zone rules; that must never change the
// answer. Every task of a grid of dates, hours, notices and statuses, in zones with large,
// small and half-hour offsets and in one that once skipped a whole day, against hours spread
// over a week either side, classifies as its exact instants do.
TEST(ClassifyTest, ShortcutForFarTasksAgreesWithExactInstants) {
    for (const char* zoneName : {"UTC", "Pacific/Kiritimati", "Pacific/Pago_Pago",
                                 "Australia/Lord_Howe", "Pacific/Apia", "America/New_York"}) {
        const ScopedTimeZone zone(zoneName);
        int checked = 0;
        for (int offsetHours = -7 * 24; offsetHours <= 7 * 24; offsetHours += 5) {
            const PollHour hour = CurrentHour(CTime(CTime::FromLocal(2011, 12, 30, 12).GetTime() +
                                                    std::int64_t{offsetHours} * 3600));
            for (int day = 20; day <= 40; day += 3) {
                for (int taskHour : {1, 13, 24}) {
                    for (int notice : {0, 2, 5}) {
                        for (int status : {kFuture, kComplete, kMissed}) {
                            const TaskRecord task =
                                Record({2011, 12, day, taskHour, notice}, status);
                            EXPECT_EQ(ClassifyTask(hour, task),
                                      Classify(hour.start, TaskInstantsOf(task), status))
                                << zoneName << " " << offsetHours << "h day " << day << " hour "
                                << taskHour << " notice " << notice;
                            ++checked;
                        }
                    }
                }
            }
        }
        EXPECT_GT(checked, 0);
    }
}

}  // namespace
