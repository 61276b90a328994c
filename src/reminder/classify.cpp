#include "reminder/classify.h"

#include <optional>

#include "calendar/civil.h"
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
            civil::WallSeconds(local.year, local.month, local.day, local.hour, 0, 0),
            std::int64_t{local.year} * 12 + local.month - 1};
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

// A reading whose month lies two calendar months or more from the poll's is further from it
// than kFarApart whatever its day (1 to 31) and hour (0 to 24): at least 28 days. Most tasks
// of a long list are decided this way, without any calendar arithmetic.
std::optional<std::strong_ordering> CompareMonths(const PollHour& hour, int year, int month,
                                                  std::int64_t day, int taskHour) {
    if (month < 1 || month > 12 || day < 1 || day > 31 || taskHour < 0 || taskHour > 24) {
        return std::nullopt;
    }
    const std::int64_t monthIndex = std::int64_t{year} * 12 + month - 1;
    if (monthIndex >= hour.monthIndex + 2) {
        return std::strong_ordering::less;
    }
    if (monthIndex <= hour.monthIndex - 2) {
        return std::strong_ordering::greater;
    }
    return std::nullopt;
}

// The classification of a task from the values it is classified by.
Classification ClassifyValues(const PollHour& hour, int year, int month, int day, int taskHour,
                              int advanceDays, int status) {
    const std::optional<std::strong_ordering> dueByMonth =
        CompareMonths(hour, year, month, day, taskHour);
    const auto dueWall = [&] { return civil::WallSeconds(year, month, day, taskHour, 0, 0); };
    const std::strong_ordering toDue =
        dueByMonth ? *dueByMonth : CompareHourWith(hour, dueWall(), year, month, day, taskHour);
    // Without advance notice, or with a due instant long past (the advance instant lies before
    // it), the due instant decides both.
    if (advanceDays == 0 || (advanceDays > 0 && dueByMonth == std::strong_ordering::greater)) {
        return Classify(toDue, toDue, status);
    }
    // The advance day moves back whole days at the same local hour.
    const std::int64_t advanceDay = std::int64_t{day} - advanceDays;
    const std::optional<std::strong_ordering> advanceByMonth =
        CompareMonths(hour, year, month, advanceDay, taskHour);
    const std::strong_ordering toAdvance =
        advanceByMonth
            ? *advanceByMonth
            : CompareHourWith(hour, dueWall() - std::int64_t{advanceDays} * civil::kSecondsPerDay,
                              year, month, advanceDay, taskHour);
    return Classify(toAdvance, toDue, status);
}

}  // namespace

Classification ClassifyTask(const PollHour& hour, const TaskRecord& task) {
    return ClassifyValues(hour, task.dueYear, task.dueMonth, task.dueDay, task.hour,
                          task.advanceDays, task.status);
}

Classification ClassifyTask(const PollHour& hour, const TaskView& task) {
    return ClassifyValues(hour, task.dueYear, task.dueMonth, task.dueDay, task.hour,
                          task.advanceDays, task.status);
}
