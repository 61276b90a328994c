#include "referenceops.h"

#include <algorithm>
#include <vector>

#include "referencetask.h"
#include "tasks/taskcommands.h"
#include "tasks/taskfile.h"
#include "tasks/tasksort.h"

namespace {

constexpr std::array<const char*, kRewriteOps.size()> kNames = {
    "append",         "compact",       "delete-marked", "delete-past",
    "sort-date-desc", "sort-date-asc", "sort-status",   "sort-recurrence",
    "delete-task",    "set-status",    "duplicate",     "replace",
};

// A duplicate's title is marked while it has fewer than 79 characters.
constexpr std::size_t kMarkedTitleLimit = 79;

struct NumberedLine {
    std::string_view text;
    int nTask = 0;  // 0 for a line that is not a task
};

std::vector<NumberedLine> Numbered(std::string_view content) {
    std::vector<NumberedLine> lines;
    int nTasks = 0;
    for (const std::string_view line : ReferenceLines(content)) {
        lines.push_back({line, ReferenceIsTask(line) ? ++nTasks : 0});
    }
    return lines;
}

// The file the lines make: every line ends, a line without its line feed getting one.
std::string Joined(const std::vector<std::string_view>& lines) {
    std::string content;
    for (const std::string_view line : lines) {
        content += line;
        if (!line.ends_with('\n')) {
            content += line.ends_with('\r') ? "\n" : "\r\n";
        }
    }
    return content;
}

template <typename Keep>
std::vector<std::string_view> Kept(const std::vector<NumberedLine>& lines, Keep keep) {
    std::vector<std::string_view> kept;
    for (const NumberedLine& line : lines) {
        if (keep(line)) {
            kept.push_back(line.text);
        }
    }
    return kept;
}

long long SortKey(RewriteOp op, std::string_view line) {
    const TaskRecord task = ReferenceParse(line).record;
    switch (op) {
        case RewriteOp::SortDateDescending:
            return -ReferenceDueDay(task);
        case RewriteOp::SortDateAscending:
            return ReferenceDueDay(task);
        case RewriteOp::SortStatus:
            return task.status;
        default:
            return task.recurrence;
    }
}

// The line of the task a command names: at its old number if that line still holds it, else
// the first line that does; nullptr when none does.
const NumberedLine* FoundTask(const std::vector<NumberedLine>& lines,
                              const RewriteRequest& request) {
    const NumberedLine* first = nullptr;
    for (const NumberedLine& line : lines) {
        if (line.nTask == 0 || ReferenceParse(line.text).record != request.task) {
            continue;
        }
        if (line.nTask == request.nTask) {
            return &line;
        }
        first = first != nullptr ? first : &line;
    }
    return first;
}

RewriteOutcome Written(const std::vector<std::string_view>& lines) {
    return {kDone, Joined(lines)};
}

RewriteOutcome Command(const std::vector<NumberedLine>& lines, const RewriteRequest& request) {
    const NumberedLine* found = FoundTask(lines, request);
    if (found == nullptr) {
        return {kTaskGone, std::nullopt};
    }
    std::vector<std::string_view> kept =
        Kept(lines, [found](const NumberedLine& line) { return &line != found; });
    std::string added;
    switch (request.op) {
        case RewriteOp::DeleteTask:
            return Written(kept);
        case RewriteOp::SetTaskStatus: {
            if (request.task.status == request.status) {
                return {kUnchanged, std::nullopt};
            }
            TaskRecord changed = request.task;
            changed.status = request.status;
            added = ReferenceLine(changed);
            break;
        }
        case RewriteOp::DuplicateTask: {
            TaskRecord copy = request.task;
            if (ReferenceCharacters(copy.title) < kMarkedTitleLimit) {
                copy.title += " *";
            }
            added = ReferenceLine(ReferenceParse(found->text).dateText, copy);
            kept = Kept(lines, [](const NumberedLine&) { return true; });
            break;
        }
        default:
            added = request.line;
            break;
    }
    kept.push_back(added);
    return Written(kept);
}

}  // namespace

const char* RewriteOpName(RewriteOp op) {
    return kNames[static_cast<std::size_t>(op)];
}

std::optional<RewriteOp> RewriteOpNamed(std::string_view name) {
    for (const RewriteOp op : kRewriteOps) {
        if (name == RewriteOpName(op)) {
            return op;
        }
    }
    return std::nullopt;
}

RewriteOutcome ReferenceRewrite(std::string_view content, const RewriteRequest& request) {
    const std::vector<NumberedLine> lines = Numbered(content);
    const int nTasks = static_cast<int>(std::count_if(
        lines.begin(), lines.end(), [](const NumberedLine& line) { return line.nTask != 0; }));
    switch (request.op) {
        case RewriteOp::Append: {
            std::vector<std::string_view> kept =
                Kept(lines, [](const NumberedLine&) { return true; });
            kept.push_back(request.line);
            return Written(kept);
        }
        case RewriteOp::Compact:
            return Written(
                Kept(lines, [](const NumberedLine& line) { return line.text != "\r\n"; }));
        case RewriteOp::DeleteMarked:
        case RewriteOp::DeletePast:
            if (nTasks == 0) {
                return {kOutOfRange, std::nullopt};
            }
            return Written(Kept(lines, [&](const NumberedLine& line) {
                if (line.nTask == 0) {
                    return false;
                }
                const TaskRecord task = ReferenceParse(line.text).record;
                if (request.op == RewriteOp::DeleteMarked) {
                    return task.status != 3;
                }
                return !((task.status == 1 || task.status == 2) && task.recurrence == 0);
            }));
        case RewriteOp::SortDateDescending:
        case RewriteOp::SortDateAscending:
        case RewriteOp::SortStatus:
        case RewriteOp::SortRecurrence: {
            std::vector<std::pair<long long, std::string_view>> tasks;
            for (const NumberedLine& line : lines) {
                if (line.nTask != 0) {
                    tasks.emplace_back(SortKey(request.op, line.text), line.text);
                }
            }
            std::stable_sort(tasks.begin(), tasks.end(),
                             [](const auto& a, const auto& b) { return a.first < b.first; });
            std::vector<std::string_view> sorted;
            sorted.reserve(tasks.size());
            for (const auto& task : tasks) {
                sorted.push_back(task.second);
            }
            return Written(sorted);
        }
        default:
            return Command(lines, request);
    }
}

int RunRewrite(const CTaskFile& file, const RewriteRequest& request) {
    const TaskRef ref{.record = request.task, .nRecord = request.nTask};
    switch (request.op) {
        case RewriteOp::Append:
            return AppendTaskLine(file, request.line);
        case RewriteOp::Compact:
            return CompactTaskFile(file);
        case RewriteOp::DeleteMarked:
            return DeleteMarkedTasks(file);
        case RewriteOp::DeletePast:
            return DeletePastTasks(file);
        case RewriteOp::SortDateDescending:
            return SortTaskFile(file, TaskSort::DateDescending);
        case RewriteOp::SortDateAscending:
            return SortTaskFile(file, TaskSort::DateAscending);
        case RewriteOp::SortStatus:
            return SortTaskFile(file, TaskSort::Status);
        case RewriteOp::SortRecurrence:
            return SortTaskFile(file, TaskSort::Recurrence);
        case RewriteOp::DeleteTask:
            return DeleteTask(file, ref);
        case RewriteOp::SetTaskStatus:
            return SetTaskStatus(file, ref, request.status);
        case RewriteOp::DuplicateTask:
            return DuplicateTask(file, ref);
        case RewriteOp::ReplaceTask:
            return ReplaceTask(file, ref, request.line);
    }
    return kDone;
}
