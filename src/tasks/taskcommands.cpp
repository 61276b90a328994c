#include "tasks/taskcommands.h"

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "tasks/taskfile.h"
#include "tasks/taskfilerewrite.h"
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

// Loads the file, finds the task and hands its line's index to change, which returns the
// lines that replace the file's content.
template <typename Change>
int ChangeTask(const TaskRef& ref, Change change) {
    TaskFileLines file;
    const int loaded = LoadTaskFile(file, MissingTaskFile::Fail);
    if (loaded != kDone) {
        return loaded;
    }
    const std::optional<std::size_t> at = FindLine(file, ref);
    if (!at) {
        return kTaskGone;
    }
    std::vector<std::string_view> lines;
    lines.reserve(file.lines.size() + 1);
    const int result = change(file, *at, lines);
    return result == kDone ? ReplaceTaskFile(lines) : result;
}

// Every line but the one at skip.
void CopyAllBut(const TaskFileLines& file, std::size_t skip, std::vector<std::string_view>& to) {
    to.insert(to.end(), file.lines.begin(), file.lines.begin() + static_cast<std::ptrdiff_t>(skip));
    to.insert(to.end(), file.lines.begin() + static_cast<std::ptrdiff_t>(skip) + 1,
              file.lines.end());
}

// Characters, not bytes: a title in UTF-8 counts each of its characters once. Text that is not
// UTF-8 counts byte by byte.
std::size_t CountCharacters(std::string_view text) {
    std::size_t count = 0;
    std::size_t i = 0;
    while (i < text.size()) {
        const auto lead = static_cast<unsigned char>(text[i]);
        const std::size_t length = lead < 0x80   ? 1
                                   : lead < 0xC2 ? 0
                                   : lead < 0xE0 ? 2
                                   : lead < 0xF0 ? 3
                                   : lead < 0xF5 ? 4
                                                 : 0;
        bool valid = length != 0 && i + length <= text.size();
        for (std::size_t k = 1; valid && k < length; ++k) {
            valid = (static_cast<unsigned char>(text[i + k]) & 0xC0) == 0x80;
        }
        if (!valid) {
            return text.size();
        }
        i += length;
        ++count;
    }
    return count;
}

}  // namespace

int FindTask(const TaskRef& ref) {
    TaskFileLines file;
    if (LoadTaskFile(file, MissingTaskFile::Fail) != kDone) {
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

int ReplaceTask(const TaskRef& ref, std::string_view line) {
    return ChangeTask(ref, [line](const TaskFileLines& file, std::size_t at,
                                  std::vector<std::string_view>& lines) {
        CopyAllBut(file, at, lines);
        lines.push_back(line);
        return kDone;
    });
}

int DeleteTask(const TaskRef& ref) {
    return ChangeTask(
        ref, [](const TaskFileLines& file, std::size_t at, std::vector<std::string_view>& lines) {
            CopyAllBut(file, at, lines);
            return kDone;
        });
}

int SetTaskStatus(const TaskRef& ref, int status) {
    if (ref.record.status == status) {
        // Still looked for, so that a row whose task has gone refreshes the list.
        return FindTask(ref) == 0 ? kTaskGone : kUnchanged;
    }
    TaskRecord changed = ref.record;
    changed.status = status;
    return ReplaceTask(ref, FormatTaskLine(changed));
}

std::string DuplicateTitle(std::string_view title) {
    std::string copy(title);
    if (CountCharacters(title) < kMarkedTitleLimit) {
        copy += " *";
    }
    return copy;
}

int DuplicateTask(const TaskRef& ref) {
    std::string copy;
    return ChangeTask(
        ref, [&](const TaskFileLines& file, std::size_t at, std::vector<std::string_view>& lines) {
            const TaskRecord& task = ref.record;
            copy = FormatTaskLineWithDateText(GetLineDateText(file.lines[at]), task.advanceDays,
                                              task.status, task.recurrence,
                                              DuplicateTitle(task.title), task.note, task.hour);
            lines = file.lines;
            lines.push_back(copy);
            return kDone;
        });
}
