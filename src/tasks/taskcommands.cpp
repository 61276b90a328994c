#include "tasks/taskcommands.h"

#include <algorithm>
#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "tasks/taskfile.h"
#include "tasks/taskline.h"

namespace {

// A duplicate's title gets its mark only below this many characters, so that it never grows
// past the longest title the editor takes.
constexpr std::size_t kMarkedTitleLimit = kMaxTitleLength - 1;

// The index in file.lines of the task ref names: the task at its old number when that one
// still reads the same, else the first that does.
std::optional<std::size_t> FindLine(const TaskFileLines& file, const TaskRef& ref) {
    std::optional<std::size_t> first;
    TaskRecord read;
    int nTasks = 0;
    for (std::size_t i = 0; i < file.lines.size(); ++i) {
        const int nTask = NumberLine(file.lines[i], nTasks);
        if (nTask == 0) {
            continue;
        }
        if (first && nTask > ref.nRecord) {
            break;
        }
        ParseTaskLine(file.lines[i], read);
        if (read != ref.record) {
            continue;
        }
        if (nTask == ref.nRecord) {
            return i;
        }
        if (!first) {
            first = i;
        }
        // Found beyond the old place: nothing before it matched.
        if (nTask > ref.nRecord) {
            break;
        }
    }
    return first;
}

// Finds the task in the loaded file and hands its line's index to change, which fills the lines
// that replace the file's content.
template <typename Change>
int ChangeTask(const CTaskFile& taskFile, const TaskRef& ref, Change change) {
    return taskFile.Change(MissingTaskFile::Fail,
                           [&](const TaskFileLines& file, std::vector<std::string_view>& lines) {
                               const std::optional<std::size_t> at = FindLine(file, ref);
                               return at ? change(file, *at, lines) : kTaskGone;
                           });
}

// The bulk removals keep only the tasks that keep() accepts; -5 for a file without tasks.
template <typename Keep>
int KeepOnlyTasks(const CTaskFile& taskFile, Keep keep) {
    const int result =
        taskFile.Change(MissingTaskFile::Fail,
                        [&](const TaskFileLines& file, std::vector<std::string_view>& lines) {
                            int nTasks = 0;
                            TaskView task;
                            lines = KeptLines(file, [&](std::string_view line, int nTask) {
                                nTasks = std::max(nTasks, nTask);
                                if (nTask == 0) {
                                    return false;
                                }
                                ParseTaskLine(line, task);
                                return keep(task);
                            });
                            return nTasks < 1 ? kOutOfRange : kDone;
                        });
    return result == kCannotOpen ? kOutOfRange : result;
}

// Every line but the one at skip.
void CopyAllBut(const TaskFileLines& file, std::size_t skip, std::vector<std::string_view>& to) {
    to.insert(to.end(), file.lines.begin(), file.lines.begin() + static_cast<std::ptrdiff_t>(skip));
    to.insert(to.end(), file.lines.begin() + static_cast<std::ptrdiff_t>(skip) + 1,
              file.lines.end());
}

}  // namespace

int FindTask(const CTaskFile& taskFile, const TaskRef& ref) {
    TaskFileLines file;
    if (taskFile.Load(file, MissingTaskFile::Fail) != kDone) {
        return 0;
    }
    const std::optional<std::size_t> at = FindLine(file, ref);
    if (!at) {
        return 0;
    }
    int nTasks = 0;
    for (std::size_t i = 0; i <= *at; ++i) {
        NumberLine(file.lines[i], nTasks);
    }
    return nTasks;
}

int ReplaceTask(const CTaskFile& taskFile, const TaskRef& ref, std::string_view line) {
    return ChangeTask(
        taskFile, ref,
        [line](const TaskFileLines& file, std::size_t at, std::vector<std::string_view>& lines) {
            CopyAllBut(file, at, lines);
            lines.push_back(line);
            return kDone;
        });
}

int DeleteTask(const CTaskFile& taskFile, const TaskRef& ref) {
    return ChangeTask(
        taskFile, ref,
        [](const TaskFileLines& file, std::size_t at, std::vector<std::string_view>& lines) {
            CopyAllBut(file, at, lines);
            return kDone;
        });
}

int SetTaskStatus(const CTaskFile& taskFile, const TaskRef& ref, int status) {
    if (ref.record.status == status) {
        // Still looked for, so that a row whose task has gone refreshes the list.
        return FindTask(taskFile, ref) == 0 ? kTaskGone : kUnchanged;
    }
    TaskRecord changed = ref.record;
    changed.status = status;
    return ReplaceTask(taskFile, ref, FormatTaskLine(changed));
}

std::string DuplicateTitle(std::string_view title) {
    std::string copy(title);
    if (CountCharacters(title) < kMarkedTitleLimit) {
        copy += " *";
    }
    return copy;
}

int DuplicateTask(const CTaskFile& taskFile, const TaskRef& ref) {
    std::string copy;
    return ChangeTask(
        taskFile, ref,
        [&](const TaskFileLines& file, std::size_t at, std::vector<std::string_view>& lines) {
            const TaskRecord& task = ref.record;
            copy = FormatTaskLineWithDateText(TaskLineDateText(file.lines[at]), task.advanceDays,
                                              task.status, task.recurrence,
                                              DuplicateTitle(task.title), task.note, task.hour);
            lines = file.lines;
            lines.push_back(copy);
            return kDone;
        });
}

int AppendTaskLine(const CTaskFile& taskFile, std::string_view line) {
    const int result =
        taskFile.Change(MissingTaskFile::StartsEmpty,
                        [line](const TaskFileLines& file, std::vector<std::string_view>& lines) {
                            lines = file.lines;
                            lines.push_back(line);
                            return kDone;
                        });
    return result == kDone ? kDone : kCannotOpen;
}

int CompactTaskFile(const CTaskFile& taskFile) {
    return taskFile.Change(
        MissingTaskFile::Fail, [](const TaskFileLines& file, std::vector<std::string_view>& lines) {
            lines = KeptLines(file, [](std::string_view line, int) { return line != "\r\n"; });
            return kDone;
        });
}

int DeleteMarkedTasks(const CTaskFile& taskFile) {
    return KeepOnlyTasks(
        taskFile, [](const TaskView& task) { return task.status != ToInt(TaskStatus::ToDelete); });
}

int DeletePastTasks(const CTaskFile& taskFile) {
    return KeepOnlyTasks(taskFile, [](const TaskView& task) {
        const bool done =
            task.status == ToInt(TaskStatus::Complete) || task.status == ToInt(TaskStatus::Missed);
        return !(done && task.recurrence == ToInt(Recurrence::None));
    });
}
