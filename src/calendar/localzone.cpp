#include "calendar/localzone.h"

#include <ctime>
#include <limits>

#include "calendar/civil.h"

namespace {

// The C library's local calendar fields of t; false when it cannot convert t.
bool LocalFields(std::int64_t t, std::tm& fields) {
    const auto when = static_cast<std::time_t>(t);
#ifdef _WIN32
    return localtime_s(&fields, &when) == 0;
#else
    return localtime_r(&when, &fields) != nullptr;
#endif
}

std::int64_t OffsetOf(const std::tm& fields, std::int64_t t) {
    const std::int64_t wall =
        civil::WallSeconds(std::int64_t{fields.tm_year} + 1900, fields.tm_mon + 1, fields.tm_mday,
                           fields.tm_hour, fields.tm_min, fields.tm_sec);
    return wall - t;
}

}  // namespace

std::int64_t LocalZoneOffset(std::int64_t t) {
    if (t < std::numeric_limits<std::time_t>::min() ||
        t > std::numeric_limits<std::time_t>::max()) {
        return 0;
    }
    std::tm fields{};
    if (LocalFields(t, fields)) {
        return OffsetOf(fields, t);
    }
#ifdef _WIN32
    // Windows' C library converts nothing before 1970 or after 3000. Four hundred years of
    // the calendar are a whole number of weeks, so the instant as many such cycles away as
    // bring it into 1970 to 2370 has the same date, weekday and time of day; the library's
    // rules for that year are the best it knows for the year asked.
    constexpr std::int64_t kCycle = std::int64_t{146097} * civil::kSecondsPerDay;
    const std::int64_t moved = civil::FloorMod(t, kCycle);
    if (LocalFields(moved, fields)) {
        return OffsetOf(fields, moved);
    }
#endif
    return 0;
}
