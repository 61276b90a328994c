#pragma once

#include "calendar/ctime.h"
#include "tasks/taskcommands.h"

class CTaskFile;
class QWidget;

// The Task Editor's flows around the task file: a new task, and a task of the list opened for
// editing or, for a reminder's "Details...", read-only. Each fills the editor, runs it and
// writes what it returns; a write that fails says so and opens the editor again with what the
// user entered. Writes go to file; the editor and its messages open over parent (none: on their
// own). Results are TaskFileResult codes; the caller refreshes the list after kDone and kTaskGone.

// A task due tomorrow (from now) with the defaults; even an unchanged one is added once the
// user has pressed OK. kDone, or kUnchanged after Cancel.
int AddTaskInEditor(QWidget* parent, const CTaskFile& file, CTime now);

// Writes what the user changed over that very task, as long as the file still holds it as it
// was; Delete marks it To Delete. kUnchanged when nothing was changed or the editor was
// cancelled; kTaskGone, after telling the user, when the task changed or went meanwhile; else
// the result of the write (a failure to mark it To Delete is the caller's to report).
int EditTaskInEditor(QWidget* parent, const CTaskFile& file, const TaskRef& task, bool bViewOnly);
