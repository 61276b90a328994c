#include "reminder/polltrigger.h"

#include "reminder/classify.h"

bool CPollTrigger::OnTick(CTime wallNow, std::int64_t steadyMs) {
    constexpr std::int64_t kMsPerSecond = 1000;
    if (m_lastWall) {
        const std::int64_t wallMs = (wallNow.GetTime() - m_lastWall->GetTime()) * kMsPerSecond;
        const std::int64_t drift = wallMs - (steadyMs - m_nLastSteadyMs);
        if (drift > kJumpMs || drift < -kJumpMs) {
            m_bJumped = true;
        }
    }
    m_lastWall = wallNow;
    m_nLastSteadyMs = steadyMs;
    const bool bNewHour = m_polledHour && CutToHour(wallNow) != *m_polledHour;
    return m_bJumped || bNewHour;
}

void CPollTrigger::OnPolled(CTime polledAt) {
    m_polledHour = CutToHour(polledAt);
    m_bJumped = false;
}
