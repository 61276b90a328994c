#include "tasks/taskline.h"

#include <algorithm>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <limits>

// Taking task lines apart: the one parser, for the readers that keep copies of the texts and
// for those that point into the line alike.

namespace {

// The line without its line end, so that no field carries a CR or LF, and without its "#".
std::string_view LineBody(std::string_view line) {
    if (!line.empty() && line.back() == '\n') {
        line.remove_suffix(1);
    }
    if (!line.empty() && line.back() == '\r') {
        line.remove_suffix(1);
    }
    if (!line.empty()) {
        line.remove_prefix(1);
    }
    return line;
}

constexpr bool IsDigit(char c) {
    return static_cast<unsigned char>(c) - unsigned{'0'} <= 9;
}

// The blanks atoi skips in the C locale.
constexpr bool IsBlank(char c) {
    return c == ' ' || (c >= '\t' && c <= '\r');
}

// Reads a number at p the way atoi does (blanks, an optional sign, the digits up to the first
// other character, 0 without digits), no further than end, and holds it to the range of int.
// Returns where reading stopped.
inline const char* ReadNumber(const char* p, const char* end, int& value) {
    bool bNegative = false;
    if (p < end && !IsDigit(*p)) {
        while (p < end && IsBlank(*p)) {
            ++p;
        }
        if (p < end && (*p == '+' || *p == '-')) {
            bNegative = *p == '-';
            ++p;
        }
    }
    // Eighteen digits fit 64 bits whatever they are; from the nineteenth on the value is held
    // just past the range of int, so that any number of digits is safe.
    constexpr std::uint64_t kLimit = std::uint64_t{std::numeric_limits<int>::max()} + 1;
    constexpr int kSafeDigits = 18;
    std::uint64_t read = 0;
    int nDigits = 0;
    for (; p < end && IsDigit(*p); ++p) {
        read = read * 10 + static_cast<unsigned char>(*p - '0');
        if (++nDigits > kSafeDigits) {
            read = std::min(read, kLimit);
        }
    }
    if (read >= kLimit) {
        value = bNegative ? std::numeric_limits<int>::min() : std::numeric_limits<int>::max();
    } else {
        value = bNegative ? -static_cast<int>(read) : static_cast<int>(read);
    }
    return p;
}

// The first "{+}" from at on, or end. Each "{" found is checked for the rest of the separator;
// ordinary text rarely holds one.
const char* FindSeparator(const char* at, const char* end) {
    while (end - at >= 3) {
        const auto* brace =
            static_cast<const char*>(std::memchr(at, '{', static_cast<std::size_t>(end - at - 2)));
        if (brace == nullptr) {
            return end;
        }
        if (brace[1] == '+' && brace[2] == '}') {
            return brace;
        }
        at = brace + 1;
    }
    return end;
}

// Hands out the fields of a line body one after the other, cutting at each "{+}"; once the body
// is used up every further field is empty.
//
// Every number of every line is read here, and a loop over digits whose end depends on each
// number's length costs the poll more than the rest of the line. So for the body's first bytes
// it is noted once, a word at a time, which of them are digits. A date and numbers that start
// there as the program writes them (one to eight digits, then the "/" or "{+}" that ends them)
// are then read from one word each, their lengths taken from that note and their digits put
// together in a few multiplications. Anything else is read digit by digit, to the same values.
class CFieldCutter {
public:
    explicit CFieldCutter(std::string_view body)
        : m_pStart(body.data()), m_pNext(body.data()), m_pEnd(body.data() + body.size()) {
        NoteDigits();
    }

    std::string_view Text() {
        const char* const start = m_pNext;
        const char* const separator = FindSeparator(start, m_pEnd);
        StepPast(separator);
        return {start, static_cast<std::size_t>(separator - start)};
    }

    // The number the next field starts with.
    int Number() {
        const std::ptrdiff_t digits = NotedDigits(m_pNext - m_pStart);
        if (digits > 0 && SeparatorFollows(m_pNext + digits)) {
            const int value = Digits(m_pNext, digits);
            m_pNext += digits + kSeparator;
            return value;
        }
        return NumberDigitByDigit();
    }

    // The date, the first field: month/day/year, the numbers that start its "/"-separated
    // pieces; a missing piece reads as 0.
    void Date(int& month, int& day, int& year) {
        const std::ptrdiff_t nMonth = NotedDigits(0);
        const std::ptrdiff_t atDay = nMonth + 1;
        const std::ptrdiff_t nDay = nMonth > 0 && m_pStart[nMonth] == '/' ? NotedDigits(atDay) : 0;
        const std::ptrdiff_t atYear = atDay + nDay + 1;
        const std::ptrdiff_t nYear =
            nDay > 0 && m_pStart[atDay + nDay] == '/' ? NotedDigits(atYear) : 0;
        if (nYear > 0 && SeparatorFollows(m_pStart + atYear + nYear)) {
            month = Digits(m_pStart, nMonth);
            day = Digits(m_pStart + atDay, nDay);
            year = Digits(m_pStart + atYear, nYear);
            m_pNext = m_pStart + atYear + nYear + kSeparator;
            return;
        }
        DateDigitByDigit(month, day, year);
    }

private:
    static constexpr std::ptrdiff_t kWindow = 32;  // bytes noted at the body's start
    static constexpr std::ptrdiff_t kWord = sizeof(std::uint64_t);
    static constexpr auto kSeparator = static_cast<std::ptrdiff_t>(kFieldSeparator.size());

