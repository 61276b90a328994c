#include "reminder/datemoves.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "calendar/timezone.h"
#include "reminder/classify.h"

namespace {

struct MoveCase {
    const char* name;
    DueDate from;
    int years, months, days;
    std::optional<DueDate> to;
};

TEST(DateMovesTest, MovesOnTheCalendarWithMktimeNormalisation) {
    const std::vector<MoveCase> cases = {
        {"31 January plus a month", {2023, 1, 31}, 0, 1, 0, DueDate{2023, 3, 3}},
        {"31 January plus a month in a leap year", {2024, 1, 31}, 0, 1, 0, DueDate{2024, 3, 2}},
        {"31 December plus a month", {2023, 12, 31}, 0, 1, 0, DueDate{2024, 1, 31}},
        {"29 February plus a year", {2024, 2, 29}, 1, 0, 0, DueDate{2025, 3, 1}},
        {"29 February plus four years", {2024, 2, 29}, 4, 0, 0, DueDate{2028, 2, 29}},
        {"a week across the year end", {2023, 12, 28}, 0, 0, 7, DueDate{2024, 1, 4}},
        {"a day from the end of February", {2023, 2, 28}, 0, 0, 1, DueDate{2023, 3, 1}},
        {"a stored day past the month's end", {2023, 2, 31}, 0, 0, 1, DueDate{2023, 3, 4}},
        {"a stored month 13", {2023, 13, 5}, 0, 1, 0, DueDate{2024, 2, 5}},
        {"from before 1970", {1965, 12, 31}, 0, 0, 1, DueDate{1966, 1, 1}},
        {"past 2038", {2038, 1, 19}, 1, 0, 0, DueDate{2039, 1, 19}},
        {"the last year an int holds", {INT_MAX, 12, 30}, 0, 0, 1, DueDate{INT_MAX, 12, 31}},
        {"beyond the last year", {INT_MAX, 12, 31}, 0, 0, 1, std::nullopt},
        {"a year beyond the last year", {INT_MAX, 6, 1}, 1, 0, 0, std::nullopt},
        {"before the first year", {INT_MIN, 1, 1}, 0, 0, -1, std::nullopt},
        {"a month past the top", {2024, INT_MAX, 1}, 0, 1, 0, DueDate{178958994, 8, 1}},
    };
    for (const char* zoneName : {"UTC", "America/New_York", "Europe/Berlin"}) {
        const ScopedTimeZone zone(zoneName);
        for (const MoveCase& c : cases) {
            EXPECT_EQ(MoveDueDate(c.from, c.years, c.months, c.days), c.to)
                << zoneName << ": " << c.name;
        }
    }
}

// Before every task of these tests: each answer makes exactly one move.
const CTime kLongAgo(0);

TaskRecord Task(int year, int month, int day, int recurrence, int status = 0, int hour = 6) {
    return TaskRecord{.dueMonth = month,
                      .dueDay = day,
                      .dueYear = year,
                      .advanceDays = 2,
                      .status = status,
                      .recurrence = recurrence,
                      .title = "Team lunch",
                      .note = "Bring the list",
                      .hour = hour};
}

TaskRecord WithDate(TaskRecord task, int year, int month, int day, int status) {
    task.dueYear = year;
    task.dueMonth = month;
    task.dueDay = day;
    task.status = status;
    return task;
}

struct AnswerCase {
    const char* name;
    TaskRecord task;
    ReminderAnswer answer;
    std::optional<TaskRecord> written;
};

// What each answer writes: only the date and the status ever change.
TEST(DateMovesTest, AnswersWriteWhatTheAnswerTableSays) {
    const ScopedTimeZone zone("America/New_York");
    const TaskRecord once = Task(2024, 6, 14, 0, 0);
    const TaskRecord monthly = Task(2023, 1, 31, 1, 2);
    const TaskRecord yearly = Task(2024, 2, 29, 2, 4);
    const TaskRecord weekly = Task(2023, 12, 28, 35, 0);
    const TaskRecord odd = Task(2024, 6, 14, 17, 0);
    const TaskRecord midnight = Task(2024, 6, 14, 36, 0, 24);
    const std::vector<AnswerCase> cases = {
        {"okay completes a one-time task", once, ReminderAnswer::Okay,
         WithDate(once, 2024, 6, 14, 1)},
        {"details completes a one-time task", once, ReminderAnswer::Details,
         WithDate(once, 2024, 6, 14, 1)},
        {"okay moves a monthly task", monthly, ReminderAnswer::Okay,
         WithDate(monthly, 2023, 3, 3, 0)},
        {"okay moves a yearly task", yearly, ReminderAnswer::Okay, WithDate(yearly, 2025, 3, 1, 0)},
        {"okay moves a weekly task", weekly, ReminderAnswer::Okay, WithDate(weekly, 2024, 1, 4, 0)},
        {"details moves a weekly task", weekly, ReminderAnswer::Details,
         WithDate(weekly, 2024, 1, 4, 0)},
        {"a code naming no repeat completes", odd, ReminderAnswer::Okay,
         WithDate(odd, 2024, 6, 14, 1)},
        {"tomorrow puts a one-time task off", once, ReminderAnswer::RemindTomorrow,
         WithDate(once, 2024, 6, 15, 0)},
        {"tomorrow puts a monthly task off by a day", monthly, ReminderAnswer::RemindTomorrow,
         WithDate(monthly, 2023, 2, 1, 0)},
        {"a weekly task at midnight moves by a week", midnight, ReminderAnswer::Okay,
         WithDate(midnight, 2024, 6, 21, 0)},
        {"a task at midnight is put off by a day", midnight, ReminderAnswer::RemindTomorrow,
         WithDate(midnight, 2024, 6, 15, 0)},
        {"no answer writes nothing", once, ReminderAnswer::None, std::nullopt},
        {"a move past the last year writes nothing", Task(INT_MAX, 12, 31, 2), ReminderAnswer::Okay,
         std::nullopt},
    };
    for (const AnswerCase& c : cases) {
        EXPECT_EQ(AnsweredTask(c.task, c.answer, kLongAgo), c.written) << c.name;
    }
}

struct TomorrowCase {
    const char* name;
    TaskRecord task;
    LocalTm now;
    DueDate stored;
};

// "Remind me tomorrow" moves the date on by whole days, at least one, until the task falls due
// no earlier than the start of tomorrow, keeping the hour.
TEST(DateMovesTest, RemindTomorrowNeverStoresADateBeforeTomorrow) {
    TaskRecord missed = Task(2024, 6, 11, 0);
    missed.advanceDays = 0;
    TaskRecord midnight = Task(2024, 6, 10, 35, 2, 24);
    midnight.advanceDays = 0;
    TaskRecord notice = Task(2024, 6, 19, 1, 0, 9);
    notice.advanceDays = 7;
    TaskRecord early = Task(2021, 1, 5, 0, 2, 17);
    early.advanceDays = 0;
    TaskRecord midnight27 = Task(2027, 2, 27, 0, 0, 24);
    midnight27.advanceDays = 0;
    const std::vector<TomorrowCase> cases = {
        {"missed three days ago", missed, {2024, 6, 14, 10, 20}, {2024, 6, 15}},
        {"missed, answered just before midnight", missed, {2024, 6, 14, 23, 59}, {2024, 6, 15}},
        {"missed, answered just after midnight", missed, {2024, 6, 15, 0, 1}, {2024, 6, 16}},
        {"missed years ago, at the year's end", missed, {2030, 12, 31, 8}, {2031, 1, 1}},
        // Hour 24 is the start of the next day: the day before tomorrow reminds it tomorrow.
        {"due at midnight four days ago", midnight, {2024, 6, 14, 10}, {2024, 6, 14}},
        {"due at the midnight that ended yesterday",
         midnight27,
         {2027, 2, 28, 14, 5},
         {2027, 2, 28}},
        {"due at the midnight that ends today", midnight27, {2027, 2, 27, 14, 5}, {2027, 2, 28}},
        {"due at midnight, answered just after it", midnight27, {2027, 2, 28, 0, 5}, {2027, 2, 28}},
        {"missed yesterday", missed, {2024, 6, 12, 9}, {2024, 6, 13}},
        {"in its notice days: a day later", notice, {2024, 6, 14, 10}, {2024, 6, 20}},
        {"due today: tomorrow", notice, {2024, 6, 19, 8}, {2024, 6, 20}},
        {"the night the clocks go forward", early, {2021, 3, 14, 1, 30}, {2021, 3, 15}},
        {"the night the clocks go back", early, {2021, 11, 7, 1, 30}, {2021, 11, 8}},
    };
    for (const char* zoneName : {"UTC", "America/New_York", "Pacific/Auckland"}) {
        const ScopedTimeZone zone(zoneName);
        for (const TomorrowCase& c : cases) {
            const CTime now =
                CTime::FromLocal(c.now.year, c.now.month, c.now.day, c.now.hour, c.now.minute);
            const std::optional<TaskRecord> later =
                AnsweredTask(c.task, ReminderAnswer::RemindTomorrow, now);
            ASSERT_TRUE(later.has_value()) << c.name;
            EXPECT_EQ(*later, WithDate(c.task, c.stored.year, c.stored.month, c.stored.day, 0))
                << zoneName << ": " << c.name;
            // A task without notice stays quiet until it falls due again.
            if (c.task.advanceDays == 0) {
                EXPECT_TRUE(ClassifyTask(CurrentHour(now), *later).caption.empty())
                    << zoneName << ": " << c.name;
            }
        }
    }
}

// What one "Okay" after another would leave, each answered as soon as it is asked: the oracle
// for the moves made in one go.
TaskRecord OkayUntilAhead(TaskRecord task, CTime now, int& nOkays) {
    nOkays = 0;
    do {
        const std::optional<TaskRecord> next = AnsweredTask(task, ReminderAnswer::Okay, kLongAgo);
        EXPECT_TRUE(next.has_value());
        task = next.value_or(task);
        ++nOkays;
    } while (TaskInstantsOf(task).due <= now && nOkays < 100000);
    return task;
}

struct AheadCase {
    const char* name;
    TaskRecord task;
    LocalTm now;
    int nOkays;  // how many single answers it takes
};

// "Okay" on a repeating task that was missed for several periods moves it on until it falls
// due after now: reminded once, it ends where as many single answers would have left it.
TEST(DateMovesTest, OkayMovesARepeatingTaskUntilItLiesAhead) {
    const std::vector<AheadCase> cases = {
        {"weekly, ten weeks missed", Task(2024, 4, 5, 36, 0, 18), {2024, 6, 14, 10}, 10},
        {"weekly, due this hour", Task(2024, 6, 7, 36, 0, 10), {2024, 6, 14, 10, 20}, 2},
        {"weekly, due later today", Task(2024, 6, 7, 36, 0, 11), {2024, 6, 14, 10, 20}, 1},
        {"weekly at midnight", Task(2024, 5, 30, 35, 0, 24), {2024, 6, 14, 0, 30}, 3},
        {"monthly from 31 January", Task(2023, 1, 31, 1, 2, 9), {2024, 6, 14, 10}, 17},
        {"monthly from the 30th", Task(2023, 8, 30, 1, 2, 9), {2024, 6, 14, 10}, 10},
        {"monthly from 29 January of a leap year", Task(2024, 1, 29, 1, 2, 9), {2025, 6, 1}, 16},
        {"monthly across years", Task(2001, 3, 15, 1, 2, 9), {2024, 6, 14, 10}, 279},
        {"yearly from 29 February", Task(2000, 2, 29, 2, 2, 6), {2024, 6, 14, 10}, 25},
        {"yearly, due later this year", Task(2023, 12, 24, 2, 0, 6), {2024, 6, 14, 10}, 1},
        {"weekly, a stored day past the month's end",
         Task(2024, 2, 31, 33, 0, 8),
         {2024, 6, 14, 10},
         15},
        {"in its notice days: one move", Task(2024, 6, 16, 36, 0, 9), {2024, 6, 14, 10}, 1},
    };
    for (const char* zoneName : {"UTC", "America/New_York", "Europe/Berlin"}) {
        const ScopedTimeZone zone(zoneName);
        for (const AheadCase& c : cases) {
            const CTime now =
                CTime::FromLocal(c.now.year, c.now.month, c.now.day, c.now.hour, c.now.minute);
            int nOkays = 0;
            const TaskRecord expected = OkayUntilAhead(c.task, now, nOkays);
            EXPECT_EQ(nOkays, c.nOkays) << zoneName << ": " << c.name;
            EXPECT_EQ(AnsweredTask(c.task, ReminderAnswer::Okay, now), expected)
                << zoneName << ": " << c.name;
            EXPECT_EQ(AnsweredTask(c.task, ReminderAnswer::Details, now), expected)
                << zoneName << ": " << c.name;
        }
    }
}

TEST(DateMovesTest, OkayAfterAVeryLongGapEndsWithinAPeriodOfNow) {
    const ScopedTimeZone zone("America/New_York");
    const CTime now = CTime::FromLocal(2024, 6, 14, 10, 20);
    constexpr std::int64_t kDay = 86400;
    const std::vector<std::pair<TaskRecord, std::int64_t>> cases = {
        {Task(1, 1, 1, 34), 7 * kDay},
        {Task(-2000000000, 5, 31, 1), 32 * kDay},
        {Task(-2000000000, 2, 29, 2), 367 * kDay},
        {Task(1970, 1, 30, 1, 0, 24), 32 * kDay},
    };
    for (const auto& [task, period] : cases) {
        const std::optional<TaskRecord> moved = AnsweredTask(task, ReminderAnswer::Okay, now);
        ASSERT_TRUE(moved.has_value()) << task.dueYear;
        const CTime due = TaskInstantsOf(*moved).due;
        EXPECT_GT(due, now) << task.dueYear;
        EXPECT_LE(due.GetTime() - now.GetTime(), period) << task.dueYear;
        EXPECT_EQ(moved->hour, task.hour);
        EXPECT_EQ(moved->status, 0);
    }
    // A one-time task is completed where it stands, however long ago it was due.
    const TaskRecord once = Task(1999, 7, 4, 0);
    EXPECT_EQ(AnsweredTask(once, ReminderAnswer::Okay, now), WithDate(once, 1999, 7, 4, 1));
}

struct WeeklyCase {
    const char* zone;
    DueDate from;
    int hour;
    std::int64_t seconds;  // between the old and the new due instant
};

TEST(DateMovesTest, WeeklyMoveAcrossAClockChangeKeepsTheLocalHour) {
    constexpr std::int64_t kWeek = std::int64_t{7} * 86400;
    const std::vector<WeeklyCase> cases = {
        {"America/New_York", {2021, 3, 10}, 2, kWeek - 3600},
        {"America/New_York", {2021, 3, 14}, 2, kWeek - 3600},  // from the skipped hour
        {"America/New_York", {2021, 3, 14}, 3, kWeek},
        {"America/New_York", {2021, 11, 3}, 1, kWeek + 3600},
        {"America/New_York", {2021, 11, 7}, 1, kWeek + 3600},  // from the repeated hour
        {"America/New_York", {2021, 11, 7}, 2, kWeek},
        {"Europe/Berlin", {2021, 3, 25}, 9, kWeek - 3600},
        {"Europe/Berlin", {2021, 10, 28}, 24, kWeek + 3600},
        {"Europe/Berlin", {2021, 10, 31}, 2, kWeek + 3600},
    };
    for (const WeeklyCase& c : cases) {
        const ScopedTimeZone zone(c.zone);
        TaskRecord task = Task(c.from.year, c.from.month, c.from.day, 31);
        task.hour = c.hour;
        const std::optional<TaskRecord> next = AnsweredTask(task, ReminderAnswer::Okay, kLongAgo);
        ASSERT_TRUE(next.has_value());
        const CTime before = TaskInstantsOf(task).due;
        const CTime after = TaskInstantsOf(*next).due;
        EXPECT_EQ(after.GetLocalTm().hour, c.hour % 24) << c.zone << " " << c.from.day;
        EXPECT_EQ(after.GetTime() - before.GetTime(), c.seconds) << c.zone << " " << c.from.day;
    }
}

}  // namespace
