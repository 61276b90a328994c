#include "ical/icalexport.h"

#include <libical/ical.h>

#include <array>
#include <cstdint>
#include <cstdio>
#include <unordered_map>

#include "ical/icalhandles.h"
#include "ical/icalnames.h"
#include "ical/icalzone.h"
#include "res/strings.h"
#include "tasks/taskfile.h"
#include "tasks/taskline.h"

namespace {

// The RRULE of a recurrence code; none for a task that does not repeat.
class CRecurrenceRules {
public:
    CRecurrenceRules() {
        constexpr std::array<const char*, 7> kDays = {"SU", "MO", "TU", "WE", "TH", "FR", "SA"};
        for (std::size_t day = 0; day < kDays.size(); ++day) {
            m_weekly[day] = icalrecurrencetype_from_string(
                (std::string("FREQ=WEEKLY;BYDAY=") + kDays[day]).c_str());
        }
        m_monthly = icalrecurrencetype_from_string("FREQ=MONTHLY");
        m_yearly = icalrecurrencetype_from_string("FREQ=YEARLY");
    }

    const icalrecurrencetype* Of(int recurrence) const {
        if (IsWeekly(recurrence)) {
            return &m_weekly[static_cast<std::size_t>(recurrence - kWeeklyFirst)];
        }
        if (recurrence == ToInt(Recurrence::Monthly)) {
            return &m_monthly;
        }
        if (recurrence == ToInt(Recurrence::Yearly)) {
            return &m_yearly;
        }
        return nullptr;
    }

private:
    std::array<icalrecurrencetype, 7> m_weekly{};
    icalrecurrencetype m_monthly{};
    icalrecurrencetype m_yearly{};
};

// FNV-1a: the same task line always gives the same number.
std::uint64_t HashOf(std::string_view text) {
    std::uint64_t hash = 14695981039346656037ULL;
    for (const char c : text) {
        hash ^= static_cast<unsigned char>(c);
        hash *= 1099511628211ULL;
    }
    return hash;
}

std::string_view WithoutLineEnd(std::string_view line) {
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) {
        line.remove_suffix(1);
    }
    return line;
}

// A UID from the task line; identical lines are told apart by how many came before.
class CUidMaker {
public:
    std::string Make(std::string_view line) {
        const std::uint64_t hash = HashOf(WithoutLineEnd(line));
        const int nBefore = m_seen[hash]++;
        std::array<char, 48> text{};
        (void)std::snprintf(text.data(), text.size(), "%016llx-%d",
                            static_cast<unsigned long long>(hash), nBefore);
        std::string uid(text.data());
        uid += kUidDomain;
        return uid;
    }

private:
    std::unordered_map<std::uint64_t, int> m_seen;
};

icalcomponent* MakeAlarm(const TaskView& task, const std::string& title) {
    icalcomponent* alarm = icalcomponent_new(ICAL_VALARM_COMPONENT);
    icalcomponent_add_property(alarm, icalproperty_new_action(ICAL_ACTION_DISPLAY));
    icalcomponent_add_property(alarm, icalproperty_new_description(title.c_str()));
    icaltriggertype trigger{};
    trigger.time = icaltime_null_time();
    trigger.duration = icaldurationtype_null_duration();
    if (task.advanceDays > 0) {
        trigger.duration.is_neg = 1;
        trigger.duration.days = static_cast<unsigned int>(task.advanceDays);
    }
    icalcomponent_add_property(alarm, icalproperty_new_trigger(trigger));
    return alarm;
}

icalcomponent* MakeEvent(const TaskView& task, std::string_view line, const LocalZone& local,
                         const icaltimetype& stamp, const CRecurrenceRules& rules,
                         CUidMaker& uids) {
    icalcomponent* event = icalcomponent_new(ICAL_VEVENT_COMPONENT);
    icalcomponent_add_property(event, icalproperty_new_uid(uids.Make(line).c_str()));
    icalcomponent_add_property(event, icalproperty_new_dtstamp(stamp));

    const CTime due = CTime::FromLocal(task.dueYear, task.dueMonth, task.dueDay, task.hour);
    icalproperty* start = icalproperty_new_dtstart(CalendarTime(due, local));
    if (!local.name.empty()) {
        icalproperty_add_parameter(start, icalparameter_new_tzid(local.name.c_str()));
    }
    icalcomponent_add_property(event, start);

    const std::string title(task.title);
    icalcomponent_add_property(event, icalproperty_new_summary(title.c_str()));
    if (task.note != Str::NoNote) {
        icalcomponent_add_property(event,
                                   icalproperty_new_description(std::string(task.note).c_str()));
    }
    if (const icalrecurrencetype* rule = rules.Of(task.recurrence)) {
        icalcomponent_add_property(event, icalproperty_new_rrule(*rule));
    }
    icalproperty* status = icalproperty_new_x(std::to_string(task.status).c_str());
    icalproperty_set_x_name(status, kStatusProperty);
    icalcomponent_add_property(event, status);
    icalcomponent_add_component(event, MakeAlarm(task, title));
    return event;
}

// The zone's own VTIMEZONE under the name the events use.
icalcomponent* MakeZone(const LocalZone& local) {
    icalcomponent* zone = icalcomponent_new_clone(icaltimezone_get_component(local.zone));
    icalproperty* tzid = icalcomponent_get_first_property(zone, ICAL_TZID_PROPERTY);
    if (tzid != nullptr) {
        icalproperty_set_tzid(tzid, local.name.c_str());
    }
    return zone;
}

}  // namespace

CalendarExport CalendarFromTaskLines(std::span<const std::string_view> lines, CTime now) {
    static const CRecurrenceRules rules;
    const LocalZone local = FindLocalZone();
    const icaltimetype stamp = icaltime_from_timet_with_zone(static_cast<time_t>(now.GetTime()), 0,
                                                             icaltimezone_get_utc_timezone());

    IcalComponentPtr calendar(icalcomponent_new(ICAL_VCALENDAR_COMPONENT));
    icalcomponent_add_property(calendar.get(), icalproperty_new_version("2.0"));
    icalcomponent_add_property(calendar.get(), icalproperty_new_prodid(kProductId));
    icalcomponent_add_property(calendar.get(), icalproperty_new_calscale("GREGORIAN"));
    if (!local.name.empty()) {
        icalcomponent_add_component(calendar.get(), MakeZone(local));
    }

    CalendarExport result;
    CUidMaker uids;
    TaskView task;
    for (const std::string_view line : lines) {
        if (!IsTaskLine(line)) {
            continue;
        }
        ParseTaskLine(line, task);
        icalcomponent_add_component(calendar.get(),
                                    MakeEvent(task, line, local, stamp, rules, uids));
        ++result.nTasks;
    }
    result.text = TakeIcalString(icalcomponent_as_ical_string_r(calendar.get()));
    return result;
}

int ExportTaskFile(const CTaskFile& file, CTime now, CalendarExport& calendar) {
    TaskFileLines lines;
    const int loaded = file.Load(lines, MissingTaskFile::Fail);
    if (loaded != kDone) {
        return loaded;
    }
    calendar = CalendarFromTaskLines(lines.lines, now);
    return kDone;
}