    // Whether a "{+}" starts at p, where noted digits end: the window's bytes and a word beyond
    // them are there to look at.
    static bool SeparatorFollows(const char* p) {
        return p[0] == '{' && p[1] == '+' && p[2] == '}';
    }

    // Each byte of the word at p, as its distance from "0".
    static std::uint64_t DigitWord(const char* p) {
        std::uint64_t word = 0;
        std::memcpy(&word, p, sizeof word);
        return word ^ 0x3030303030303030;
    }

    // The value of the one to eight digits at p. Moved to the top bytes of a word they read as
    // eight digits with leading zeros; pairs, then fours, then all eight are put together.
    static int Digits(const char* p, std::ptrdiff_t digits) {
        std::uint64_t number = DigitWord(p) << (8 * (kWord - digits));
        number = (number * 10) + (number >> 8);
        number = (((number & 0x000000FF000000FF) * (100 + (1000000ULL << 32))) +
                  (((number >> 16) & 0x000000FF000000FF) * (1 + (10000ULL << 32)))) >>
                 32;
        return static_cast<int>(number);
    }

    // Sets bit i of m_notDigits where byte i of the window is no digit. The bits above the
    // window stay set, so that no number runs out of it unnoticed; a body too short to read a
    // word beyond the window, or a machine that stores words the other way round, notes nothing.
    void NoteDigits() {
        if constexpr (std::endian::native == std::endian::little) {
            if (m_pEnd - m_pStart < kWindow + kWord) {
                return;
            }
            std::uint64_t notDigits = ~std::uint64_t{0} << kWindow;
            for (std::ptrdiff_t at = 0; at < kWindow; at += kWord) {
                const std::uint64_t word = DigitWord(m_pStart + at);
                // The top bit of each byte above 9, gathered into one bit a byte.
                const std::uint64_t high =
                    (((word & 0x7F7F7F7F7F7F7F7F) + 0x7676767676767676) | word) &
                    0x8080808080808080;
                notDigits |= (((high >> 7) * 0x0102040810204080) >> 56) << at;
            }
            m_notDigits = notDigits;
        }
    }

    // How many digits, one to eight, start at byte `at` of the body and end inside the window,
    // as the note tells; 0 when it cannot tell.
    std::ptrdiff_t NotedDigits(std::ptrdiff_t at) const {
        if (at >= kWindow) {
            return 0;
        }
        const auto digits = static_cast<std::ptrdiff_t>(std::countr_zero(m_notDigits >> at));
        return digits <= kWord && at + digits < kWindow ? digits : 0;
    }

    int NumberDigitByDigit() {
        int value = 0;
        const char* const stop = ReadNumber(m_pNext, m_pEnd, value);
        // What a number is read from holds no "{", so the field's end is not before the stop.
        StepPast(FindSeparator(stop, m_pEnd));
        return value;
    }

    void DateDigitByDigit(int& month, int& day, int& year) {
        day = 0;
        year = 0;
        const char* at = PastSlash(ReadNumber(m_pNext, m_pEnd, month));
        if (at != nullptr) {
            at = PastSlash(ReadNumber(at, m_pEnd, day));
        }
        if (at != nullptr) {
            at = ReadNumber(at, m_pEnd, year);
        }
        StepPast(at == nullptr ? m_pDateEnd : FindSeparator(at, m_pEnd));
    }

    // Where the date's next piece starts, given where a number of it stopped: past the "/" that
    // ends the piece, or nullptr when the date has no more pieces. What a number is read from
    // holds neither "/" nor "{", so the piece, and the field, end at the stop or after it.
    const char* PastSlash(const char* stop) {
        if (stop < m_pEnd && *stop == '/') {
            return stop + 1;
        }
        m_pDateEnd = FindSeparator(stop, m_pEnd);
        const void* slash = std::memchr(stop, '/', static_cast<std::size_t>(m_pDateEnd - stop));
        return slash == nullptr ? nullptr : static_cast<const char*>(slash) + 1;
    }

    void StepPast(const char* separator) {
        m_pNext = separator == m_pEnd ? m_pEnd : separator + kSeparator;
    }

    const char* m_pStart;
    const char* m_pNext;
    const char* m_pEnd;
    const char* m_pDateEnd = nullptr;  // where the date field ends, once a piece looked for it
    std::uint64_t m_notDigits = ~std::uint64_t{0};  // nothing noted: every byte read one by one
};

int ClampRecurrence(int recurrence) {
    return recurrence < 0 || recurrence > kWeeklyLast ? ToInt(Recurrence::None) : recurrence;
}

template <typename Text>
void Parse(std::string_view line, BasicTaskRecord<Text>& task) {
    CFieldCutter fields(LineBody(line));
    fields.Date(task.dueMonth, task.dueDay, task.dueYear);
    task.advanceDays = fields.Number();
    task.status = fields.Number();
    task.recurrence = ClampRecurrence(fields.Number());
    task.title = fields.Text();
    task.note = fields.Text();
    task.hour = fields.Number();
}

}  // namespace

int ParseInt(std::string_view text) {
    int value = 0;
    (void)ReadNumber(text.data(), text.data() + text.size(), value);
    return value;
}

void ParseTaskLine(std::string_view line, TaskRecord& task) {
    Parse(line, task);
}

void ParseTaskLine(std::string_view line, TaskView& task) {
    Parse(line, task);
}

TaskRecord ParseTaskLine(std::string_view line) {
    TaskRecord task;
    Parse(line, task);
    return task;
}

std::string_view TaskLineDateText(std::string_view line) {
    return CFieldCutter(LineBody(line)).Text();
}
