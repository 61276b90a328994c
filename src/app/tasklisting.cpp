#include "app/tasklisting.h"

#include <algorithm>
#include <array>
#include <cstdio>

#include "editor/editorrules.h"
#include "reminder/classify.h"
#include "tasks/taskfile.h"
#include "tasks/taskline.h"

namespace {

constexpr const char* kColumnGap = "  ";

std::string PaddedTo(const std::string& text, std::size_t width) {
    const std::size_t length = CountCharacters(text);
    return text + std::string(width > length ? width - length : 0, ' ');
}

// A tab or a line break in a title would break the line apart.
std::string OnOneField(std::string text) {
    std::replace_if(
        text.begin(), text.end(), [](char c) { return c == '\t' || c == '\r' || c == '\n'; }, ' ');
    return text;
}

}  // namespace

std::vector<ListedTask> ListTasks(const TaskFileLines& file, CTime now, bool bDueOnly) {
    const PollHour hour = CurrentHour(now);
    std::vector<ListedTask> listed;
    TaskRecord task;
    for (const std::string_view line : file.lines) {
        if (!IsTaskLine(line)) {
            continue;
        }
        ParseTaskLine(line, task);
        const Classification shown = ClassifyTask(hour, task);
        if (bDueOnly && shown.caption.empty()) {
            continue;
        }
        std::array<char, 48> date{};
        (void)std::snprintf(date.data(), date.size(), "%02d/%02d/%04d", task.dueMonth, task.dueDay,
                            task.dueYear);
        listed.push_back({
            .date = date.data(),
            .hour = task.hour,
            .hourText = FormatHour12(task.hour),
            .status = StatusName(shown.shownStatus),
            .recurrence = RecurrenceName(task.recurrence),
            .caption = std::string(shown.caption),
            .title = task.title,
        });
    }
    return listed;
}

std::string AlignedText(const std::vector<ListedTask>& tasks, bool bCaption) {
    std::array<std::size_t, 5> widths{};
    const auto columns = [bCaption](const ListedTask& task) {
        return std::array<const std::string*, 5>{&task.date, &task.hourText, &task.status,
                                                 &task.recurrence,
                                                 bCaption ? &task.caption : nullptr};
    };
    for (const ListedTask& task : tasks) {
        const auto cells = columns(task);
        for (std::size_t i = 0; i < cells.size(); ++i) {
            if (cells[i] != nullptr) {
                widths[i] = std::max(widths[i], CountCharacters(*cells[i]));
            }
        }
    }
    std::string text;
    for (const ListedTask& task : tasks) {
        const auto cells = columns(task);
        for (std::size_t i = 0; i < cells.size(); ++i) {
            if (cells[i] != nullptr) {
                text += PaddedTo(*cells[i], widths[i]) + kColumnGap;
            }
        }
        text += OnOneField(task.title) + "\n";
    }
    return text;
}

std::string TabSeparatedText(const std::vector<ListedTask>& tasks, bool bCaption) {
    std::string text;
    for (const ListedTask& task : tasks) {
        text += task.date + "\t" + std::to_string(task.hour) + "\t" + task.status + "\t" +
                task.recurrence + "\t";
        if (bCaption) {
            text += task.caption + "\t";
        }
        text += OnOneField(task.title) + "\n";
    }
    return text;
}
