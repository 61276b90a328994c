#include "reminder/datemoves.h"

#include <cstdint>

#include "reminder/ctime.h"

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

std::optional<TaskRecord> Acknowledged(const TaskRecord& task) {
    constexpr int kDaysPerWeek = 7;
    if (task.recurrence == ToInt(Recurrence::Monthly)) {
        return Moved(task, 0, 1, 0);
    }
    if (task.recurrence == ToInt(Recurrence::Yearly)) {
        return Moved(task, 1, 0, 0);
    }
    if (IsWeekly(task.recurrence)) {
        return Moved(task, 0, 0, kDaysPerWeek);
    }
    // One-time tasks, and codes that name no repeat, are done once acknowledged.
    TaskRecord done = task;
    done.status = ToInt(TaskStatus::Complete);
    return done;
}

}  // namespace

std::optional<TaskRecord> AnsweredTask(const TaskRecord& task, ReminderAnswer answer) {
    switch (answer) {
        case ReminderAnswer::Okay:
        case ReminderAnswer::Details:
            return Acknowledged(task);
        case ReminderAnswer::RemindTomorrow:
            return Moved(task, 0, 0, 1);
        case ReminderAnswer::None:
            break;
    }
    return std::nullopt;
}
