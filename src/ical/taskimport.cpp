#include "ical/taskimport.h"

#include <map>
#include <tuple>

#include "ical/calendarread.h"
#include "tasks/taskfile.h"
#include "tasks/taskline.h"

namespace {

// What makes two tasks the same for an import: date, hour and title.
using TaskKey = std::tuple<int, int, int, int, std::string>;

template <typename Text>
TaskKey KeyOf(const BasicTaskRecord<Text>& task) {
    return {task.dueYear, task.dueMonth, task.dueDay, task.hour, std::string(task.title)};
}

std::string TaskName(const TaskRecord& task) {
    return "\"" + task.title + "\" (" + std::to_string(task.dueMonth) + "/" +
           std::to_string(task.dueDay) + "/" + std::to_string(task.dueYear) + ")";
}

std::string Counted(int count, std::string_view one, std::string_view many) {
    return std::to_string(count) + " " + std::string(count == 1 ? one : many);
}

}  // namespace

ImportReport ImportCalendar(const CTaskFile& file, std::string_view calendarText, CTime now) {
    ImportReport report;
    const CalendarRead read = ReadCalendar(calendarText);
    if (!read.problem.empty()) {
        report.problem = read.problem;
        return report;
    }
    CalendarTasks calendar = TasksFromCalendars(CalendarsIn(read.root.get()), now);
    report.refused = std::move(calendar.refused);

    // Which tasks to add is decided under the writer lock, on the file as it is then, and
    // they are written in the same change: all of the import or none of it.
    std::vector<std::string> added;
    const int result =
        file.Change(MissingTaskFile::StartsEmpty,
                    [&](const TaskFileLines& loaded, std::vector<std::string_view>& lines) {
                        // Each task already in the file stands for one imported task of the same
                        // key.
                        std::map<TaskKey, int> present;
                        TaskView existing;
                        for (const std::string_view line : loaded.lines) {
                            if (IsTaskLine(line)) {
                                ParseTaskLine(line, existing);
                                ++present[KeyOf(existing)];
                            }
                        }
                        for (const CalendarTask& entry : calendar.tasks) {
                            auto found = present.find(KeyOf(entry.task));
                            if (found != present.end() && found->second > 0) {
                                --found->second;
                                ++report.nAlreadyThere;
                                continue;
                            }
                            added.push_back(FormatTaskLine(entry.task));
                            if (!entry.changes.empty()) {
                                std::string why;
                                for (const std::string& change : entry.changes) {
                                    why += (why.empty() ? "" : "; ") + change;
                                }
                                report.changed.push_back(TaskName(entry.task) + ": " + why);
                            }
                        }
                        if (added.empty()) {
                            return kUnchanged;
                        }
                        lines.assign(loaded.lines.begin(), loaded.lines.end());
                        lines.insert(lines.end(), added.begin(), added.end());
                        return kDone;
                    });
    if (result != kDone && result != kUnchanged) {
        report = ImportReport();
        report.problem = FailureReason(result);
        return report;
    }
    report.nAdded = static_cast<int>(added.size());
    report.bImported = true;
    return report;
}

std::string ImportReportText(const ImportReport& report, std::string_view source) {
    if (!report.bImported) {
        return std::string(source) + ": nothing was imported: " + report.problem + "\n";
    }
    std::string text = std::string(source) + ": " + Counted(report.nAdded, "task", "tasks") +
                       " added, " + std::to_string(report.nAlreadyThere) + " already there, " +
                       std::to_string(report.changed.size()) + " changed to fit, " +
                       std::to_string(report.refused.size()) + " refused.\n";
    if (!report.changed.empty()) {
        text += "Changed to fit:\n";
        for (const std::string& line : report.changed) {
            text += "  " + line + "\n";
        }
    }
    if (!report.refused.empty()) {
        text += "Refused:\n";
        for (const RefusedEntry& entry : report.refused) {
            text += "  \"" + entry.name + "\": " + entry.reason + "\n";
        }
    }
    return text;
}
