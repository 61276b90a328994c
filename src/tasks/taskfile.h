#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "tasks/linereader.h"
#include "tasks/regularfile.h"
#include "tasks/taskrecord.h"

// Access to the task file. Every call opens the file, works and closes it again; nothing is
// cached. Tasks are numbered from 1 in file order, counting only lines that begin with "#".
//
// Every rewrite writes the complete new content to "--temptasklist.$$$" beside the task
// file, flushes it to disk and replaces the task file in one atomic rename, so a failure or
// a kill at any point leaves either the old or the new file, never a damaged one. Lines of
// any length are read and written whole, and a last line without its line end gets one
// before anything is written after it.

// Full path of the task file, set once at start-up before the first access.
extern std::string g_szTaskFilePath;

inline constexpr const char* kTempFileName = "--temptasklist.$$$";

// Result codes of the operations that change the file. Whatever the failure, the task file
// is left exactly as it was and the temporary file is removed.
enum TaskFileResult : int {
    kDone = 0,
    kCannotOpen = -1,        // the task file cannot be opened or read to its end
    kCannotCreateTemp = -2,  // the temporary file cannot be created or written in full
                             // (a full disk ends here)
    kCannotFlushTemp = -3,   // the new content cannot be flushed to disk
    kCannotReplace = -4,     // the temporary file cannot be renamed onto the task file
    kOutOfRange = -5,        // task number out of range, or no tasks
    kTaskGone = -6,          // the task a command was given is no longer in the file
    kUnchanged = 1,          // the command had nothing to change and wrote nothing
};

// Opens the task file for reading; every reader of the task file opens it here. Only a
// regular file is opened, and the open never waits (on a named pipe, say). pKind, when given,
// says what the path holds.
FilePtr OpenTaskFileToRead(FileKind* pKind = nullptr);

// Why the task file cannot be read, for the user: what is wrong, a blank line and the path.
std::string TaskFileProblemText();

// Path of the temporary file, beside the task file.
std::string TempFilePath();

int CountTasks();  // -1 when the task file cannot be opened

// Task n's line with its line end; nothing when the file cannot be opened or n is out of range.
std::optional<std::string> ReadTaskLine(int n);

// Fields of task n, read as the line readers read them; 0 or "" when there is no task n.
std::string GetTaskDateText(int n);
int GetTaskAdvanceDays(int n);
int GetTaskStatus(int n);
int GetTaskRecurrence(int n);
std::string GetTaskTitle(int n);
std::string GetTaskNote(int n);
int GetTaskHour(int n);

// Entry i (1..count) is task i's status; entry 0 is unused. Missing tasks read as 0.
std::vector<int> ReadAllStatuses(int count);

// Every task of the file in file order, all fields, in one read of the file; the vector's
// old content is replaced (its records are reused, so reading into the same vector again is
// cheap). Returns false, with an empty vector, when the task file cannot be opened or read.
bool ReadAllTasks(std::vector<TaskRecord>& tasks);
// The same, keeping each task's line as read (line end included) beside its fields.
struct TaskLine {
    std::string line;
    TaskRecord task;
};
bool ReadAllTaskLines(std::vector<TaskLine>& tasks);

// Adds a line (normally from FormatTaskLine) as the last line of the file, creating the
// file when there is none. Goes through the same safe rewrite as the removals, so a full disk
// can never leave half a line behind. 0, or -1 when the line could not be added.
int AppendTaskLine(std::string_view line);

// Removes task n, keeping every other line. -5 unless 1 <= n <= CountTasks().
int DropTask(int n);

// Replaces task n in one rewrite: the old line leaves its place and the new line becomes the
// last line of the file. When n names no task (or there is no task file) the line is only
// added. Returns the rewrite's result code.
int WriteBackTask(int n, std::string_view line);

// Removes every line that is exactly "\r\n"; other lines stay.
int CompactTaskFile();

// Keep only the task lines that are not marked "To Delete", or not past (done and not
// repeating); both drop every non-task line. -5 when the file holds no task.
int DeleteMarkedTasks();
int DeletePastTasks();
