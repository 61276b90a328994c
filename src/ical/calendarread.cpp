#include "ical/calendarread.h"

#include <libical/ical.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <string>

#include "tasks/filetext.h"

namespace {

// Lines longer than this are cut in a message.
constexpr std::size_t kShownLineLength = 60;

std::string Shown(std::string_view line) {
    if (line.size() <= kShownLineLength) {
        return std::string(line);
    }
    return std::string(line.substr(0, kShownLineLength)) + "...";
}

std::string Upper(std::string_view text) {
    std::string upper(text);
    for (char& c : upper) {
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    return upper;
}

std::string LineProblem(int nLine, std::string_view what, std::string_view line) {
    return "line " + std::to_string(nLine) + " " + std::string(what) + ": " + Shown(line);
}

// A content line with its folded continuations joined, and where it began.
struct ContentLine {
    std::string text;
    int nLine = 0;
};

std::vector<ContentLine> ContentLines(std::string_view text) {
    std::vector<ContentLine> lines;
    int nLine = 0;
    for (std::size_t at = 0; at < text.size();) {
        std::string_view line = LineAt(text, at);
        at += line.size();
        ++nLine;
        while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) {
            line.remove_suffix(1);
        }
        // A line that begins with a blank or a tab continues the one before it.
        if (!lines.empty() && !line.empty() && (line.front() == ' ' || line.front() == '\t')) {
            lines.back().text += line.substr(1);
        } else if (!line.empty()) {
            lines.push_back({std::string(line), nLine});
        }
    }
    return lines;
}

// The properties an import reads. A line libical cannot read in any other property (an empty
// DESCRIPTION, say, which web calendars write) does not stop the import: libical leaves the
// property out and the entry is taken without it.
bool IsReadProperty(std::string_view name) {
    constexpr std::array<std::string_view, 17> kRead = {
        "DTSTART",   "DTEND",         "DUE",        "DURATION",
        "RRULE",     "RDATE",         "EXDATE",     "STATUS",
        "COMPLETED", "RECURRENCE-ID", "TRIGGER",    "TZID",
        "RELATED",   "TZOFFSETFROM",  "TZOFFSETTO", "X-MARMOSET-TASK-STATUS",
        "SUMMARY"};
    return std::find(kRead.begin(), kRead.end(), name) != kRead.end();
}

// The property's name: what comes before its parameters or value.
std::string_view NameOf(std::string_view upperLine) {
    return upperLine.substr(0, upperLine.find_first_of(";:"));
}

// Finds the first line libical cannot take and an import cannot do without: each property
// alone, and the nesting of BEGIN and END. Only called for a file libical found fault with,
// so it may be slow.
std::string FindBadLine(std::string_view text) {
    const std::vector<ContentLine> lines = ContentLines(text);
    if (lines.empty()) {
        return "the file is empty";
    }
    std::vector<std::string> open;
    for (const ContentLine& line : lines) {
        const std::string upper = Upper(line.text);
        if (open.empty() && upper != "BEGIN:VCALENDAR") {
            return LineProblem(line.nLine, "is not the start of a calendar (BEGIN:VCALENDAR)",
                               line.text);
        }
        if (upper.starts_with("BEGIN:")) {
            open.push_back(upper.substr(6));
        } else if (upper.starts_with("END:")) {
            if (open.back() != upper.substr(4)) {
                return LineProblem(line.nLine, "ends what it did not begin", line.text);
            }
            open.pop_back();
        } else if (icalproperty* property = icalproperty_new_from_string(line.text.c_str())) {
            icalproperty_free(property);
        } else {
            const std::string_view name = NameOf(upper);
            const bool bEmptyValue = upper.ends_with(':');
            if (name.size() == upper.size() || (IsReadProperty(name) && !bEmptyValue)) {
                return LineProblem(line.nLine, "cannot be read", line.text);
            }
        }
    }
    if (!open.empty()) {
        return "the file ends inside BEGIN:" + open.back() + " (END:" + open.back() +
               " is missing)";
    }
    return {};
}

bool HoldsEntries(const std::vector<icalcomponent*>& calendars) {
    for (icalcomponent* calendar : calendars) {
        if (icalcomponent_get_first_component(calendar, ICAL_VEVENT_COMPONENT) != nullptr ||
            icalcomponent_get_first_component(calendar, ICAL_VTODO_COMPONENT) != nullptr) {
            return true;
        }
    }
    return false;
}

}  // namespace

std::vector<icalcomponent*> CalendarsIn(icalcomponent* root) {
    std::vector<icalcomponent*> calendars;
    if (root == nullptr) {
        return calendars;
    }
    if (icalcomponent_isa(root) == ICAL_VCALENDAR_COMPONENT) {
        calendars.push_back(root);
        return calendars;
    }
    for (icalcomponent* calendar =
             icalcomponent_get_first_component(root, ICAL_VCALENDAR_COMPONENT);
         calendar != nullptr;
         calendar = icalcomponent_get_next_component(root, ICAL_VCALENDAR_COMPONENT)) {
        calendars.push_back(calendar);
    }
    return calendars;
}

CalendarRead ReadCalendar(std::string_view text) {
    CalendarRead read;
    const std::string terminated(text);
    read.root.reset(icalparser_parse_string(terminated.c_str()));
    const std::vector<icalcomponent*> calendars = CalendarsIn(read.root.get());
    const bool bCalendar = !calendars.empty();
    if (!bCalendar || icalcomponent_count_errors(read.root.get()) > 0) {
        read.problem = FindBadLine(text);
        if (read.problem.empty() && !bCalendar) {
            read.problem = "it holds no calendar (BEGIN:VCALENDAR)";
        }
        if (!read.problem.empty()) {
            read.root.reset();
            return read;
        }
    }
    if (!HoldsEntries(calendars)) {
        read.problem = "it holds no event or to-do (VEVENT or VTODO)";
        read.root.reset();
    }
    return read;
}
