#include "tasks/taskfile.h"

#include <algorithm>
#include <cstdint>
#include <filesystem>

#include "res/strings.h"
#include "tasks/fileplatform.h"
#include "tasks/linereader.h"
#include "tasks/taskline.h"

std::string g_szTaskFilePath;

namespace {

// Calls visit(line, nTask) for every task line in file order until it returns false.
// False when the task file cannot be opened or read to its end.
template <typename Visit>
bool ForEachTaskLine(Visit&& visit) {
    const FilePtr file = OpenTaskFileToRead();
    if (!file) {
        return false;
    }
    CLineReader reader(file.get());
    std::string_view line;
    int nTask = 0;
    while (reader.Next(line)) {
        if (IsTaskLine(line) && !visit(line, ++nTask)) {
            return true;
        }
    }
    return !reader.Failed();
}

// The shortest task line the program writes, with one-letter title and note. Room for the
// tasks of a file is made before reading it, for at most this many tasks.
constexpr std::uintmax_t kShortestWrittenLine = 38;
constexpr std::uintmax_t kMostTasksMadeRoomFor = std::uintmax_t{1} << 20;

// Calls fill(line, record) for every task line, reusing the records already in the vector
// before adding new ones: reading into the same vector again allocates almost nothing.
// Room for as many records as the file's size allows is made first, so that even a new
// vector does not have to grow on the way; room never used is never written to.
template <typename Record, typename Fill>
bool ReadEveryTask(std::vector<Record>& records, Fill fill) {
    std::error_code error;
    const std::uintmax_t size = std::filesystem::file_size(NativePath(g_szTaskFilePath), error);
    if (!error) {
        records.reserve(
            static_cast<size_t>(std::min(size / kShortestWrittenLine + 1, kMostTasksMadeRoomFor)));
    }
    size_t count = 0;
    const bool read = ForEachTaskLine([&](std::string_view line, int) {
        if (count == records.size()) {
            records.emplace_back();
        }
        fill(line, records[count++]);
        return true;
    });
    records.resize(read ? count : 0);
    return read;
}

}  // namespace

FilePtr OpenTaskFileToRead(FileKind* pKind) {
    return OpenRegularFileToRead(g_szTaskFilePath, pKind);
}

std::string TaskFileProblemText() {
    FileKind kind = FileKind::Regular;
    static_cast<void>(OpenTaskFileToRead(&kind));
    const char* problem = Str::ReasonCannotRead;
    switch (kind) {
        case FileKind::Missing:
            problem = Str::TaskFileNotFound;
            break;
        case FileKind::Folder:
            problem = Str::TaskFileIsFolder;
            break;
        case FileKind::Pipe:
            problem = Str::TaskFileIsPipe;
            break;
        case FileKind::Device:
            problem = Str::TaskFileIsDevice;
            break;
        case FileKind::Socket:
        case FileKind::Other:
            problem = Str::TaskFileIsNotAFile;
            break;
        case FileKind::Regular:
        case FileKind::Unreadable:
            break;
    }
    return std::string(problem) + "\n\n" + g_szTaskFilePath;
}

std::string TempFilePath() {
    return PathText(NativePath(g_szTaskFilePath).replace_filename(kTempFileName));
}

int CountTasks() {
    int count = 0;
    const bool read = ForEachTaskLine([&count](std::string_view, int) {
        ++count;
        return true;
    });
    return read ? count : kCannotOpen;
}

std::optional<std::string> ReadTaskLine(int n) {
    std::optional<std::string> found;
    if (n < 1) {
        return found;
    }
    const bool read = ForEachTaskLine([&](std::string_view line, int nTask) {
        if (nTask < n) {
            return true;
        }
        found.emplace(line);
        return false;
    });
    if (!read) {
        found.reset();
    }
    return found;
}

std::string GetTaskDateText(int n) {
    return GetLineDateText(ReadTaskLine(n).value_or(""));
}

int GetTaskAdvanceDays(int n) {
    return GetLineAdvanceDays(ReadTaskLine(n).value_or(""));
}

int GetTaskStatus(int n) {
    return GetLineStatus(ReadTaskLine(n).value_or(""));
}

int GetTaskRecurrence(int n) {
    return GetLineRecurrence(ReadTaskLine(n).value_or(""));
}

std::string GetTaskTitle(int n) {
    return GetLineTitle(ReadTaskLine(n).value_or(""));
}

std::string GetTaskNote(int n) {
    return GetLineNote(ReadTaskLine(n).value_or(""));
}

int GetTaskHour(int n) {
    return GetLineHour(ReadTaskLine(n).value_or(""));
}

std::vector<int> ReadAllStatuses(int count) {
    std::vector<int> statuses(static_cast<size_t>(std::max(count, 0)) + 1, 0);
    ForEachTaskLine([&](std::string_view line, int nTask) {
        if (nTask > count) {
            return false;
        }
        statuses[nTask] = GetLineStatus(line);
        return true;
    });
    return statuses;
}

bool ReadAllTasks(std::vector<TaskRecord>& tasks) {
    return ReadEveryTask(
        tasks, [](std::string_view line, TaskRecord& task) { ParseTaskLine(line, task); });
}

bool ReadAllTaskLines(std::vector<TaskLine>& tasks) {
    return ReadEveryTask(tasks, [](std::string_view line, TaskLine& task) {
        task.line.assign(line);
        ParseTaskLine(line, task.task);
    });
}
