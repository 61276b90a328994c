#pragma once

#include <compare>
#include <cstdint>
#include <optional>

// Local calendar fields of an instant: month 1..12, weekday 0 (Sunday) .. 6.
struct LocalTm {
    int year = 0;
    int month = 0;
    int day = 0;
    int hour = 0;
    int minute = 0;
    int second = 0;
    int weekday = 0;

    bool operator==(const LocalTm&) const = default;
};

// Whole seconds since 1970-01-01 00:00:00 UTC, 64-bit so that years past 2037 work.
class CTime {
public:
    constexpr CTime() = default;
    constexpr explicit CTime(std::int64_t seconds) : m_nTime(seconds) {}

    // Builds an instant from local calendar fields. Out-of-range fields are normalised the
    // way mktime does (day 0 is the last day of the previous month, hour 24 is 00:00 of the
    // next day). A local time that happens twice takes its first occurrence, always; one that
    // does not exist moves forward by the gap. The fields are 64-bit so that callers can
    // pass sums such as a day less a count of days without overflowing.
    static CTime FromLocal(std::int64_t year, std::int64_t month, std::int64_t day,
                           std::int64_t hour, std::int64_t minute = 0, std::int64_t second = 0);

    constexpr std::int64_t GetTime() const { return m_nTime; }
    // Local calendar fields. Outside the range the C library can convert, local time is taken
    // as UTC; a year beyond the range of int is clamped to it.
    LocalTm GetLocalTm() const;
    // The same, or nothing when the year does not fit an int.
    std::optional<LocalTm> TryGetLocalTm() const;

    // Spelt out: a defaulted <=> trips clang-tidy's nullptr check on its synthesised code.
    constexpr std::strong_ordering operator<=>(const CTime& other) const {
        return m_nTime <=> other.m_nTime;
    }
    constexpr bool operator==(const CTime&) const = default;

private:
    std::int64_t m_nTime = 0;
};

// Where the current time comes from; tests put a clock of their own in its place.
class IClock {
public:
    virtual ~IClock() = default;
    virtual CTime GetCurrentTime() const = 0;
    // Milliseconds from some fixed point, from a clock that nobody sets and that stands still
    // while the machine sleeps: the wall clock is measured against it to see it jump.
    virtual std::int64_t GetSteadyMilliseconds() const;
};

class CSystemClock final : public IClock {
public:
    CTime GetCurrentTime() const override;
};
