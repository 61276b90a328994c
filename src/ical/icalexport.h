#pragma once

#include <span>
#include <string>
#include <string_view>

#include "calendar/ctime.h"

class CTaskFile;

// Tasks into iCalendar. Each task becomes a VEVENT at its due hour in local time (hour 24 is
// 00:00 of the next day) with the zone's TZID and VTIMEZONE, its title as SUMMARY, its note as
// DESCRIPTION (none for "(none)"), a display alarm its advance days before (at the due time for
// none), an RRULE for a repeating task, a UID made from the task and its stored status, so that
// importing the calendar gives back the same tasks.

struct CalendarExport {
    std::string text;
    int nTasks = 0;
};

// The tasks among these task file lines as a calendar; now stamps the events.
CalendarExport CalendarFromTaskLines(std::span<const std::string_view> lines, CTime now);

// Reads the task file and makes its calendar. kDone, or kCannotOpen when it cannot be read.
int ExportTaskFile(const CTaskFile& file, CTime now, CalendarExport& calendar);
