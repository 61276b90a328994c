#pragma once

#include <string_view>

class CTaskFile;

// Sorting rewrites the task file itself: the list shows the tasks in file order.

enum class TaskSort {
    DateDescending,  // latest due date first
    DateAscending,   // earliest due date first
    Status,          // stored status code ascending
    Recurrence,      // recurrence code ascending: none, monthly, yearly, then weekly by weekday
};

// Rewrites the task file with its task lines in the sort's order, through the one safe
// rewrite. The date sorts compare due days only, not hours; a day beyond its month's end
// counts into the next month (April 31 is May 1). Tasks with equal keys keep their order, so
// sorting twice changes nothing. Lines that are not tasks are dropped. kDone, or a TaskFileResult
// failure code with the file left as it was (kCannotOpen when there is no task file).
int SortTaskFile(const CTaskFile& file, TaskSort sort);
