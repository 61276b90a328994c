#include "ical/icalimport.h"

#include <algorithm>
#include <cstdlib>
#include <optional>
#include <string_view>

#include "calendar/civil.h"
#include "editor/editorrules.h"
#include "ical/icalhandles.h"
#include "ical/icalnames.h"
#include "ical/icalrules.h"
#include "ical/icalzone.h"
#include "res/strings.h"
#include "tasks/taskline.h"

namespace {

constexpr std::int64_t kSecondsPerHour = 3600;
constexpr int kAllDayHour = 6;
// The most days of advance notice a task holds (the editor's range).
constexpr int kMaxAdvanceDays = 30;

// A local due date and hour as the task file holds them (hour 1..24).
struct DueHour {
    int year = 0;
    int month = 0;
    int day = 0;
    int hour = 0;
    bool bCut = false;  // the time had minutes or seconds
};

DueHour DueHourOf(const icaltimetype& time) {
    if (time.is_date != 0) {
        return {time.year, time.month, time.day, kAllDayHour, false};
    }
    const LocalTm local = InstantOf(time).GetLocalTm();
    DueHour due{local.year, local.month, local.day, local.hour,
                local.minute != 0 || local.second != 0};
    if (due.hour == 0) {
        // Midnight is the task file's hour 24 of the day before.
        const civil::Date before =
            civil::CivilFromDays(civil::DaysFromCivil(local.year, local.month, local.day) - 1);
        due = {static_cast<int>(before.year), before.month, before.day, 24, due.bCut};
    }
    return due;
}

std::string TwoDigits(int value) {
    std::string text(value < 10 ? "0" : "");
    text += std::to_string(value);
    return text;
}

std::string DurationText(std::int64_t seconds) {
    const std::int64_t days = seconds / civil::kSecondsPerDay;
    const std::int64_t hours = seconds % civil::kSecondsPerDay / kSecondsPerHour;
    const std::int64_t minutes = seconds % kSecondsPerHour / 60;
    std::string text;
    const auto add = [&text](std::int64_t count, std::string_view unit) {
        if (count == 0) {
            return;
        }
        if (!text.empty()) {
            text += ' ';
        }
        text += std::to_string(count);
        text += ' ';
        text += unit;
        if (count != 1) {
            text += 's';
        }
    };
    add(days, "day");
    add(hours, "hour");
    add(minutes, "minute");
    return text.empty() ? std::to_string(seconds) + " seconds" : text;
}

bool HasProperty(icalcomponent* entry, icalproperty_kind kind) {
    return icalcomponent_get_first_property(entry, kind) != nullptr;
}

std::optional<int> StoredStatus(icalcomponent* entry) {
    for (icalproperty* property = icalcomponent_get_first_property(entry, ICAL_X_PROPERTY);
         property != nullptr; property = icalcomponent_get_next_property(entry, ICAL_X_PROPERTY)) {
        const char* name = icalproperty_get_x_name(property);
        if (name != nullptr && std::string_view(name) == kStatusProperty) {
            const char* value = icalproperty_get_x(property);
            return value == nullptr ? 0 : ParseInt(value);
        }
    }
    return std::nullopt;
}

// The entry's start, and the property it came from.
icalproperty* StartProperty(icalcomponent* entry, icaltimetype& start) {
    if (icalcomponent_isa(entry) == ICAL_VTODO_COMPONENT) {
        if (icalproperty* due = icalcomponent_get_first_property(entry, ICAL_DUE_PROPERTY)) {
            start = icalcomponent_get_due(entry);
            return due;
        }
    }
    icalproperty* property = icalcomponent_get_first_property(entry, ICAL_DTSTART_PROPERTY);
    if (property != nullptr) {
        start = icalcomponent_get_dtstart(entry);
    }
    return property;
}

// When the entry ends: DTEND, or DTSTART plus DURATION; an all-day entry without either lasts
// its day, any other ends as it starts.
CTime EndOf(icalcomponent* entry, const icaltimetype& start) {
    if (icalcomponent_isa(entry) == ICAL_VEVENT_COMPONENT &&
        (HasProperty(entry, ICAL_DTEND_PROPERTY) || HasProperty(entry, ICAL_DURATION_PROPERTY))) {
        const icaltimetype end = icalcomponent_get_dtend(entry);
        if (!icaltime_is_null_time(end)) {
            return InstantOf(end);
        }
    }
    if (start.is_date != 0) {
        return CTime::FromLocal(start.year, start.month, start.day + 1, 0);
    }
    return InstantOf(start);
}

bool IsCompleted(icalcomponent* entry) {
    return icalcomponent_isa(entry) == ICAL_VTODO_COMPONENT &&
           (icalcomponent_get_status(entry) == ICAL_STATUS_COMPLETED ||
            HasProperty(entry, ICAL_COMPLETED_PROPERTY));
}

// How long before the start the earliest alarm rings, in seconds; 0 without one before it.
std::int64_t EarliestAlarmLead(icalcomponent* entry, CTime start, CTime end) {
    std::int64_t lead = 0;
    for (icalcomponent* alarm = icalcomponent_get_first_component(entry, ICAL_VALARM_COMPONENT);
         alarm != nullptr; alarm = icalcomponent_get_next_component(entry, ICAL_VALARM_COMPONENT)) {
        icalproperty* property = icalcomponent_get_first_property(alarm, ICAL_TRIGGER_PROPERTY);
        if (property == nullptr) {
            continue;
        }
        const icaltriggertype trigger = icalproperty_get_trigger(property);
        std::int64_t before = 0;
        if (!icaltime_is_null_time(trigger.time)) {
            before = start.GetTime() - InstantOf(trigger.time).GetTime();
        } else {
            icalparameter* related =
                icalproperty_get_first_parameter(property, ICAL_RELATED_PARAMETER);
            const bool bFromEnd =
                related != nullptr && icalparameter_get_related(related) == ICAL_RELATED_END;
            const std::int64_t offset = icaldurationtype_as_int(trigger.duration);
            before = (bFromEnd ? start.GetTime() - end.GetTime() : 0) - offset;
        }
        lead = std::max(lead, before);
    }
    return lead;
}

// The days of advance notice an alarm lead gives, and why it changed, if it did.
int AdvanceDaysOf(std::int64_t lead, std::vector<std::string>& changes) {
    const std::int64_t days = lead / civil::kSecondsPerDay;
    if (days > kMaxAdvanceDays) {
        changes.push_back("its alarm " + DurationText(lead) + " before is given " +
                          std::to_string(kMaxAdvanceDays) + " days before, the most a task holds");
        return kMaxAdvanceDays;
    }
    if (lead % civil::kSecondsPerDay != 0) {
        changes.push_back(days == 0 ? "its alarm " + DurationText(lead) +
                                          " before is served by the reminder at its own hour"
                                    : "its alarm " + DurationText(lead) + " before is given " +
                                          DurationText(days * civil::kSecondsPerDay) + " before");
    }
    return static_cast<int>(days);
}

std::string CleanText(std::string_view text, std::string_view what,
                      std::vector<std::string>& changes) {
    if (text.find(kFieldSeparator) != std::string_view::npos) {
        changes.push_back("its " + std::string(what) + "'s \"{+}\" became \"{}\", as \"{+}\" " +
                          "separates a task's fields");
    }
    return CleanFieldText(text);
}

class CEntryReader {
public:
    CEntryReader(CTime now, CalendarTasks& out) : m_now(now), m_out(out) {}

