#include "reminder/polltrigger.h"

#include <gtest/gtest.h>

#include "reminder/pollschedule.h"

#include <cstdint>
#include <vector>

#include "calendar/timezone.h"

namespace {

// Drives a trigger with a wall clock and a steady clock that the test moves.
class TriggerClock {
public:
    explicit TriggerClock(CTime wall) : m_wall(wall) {}

    // Both clocks move on by the same time, as they do on a machine that stays awake.
    bool Tick(std::int64_t seconds = 1) { return Tick(seconds, seconds * 1000); }
    // The wall clock moves by wallSeconds while the steady clock moves by steadyMs.
    bool Tick(std::int64_t wallSeconds, std::int64_t steadyMs) {
        m_wall = CTime(m_wall.GetTime() + wallSeconds);
        m_nSteadyMs += steadyMs;
        return m_trigger.OnTick(m_wall, m_nSteadyMs);
    }
    void Polled() { m_trigger.OnPolled(m_wall); }
    CTime Wall() const { return m_wall; }

private:
    CPollTrigger m_trigger;
    CTime m_wall;
    std::int64_t m_nSteadyMs = 5000000;
};

TEST(PollTriggerTest, CallsForAPollWithinATickOfEachNewHour) {
    for (const char* zoneName : {"UTC", "America/New_York", "Asia/Kolkata"}) {
        const ScopedTimeZone zone(zoneName);
        TriggerClock clock(CTime::FromLocal(2024, 6, 14, 10, 59, 50));
        // Nothing is due by the hour before the first poll has said which hour it saw.
        EXPECT_FALSE(clock.Tick()) << zoneName;
        clock.Polled();
        for (int i = 0; i < 8; ++i) {
            EXPECT_FALSE(clock.Tick()) << zoneName << " at " << clock.Wall().GetLocalTm().second;
        }
        EXPECT_TRUE(clock.Tick()) << zoneName;  // 11:00:00
        // It stays due while no poll can run (a reminder waits), and ends with the poll.
        EXPECT_TRUE(clock.Tick(5)) << zoneName;
        clock.Polled();
        EXPECT_FALSE(clock.Tick()) << zoneName;
        EXPECT_FALSE(clock.Tick(3593)) << zoneName;  // 11:59:59
        EXPECT_TRUE(clock.Tick()) << zoneName;
    }
}

// Tasks are classified by the local hour's reading, so the hour that repeats when the clocks
// go back classifies as it did the first time round and calls for no poll of its own.
TEST(PollTriggerTest, FollowsTheLocalHoursAcrossAClockChange) {
    const ScopedTimeZone zone("America/New_York");
    TriggerClock clock(CTime::FromLocal(2021, 11, 7, 1, 30));  // the first 1:30, daylight time
    clock.Polled();
    EXPECT_FALSE(clock.Tick(1799));  // 1:59:59
    EXPECT_FALSE(clock.Tick());      // 1:00:00 again, standard time
    EXPECT_EQ(clock.Wall().GetLocalTm().hour, 1);
    EXPECT_FALSE(clock.Tick(3599));  // 1:59:59
    EXPECT_TRUE(clock.Tick());       // 2:00:00

    // In spring 2:00 does not exist: 1:59:59 is followed by 3:00:00, a new hour.
    TriggerClock spring(CTime::FromLocal(2021, 3, 14, 1, 59, 58));
    spring.Polled();
    EXPECT_FALSE(spring.Tick());
    EXPECT_TRUE(spring.Tick());
    EXPECT_EQ(spring.Wall().GetLocalTm().hour, 3);
}

struct JumpCase {
    const char* name;
    std::int64_t wallSeconds;
    std::int64_t steadyMs;
    bool bJump;
};

TEST(PollTriggerTest, CallsForAPollAtOnceWhenTheWallClockJumps) {
    const ScopedTimeZone zone("Europe/Berlin");
    const std::vector<JumpCase> cases = {
        {"a plain tick", 1, 1000, false},
        {"a tick that reads a second late", 2, 1000, false},
        {"a late tick", 3, 2800, false},
        {"a long poll held up the ticks", 40, 39500, false},
        {"resumed after a night's sleep", std::int64_t{8} * 3600, 1000, true},
        {"the clock set on by a few minutes", 301, 1000, true},
        {"the clock set back by a few minutes", -299, 1000, true},
        {"set on by just over the margin", 5, 1000, true},
        {"set back by just over the margin", -3, 1000, true},
    };
    for (const JumpCase& c : cases) {
        TriggerClock clock(CTime::FromLocal(2024, 6, 14, 10, 20));
        clock.Tick();
        clock.Polled();
        EXPECT_FALSE(clock.Tick()) << c.name;
        EXPECT_EQ(clock.Tick(c.wallSeconds, c.steadyMs), c.bJump) << c.name;
        // A jump stays due until a poll has run, however quiet the ticks after it are.
        EXPECT_EQ(clock.Tick(), c.bJump) << c.name;
        clock.Polled();
        EXPECT_FALSE(clock.Tick()) << c.name;
    }
}

// The interval counts the ticks since the last poll the tick called for; other polls (a refresh,
// a command) do not restart it, and ticks counted while a poll waits make the next tick poll.
TEST(PollScheduleTest, CallsForAPollOnceTheIntervalHasPassed) {
    const ScopedTimeZone zone("UTC");
    const CTime wall = CTime::FromLocal(2024, 6, 14, 10, 20);
    CPollSchedule schedule(3);
    std::int64_t steadyMs = 0;
    const auto tick = [&] {
        steadyMs += 1000;
        return schedule.OnTick(CTime(wall.GetTime() + steadyMs / 1000), steadyMs);
    };
    schedule.OnPolled(wall);
    EXPECT_FALSE(tick());
    EXPECT_FALSE(tick());
    EXPECT_TRUE(tick());
    EXPECT_TRUE(tick());  // a poll is running: still due
    schedule.TimedPollStarting();
    EXPECT_FALSE(tick());
    schedule.OnPolled(CTime(wall.GetTime() + 5));  // a refresh
    EXPECT_FALSE(tick());
    EXPECT_TRUE(tick());

    for (const int seconds : {0, -5}) {
        CPollSchedule everyTick(seconds);
        EXPECT_TRUE(everyTick.OnTick(wall, 0)) << seconds;
        everyTick.TimedPollStarting();
        EXPECT_TRUE(everyTick.OnTick(wall, 1000)) << seconds;
    }
}

// A new hour calls for a poll however far the interval has got.
TEST(PollScheduleTest, TheClockCallsBesidesTheInterval) {
    const ScopedTimeZone zone("UTC");
    const CTime wall = CTime::FromLocal(2024, 6, 14, 10, 59, 58);
    CPollSchedule schedule(90);
    schedule.OnPolled(wall);
    EXPECT_FALSE(schedule.OnTick(CTime(wall.GetTime() + 1), 1000));
    EXPECT_TRUE(schedule.OnTick(CTime(wall.GetTime() + 2), 2000));
    schedule.TimedPollStarting();
    schedule.OnPolled(CTime(wall.GetTime() + 2));
    EXPECT_FALSE(schedule.OnTick(CTime(wall.GetTime() + 3), 3000));
}

}  // namespace
