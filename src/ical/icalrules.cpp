#include "ical/icalrules.h"

#include "ical/icalhandles.h"
#include "ical/icalzone.h"

namespace {

// Occurrences looked at, at most, in a rule that cannot be entered at a given time (one with
// COUNT): enough for a daily rule over centuries, not for one that never ends.
constexpr int kMaxSteps = 200000;

template <std::size_t N>
bool IsEmpty(const short (&values)[N]) {
    return values[0] == ICAL_RECURRENCE_ARRAY_MAX;
}

template <std::size_t N>
bool IsOnly(const short (&values)[N], int value) {
    return values[0] == value && (N < 2 || values[1] == ICAL_RECURRENCE_ARRAY_MAX);
}

template <std::size_t N>
bool IsEmptyOrOnly(const short (&values)[N], int value) {
    return IsEmpty(values) || IsOnly(values, value);
}

// The kind of a single RRULE, for a start with this day and month.
RepeatKind KindOf(const icalrecurrencetype& rule, const icaltimetype& start, int& nWeekday) {
    const bool bPlain = rule.interval <= 1 && rule.count == 0 &&
                        icaltime_is_null_time(rule.until) && rule.rscale == nullptr &&
                        IsEmpty(rule.by_second) && IsEmpty(rule.by_minute) &&
                        IsEmpty(rule.by_hour) && IsEmpty(rule.by_year_day) &&
                        IsEmpty(rule.by_week_no) && IsEmpty(rule.by_set_pos);
    if (!bPlain) {
        return RepeatKind::Other;
    }
    switch (rule.freq) {
        case ICAL_WEEKLY_RECURRENCE:
            if (!IsEmpty(rule.by_month_day) || !IsEmpty(rule.by_month)) {
                return RepeatKind::Other;
            }
            if (IsEmpty(rule.by_day)) {
                return RepeatKind::Weekly;
            }
            if (rule.by_day[1] != ICAL_RECURRENCE_ARRAY_MAX ||
                icalrecurrencetype_day_position(rule.by_day[0]) != 0) {
                return RepeatKind::Other;
            }
            nWeekday = static_cast<int>(icalrecurrencetype_day_day_of_week(rule.by_day[0])) - 1;
            return RepeatKind::Weekly;
        case ICAL_MONTHLY_RECURRENCE:
            return IsEmpty(rule.by_day) && IsEmpty(rule.by_month) &&
                           IsEmptyOrOnly(rule.by_month_day, start.day)
                       ? RepeatKind::Monthly
                       : RepeatKind::Other;
        case ICAL_YEARLY_RECURRENCE:
            return IsEmpty(rule.by_day) && IsEmptyOrOnly(rule.by_month, start.month) &&
                           IsEmptyOrOnly(rule.by_month_day, start.day)
                       ? RepeatKind::Yearly
                       : RepeatKind::Other;
        default:
            return RepeatKind::Other;
    }
}

// A date of RDATE or EXDATE, in the start's zone unless it says UTC.
icaltimetype InStartZone(icaltimetype time, const icaltimetype& start) {
    if (time.zone == nullptr) {
        time.zone = start.zone;
    }
    return time;
}

void Append(std::string& text, std::string_view part) {
    text += (text.empty() ? "" : "; ") + std::string(part);
}

bool IsExcluded(const RepeatRule& rule, const icaltimetype& time) {
    for (const icaltimetype& excluded : rule.excludedDates) {
        if (icaltime_compare(excluded, time) == 0) {
            return true;
        }
    }
    return false;
}

// now as a wall-clock time of the start's kind and zone.
icaltimetype StartLike(CTime now, const icaltimetype& start) {
    if (start.zone != nullptr) {
        return icaltime_from_timet_with_zone(static_cast<time_t>(now.GetTime()), start.is_date,
                                             start.zone);
    }
    const LocalTm local = now.GetLocalTm();
    icaltimetype time = start;
    time.year = local.year;
    time.month = local.month;
    time.day = local.day;
    if (start.is_date == 0) {
        time.hour = local.hour;
        time.minute = local.minute;
        time.second = local.second;
    }
    return time;
}

// Keeps the earliest occurrence at or after now and the latest before it.
class COccurrenceFinder {
public:
    COccurrenceFinder(const RepeatRule& rule, CTime now) : m_rule(rule), m_now(now) {}

