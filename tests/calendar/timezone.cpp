#include "calendar/timezone.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <string_view>
#include <utility>

#ifdef _WIN32
#include <windows.h>
#endif

namespace {

#ifdef _WIN32

// An hour east of UTC, an hour more from the last Sunday of March to the last Sunday of
// October.
bool SystemZoneIsBerlins() {
    TIME_ZONE_INFORMATION zone{};
    if (GetTimeZoneInformation(&zone) == TIME_ZONE_ID_INVALID) {
        return false;
    }
    const auto lastSundayOf = [](const SYSTEMTIME& date, WORD month) {
        return date.wMonth == month && date.wDayOfWeek == 0 && date.wDay == 5;
    };
    return zone.Bias == -60 && zone.DaylightBias == -60 && lastSundayOf(zone.DaylightDate, 3) &&
           lastSundayOf(zone.StandardDate, 10);
}

// Zones whose rules TZ gives the C library in its own form.
constexpr std::pair<std::string_view, const char*> kTzForms[] = {
    {"UTC", "UTC0"},
    {"America/New_York", "EST5EDT"},
    {"Asia/Kolkata", "IST-5:30"},
    {"Pacific/Pago_Pago", "SST11"},
    {"Pacific/Kiritimati", "LIN-14"},
};

// TZ for the zone, or no TZ at all (the system's zone). Nothing when neither gives its rules.
std::optional<std::optional<std::string>> TzFor(const std::string& zone) {
    for (const auto& [name, tz] : kTzForms) {
        if (zone == name) {
            return std::optional<std::string>(tz);
        }
    }
    if (zone == "Europe/Berlin" && SystemZoneIsBerlins()) {
        return std::optional<std::string>();
    }
    return std::nullopt;
}

std::string WhyNotFor(const std::string& zone) {
    if (zone == "Europe/Berlin") {
        return "Berlin's rules reach the C library only as the system's zone, and the system's "
               "zone is another: choose \"(UTC+01:00) Amsterdam, Berlin, ...\" while the tests "
               "run (Wine takes the zone from TZ=Europe/Berlin, as ctest sets it)";
    }
    return zone +
           ": the C library's TZ knows only US daylight-saving dates and summer time of a whole "
           "hour, and the system's zone is Berlin's";
}

void SetTz(const std::optional<std::string>& value) {
    // An empty value removes TZ.
    (void)_putenv_s("TZ", value.value_or("").c_str());
    _tzset();
}

#else

std::optional<std::optional<std::string>> TzFor(const std::string& zone) {
    return std::optional<std::string>(zone);
}

std::string WhyNotFor(const std::string&) {
    return {};
}

void SetTz(const std::optional<std::string>& value) {
    if (value) {
        setenv("TZ", value->c_str(), 1);
    } else {
        unsetenv("TZ");
    }
    tzset();
}

#endif

}  // namespace

ScopedTimeZone::ScopedTimeZone(const char* zone, Unsettable unsettable) {
    if (const char* old = std::getenv("TZ")) {
        m_strOld = old;
    }
    const std::optional<std::optional<std::string>> tz = TzFor(zone);
    if (!tz) {
        m_strWhyNot = WhyNotFor(zone);
        if (unsettable == kMustSet) {
            ADD_FAILURE() << m_strWhyNot;
        }
        return;
    }
    SetTz(*tz);
}

ScopedTimeZone::~ScopedTimeZone() {
    if (IsSet()) {
        SetTz(m_strOld);
    }
}
