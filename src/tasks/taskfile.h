#pragma once

#include <string>
#include <string_view>

#include "tasks/regularfile.h"

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
    kOutOfRange = -5,        // no tasks to remove (the bulk removals)
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

// Adds a line (normally from FormatTaskLine) as the last line of the file, creating the
// file when there is none. Goes through the same safe rewrite as the removals, so a full disk
// can never leave half a line behind. 0, or -1 when the line could not be added.
int AppendTaskLine(std::string_view line);

// Removes every line that is exactly "\r\n"; other lines stay.
int CompactTaskFile();

// Keep only the task lines that are not marked "To Delete", or not past (done and not
// repeating); both drop every non-task line. -5 when the file holds no task.
int DeleteMarkedTasks();
int DeletePastTasks();
