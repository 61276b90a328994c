#pragma once

#include <string>

#include "calendar/ctime.h"
#include "tasks/taskrecord.h"

// The task editor's date and hour rules, kept apart from the dialog.

// The years the editor offers: every year from the start of the program's times to the last
// one a four-digit field holds. Yearly tasks roll on past 2038 by themselves, so an edit must
// be able to keep such a year.
inline constexpr int kFirstEditorYear = 1970;
inline constexpr int kLastEditorYear = 9999;

// 0 when day is a day of the month; otherwise the month's last day, which the editor puts in
// its place. Century years follow the calendar (2100 has no 29 February), as the program's
// times do, so no accepted date moves into the next month.
int CheckDayOfMonth(int day, int month, int year);

// The hour 1..24 on a 12-hour clock: 1 to 11 are "1 AM".."11 AM", 12 is "12 PM", 13 to 23
// are "1 PM".."11 PM" and 24, the midnight that ends the day, is "12 AM". Other values give "".
std::string FormatHour12(int hour);

// The full weekday name of the local date and hour, in the C library's time locale. The
// fields are normalised as local times are, so hour 24 gives the next day's weekday.
std::string WeekdayText(int year, int month, int day, int hour);

// The recurrence code of a weekly task due on this date: 31 plus its weekday (31 Sunday ..
// 37 Saturday), taken at 06:00 so that the hour never moves it to another day.
int WeeklyCode(int year, int month, int day);

// A new task as the editor first shows it: due tomorrow (on a month's last day that is the
// first of the next month) at 6 AM, no advance notice, no repeat, Future, with the hint texts.
TaskRecord NewTaskDefaults(CTime now);
