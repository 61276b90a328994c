#include "ical/icalzone.h"

#include <array>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string_view>

namespace {

// The part of a path to a zone file after ".../zoneinfo/", or the text as it stands.
std::string ZoneNameFromPath(std::string_view path) {
    constexpr std::string_view kZoneFolder = "zoneinfo/";
    const std::size_t at = path.rfind(kZoneFolder);
    return std::string(at == std::string_view::npos ? path : path.substr(at + kZoneFolder.size()));
}

std::string SystemZoneName() {
    std::error_code error;
    const std::filesystem::path link = std::filesystem::read_symlink("/etc/localtime", error);
    if (!error) {
        return ZoneNameFromPath(link.string());
    }
    std::ifstream file("/etc/timezone");
    std::string name;
    std::getline(file, name);
    return name;
}

bool IsUtcName(std::string_view name) {
    constexpr std::array<std::string_view, 12> kUtcNames = {
        "UTC",     "Etc/UTC",   "UCT",           "Etc/UCT", "Zulu", "Etc/Zulu",
        "Etc/GMT", "Universal", "Etc/Universal", "GMT",     "UTC0", "Etc/Greenwich"};
    for (const std::string_view utc : kUtcNames) {
        if (name == utc) {
            return true;
        }
    }
    return false;
}

}  // namespace

LocalZone FindLocalZone() {
    std::string name;
    if (const char* tz = std::getenv("TZ"); tz != nullptr) {
        std::string_view text(tz);
        if (text.starts_with(':')) {
            text.remove_prefix(1);
        }
        name = ZoneNameFromPath(text);
    } else {
        name = SystemZoneName();
    }
    icaltimezone* const utc = icaltimezone_get_utc_timezone();
    if (name.empty() || IsUtcName(name)) {
        return {"", utc};
    }
    // A zone libical does not know (a POSIX rule in TZ, say) is written in UTC, which keeps
    // every instant right.
    icaltimezone* const zone = icaltimezone_get_builtin_timezone(name.c_str());
    if (zone == nullptr || zone == utc) {
        return {"", utc};
    }
    return {name, zone};
}

icaltimetype CalendarTime(CTime instant, const LocalZone& local) {
    if (local.name.empty()) {
        return icaltime_from_timet_with_zone(static_cast<time_t>(instant.GetTime()), 0,
                                             icaltimezone_get_utc_timezone());
    }
    const LocalTm wall = instant.GetLocalTm();
    icaltimetype time = icaltime_null_time();
    time.year = wall.year;
    time.month = wall.month;
    time.day = wall.day;
    time.hour = wall.hour;
    time.minute = wall.minute;
    time.second = wall.second;
    return time;
}

CTime InstantOf(const icaltimetype& time) {
    if (time.is_date != 0) {
        return CTime::FromLocal(time.year, time.month, time.day, 0);
    }
    if (time.zone == nullptr) {
        return CTime::FromLocal(time.year, time.month, time.day, time.hour, time.minute,
                                time.second);
    }
    return CTime(static_cast<std::int64_t>(icaltime_as_timet_with_zone(time, time.zone)));
}