    // Offers one occurrence; true once it lies at or after now.
    bool Offer(const icaltimetype& time) {
        if (IsExcluded(m_rule, time)) {
            return false;
        }
        const CTime instant = InstantOf(time);
        if (instant >= m_now) {
            if (!m_result.bFound || instant < m_next) {
                m_next = instant;
                m_result.time = time;
                m_result.bFound = true;
            }
            return true;
        }
        if (!m_bHasLast || instant > m_last) {
            m_last = instant;
            m_bHasLast = true;
            m_result.last = time;
        }
        return false;
    }

    // Runs the rule from the start, or from now when the rule allows it, until an
    // occurrence at or after now.
    void Run(const icalrecurrencetype& recurrence, const icaltimetype& start, bool bFromNow) {
        const IcalRecurIteratorPtr iterator(icalrecur_iterator_new(recurrence, start));
        if (!iterator) {
            return;
        }
        if (bFromNow) {
            icalrecur_iterator_set_start(iterator.get(), StartLike(m_now, start));
        }
        for (int step = 0; step < kMaxSteps; ++step) {
            icaltimetype time = icalrecur_iterator_next(iterator.get());
            if (icaltime_is_null_time(time)) {
                return;
            }
            time.zone = start.zone;
            if (Offer(time)) {
                return;
            }
        }
    }

    Occurrence Result() const { return m_result; }
    bool HasLast() const { return m_bHasLast; }

private:
    const RepeatRule& m_rule;
    CTime m_now;
    Occurrence m_result;
    CTime m_next;
    CTime m_last;
    bool m_bHasLast = false;
};

}  // namespace

RepeatRule RepeatRuleOf(icalcomponent* entry, const icaltimetype& start) {
    RepeatRule rule;
    for (icalproperty* property = icalcomponent_get_first_property(entry, ICAL_RRULE_PROPERTY);
         property != nullptr;
         property = icalcomponent_get_next_property(entry, ICAL_RRULE_PROPERTY)) {
        rule.rules.push_back(icalproperty_get_rrule(property));
        Append(rule.text, TakeIcalString(icalrecurrencetype_as_string_r(&rule.rules.back())));
    }
    for (icalproperty* property = icalcomponent_get_first_property(entry, ICAL_RDATE_PROPERTY);
         property != nullptr;
         property = icalcomponent_get_next_property(entry, ICAL_RDATE_PROPERTY)) {
        const icaldatetimeperiodtype date = icalproperty_get_rdate(property);
        const icaltimetype time = icaltime_is_null_time(date.time) ? date.period.start : date.time;
        rule.extraDates.push_back(InStartZone(time, start));
    }
    for (icalproperty* property = icalcomponent_get_first_property(entry, ICAL_EXDATE_PROPERTY);
         property != nullptr;
         property = icalcomponent_get_next_property(entry, ICAL_EXDATE_PROPERTY)) {
        rule.excludedDates.push_back(InStartZone(icalproperty_get_exdate(property), start));
    }
    if (!rule.extraDates.empty()) {
        Append(rule.text, "with extra dates");
    }
    if (!rule.excludedDates.empty()) {
        Append(rule.text, "with left-out dates");
    }

    if (rule.rules.empty()) {
        rule.kind = rule.extraDates.empty() ? RepeatKind::Once : RepeatKind::Other;
    } else if (rule.rules.size() > 1 || !rule.extraDates.empty() || !rule.excludedDates.empty()) {
        rule.kind = RepeatKind::Other;
    } else {
        rule.kind = KindOf(rule.rules.front(), start, rule.nWeekday);
    }
    return rule;
}

Occurrence NextOccurrence(const RepeatRule& rule, const icaltimetype& start, CTime now) {
    COccurrenceFinder finder(rule, now);
    finder.Offer(start);
    const bool bStartedBefore = InstantOf(start) < now;
    for (const icalrecurrencetype& recurrence : rule.rules) {
        // A rule with COUNT must be counted from its start.
        const bool bFromNow = bStartedBefore && recurrence.count == 0;
        finder.Run(recurrence, start, bFromNow);
        if (bFromNow && !finder.Result().bFound) {
            // Ended before now: its last occurrence is found from the start.
            finder.Run(recurrence, start, false);
        }
    }
    for (const icaltimetype& date : rule.extraDates) {
        finder.Offer(date);
    }
    Occurrence result = finder.Result();
    if (!result.bFound && !finder.HasLast()) {
        result.last = start;
    }
    return result;
}
