#pragma once

#include <string>

#include "tasks/taskcommands.h"
#include "tasks/taskfile.h"
#include "tasks/taskline.h"

// The poll's write-back of an answer: the first task, read from the file, replaces itself and so
// becomes the last. The kill test repeats it until the rewrites are killed.
inline int MoveFirstTaskToTheEnd(const CTaskFile& taskFile) {
    TaskFileLines file;
    if (taskFile.Load(file, MissingTaskFile::Fail) != kDone || file.lines.empty()) {
        return kCannotOpen;
    }
    const std::string first(file.lines.front());
    return ReplaceTask(taskFile, TaskRef{ParseTaskLine(first), 1}, first);
}
