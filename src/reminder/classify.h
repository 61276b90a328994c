#pragma once

#include <string_view>

#include "reminder/ctime.h"
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

// What the list shows for a task and why it is reminded; the caption is empty when the task
// raises no reminder.
struct Classification {
    int shownStatus = 0;
    std::string_view caption;

    bool operator==(const Classification&) const = default;
};

// Classifies a task from the hour now (cut to the hour), its instants and the status stored
// for it at the start of the poll.
Classification Classify(CTime hourNow, const TaskInstants& instants, int storedStatus);
Classification ClassifyTask(CTime hourNow, const TaskRecord& task);
