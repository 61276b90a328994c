#include "reminder/classify.h"

#include "reminder/civil.h"
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

PollHour CurrentHour(CTime now) {
    const LocalTm local = now.GetLocalTm();
    return {CTime::FromLocal(local.year, local.month, local.day, local.hour),
            civil::WallSeconds(local.year, local.month, local.day, local.hour, 0, 0)};
}

Classification Classify(std::strong_ordering nowToAdvance, std::strong_ordering nowToDue,
                        int storedStatus) {
    constexpr int kFuture = ToInt(TaskStatus::Future);
    constexpr int kComplete = ToInt(TaskStatus::Complete);
    constexpr int kToDelete = ToInt(TaskStatus::ToDelete);

    // A task marked for deletion is never reminded, whatever its dates.
    if (storedStatus == kToDelete) {
        return {kToDelete, {}};
    }
    if (std::is_gt(nowToAdvance)) {
        if (storedStatus == kComplete) {
            return {kComplete, {}};
        }
        if (std::is_gt(nowToDue)) {
            return {ToInt(TaskStatus::Missed), Str::MissedAppointments};
        }
        return {kFuture, Str::AdvanceNotice};
    }
    if (std::is_lt(nowToAdvance)) {
        return {kFuture, {}};
    }
    // The hour reminding starts: only a task still waiting is reminded; any other stored
    // status counts as already dealt with.
    if (storedStatus == kFuture) {
        return {ToInt(TaskStatus::TodayUnread), Str::NowDue};
    }
    return {kComplete, {}};
}

Classification Classify(CTime hourNow, const TaskInstants& instants, int storedStatus) {
    return Classify(hourNow <=> instants.advance, hourNow <=> instants.due, storedStatus);
}

namespace {

// Local readings further apart than this are in the same order as their instants: no two
// offsets from UTC that any zone has used differ by as much.
constexpr std::int64_t kFarApart = 3 * civil::kSecondsPerDay;

// How the hour compares with the instant of a task's local reading at `wall`; the instant is
// built only when the two are near, which spares the zone rules for most tasks of a long list.
std::strong_ordering CompareHourWith(const PollHour& hour, std::int64_t wall, int year, int month,
                                     std::int64_t day, int taskHour) {
    if (wall - hour.wallSeconds > kFarApart) {
        return std::strong_ordering::less;
    }
    if (hour.wallSeconds - wall > kFarApart) {
        return std::strong_ordering::greater;
    }
    return hour.start <=> CTime::FromLocal(year, month, day, taskHour);
}

}  // namespace

Classification ClassifyTask(const PollHour& hour, const TaskRecord& task) {
    const std::int64_t advanceDay = std::int64_t{task.dueDay} - task.advanceDays;
    const std::int64_t dueWall =
        civil::WallSeconds(task.dueYear, task.dueMonth, task.dueDay, task.hour, 0, 0);
    const std::int64_t advanceWall =
        civil::WallSeconds(task.dueYear, task.dueMonth, advanceDay, task.hour, 0, 0);
    const std::strong_ordering toDue =
        CompareHourWith(hour, dueWall, task.dueYear, task.dueMonth, task.dueDay, task.hour);
    const std::strong_ordering toAdvance =
        task.advanceDays == 0 ? toDue
                              : CompareHourWith(hour, advanceWall, task.dueYear, task.dueMonth,
                                                advanceDay, task.hour);
    return Classify(toAdvance, toDue, task.status);
}
