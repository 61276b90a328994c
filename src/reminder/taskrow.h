#pragma once

#include "reminder/poll.h"
#include "tasks/taskrecord.h"

// Index of a shown status's image in the status strip: a red flag for Future and Today/Unread,
// green for Complete, white for Missed, a cross for To Delete.
int StatusImage(int shownStatus);

// The list row of a task: its stored date and title, the name and image of the status the
// poll shows for it, and the name of its recurrence.
TaskRow MakeTaskRow(const TaskRecord& task, int shownStatus);
