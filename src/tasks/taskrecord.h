#pragma once

#include <string>
#include <string_view>

// Where a task stands. The numbers are what the task file stores; a file may hold other
// numbers, which are read and written back unchanged, so records keep the status as an int.
enum class TaskStatus : int {
    Future = 0,
    Complete = 1,
    Missed = 2,
    ToDelete = 3,
    TodayUnread = 4,
};

// How a task repeats. Weekly tasks store 31 plus the weekday of their due date
// (31 Sunday ... 37 Saturday), so any code from 31 to 37 is weekly.
enum class Recurrence : int {
    None = 0,
    Monthly = 1,
    Yearly = 2,
    Weekly = 31,
};

inline constexpr int kWeeklyFirst = 31;
inline constexpr int kWeeklyLast = 37;

// Limits of the fixed buffers the task file was designed around.
inline constexpr int kMaxTitleLength = 80;
inline constexpr int kMaxNoteLength = 200;
inline constexpr int kMaxTaskLineLength = 419;

// One task, with its values in the order the task line stores them. Text is std::string in a
// record that owns its texts (TaskRecord, what a command or a list row keeps) and
// std::string_view in one whose texts point into the line it was read from (TaskView, what the
// poll reads a whole file into without a copy). A new field goes here, into ParseTaskLine and
// into FormatTaskLine.
template <typename Text>
struct BasicTaskRecord {
    int dueMonth = 0;
    int dueDay = 0;
    int dueYear = 0;
    int advanceDays = 0;
    int status = 0;
    int recurrence = 0;
    Text title;
    Text note;
    int hour = 0;

    bool operator==(const BasicTaskRecord&) const = default;
};

using TaskRecord = BasicTaskRecord<std::string>;
using TaskView = BasicTaskRecord<std::string_view>;

constexpr int ToInt(TaskStatus status) {
    return static_cast<int>(status);
}
constexpr int ToInt(Recurrence recurrence) {
    return static_cast<int>(recurrence);
}

constexpr bool IsWeekly(int recurrence) {
    return recurrence >= kWeeklyFirst && recurrence <= kWeeklyLast;
}
