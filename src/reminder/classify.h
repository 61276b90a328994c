#pragma once

#include <compare>
#include <cstdint>
#include <string_view>

#include "calendar/ctime.h"
#include "tasks/taskline.h"
#include "tasks/taskrecord.h"

// When a task falls due and when its reminding starts, both at the start of the task's local
// hour. The advance instant is the due instant moved back the advance days at the same local
// hour, so it equals the due instant when there is no advance notice.
struct TaskInstants {
    CTime advance;
    CTime due;

    bool operator==(const TaskInstants&) const = default;
};

TaskInstants TaskInstantsOf(int year, int month, int day, int hour, int advanceDays);
TaskInstants TaskInstantsOf(const TaskRecord& task);

// The current time cut down to the start of its local hour; one reading serves a whole poll.
CTime CutToHour(CTime now);

// The hour a poll classifies against: the instant it began, its local wall-clock reading
// counted in seconds as if it were UTC, and its local month counted from year 0.
struct PollHour {
    CTime start;
    std::int64_t wallSeconds = 0;
    std::int64_t monthIndex = 0;

    bool operator==(const PollHour&) const = default;
};

PollHour CurrentHour(CTime now);

// What the list shows for a task and why it is reminded; the caption is empty when the task
// raises no reminder.
struct Classification {
    int shownStatus = 0;
    std::string_view caption;

    bool operator==(const Classification&) const = default;
};

// The classification table, from how the hour now compares with the task's advance and due
// instants and the status stored for the task at the start of the poll.
Classification Classify(std::strong_ordering nowToAdvance, std::strong_ordering nowToDue,
                        int storedStatus);
Classification Classify(CTime hourNow, const TaskInstants& instants, int storedStatus);

// Classifies a task against the hour of a poll. Gives what Classify gives for the task's
// instants, but asks the zone rules only for tasks whose instants lie near the hour.
Classification ClassifyTask(const PollHour& hour, const TaskRecord& task);
Classification ClassifyTask(const PollHour& hour, const TaskView& task);
