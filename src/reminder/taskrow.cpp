#include "reminder/taskrow.h"

#include "tasks/taskline.h"

int StatusImage(int shownStatus) {
    switch (static_cast<TaskStatus>(shownStatus)) {
        case TaskStatus::Complete:
            return 1;
        case TaskStatus::Missed:
            return 2;
        case TaskStatus::ToDelete:
            return 3;
        case TaskStatus::Future:
        case TaskStatus::TodayUnread:
            break;
    }
    return 0;
}

TaskRow MakeTaskRow(const TaskRecord& task, int shownStatus) {
    return TaskRow{
        .text = FormatListText(task.dueMonth, task.dueDay, task.dueYear, task.title),
        .shownStatus = shownStatus,
        .image = StatusImage(shownStatus),
        .statusText = StatusName(shownStatus),
        .recurrenceText = RecurrenceName(task.recurrence),
        .task = {},
    };
}
