#include "editor/editorrules.h"

#include <array>
#include <ctime>

#include "calendar/civil.h"
#include "res/strings.h"
#include "tasks/taskline.h"

namespace {

// Weekdays on 64-bit times never fail; a year the C library's fields cannot hold is clamped
// by GetLocalTm and still has a weekday.
LocalTm LocalFields(int year, int month, int day, int hour) {
    return CTime::FromLocal(year, month, day, hour).GetLocalTm();
}

int GregorianDaysInMonth(int month, int year) {
    const bool bCenturyWithoutLeapDay = month == 2 && year % 100 == 0 && year % 400 != 0;
    return bCenturyWithoutLeapDay ? 28 : DaysInMonth(month, year);
}

}  // namespace

int CheckDayOfMonth(int day, int month, int year) {
    const int last = GregorianDaysInMonth(month, year);
    return day > last || day < 1 ? last : 0;
}

std::string FormatHour12(int hour) {
    if (hour < 1 || hour > 24) {
        return {};
    }
    const int shown = hour % 12 == 0 ? 12 : hour % 12;
    const bool bAfternoon = hour >= 12 && hour < 24;
    return std::to_string(shown) + (bAfternoon ? " PM" : " AM");
}

std::string WeekdayText(int year, int month, int day, int hour) {
    const LocalTm local = LocalFields(year, month, day, hour);
    std::tm fields{};
    fields.tm_year = local.year - 1900;
    fields.tm_mon = local.month - 1;
    fields.tm_mday = local.day;
    fields.tm_hour = local.hour;
    fields.tm_wday = local.weekday;
    std::array<char, 128> text{};
    const std::size_t length = std::strftime(text.data(), text.size(), "%A", &fields);
    return {text.data(), length};
}

int WeeklyCode(int year, int month, int day) {
    return kWeeklyFirst + LocalFields(year, month, day, 6).weekday;
}

TaskRecord NewTaskDefaults(CTime now) {
    const LocalTm today = now.GetLocalTm();
    const civil::Date tomorrow =
        civil::CivilFromDays(civil::DaysFromCivil(today.year, today.month, today.day) + 1);
    return TaskRecord{
        .dueMonth = tomorrow.month,
        .dueDay = tomorrow.day,
        .dueYear = static_cast<int>(tomorrow.year),
        .advanceDays = 0,
        .status = ToInt(TaskStatus::Future),
        .recurrence = ToInt(Recurrence::None),
        .title = Str::NewTaskTitle,
        .note = Str::NewTaskNote,
        .hour = 6,
    };
}
