#include "calendar/localzone.h"

#include <ctime>
#include <limits>

#include "calendar/civil.h"

std::int64_t LocalZoneOffset(std::int64_t t) {
    if (t < std::numeric_limits<std::time_t>::min() ||
        t > std::numeric_limits<std::time_t>::max()) {
        return 0;
    }
    const auto when = static_cast<std::time_t>(t);
    std::tm fields{};
#ifdef _WIN32
    if (localtime_s(&fields, &when) != 0) {
        return 0;
    }
#else
    if (localtime_r(&when, &fields) == nullptr) {
        return 0;
    }
#endif
    const std::int64_t wall =
        civil::WallSeconds(std::int64_t{fields.tm_year} + 1900, fields.tm_mon + 1, fields.tm_mday,
                           fields.tm_hour, fields.tm_min, fields.tm_sec);
    return wall - t;
}
