#include "tasks/tasksort.h"

#include <algorithm>
#include <cstdint>
#include <vector>

#include "calendar/civil.h"
#include "tasks/taskfile.h"
#include "tasks/taskline.h"

namespace {

// The due date as a count of days. The local start of a day comes later for every later day,
// so ordering by day count is ordering by the local time at the start of the day, and needs
// no time zone.
std::int64_t DueDay(const TaskView& task) {
    return civil::FloorDiv(civil::WallSeconds(task.dueYear, task.dueMonth, task.dueDay, 0, 0, 0),
                           civil::kSecondsPerDay);
}

std::int64_t SortKey(TaskSort sort, std::string_view line) {
    TaskView task;
    ParseTaskLine(line, task);
    switch (sort) {
        case TaskSort::DateDescending:
        case TaskSort::DateAscending:
            return DueDay(task);
        case TaskSort::Status:
            return task.status;
        case TaskSort::Recurrence:
            return task.recurrence;
    }
    return 0;
}

struct KeyedLine {
    std::int64_t key;
    std::string_view line;
};

}  // namespace

int SortTaskFile(const CTaskFile& taskFile, TaskSort sort) {
    TaskFileLines file;
    const int loaded = taskFile.Load(file, MissingTaskFile::Fail);
    if (loaded != kDone) {
        return loaded;
    }
    // Each line's key is read once; the sort then moves keys and views only.
    std::vector<KeyedLine> tasks;
    tasks.reserve(file.lines.size());
    for (const std::string_view line : file.lines) {
        if (IsTaskLine(line)) {
            tasks.push_back({SortKey(sort, line), line});
        }
    }
    if (sort == TaskSort::DateDescending) {
        std::stable_sort(tasks.begin(), tasks.end(),
                         [](const KeyedLine& a, const KeyedLine& b) { return a.key > b.key; });
    } else {
        std::stable_sort(tasks.begin(), tasks.end(),
                         [](const KeyedLine& a, const KeyedLine& b) { return a.key < b.key; });
    }
    std::vector<std::string_view> lines;
    lines.reserve(tasks.size());
    for (const KeyedLine& task : tasks) {
        lines.push_back(task.line);
    }
    return taskFile.Replace(lines);
}
