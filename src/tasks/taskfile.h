#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "tasks/taskrecord.h"

// Access to the task file. Every call opens the file, works and closes it again; nothing is
// cached. Tasks are numbered from 1 in file order, counting only lines that begin with "#".
//
// Every rewrite writes the complete new content to "--temptasklist.$$$" beside the task
// file, flushes it to disk and replaces the task file in one atomic rename, so a failure or
// a kill at any point leaves either the old or the new file, never a damaged one.

// Full path of the task file, set once at start-up before the first access.
extern std::string g_szTaskFilePath;

inline constexpr const char* kTempFileName = "--temptasklist.$$$";

// Result codes of the operations that change the file.
enum TaskFileResult : int {
    kDone = 0,
    kCannotOpen = -1,        // the task file cannot be opened
    kCannotCreateTemp = -2,  // the temporary file cannot be created or written in full
    kCannotFlushTemp = -3,   // the new content cannot be flushed to disk
    kCannotReplace = -4,     // the temporary file cannot be renamed onto the task file
    kOutOfRange = -5,        // task number out of range, or no tasks
};

// Path of the temporary file, beside the task file.
std::string TempFilePath();

int CountTasks();  // -1 when the task file cannot be opened

// Task n's line with its line end; nothing when the file cannot be opened or n is out of range.
std::optional<std::string> ReadTaskLine(int n);

std::string GetTaskDateText(int n);
int GetTaskAdvanceDays(int n);
int GetTaskStatus(int n);
int GetTaskRecurrence(int n);
std::string GetTaskTitle(int n);
std::string GetTaskNote(int n);
int GetTaskHour(int n);

// Entry i (1..count) is task i's status; entry 0 is unused. Missing tasks read as 0.
std::vector<int> ReadAllStatuses(int count);

// Every task of the file in file order, all fields, in one read of the file.
// Returns false when the task file cannot be opened.
bool ReadAllTasks(std::vector<TaskRecord>& tasks);
// The same, keeping each task's line as read (line end included) beside its fields.
struct TaskLine {
    std::string line;
    TaskRecord task;
};
bool ReadAllTaskLines(std::vector<TaskLine>& tasks);

int AppendTaskLine(std::string_view line);
int DropTask(int n);
int WriteBackTask(int n, std::string_view line);
int CompactTaskFile();
int DeleteMarkedTasks();
int DeletePastTasks();
