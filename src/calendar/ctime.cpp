#include "calendar/ctime.h"

#include <algorithm>
#include <chrono>
#include <limits>

#include "calendar/civil.h"
#include "calendar/localzone.h"

namespace {

// No zone's offset changes twice within this distance of a local time, and every real offset
// is smaller, so the offsets found this far before and after a wall-clock reading are the only
// candidates for it.
constexpr std::int64_t kProbeDistance = std::int64_t{30} * 3600;

LocalTm FieldsOf(std::int64_t wall, std::int64_t& year) {
    const std::int64_t days = civil::FloorDiv(wall, civil::kSecondsPerDay);
    const std::int64_t secondOfDay = wall - days * civil::kSecondsPerDay;
    const civil::Date date = civil::CivilFromDays(days);
    year = date.year;
    LocalTm tm;
    tm.month = date.month;
    tm.day = date.day;
    tm.hour = static_cast<int>(secondOfDay / 3600);
    tm.minute = static_cast<int>(secondOfDay % 3600 / 60);
    tm.second = static_cast<int>(secondOfDay % 60);
    tm.weekday = civil::WeekdayFromDays(days);
    return tm;
}

}  // namespace

CTime CTime::FromLocal(std::int64_t year, std::int64_t month, std::int64_t day, std::int64_t hour,
                       std::int64_t minute, std::int64_t second) {
    const std::int64_t wall = civil::WallSeconds(year, month, day, hour, minute, second);
    const std::int64_t offsetBefore = LocalZoneOffset(wall - kProbeDistance);
    const std::int64_t offsetAfter = LocalZoneOffset(wall + kProbeDistance);
    if (offsetBefore == offsetAfter) {
        return CTime(wall - offsetBefore);
    }
    // A change of offset lies near. The reading exists under each offset that is in force at
    // the instant it gives; when both are (the repeated hour) the first occurrence wins, so the
    // answer never depends on what was converted before.
    const std::int64_t underBefore = wall - offsetBefore;
    const std::int64_t underAfter = wall - offsetAfter;
    const bool beforeHolds = LocalZoneOffset(underBefore) == offsetBefore;
    const bool afterHolds = LocalZoneOffset(underAfter) == offsetAfter;
    if (beforeHolds && afterHolds) {
        return CTime(std::min(underBefore, underAfter));
    }
    if (afterHolds) {
        return CTime(underAfter);
    }
    // Either the reading holds under the earlier offset only, or it falls into the skipped
    // hour: counting it with the earlier offset moves it forward by the gap, as mktime does.
    return CTime(underBefore);
}

std::optional<LocalTm> CTime::TryGetLocalTm() const {
    std::int64_t year = 0;
    LocalTm tm = FieldsOf(m_nTime + LocalZoneOffset(m_nTime), year);
    if (year < std::numeric_limits<int>::min() || year > std::numeric_limits<int>::max()) {
        return std::nullopt;
    }
    tm.year = static_cast<int>(year);
    return tm;
}

LocalTm CTime::GetLocalTm() const {
    std::int64_t year = 0;
    LocalTm tm = FieldsOf(m_nTime + LocalZoneOffset(m_nTime), year);
    tm.year = static_cast<int>(std::clamp<std::int64_t>(year, std::numeric_limits<int>::min(),
                                                        std::numeric_limits<int>::max()));
    return tm;
}

std::int64_t IClock::GetSteadyMilliseconds() const {
    const auto since = std::chrono::steady_clock::now().time_since_epoch();
    return std::chrono::duration_cast<std::chrono::milliseconds>(since).count();
}

CTime CSystemClock::GetCurrentTime() const {
    const auto since = std::chrono::system_clock::now().time_since_epoch();
    return CTime(std::chrono::floor<std::chrono::seconds>(since).count());
}
