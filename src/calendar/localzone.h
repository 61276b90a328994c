#pragma once

#include <cstdint>

// The one place that asks the system for its time-zone rules.

// Seconds east of UTC of local time at instant t (UTC seconds). 0 when the C library cannot
// convert t, so that such instants are handled as UTC rather than failing.
std::int64_t LocalZoneOffset(std::int64_t t);
