#pragma once

#include <libical/ical.h>

#include <string>
#include <vector>

#include "calendar/ctime.h"
#include "tasks/taskrecord.h"

// iCalendar events and to-dos as tasks. Each VEVENT and VTODO (DTSTART, or a to-do's DUE)
// becomes a task at its local hour: times with a zone or in UTC are converted to local time and
// cut to the hour, an all-day entry falls due at 6 AM. The earliest alarm before the entry
// gives the days of advance notice, rounded down. A weekly (on one day), monthly or yearly
// rule with interval 1 and no end is kept; any other repeating entry comes in as its next
// occurrence, once. Nothing comes in as a flood of missed reminders: a one-time entry that has
// ended, a completed to-do and a series whose last occurrence has passed come in as Complete,
// and a repeating entry at its next occurrence. Entries this program wrote keep their date
// and stored status as they stand.

struct CalendarTask {
    TaskRecord task;
    // What was changed so that the entry fits a task, one reason a line.
    std::vector<std::string> changes;
};

struct RefusedEntry {
    std::string name;  // the entry's title, or its UID when it has none
    std::string reason;
};

struct CalendarTasks {
    std::vector<CalendarTask> tasks;  // in the order of the file
    std::vector<RefusedEntry> refused;
};

// The tasks of every event and to-do in these calendars, as of now.
CalendarTasks TasksFromCalendars(const std::vector<icalcomponent*>& calendars, CTime now);
