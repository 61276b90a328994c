#pragma once

#include <libical/ical.h>

#include <string>
#include <vector>

#include "calendar/ctime.h"

// How an event or to-do repeats, as far as a task can hold it.

enum class RepeatKind {
    Once,     // no RRULE and no RDATE
    Weekly,   // FREQ=WEEKLY on at most one day
    Monthly,  // FREQ=MONTHLY on the start's day
    Yearly,   // FREQ=YEARLY on the start's day and month
    Other,    // anything else: an interval, an end, several days, extra or left-out dates
};

struct RepeatRule {
    RepeatKind kind = RepeatKind::Once;
    int nWeekday = -1;  // a weekly rule's BYDAY, 0 Sunday .. 6 Saturday; -1 without one
    std::string text;   // the rule as written, for the report
    std::vector<icalrecurrencetype> rules;
    std::vector<icaltimetype> extraDates;     // RDATE
    std::vector<icaltimetype> excludedDates;  // EXDATE
};

RepeatRule RepeatRuleOf(icalcomponent* entry, const icaltimetype& start);

struct Occurrence {
    bool bFound = false;  // an occurrence at or after now
    icaltimetype time{};  // that occurrence
    icaltimetype last{};  // else the last one before now (the start when there is none)
};

// The first occurrence at or after now of a repeating entry that starts at start.
Occurrence NextOccurrence(const RepeatRule& rule, const icaltimetype& start, CTime now);
