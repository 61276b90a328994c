#include "reminder/poll.h"

#include <cstddef>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "reminder/classify.h"
#include "reminder/datemoves.h"
#include "reminder/taskrow.h"
#include "res/strings.h"
#include "tasks/taskfile.h"
#include "tasks/taskline.h"

namespace {

// Polls run on the one user-interface thread; a second one started from inside the first
// (a reminder or the details view runs a nested event loop) would visit the same tasks again.
bool g_bPollRunning = false;

class PollRunningGuard {
public:
    PollRunningGuard() { g_bPollRunning = true; }
    ~PollRunningGuard() { g_bPollRunning = false; }
    PollRunningGuard(const PollRunningGuard&) = delete;
    PollRunningGuard& operator=(const PollRunningGuard&) = delete;
};

// Raises the reminder of the task ref names and writes the answer back. Returns whether an
// answer was written; ref then names the task as written back, the last of nTasks tasks.
bool RemindAndWriteBack(IPollHost& host, TaskRef& ref, std::string_view caption, int nTasks) {
    ref.nRecord = FindTask(ref);
    if (ref.nRecord == 0) {
        // Changed since the poll began; the next poll classifies what the file holds now.
        return false;
    }
    const TaskRecord& task = ref.record;
    const ReminderAnswer answer = host.AskReminder(ReminderRequest{
        .nRecord = ref.nRecord,
        .title = task.title,
        .year = task.dueYear,
        .month = task.dueMonth,
        .day = task.dueDay,
        .advanceDays = task.advanceDays,
        .hour = task.hour,
        .status = task.status,
        .caption = std::string(caption),
    });
    if (answer == ReminderAnswer::Details) {
        host.ShowTaskDetails(ref);
    }
    std::optional<TaskRecord> answered = AnsweredTask(task, answer);
    if (!answered) {
        return false;
    }
    // The details view, or anything else, may have moved or rewritten the task meanwhile. The
    // answer is written only over the very task that was reminded; a task that has changed is
    // left as it now stands.
    const int result = ReplaceTask(ref, FormatTaskLine(*answered));
    if (result == kTaskGone) {
        return false;
    }
    if (result != kDone) {
        // The file is as it was; the user must know the answer did not stick.
        host.ShowError(Str::AnswerNotSaved, Str::Error);
        return false;
    }
    ref = TaskRef{.record = std::move(*answered), .nRecord = nTasks};
    return true;
}

}  // namespace

int PollTaskFile(IPollHost& host) {
    if (g_bPollRunning) {
        return kPollBusy;
    }
    const PollRunningGuard running;

    // One read gives the start-of-poll view: every task's fields in file order.
    std::vector<TaskRecord> tasks;
    if (!ReadAllTasks(tasks)) {
        host.ShowError(Str::TaskFileNotFound, Str::Error);
        return kPollNoFile;
    }
    const PollHour hourNow = CurrentHour(host.Now());
    host.BeginRows(tasks.size());

    // Each task written back moves to the end of the file, so a later task stands that many
    // places before its start-of-poll position.
    int nWrittenBack = 0;
    for (std::size_t i = 0; i < tasks.size(); ++i) {
        TaskRef ref{.record = std::move(tasks[i]),
                    .nRecord = static_cast<int>(i) + 1 - nWrittenBack};
        const Classification shown = ClassifyTask(hourNow, ref.record);
        TaskRow row = MakeTaskRow(ref.record, shown.shownStatus);
        if (!shown.caption.empty() &&
            RemindAndWriteBack(host, ref, shown.caption, static_cast<int>(tasks.size()))) {
            ++nWrittenBack;
        }
        row.task = std::move(ref);
        host.AddRow(std::move(row));
    }
    return kPollDone;
}

bool IsPollRunning() {
    return g_bPollRunning;
}
