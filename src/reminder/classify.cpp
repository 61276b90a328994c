#include "reminder/classify.h"

#include <cstdint>

#include "res/strings.h"

TaskInstants TaskInstantsOf(int year, int month, int day, int hour, int advanceDays) {
    const CTime due = CTime::FromLocal(year, month, day, hour);
    if (advanceDays == 0) {
        return {due, due};
    }
    const CTime advance =
        CTime::FromLocal(year, month, std::int64_t{day} - std::int64_t{advanceDays}, hour);
    return {advance, due};
}

TaskInstants TaskInstantsOf(const TaskRecord& task) {
    return TaskInstantsOf(task.dueYear, task.dueMonth, task.dueDay, task.hour, task.advanceDays);
}

CTime CutToHour(CTime now) {
    const LocalTm local = now.GetLocalTm();
    return CTime::FromLocal(local.year, local.month, local.day, local.hour);
}

Classification Classify(CTime hourNow, const TaskInstants& instants, int storedStatus) {
    constexpr int kFuture = ToInt(TaskStatus::Future);
    constexpr int kComplete = ToInt(TaskStatus::Complete);
    constexpr int kToDelete = ToInt(TaskStatus::ToDelete);

    // A task marked for deletion is never reminded, whatever its dates.
    if (storedStatus == kToDelete) {
        return {kToDelete, {}};
    }
    if (hourNow > instants.advance) {
        if (storedStatus == kComplete) {
            return {kComplete, {}};
        }
        if (hourNow > instants.due) {
            return {ToInt(TaskStatus::Missed), Str::MissedAppointments};
        }
        return {kFuture, Str::AdvanceNotice};
    }
    if (hourNow < instants.advance) {
        return {kFuture, {}};
    }
    // The hour reminding starts: only a task still waiting is reminded; any other stored
    // status counts as already dealt with.
    if (storedStatus == kFuture) {
        return {ToInt(TaskStatus::TodayUnread), Str::NowDue};
    }
    return {kComplete, {}};
}

Classification ClassifyTask(CTime hourNow, const TaskRecord& task) {
    return Classify(hourNow, TaskInstantsOf(task), task.status);
}
