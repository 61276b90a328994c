#pragma once

#include <functional>
#include <string_view>

// The one procedure behind every change to the task file: copy the lines that stay to the
// temporary file beside it, add an optional line at the end, flush it all to disk and put it
// in place with one atomic rename. Returns a TaskFileResult code.

// Whether a line of the task file stays. nTask is the line's task number, 0 for a line that
// is not a task.
using LineFilter = std::function<bool(std::string_view line, int nTask)>;

enum class MissingTaskFile {
    Fail,         // -1 when the task file cannot be opened
    StartsEmpty,  // a missing task file is created holding only the added line
};

int RewriteTaskFile(const LineFilter& keep, std::string_view addedLine, MissingTaskFile missing);

// Test seam: the steps of a rewrite that no test can make fail for real. When set, the hook
// is asked before each such step and makes the step fail by returning true.
enum class RewriteStep { FlushToDisk, Rename };
extern bool (*g_pfnRewriteFault)(RewriteStep step);
