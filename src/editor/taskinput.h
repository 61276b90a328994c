#pragma once

#include <optional>
#include <string>

#include "tasks/taskrecord.h"

// A new task from text, as a command line gives it, under the editor's rules: a title is
// required, the title and note keep to the editor's lengths, the date is a day its month has
// in the years the editor offers, the hour is 1 to 24 and the advance notice 0 to 30 days. A
// weekly task takes its weekday from its date.

struct TaskInput {
    std::string title{};
    std::string date{};  // YYYY-MM-DD, or M/D/YYYY as the task file writes it
    std::string hour = "6";
    std::string advanceDays = "0";
    std::string repeat = "none";  // none, weekly, monthly or yearly
    std::string note{};           // empty: no note
};

struct TaskFromInput {
    std::optional<TaskRecord> task;  // the new task, Future; nothing when the input is wrong
    std::string problem;             // what is wrong, for the user
};

TaskFromInput MakeTask(const TaskInput& input);
