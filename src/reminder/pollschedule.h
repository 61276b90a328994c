#pragma once

#include <cstdint>

#include "calendar/ctime.h"
#include "reminder/polltrigger.h"

// When the one-second tick calls for a poll: once the polling interval has passed since the
// last poll the tick called for, and whenever the clock itself calls for one (CPollTrigger).
// Ticks go on being counted while a poll waits on the user, so a poll that is due then comes
// at the first tick after that poll has ended.
class CPollSchedule {
public:
    // An interval of 0 seconds or less calls for a poll at every tick.
    explicit CPollSchedule(int nPollSeconds) : m_nPollSeconds(nPollSeconds) {}

    // Counts one tick, given the wall clock's reading and the steady clock's in milliseconds.
    // Returns whether a poll is due; it stays due until one has run.
    bool OnTick(CTime wallNow, std::int64_t steadyMs);

    // A poll that the tick called for is starting: the interval counts from now.
    void TimedPollStarting() { m_nTickCount = 0; }
    // A poll, whoever asked for it, classified the tasks against the time polledAt.
    void OnPolled(CTime polledAt) { m_trigger.OnPolled(polledAt); }

private:
    int m_nPollSeconds;
    int m_nTickCount = 0;  // ticks since the last poll the tick called for
    CPollTrigger m_trigger;
};
