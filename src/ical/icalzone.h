#pragma once

#include <libical/ical.h>

#include <string>

#include "calendar/ctime.h"

// Local time as a calendar file names it. The program's times are local wall-clock times; a
// calendar wants them with the zone they belong to, which libical knows by its database name.

struct LocalZone {
    // The zone's database name ("America/New_York"); empty when local time is UTC or has no
    // such name, and times are then written in UTC.
    std::string name;
    icaltimezone* zone = nullptr;  // libical's copy of the zone; UTC when name is empty
};

// The zone the C library takes local time from: TZ when set, else the system's own zone.
LocalZone FindLocalZone();

// An instant as the calendar writes it: the local wall-clock time for a named zone (its TZID
// is added beside it), else the UTC time.
icaltimetype CalendarTime(CTime instant, const LocalZone& local);

// The instant an iCalendar date-time stands for. A time with a zone or in UTC is converted; a
// floating time (no zone) and a date are local wall-clock times; a date starts at 00:00.
CTime InstantOf(const icaltimetype& time);