    void Read(icalcomponent* entry) {
        const char* summary = icalcomponent_get_summary(entry);
        const std::string_view title = summary == nullptr ? "" : summary;
        const char* uid = icalcomponent_get_uid(entry);
        m_strName = !title.empty()   ? std::string(title)
                    : uid != nullptr ? std::string("UID ") + uid
                                     : std::string("an entry without title or UID");
        if (HasProperty(entry, ICAL_RECURRENCEID_PROPERTY)) {
            return Refuse(
                "it changes one occurrence of a repeating entry; the series is "
                "imported as it stands");
        }
        if (title.empty()) {
            return Refuse("it has no title (SUMMARY)");
        }
        if (icalcomponent_get_status(entry) == ICAL_STATUS_CANCELLED) {
            return Refuse("it is cancelled");
        }
        icaltimetype start = icaltime_null_time();
        icalproperty* startProperty = StartProperty(entry, start);
        if (startProperty == nullptr || icaltime_is_null_time(start)) {
            return Refuse("it has no date (DTSTART, or DUE for a to-do)");
        }

        CalendarTask read;
        TaskRecord& task = read.task;
        std::vector<std::string>& changes = read.changes;
        task.title = CleanText(title, "title", changes);
        const char* description = icalcomponent_get_description(entry);
        task.note = description == nullptr || *description == '\0'
                        ? std::string(Str::NoNote)
                        : CleanText(description, "note", changes);
        if (icalproperty_get_first_parameter(startProperty, ICAL_TZID_PARAMETER) != nullptr &&
            start.zone == nullptr) {
            changes.push_back(
                "its time zone is not known here, so its time is taken as local "
                "time");
        }

        const CTime startInstant = InstantOf(start);
        const CTime end = EndOf(entry, start);
        const std::optional<int> stored = StoredStatus(entry);
        task.advanceDays = AdvanceDaysOf(EarliestAlarmLead(entry, startInstant, end), changes);
        task.status = ToInt(TaskStatus::Future);

        icaltimetype due = start;
        const RepeatRule rule = RepeatRuleOf(entry, start);
        if (rule.kind == RepeatKind::Once) {
            if (IsCompleted(entry) || end <= m_now) {
                task.status = ToInt(TaskStatus::Complete);
            }
        } else if (!stored || rule.kind == RepeatKind::Other) {
            const Occurrence next = NextOccurrence(rule, start, m_now);
            if (next.bFound) {
                due = next.time;
            } else {
                due = next.last;
                task.status = ToInt(TaskStatus::Complete);
            }
            if (rule.kind == RepeatKind::Other) {
                changes.push_back("it repeats in a way a task cannot (" + rule.text +
                                  "), so it comes in once, at " +
                                  (next.bFound ? "its next occurrence" : "its last occurrence"));
            }
        }
        if (stored) {
            task.status = *stored;
        }

        const DueHour hour = DueHourOf(due);
        task.dueYear = hour.year;
        task.dueMonth = hour.month;
        task.dueDay = hour.day;
        task.hour = hour.hour;
        if (hour.bCut) {
            const LocalTm local = InstantOf(due).GetLocalTm();
            changes.push_back("it starts at " + TwoDigits(local.hour) + ":" +
                              TwoDigits(local.minute) + " and falls due at the start of that hour");
        }
        if (task.dueYear < kFirstEditorYear || task.dueYear > kLastEditorYear) {
            return Refuse("its date lies outside the years " + std::to_string(kFirstEditorYear) +
                          " to " + std::to_string(kLastEditorYear));
        }
        task.recurrence = rule.kind == RepeatKind::Weekly
                              ? (stored && rule.nWeekday >= 0
                                     ? kWeeklyFirst + rule.nWeekday
                                     : WeeklyCode(task.dueYear, task.dueMonth, task.dueDay))
                          : rule.kind == RepeatKind::Monthly ? ToInt(Recurrence::Monthly)
                          : rule.kind == RepeatKind::Yearly  ? ToInt(Recurrence::Yearly)
                                                             : ToInt(Recurrence::None);
        m_out.tasks.push_back(std::move(read));
    }

private:
    void Refuse(std::string reason) { m_out.refused.push_back({m_strName, std::move(reason)}); }

    CTime m_now;
    CalendarTasks& m_out;
    std::string m_strName;
};

}  // namespace

CalendarTasks TasksFromCalendars(const std::vector<icalcomponent*>& calendars, CTime now) {
    CalendarTasks out;
    CEntryReader reader(now, out);
    for (icalcomponent* calendar : calendars) {
        for (icalcomponent* entry = icalcomponent_get_first_component(calendar, ICAL_ANY_COMPONENT);
             entry != nullptr;
             entry = icalcomponent_get_next_component(calendar, ICAL_ANY_COMPONENT)) {
            const icalcomponent_kind kind = icalcomponent_isa(entry);
            if (kind == ICAL_VEVENT_COMPONENT || kind == ICAL_VTODO_COMPONENT) {
                reader.Read(entry);
            }
        }
    }
    return out;
}
