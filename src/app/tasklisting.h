#pragma once

#include <string>
#include <vector>

#include "calendar/ctime.h"

struct TaskFileLines;

// The tasks as the window's list shows them, for the command line: date, hour, shown status,
// recurrence and title, and the caption of a task a poll now would remind.
struct ListedTask {
    std::string date;  // MM/DD/YYYY, as the list shows it
    int hour = 0;
    std::string hourText;  // "2 PM"
    std::string status;
    std::string recurrence;
    std::string caption;  // empty unless a poll now would remind the task
    std::string title;
};

// The tasks of the file in file order, classified against now as a poll would; with bDueOnly
// only those a poll would remind.
std::vector<ListedTask> ListTasks(const TaskFileLines& file, CTime now, bool bDueOnly);

// One task a line, the columns aligned; with bCaption the caption comes before the title.
std::string AlignedText(const std::vector<ListedTask>& tasks, bool bCaption);
// One task a line, the fields separated by tabs (the hour as its number 1..24): for scripts.
std::string TabSeparatedText(const std::vector<ListedTask>& tasks, bool bCaption);
