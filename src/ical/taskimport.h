#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "calendar/ctime.h"
#include "ical/icalimport.h"

class CTaskFile;

// What an import did, for the user.
struct ImportReport {
    bool bImported = false;  // false: the file was refused or the task file left as it was
    std::string problem;     // why, when not imported
    int nAdded = 0;
    int nAlreadyThere = 0;
    std::vector<std::string> changed;  // one line per task changed to fit, naming it and why
    std::vector<RefusedEntry> refused;
};

// Imports a calendar's events and to-dos into the task file as new tasks at its end. A task
// the file already holds (same date, hour and title) is not added again, so importing the same
// calendar twice changes nothing. All of it goes in with one rewrite, or none of it: a file
// that cannot be read, or that holds no event, leaves the task file untouched.
ImportReport ImportCalendar(const CTaskFile& file, std::string_view calendarText, CTime now);

// The report as lines of text; source names the calendar file.
std::string ImportReportText(const ImportReport& report, std::string_view source);
