#pragma once

#include <cstdint>
#include <optional>

#include "calendar/ctime.h"

// When the clock itself calls for a poll, besides the polling interval. Reminders are decided
// by the hour, so a poll follows within a tick of each new local hour; and when the wall clock
// jumps between two ticks (a resume from sleep, the clock set by hand) a poll follows at once
// instead of up to an interval later. A call stays due until a poll has run.
class CPollTrigger {
public:
    // More than this between how far the wall clock and the steady clock moved since the last
    // tick counts as a jump; the wall clock is read in whole seconds.
    static constexpr std::int64_t kJumpMs = 3000;

    // Notes one tick: the wall clock's reading and the steady clock's, in milliseconds.
    // Returns whether a poll is due by the clock.
    bool OnTick(CTime wallNow, std::int64_t steadyMs);

    // A poll has classified the tasks against the time `polledAt`.
    void OnPolled(CTime polledAt);

private:
    std::optional<CTime> m_lastWall;
    std::int64_t m_nLastSteadyMs = 0;
    std::optional<CTime> m_polledHour;
    bool m_bJumped = false;
};
