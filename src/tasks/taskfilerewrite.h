#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "tasks/taskline.h"

// Every change to the task file is "load its lines, decide the new lines, replace the file
// with them". ReplaceTaskFile is the one place that writes the task file: it writes the
// complete new content to the temporary file beside it, flushes it to disk and puts it in
// place with one atomic rename, so the file is always either the old or the new one.

// The task file's lines as one read found them. Each line keeps its line end as read; the
// last line of the file may lack one. The lines point into content, so the object stays
// where it was loaded.
struct TaskFileLines {
    std::string content;
    std::vector<std::string_view> lines;

    TaskFileLines() = default;
    TaskFileLines(const TaskFileLines&) = delete;
    TaskFileLines& operator=(const TaskFileLines&) = delete;
};

enum class MissingTaskFile {
    Fail,         // -1 when the task file cannot be opened
    StartsEmpty,  // a missing task file loads as a file without lines
};

// Reads the whole task file. kDone, or kCannotOpen when it cannot be opened or read to its
// end (with no lines then).
int LoadTaskFile(TaskFileLines& file, MissingTaskFile missing);

// Replaces the task file's content with these lines, in this order. A line without its line
// end gets one, so nothing written after it can run into it. Returns a TaskFileResult code;
// on failure the task file is exactly as it was and no temporary file is left.
int ReplaceTaskFile(std::span<const std::string_view> lines);

// Removes the temporary file a rewrite that was cut short (a kill, a power cut) left beside the
// task file. Such a file is never needed: until the rename the task file is the old one, and
// after it there is no temporary file. Only a file is removed, never a folder of that name.
// Returns whether one was removed.
bool RemoveLeftoverTempFile();

// The lines of a loaded file for which keep(line, nTask) holds; nTask is the line's task
// number, 0 for a line that is not a task.
template <typename Keep>
std::vector<std::string_view> KeptLines(const TaskFileLines& file, Keep keep);

// Test seam: the steps of a rewrite that no test can make fail for real. When set, the hook
// is asked before each such step and makes the step fail by returning true.
enum class RewriteStep { FlushToDisk, Rename };
extern bool (*g_pfnRewriteFault)(RewriteStep step);

// The task number of the line when it is a task line, else 0; counting goes on in nTasks.
inline int NumberLine(std::string_view line, int& nTasks) {
    return IsTaskLine(line) ? ++nTasks : 0;
}

template <typename Keep>
std::vector<std::string_view> KeptLines(const TaskFileLines& file, Keep keep) {
    std::vector<std::string_view> kept;
    kept.reserve(file.lines.size() + 1);
    int nTasks = 0;
    for (const std::string_view line : file.lines) {
        if (keep(line, NumberLine(line, nTasks))) {
            kept.push_back(line);
        }
    }
    return kept;
}
