#include "calendar/ctime.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstdint>
#include <ctime>
#include <optional>
#include <vector>

#include "calendar/civil.h"
#include "calendar/timezone.h"

namespace {

struct Fields {
    std::int64_t year, month, day, hour, minute, second;
};

CTime Build(const Fields& f) {
    return CTime::FromLocal(f.year, f.month, f.day, f.hour, f.minute, f.second);
}

LocalTm Tm(int year, int month, int day, int hour, int minute, int second, int weekday) {
    return LocalTm{year, month, day, hour, minute, second, weekday};
}

struct NormaliseCase {
    const char* name;
    Fields given;
    LocalTm readBack;
};

TEST(CTimeTest, NormalisesOutOfRangeFieldsLikeMktime) {
    const ScopedTimeZone zone("UTC");
    const std::vector<NormaliseCase> cases = {
        {"hour 24 is midnight of the next day",
         {2024, 2, 29, 24, 0, 0},
         Tm(2024, 3, 1, 0, 0, 0, 5)},
        {"day 0 is the last day of the month before",
         {2024, 3, 0, 6, 0, 0},
         Tm(2024, 2, 29, 6, 0, 0, 4)},
        {"negative days count further back", {2023, 3, -1, 6, 0, 0}, Tm(2023, 2, 27, 6, 0, 0, 1)},
        {"day 32 carries into the next month", {1999, 1, 32, 1, 0, 0}, Tm(1999, 2, 1, 1, 0, 0, 1)},
        {"month 13 is January of the next year",
         {2023, 13, 1, 9, 0, 0},
         Tm(2024, 1, 1, 9, 0, 0, 1)},
        {"month 0 is December of the year before",
         {2024, 0, 15, 9, 0, 0},
         Tm(2023, 12, 15, 9, 0, 0, 5)},
        {"negative months count back whole years",
         {2024, -13, 1, 0, 0, 0},
         Tm(2022, 11, 1, 0, 0, 0, 2)},
        {"31 January plus a month", {2023, 2, 31, 12, 0, 0}, Tm(2023, 3, 3, 12, 0, 0, 5)},
        {"minutes and seconds carry", {1999, 12, 31, 23, 59, 60}, Tm(2000, 1, 1, 0, 0, 0, 6)},
        {"no century rule for 2000", {2000, 2, 29, 12, 0, 0}, Tm(2000, 2, 29, 12, 0, 0, 2)},
        {"the calendar's century rule for 2100",
         {2100, 2, 29, 12, 0, 0},
         Tm(2100, 3, 1, 12, 0, 0, 1)},
    };
    for (const NormaliseCase& c : cases) {
        EXPECT_EQ(Build(c.given).GetLocalTm(), c.readBack) << c.name;
    }
}

struct InstantCase {
    const char* zone;
    Fields given;
    std::int64_t seconds;
};

TEST(CTimeTest, GivesSecondsSince1970OnBothSidesOfTheEpochAndPast2038) {
    const std::vector<InstantCase> cases = {
        {"UTC", {1970, 1, 1, 0, 0, 0}, 0},
        {"UTC", {1969, 12, 31, 23, 0, 0}, -3600},
        {"UTC", {1900, 1, 1, 0, 0, 0}, -2208988800},
        {"UTC", {2038, 1, 19, 3, 14, 8}, 2147483648},
        {"UTC", {2100, 3, 1, 0, 0, 0}, 4107542400},
        {"America/New_York", {1960, 7, 4, 12, 0, 0}, -299577600},
        {"America/New_York", {2040, 7, 1, 12, 0, 0}, 2224771200},
        {"Europe/Berlin", {1965, 1, 1, 0, 0, 0}, -157770000},
    };
    for (const InstantCase& c : cases) {
        const ScopedTimeZone zone(c.zone);
        const CTime t = Build(c.given);
        EXPECT_EQ(t.GetTime(), c.seconds) << c.zone << " " << c.given.year;
        const LocalTm back = t.GetLocalTm();
        EXPECT_EQ(back.year, c.given.year);
        EXPECT_EQ(back.month, c.given.month);
        EXPECT_EQ(back.day, c.given.day);
        EXPECT_EQ(back.hour, c.given.hour);
    }
}

TEST(CTimeTest, ReadsTheWeekday) {
    const ScopedTimeZone zone("America/New_York");
    EXPECT_EQ(CTime::FromLocal(1999, 12, 24, 12).GetLocalTm().weekday, 5);
    EXPECT_EQ(CTime::FromLocal(1969, 7, 20, 22).GetLocalTm().weekday, 0);
    EXPECT_EQ(CTime::FromLocal(2040, 1, 7, 0).GetLocalTm().weekday, 6);
}

// The occurrences of a local reading found through the C library: the results of mktime under
// either daylight-saving flag that read back as the same local time, earliest first.
std::vector<std::int64_t> OccurrencesByMktime(const Fields& f) {
    std::vector<std::int64_t> found;
    for (int isdst : {0, 1}) {
        std::tm tm{};
        tm.tm_year = static_cast<int>(f.year - 1900);
        tm.tm_mon = static_cast<int>(f.month - 1);
        tm.tm_mday = static_cast<int>(f.day);
        tm.tm_hour = static_cast<int>(f.hour);
        tm.tm_min = static_cast<int>(f.minute);
        tm.tm_isdst = isdst;
        const std::time_t t = std::mktime(&tm);
        std::tm back{};
        localtime_r(&t, &back);
        if (back.tm_year == f.year - 1900 && back.tm_mon == f.month - 1 && back.tm_mday == f.day &&
            back.tm_hour == f.hour && back.tm_min == f.minute) {
            found.push_back(t);
        }
    }
    std::sort(found.begin(), found.end());
    found.erase(std::unique(found.begin(), found.end()), found.end());
    return found;
}

// A wall-clock reading with its fields brought into range, without any zone.
Fields Normalised(const Fields& f) {
    const std::int64_t wall =
        civil::WallSeconds(f.year, f.month, f.day, f.hour, f.minute, f.second);
    const std::int64_t days = civil::FloorDiv(wall, civil::kSecondsPerDay);
    const std::int64_t second = wall - days * civil::kSecondsPerDay;
    const civil::Date date = civil::CivilFromDays(days);
    return {date.year, date.month, date.day, second / 3600, second % 3600 / 60, 0};
}

struct ChangeDay {
    const char* zone;
    int year, month, day;
};

// Every quarter hour of the days around the clock changes, in zones that change by an hour
// and by half an hour: an existing local time gives the C library's first occurrence, and a
// skipped one moves forward by the gap and reads back later than asked.
TEST(CTimeTest, AgreesWithTheCLibraryAroundClockChanges) {
    const std::vector<ChangeDay> days = {
        {"America/New_York", 2021, 3, 14},   {"America/New_York", 2021, 11, 7},
        {"Europe/Berlin", 2021, 3, 28},      {"Europe/Berlin", 2021, 10, 31},
        {"Australia/Lord_Howe", 2021, 4, 4}, {"Australia/Lord_Howe", 2021, 10, 3},
        {"America/New_York", 1969, 4, 27},   {"America/New_York", 2050, 11, 6},
    };
    for (const ChangeDay& d : days) {
        const ScopedTimeZone zone(d.zone);
        int skipped = 0;
        int repeated = 0;
        for (int minutes = -24 * 60; minutes < 48 * 60; minutes += 15) {
            const Fields asked = Normalised({d.year, d.month, d.day, 0, minutes, 0});
            const CTime t = CTime::FromLocal(d.year, d.month, d.day, 0, minutes);
            EXPECT_EQ(Build(asked), t);
            const std::vector<std::int64_t> occurrences = OccurrencesByMktime(asked);
            if (!occurrences.empty()) {
                EXPECT_EQ(t.GetTime(), occurrences.front()) << d.zone << " minute " << minutes;
                repeated += occurrences.size() > 1 ? 1 : 0;
                continue;
            }
            ++skipped;
            const LocalTm got = t.GetLocalTm();
            EXPECT_EQ(got.day, asked.day) << d.zone << " minute " << minutes;
            EXPECT_GT(got.hour * 60 + got.minute, asked.hour * 60 + asked.minute)
                << d.zone << " minute " << minutes;
        }
        EXPECT_GT(skipped + repeated, 0) << d.zone << ": no clock change found";
    }
}

TEST(CTimeTest, RepeatedHourAlwaysTakesItsFirstOccurrence) {
    {
        const ScopedTimeZone zone("America/New_York");
        // Conversions in summer and in winter first, which steer mktime's own guess either way.
        for (int month : {7, 1, 11}) {
            std::tm tm{};
            tm.tm_year = 121;
            tm.tm_mon = month - 1;
            tm.tm_mday = 7;
            tm.tm_hour = 1;
            tm.tm_isdst = -1;
            static_cast<void>(std::mktime(&tm));
            EXPECT_EQ(CTime::FromLocal(2021, 11, 7, 1, 30).GetTime(), 1636263000);
        }
        const CTime first = CTime::FromLocal(2021, 11, 7, 1);
        EXPECT_EQ(CTime::FromLocal(2021, 11, 7, 2).GetTime() - first.GetTime(), 2 * 3600);
        EXPECT_EQ(CTime(first.GetTime() + 3600).GetLocalTm().hour, 1);
        EXPECT_EQ(CTime::FromLocal(2040, 11, 4, 1).GetTime(), 2235618000);
    }
    const ScopedTimeZone zone("Europe/Berlin");
    EXPECT_EQ(CTime::FromLocal(2021, 10, 31, 2, 30).GetTime(), 1635640200);
}

TEST(CTimeTest, SkippedHourMovesForwardByTheGap) {
    {
        const ScopedTimeZone zone("America/New_York");
        EXPECT_EQ(CTime::FromLocal(2021, 3, 14, 2, 30), CTime::FromLocal(2021, 3, 14, 3, 30));
        EXPECT_EQ(CTime::FromLocal(2021, 3, 14, 2).GetLocalTm().hour, 3);
    }
    {
        const ScopedTimeZone zone("Europe/Berlin");
        EXPECT_EQ(CTime::FromLocal(2021, 3, 28, 2), CTime::FromLocal(2021, 3, 28, 3));
        EXPECT_EQ(
            CTime::FromLocal(2021, 3, 28, 3).GetTime() - CTime::FromLocal(2021, 3, 28, 1).GetTime(),
            3600);
    }
}

TEST(CTimeTest, ExtremeFieldsNeitherOverflowNorFail) {
    const ScopedTimeZone zone("Europe/Berlin");
    const CTime latest = CTime::FromLocal(INT_MAX, INT_MAX, INT_MAX, INT_MAX);
    const CTime earliest = CTime::FromLocal(INT_MIN, INT_MIN, INT_MIN, INT_MIN);
    EXPECT_LT(earliest, CTime::FromLocal(1970, 1, 1, 0));
    EXPECT_GT(latest, CTime::FromLocal(2037, 12, 31, 24));
    EXPECT_FALSE(latest.TryGetLocalTm().has_value());
    EXPECT_FALSE(earliest.TryGetLocalTm().has_value());
    EXPECT_EQ(latest.GetLocalTm().year, INT_MAX);
    EXPECT_EQ(earliest.GetLocalTm().year, INT_MIN);

    // The last and first years an int holds still read back exactly.
    const std::optional<LocalTm> top = CTime::FromLocal(INT_MAX, 12, 31, 23).TryGetLocalTm();
    ASSERT_TRUE(top.has_value());
    EXPECT_EQ(top->year, INT_MAX);
    EXPECT_EQ(top->day, 31);
    const std::optional<LocalTm> bottom = CTime::FromLocal(INT_MIN, 1, 1, 0).TryGetLocalTm();
    ASSERT_TRUE(bottom.has_value());
    EXPECT_EQ(bottom->year, INT_MIN);
    EXPECT_EQ(bottom->hour, 0);
}

// Seconds since 1970, not some other unit or epoch. time() may read a coarser clock that lags
// by a tick, hence the second either way.
TEST(CTimeTest, SystemClockReadsTheCurrentTime) {
    const std::int64_t before = std::time(nullptr);
    const std::int64_t now = CSystemClock().GetCurrentTime().GetTime();
    EXPECT_GE(now, before - 1);
    EXPECT_LE(now, std::time(nullptr) + 1);
}

}  // namespace
