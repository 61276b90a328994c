#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "ical/icalhandles.h"

// A calendar file read by libical, or why it cannot be used.
struct CalendarRead {
    IcalComponentPtr root;  // a VCALENDAR, or libical's root holding several
    // Empty when the file can be used; else what is wrong, naming the line where one can be
    // named ("line 12 cannot be read: DTSTART:2027XX01").
    std::string problem;
};

// Parses the text. A file libical finds any error in, or that holds no calendar, or no event
// or to-do, is refused as a whole.
CalendarRead ReadCalendar(std::string_view text);

// The calendars in what ReadCalendar gave: the root itself or the calendars it holds.
std::vector<icalcomponent*> CalendarsIn(icalcomponent* root);
