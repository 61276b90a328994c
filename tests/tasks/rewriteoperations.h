#pragma once

#include <functional>
#include <string>
#include <vector>

#include "tasks/taskcommands.h"
#include "tasks/taskfile.h"
#include "tasks/taskline.h"
#include "tasks/tasksort.h"

// Every operation that rewrites the task file, for the tests that make rewrites fail or share
// the file.

struct Operation {
    const char* name;
    std::function<int()> run;
    int failure;  // the code each operation reports for a failed rewrite step
};

// Every operation that rewrites the file, each of which has something to change in
// ManyTasks(): tasks 1 and 2 are marked and done.
inline std::vector<Operation> Operations(const CTaskFile& file, int rewriteFailure) {
    const std::string line = FormatTaskLine(2030, 5, 6, 0, 0, 0, "new", "(none)", 6);
    const TaskRef marked{ParseTaskLine(FormatTaskLine(2000, 1, 1, 0, 3, 0, "marked", "n", 6)), 1};
    return {
        {"CompactTaskFile", [&file] { return CompactTaskFile(file); }, rewriteFailure},
        {"DeleteMarkedTasks", [&file] { return DeleteMarkedTasks(file); }, rewriteFailure},
        {"DeletePastTasks", [&file] { return DeletePastTasks(file); }, rewriteFailure},
        {"AppendTaskLine", [&file, line] { return AppendTaskLine(file, line); }, -1},
        {"DeleteTask", [&file, marked] { return DeleteTask(file, marked); }, rewriteFailure},
        {"SetTaskStatus", [&file, marked] { return SetTaskStatus(file, marked, 0); },
         rewriteFailure},
        {"DuplicateTask", [&file, marked] { return DuplicateTask(file, marked); }, rewriteFailure},
        {"ReplaceTask", [&file, marked, line] { return ReplaceTask(file, marked, line); },
         rewriteFailure},
        {"SortTaskFile", [&file] { return SortTaskFile(file, TaskSort::Status); }, rewriteFailure},
    };
}

// Large enough that the copy fails inside the C library's buffer, not only at the flush.
inline std::string ManyTasks(int count = 3000) {
    std::string content = FormatTaskLine(2000, 1, 1, 0, 3, 0, "marked", "n", 6) + "\r\n";
    content += FormatTaskLine(2000, 1, 1, 0, 1, 0, "done", "n", 6);
    for (int i = 0; i < count; ++i) {
        content += FormatTaskLine(2000, 1, 1, 0, 0, 0, "task " + std::to_string(i), "note", 6);
    }
    return content;
}
