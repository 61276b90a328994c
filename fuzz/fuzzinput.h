#pragma once

#include <climits>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string_view>

// The fuzz targets' entry point, as libFuzzer calls it; the corpus replay calls it too.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

// A broken expectation ends the run at once, so libFuzzer keeps the input that found it and
// the corpus replay fails.
#define FUZZ_CHECK(condition, what)                                                              \
    do {                                                                                         \
        if (!(condition)) {                                                                      \
            (void)std::fprintf(stderr, "%s:%d: %s: %s\n", __FILE__, __LINE__, #condition, what); \
            std::abort();                                                                        \
        }                                                                                        \
    } while (false)

// A zone with daylight saving time, the same on every machine, set once.
inline void UseFixedZone() {
    static const bool s_bSet = [] {
        setenv("TZ", "America/New_York", 1);
        tzset();
        return true;
    }();
    (void)s_bSet;
}

// Takes the values a target needs from the front of its input; past the end it gives zeros
// and empty texts, so that every input means something.
class CFuzzInput {
public:
    CFuzzInput(const std::uint8_t* data, std::size_t size)
        : m_text(reinterpret_cast<const char*>(data), size) {}

    std::uint8_t Byte() {
        if (m_text.empty()) {
            return 0;
        }
        const auto byte = static_cast<std::uint8_t>(m_text.front());
        m_text.remove_prefix(1);
        return byte;
    }

    // Mostly the numbers a task file holds, sometimes the extremes and anything in between.
    int Number() {
        const std::uint8_t kind = Byte();
        switch (kind % 8) {
            case 0:
                return INT_MIN;
            case 1:
                return INT_MAX;
            case 2:
            case 3: {
                std::uint32_t bits = 0;
                for (int i = 0; i < 4; ++i) {
                    bits = bits << 8 | Byte();
                }
                return static_cast<int>(bits);
            }
            case 4:
                return -static_cast<int>(Byte());
            default:
                return Byte() + (kind >> 3) * 256;
        }
    }

    // A text up to the next byte 0xFF (dropped), or the rest.
    std::string_view Text() {
        const std::size_t end = m_text.find('\xFF');
        const std::string_view text = m_text.substr(0, end);
        m_text.remove_prefix(end == std::string_view::npos ? m_text.size() : end + 1);
        return text;
    }

    std::string_view Rest() const { return m_text; }

private:
    std::string_view m_text;
};
