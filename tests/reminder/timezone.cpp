#include "reminder/timezone.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>

#ifdef _WIN32
#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
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

// TZ for the zone in the C library's own form, or no TZ at all (the system's zone). Nothing
// when neither gives the zone's rules.
std::optional<std::optional<std::string>> TzFor(const std::string& zone) {
    if (zone == "UTC") {
        return "UTC0";
    }
    if (zone == "America/New_York") {
        return "EST5EDT";
    }
    if (zone == "Asia/Kolkata") {
        return "IST-5:30";
    }
    if (zone == "Pacific/Kiritimati") {
        return "LIN-14";
    }
    if (zone == "Pacific/Pago_Pago") {
        return "SST11";
    }
    if (zone == "Europe/Berlin" && SystemZoneIsBerlins()) {
        return std::optional<std::string>();
    }
    return std::nullopt;
}

std::string WhyNotFor(const std::string& zone) {
    if (zone == "Europe/Berlin") {
        return "Berlin's rules reach the C library only as the system's zone, and the system's "
               "zone is another (Wine takes it from TZ=Europe/Berlin, as ctest sets it)";
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
