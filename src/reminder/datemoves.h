#pragma once

#include <optional>

#include "calendar/ctime.h"
#include "reminder/poll.h"
#include "tasks/taskrecord.h"

struct DueDate {
    int year = 0;
    int month = 0;
    int day = 0;

    bool operator==(const DueDate&) const = default;
};

// The date moved by whole years, months and days on the local calendar and normalised the way
// mktime does (31 January plus a month is 3 March, 29 February plus a year is 1 March).
// Nothing when the resulting year does not fit an int.
std::optional<DueDate> MoveDueDate(const DueDate& from, int years, int months, int days);

// The task as an answer to its reminder, given at `now`, leaves it; only the date and the
// status change.
// - "Okay" (and "Details...") completes a one-time task. A repeating task moves to its next
//   date, and on by further periods until it falls due after now: a task missed for several
//   periods is reminded once and ends where as many single moves would have left it.
// - "Remind me tomorrow" puts the task off by a day, and on by whole days until it falls due no
//   earlier than the start of tomorrow, so a task missed days ago does not come back at the
//   next poll, and one due at hour 24 (the start of the next day) is not put off a day too far.
// Nothing when the answer writes nothing or the new date cannot be represented.
std::optional<TaskRecord> AnsweredTask(const TaskRecord& task, ReminderAnswer answer, CTime now);
