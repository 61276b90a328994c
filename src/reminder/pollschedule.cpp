#include "reminder/pollschedule.h"

bool CPollSchedule::OnTick(CTime wallNow, std::int64_t steadyMs) {
    ++m_nTickCount;
    // The clock is asked at every tick, so that it can tell a jump from one tick to the next.
    const bool bClockCalls = m_trigger.OnTick(wallNow, steadyMs);
    return bClockCalls || m_nTickCount >= m_nPollSeconds;
}
