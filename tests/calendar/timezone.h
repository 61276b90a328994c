#pragma once

#include <optional>
#include <string>

// Sets TZ for the life of the object and puts the previous value back afterwards, so that no
// test depends on the machine's zone.
//
// On Windows the C library reads TZ only as a name, the hours west of UTC and a name for
// summer time, and then applies US daylight-saving dates. New York and zones without summer
// time are set that way; Berlin's rules come only from the system's own zone setting, which
// ctest makes Berlin's for the Windows runs (the C library follows it while TZ is unset).
// Other zones cannot be set there: IsSet() is false and WhyNot() says why. A test that may
// meet such a zone passes kMaySkip and leaves the zone out; in any other test it is a failure.
class ScopedTimeZone {
public:
    enum Unsettable { kMustSet, kMaySkip };

    explicit ScopedTimeZone(const char* zone, Unsettable unsettable = kMustSet);
    ~ScopedTimeZone();
    ScopedTimeZone(const ScopedTimeZone&) = delete;
    ScopedTimeZone& operator=(const ScopedTimeZone&) = delete;

    bool IsSet() const { return m_strWhyNot.empty(); }
    const std::string& WhyNot() const { return m_strWhyNot; }

private:
    std::optional<std::string> m_strOld;
    std::string m_strWhyNot;
};
