#pragma once

#include <optional>

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

// The task as an answer to its reminder leaves it: "Okay" (and "Details...") completes a
// one-time task and moves a repeating one to its next date, "Remind me tomorrow" puts it off by
// a day. Only the date and the status change. Nothing when the answer writes nothing or the
// new date cannot be represented.
std::optional<TaskRecord> AnsweredTask(const TaskRecord& task, ReminderAnswer answer);
