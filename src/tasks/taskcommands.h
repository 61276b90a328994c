#pragma once

#include <string>
#include <string_view>

#include "tasks/taskrecord.h"

class CTaskFile;

// The maintenance commands, over the task a list row shows. A row remembers the task as the
// file held it and where it stood; a command finds that task in the file again by its values
// (looking first where it stood, which tells identical tasks apart) and acts on it, so a
// reminder's answer, the editor or another program that changed the file since the row was
// made can never make a command act on another task. When the task is no longer in the file
// the command writes nothing and returns kTaskGone.
//
// Every command reads the file once and changes it with one safe rewrite (CTaskFile::Replace).
// Results are TaskFileResult codes.

struct TaskRef {
    TaskRecord record;  // the task's values as the file held them
    int nRecord = 0;    // its task number then

    bool operator==(const TaskRef&) const = default;
};

// The task's number in the file now; 0 when the file no longer holds it or cannot be read.
int FindTask(const CTaskFile& file, const TaskRef& ref);

// Replaces the task with a new line, which becomes the last line of the file.
int ReplaceTask(const CTaskFile& file, const TaskRef& ref, std::string_view line);

// Delete Selection: removes the task; every other line stays.
int DeleteTask(const CTaskFile& file, const TaskRef& ref);

// Mark For Deletion and Keep As New: writes the task back with this status and every other
// field as it was, at the end of the file. kUnchanged, with nothing written, when the task
// already has the status.
int SetTaskStatus(const CTaskFile& file, const TaskRef& ref, int status);

// Insert Duplicate: adds a copy of the task as the last task. The copy keeps the date text
// exactly as stored and every other field; its title gets " *" while it is shorter than 79
// characters.
int DuplicateTask(const CTaskFile& file, const TaskRef& ref);

// The title a duplicate gets.
std::string DuplicateTitle(std::string_view title);

// Adds a line (normally from FormatTaskLine) as the last line of the file, creating the file
// when there is none. Goes through the same safe rewrite as the removals, so a full disk can
// never leave half a line behind. 0, or -1 when the line could not be added.
int AppendTaskLine(const CTaskFile& file, std::string_view line);

// Compact Database: removes every line that is exactly "\r\n"; other lines stay.
int CompactTaskFile(const CTaskFile& file);

// Delete All Marked Tasks and Delete All Past Tasks: keep only the task lines that are not
// marked "To Delete", or not past (done and not repeating); both drop every non-task line. -5
// when the file holds no task.
int DeleteMarkedTasks(const CTaskFile& file);
int DeletePastTasks(const CTaskFile& file);
