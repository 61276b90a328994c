#include "reminder/poll.h"

#include <algorithm>
#include <cstddef>
#include <optional>
#include <string>
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

// Where the task reading exactly as `task` stands now: at `guess` when it is still there, else
// wherever the file holds it. 0 when the file no longer holds it, so that nothing is ever
// written over another task.
int LocateTask(const TaskRecord& task, int guess) {
    if (guess >= 1) {
        const std::optional<std::string> at = ReadTaskLine(guess);
        if (at && ParseTaskLine(*at) == task) {
            return guess;
        }
    }
    std::vector<TaskRecord> now;
    if (!ReadAllTasks(now)) {
        return 0;
    }
    const auto found = std::find(now.begin(), now.end(), task);
    return found == now.end() ? 0 : static_cast<int>(found - now.begin()) + 1;
}

// Raises the reminder of one task and writes the answer back. Returns whether the task was
// written back, and so now stands at the end of the file.
bool RemindAndWriteBack(IPollHost& host, const TaskRecord& task, int guess,
                        std::string_view caption) {
    const int nRecord = LocateTask(task, guess);
    if (nRecord == 0) {
        // Changed since the poll began; the next poll classifies what the file holds now.
        return false;
    }
    const ReminderAnswer answer = host.AskReminder(ReminderRequest{
        .nRecord = nRecord,
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
        host.ShowTaskDetails(nRecord);
    }
    const std::optional<TaskRecord> answered = AnsweredTask(task, answer);
    if (!answered) {
        return false;
    }
    // The details view, or anything else, may have moved or rewritten the task meanwhile. The
    // answer is written only over the very task that was reminded; a task that has changed is
    // left as it now stands.
    const int nNow = LocateTask(task, nRecord);
    if (nNow == 0) {
        return false;
    }
    if (WriteBackTask(nNow, FormatTaskLine(*answered)) != kDone) {
        // The file is as it was; the user must know the answer did not stick.
        host.ShowError(Str::AnswerNotSaved, Str::Error);
        return false;
    }
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
        TaskRecord& task = tasks[i];
        const Classification shown = ClassifyTask(hourNow, task);
        if (!shown.caption.empty()) {
            const int guess = static_cast<int>(i) + 1 - nWrittenBack;
            if (RemindAndWriteBack(host, task, guess, shown.caption)) {
                ++nWrittenBack;
            }
        }
        host.AddRow(MakeTaskRow(task, shown.shownStatus));
        // Done with this task: its texts go now, so the rows of a long list reuse their room.
        task = TaskRecord{};
    }
    return kPollDone;
}
