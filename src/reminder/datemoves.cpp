#include "reminder/datemoves.h"

#include <algorithm>
#include <cstdint>
#include <limits>

#include "calendar/civil.h"
#include "reminder/classify.h"

std::optional<DueDate> MoveDueDate(const DueDate& from, int years, int months, int days) {
    // The date is counted at midday: a move is about the calendar, and an hour of 24 or one
    // that a clock change skips would otherwise carry it into the next day.
    constexpr int kMidday = 12;
    const CTime moved =
        CTime::FromLocal(std::int64_t{from.year} + years, std::int64_t{from.month} + months,
                         std::int64_t{from.day} + days, kMidday);
    const std::optional<LocalTm> local = moved.TryGetLocalTm();
    if (!local) {
        return std::nullopt;
    }
    return DueDate{local->year, local->month, local->day};
}

namespace {

// One period of a repeating task.
struct Period {
    int years = 0;
    int months = 0;
    int days = 0;
};

constexpr int kDaysPerWeek = 7;
// Every month has at least this many days, so a day up to it survives any move by months.
constexpr int kDaysInEveryMonth = 28;
// Single moves a task may take after the long jump; a few are ever needed (see Acknowledged).
constexpr int kMostSingleMoves = 64;
// The most periods one move skips: small enough that the periods' sum fits an int.
constexpr std::int64_t kLongestRun = std::numeric_limits<int>::max() / 12;

std::optional<Period> PeriodOf(int recurrence) {
    if (recurrence == ToInt(Recurrence::Monthly)) {
        return Period{0, 1, 0};
    }
    if (recurrence == ToInt(Recurrence::Yearly)) {
        return Period{1, 0, 0};
    }
    if (IsWeekly(recurrence)) {
        return Period{0, 0, kDaysPerWeek};
    }
    return std::nullopt;
}

std::optional<TaskRecord> Moved(const TaskRecord& task, int years, int months, int days) {
    const std::optional<DueDate> date =
        MoveDueDate({task.dueYear, task.dueMonth, task.dueDay}, years, months, days);
    if (!date) {
        return std::nullopt;
    }
    TaskRecord moved = task;
    moved.dueYear = date->year;
    moved.dueMonth = date->month;
    moved.dueDay = date->day;
    moved.status = ToInt(TaskStatus::Future);
    return moved;
}

std::optional<TaskRecord> Moved(const TaskRecord& task, const Period& period, int times) {
    return Moved(task, period.years * times, period.months * times, period.days * times);
}

bool DueAfter(const TaskRecord& task, CTime now) {
    return TaskInstantsOf(task).due > now;
}

// How many periods can be skipped in one move and still leave a task with a normalised date
// due no later than `today`: one period short of the whole ones between them, so that the
// single moves that follow make the last step. 0 when a jump would not give the same date as
// that many single moves (a day the months ahead may not all have).
std::int64_t PeriodsToSkip(const TaskRecord& task, const Period& period, const LocalTm& today) {
    if (period.days != 0) {
        const std::int64_t days = civil::DaysFromCivil(today.year, today.month, today.day) -
                                  civil::DaysFromCivil(task.dueYear, task.dueMonth, task.dueDay);
        return days / period.days - 1;
    }
    const bool bAnyMonthHasTheDay = task.dueDay <= kDaysInEveryMonth;
    if (period.months != 0) {
        if (!bAnyMonthHasTheDay) {
            return 0;
        }
        return (std::int64_t{today.year} - task.dueYear) * 12 + today.month - task.dueMonth - 1;
    }
    if (!bAnyMonthHasTheDay && task.dueMonth == 2) {
        return 0;  // 29 February: the next single move makes it 1 March
    }
    return std::int64_t{today.year} - task.dueYear - 1;
}

std::optional<TaskRecord> Acknowledged(const TaskRecord& task, CTime now) {
    const std::optional<Period> period = PeriodOf(task.recurrence);
    if (!period) {
        // One-time tasks, and codes that name no repeat, are done once acknowledged.
        TaskRecord done = task;
        done.status = ToInt(TaskStatus::Complete);
        return done;
    }
    // The first move always happens, as for a task answered on time; it also normalises the
    // stored date. Once the date is normal, whole runs of periods are skipped in one move
    // (every move is counted on the calendar, so a run of single moves adds up exactly), and
    // single moves make the rest.
    std::optional<TaskRecord> moved = Moved(task, *period, 1);
    if (!moved || DueAfter(*moved, now)) {
        return moved;
    }
    const LocalTm today = now.GetLocalTm();
    int nSingleMoves = 0;
    while (moved && !DueAfter(*moved, now) && nSingleMoves < kMostSingleMoves) {
        const std::int64_t skip = PeriodsToSkip(*moved, *period, today);
        const int times = static_cast<int>(std::clamp<std::int64_t>(skip, 1, kLongestRun));
        moved = Moved(*moved, *period, times);
        nSingleMoves += times == 1 ? 1 : 0;
    }
    return moved;
}

// "Remind me tomorrow" is about instants: the task moves on by a day, and on by whole days until
// it falls due no earlier than the start of tomorrow. A task due at hour 24 falls due at the
// start of the next day, so the date before tomorrow's is the one that reminds it tomorrow.
std::optional<TaskRecord> PutOffToTomorrow(const TaskRecord& task, CTime now) {
    const LocalTm today = now.GetLocalTm();
    const CTime tomorrow =
        CTime::FromLocal(today.year, today.month, std::int64_t{today.day} + 1, 0);
    const std::int64_t tomorrowDay = civil::DaysFromCivil(today.year, today.month, today.day) + 1;
    // The due hour in whole days: a date this many days and two more before tomorrow's still
    // falls due before tomorrow, whatever a clock change does, so a task missed long ago skips
    // to it at once and single days make the rest.
    const std::int64_t hourDays = civil::FloorDiv(task.hour, 24);
    std::optional<TaskRecord> later = Moved(task, 0, 0, 1);
    for (int nMoves = 0;
         later && TaskInstantsOf(*later).due < tomorrow && nMoves < kMostSingleMoves; ++nMoves) {
        const std::int64_t behind =
            tomorrowDay - hourDays - 2 -
            civil::DaysFromCivil(later->dueYear, later->dueMonth, later->dueDay);
        later =
            Moved(*later, 0, 0, static_cast<int>(std::clamp<std::int64_t>(behind, 1, kLongestRun)));
    }
    return later;
}

}  // namespace

std::optional<TaskRecord> AnsweredTask(const TaskRecord& task, ReminderAnswer answer, CTime now) {
    switch (answer) {
        case ReminderAnswer::Okay:
        case ReminderAnswer::Details:
            return Acknowledged(task, now);
        case ReminderAnswer::RemindTomorrow:
            return PutOffToTomorrow(task, now);
        case ReminderAnswer::None:
            break;
    }
    return std::nullopt;
}
