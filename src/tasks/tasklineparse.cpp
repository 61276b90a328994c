#include "tasks/taskline.h"

#include <array>
#include <bit>
#include <cstdint>
#include <cstring>
#include <limits>

// Taking task lines apart. Lines as the program writes them take a single pass; anything
// else is cut at every separator and read field by field, with the same result.

namespace {

constexpr int kFieldCount = 7;

// Field numbers, counted from 0 in the order the line stores them.
enum Field : int { kDate, kAdvance, kStatus, kRecurrence, kTitle, kNote, kHour };

// The line without its line end, so that no field carries a CR or LF.
std::string_view StripLineEnd(std::string_view line) {
    if (!line.empty() && line.back() == '\n') {
        line.remove_suffix(1);
    }
    if (!line.empty() && line.back() == '\r') {
        line.remove_suffix(1);
    }
    return line;
}

// The text after the "#" and before the line end.
std::string_view LineBody(std::string_view line) {
    line = StripLineEnd(line);
    if (!line.empty()) {
        line.remove_prefix(1);
    }
    return line;
}

// The next "{+}" from at, or nullptr. Each "{" found is checked for the rest of the
// separator; ordinary text rarely holds one.
const char* FindSeparator(const char* at, const char* end) {
    while (end - at >= 3) {
        const auto* brace = static_cast<const char*>(std::memchr(at, '{', end - at - 2));
        if (brace == nullptr) {
            return nullptr;
        }
        if (brace[1] == '+' && brace[2] == '}') {
            return brace;
        }
        at = brace + 1;
    }
    return nullptr;
}

// Cuts a line body at every "{+}"; fields beyond its end stay empty.
std::array<std::string_view, kFieldCount> SplitFields(std::string_view body) {
    std::array<std::string_view, kFieldCount> fields{};
    const char* const end = body.data() + body.size();
    const char* start = body.data();
    for (int field = 0; field < kFieldCount; ++field) {
        const char* separator = FindSeparator(start, end);
        if (separator == nullptr) {
            fields[field] = std::string_view(start, static_cast<size_t>(end - start));
            break;
        }
        fields[field] = std::string_view(start, static_cast<size_t>(separator - start));
        start = separator + kFieldSeparator.size();
    }
    return fields;
}

int ReadIntSlowly(std::string_view text) {
    size_t i = 0;
    // The blanks atoi skips in the C locale.
    while (i < text.size() && (text[i] == ' ' || (text[i] >= '\t' && text[i] <= '\r'))) {
        ++i;
    }
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    // Accumulate in 64 bits and stop growing once past the 32-bit range, so any number of
    // digits is safe.
    constexpr std::int64_t kLimit = std::int64_t{std::numeric_limits<int>::max()} + 1;
    std::int64_t value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        if (value <= kLimit) {
            value = value * 10 + (text[i] - '0');
        }
    }
    if (negative) {
        value = -value;
    }
    if (value > std::numeric_limits<int>::max()) {
        return std::numeric_limits<int>::max();
    }
    if (value < std::numeric_limits<int>::min()) {
        return std::numeric_limits<int>::min();
    }
    return static_cast<int>(value);
}

// Numbers as the program writes them (a few plain digits) take the short way.
inline int ReadInt(std::string_view text) {
    if (text.empty() || text.size() > 9) {
        return ReadIntSlowly(text);
    }
    int value = 0;
    for (const char c : text) {
        if (c < '0' || c > '9') {
            return ReadIntSlowly(text);
        }
        value = value * 10 + (c - '0');
    }
    return value;
}

int ClampRecurrence(int recurrence) {
    return recurrence < 0 || recurrence > kWeeklyLast ? ToInt(Recurrence::None) : recurrence;
}

// Reads one to nine plain digits at p, as the program writes its numbers, and steps past
// them. False when there are none or more than nine.
bool ReadDigits(const char*& p, const char* end, int& value) {
    const char* at = p;
    const char* const last = end - at > 9 ? at + 9 : end;
    int read = 0;
    for (; at < last; ++at) {
        const unsigned digit = static_cast<unsigned char>(*at) - unsigned{'0'};
        if (digit > 9) {
            break;
        }
        read = read * 10 + static_cast<int>(digit);
    }
    if (at == p || (at < end && static_cast<unsigned char>(*at) - unsigned{'0'} <= 9)) {
        return false;
    }
    value = read;
    p = at;
    return true;
}

// The six numbers at the start of a line body as the program writes them, read eight bytes at
// a time: the numbers' ends are found for the first 32 bytes at once, so that no loop stops
// at a different place for each number, and the numbers are then read side by side. Returns
// where the title starts, or nullptr for a body that takes the byte-by-byte way (the numbers
// reach beyond 32 bytes, a number has more than eight digits, the body is short, or the
// machine stores words the other way round).
const char* ReadWrittenNumbers(const char* p, const char* end, TaskLineFields& fields) {
    constexpr std::ptrdiff_t kWindow = 32;  // bytes whose digits are found at once
    constexpr std::ptrdiff_t kWord = 8;
    if constexpr (std::endian::native != std::endian::little) {
        return nullptr;
    }
    // A number is read as the eight bytes from its start: the window and one word beyond it.
    if (end - p < kWindow + kWord) {
        return nullptr;
    }
    const auto word = [p](std::ptrdiff_t at) {
        std::uint64_t bytes = 0;
        std::memcpy(&bytes, p + at, sizeof bytes);
        return bytes ^ 0x3030303030303030;  // each byte's distance from "0"
    };
    // Bit i is set where byte i of the window is no digit; the bits above the window are set,
    // so that no number runs out of it unnoticed.
    std::uint64_t notDigits = ~std::uint64_t{0} << kWindow;
    for (std::ptrdiff_t at = 0; at < kWindow; at += kWord) {
        const std::uint64_t values = word(at);
        const std::uint64_t high =
            (((values & 0x7F7F7F7F7F7F7F7F) + 0x7676767676767676) | values) & 0x8080808080808080;
        notDigits |= (((high >> 7) * 0x0102040810204080) >> 56) << at;
    }
    const std::array<int*, 6> numbers = {&fields.dueMonth,    &fields.dueDay, &fields.dueYear,
                                         &fields.advanceDays, &fields.status, &fields.recurrence};
    std::ptrdiff_t at = 0;
    for (std::size_t k = 0; k < numbers.size(); ++k) {
        const auto digits = static_cast<std::ptrdiff_t>(std::countr_zero(notDigits >> at));
        const std::ptrdiff_t separator = k < 2 ? 1 : 3;
        if (digits == 0 || digits > kWord || at + digits + separator > kWindow) {
            return nullptr;
        }
        // The digits moved to the top bytes read as eight digits with leading zeros; pairs,
        // then fours, then all eight are put together.
        std::uint64_t number = word(at) << (kWord * (kWord - digits));
        number = (number * 10) + (number >> 8);
        number = (((number & 0x000000FF000000FF) * (100 + (1000000ULL << 32))) +
                  (((number >> 16) & 0x000000FF000000FF) * (1 + (10000ULL << 32)))) >>
                 32;
        *numbers[k] = static_cast<int>(number);
        at += digits;
        const bool bFollowed =
            k < 2 ? p[at] == '/' : p[at] == '{' && p[at + 1] == '+' && p[at + 2] == '}';
        if (!bFollowed) {
            return nullptr;
        }
        at += separator;
    }
    return p + at;
}

// Steps over a "{+}" at p; false when something else is there.
bool StepOverSeparator(const char*& p, const char* end) {
    if (end - p < 3 || p[0] != '{' || p[1] != '+' || p[2] != '}') {
        return false;
    }
    p += 3;
    return true;
}

// Reads a line body laid out exactly as the program writes it, in one pass. False for
// anything else (signs, blanks, huge numbers, missing or extra fields), which then takes the
// general way with the same result; the fields are then left half read.
bool ParseWrittenBody(std::string_view body, TaskLineFields& fields) {
    const char* p = body.data();
    const char* const end = p + body.size();
    // The six numbers and what follows each: month/day/year, then separators. They are read
    // straight into the fields: a copy of the whole record afterwards would stall on reading
    // back what was only just written.
    const std::array<int*, 6> numbers = {&fields.dueMonth,    &fields.dueDay, &fields.dueYear,
                                         &fields.advanceDays, &fields.status, &fields.recurrence};
    const char* const afterNumbers = ReadWrittenNumbers(p, end, fields);
    for (std::size_t k = 0; afterNumbers == nullptr && k < numbers.size(); ++k) {
        if (!ReadDigits(p, end, *numbers[k])) {
            return false;
        }
        if (k < 2) {
            if (p == end || *p != '/') {
                return false;
            }
            ++p;
        } else if (!StepOverSeparator(p, end)) {
            return false;
        }
    }
    const char* const title = afterNumbers != nullptr ? afterNumbers : p;
    const char* const titleEnd = FindSeparator(title, end);
    if (titleEnd == nullptr) {
        return false;
    }
    const char* const note = titleEnd + kFieldSeparator.size();
    const char* const noteEnd = FindSeparator(note, end);
    if (noteEnd == nullptr) {
        return false;
    }
    p = noteEnd + kFieldSeparator.size();
    if (!ReadDigits(p, end, fields.hour) || p != end) {
        return false;
    }
    fields.recurrence = ClampRecurrence(fields.recurrence);
    fields.title = std::string_view(title, static_cast<size_t>(titleEnd - title));
    fields.note = std::string_view(note, static_cast<size_t>(noteEnd - note));
    return true;
}

// The month, day and year pieces of a date text, empty when missing.
std::array<std::string_view, 3> DateParts(std::string_view dateText) {
    std::array<std::string_view, 3> parts{};
    size_t start = 0;
    size_t part = 0;
    for (size_t i = 0; i < dateText.size(); ++i) {
        if (dateText[i] == '/') {
            parts[part] = dateText.substr(start, i - start);
            if (++part == parts.size()) {
                return parts;
            }
            start = i + 1;
        }
    }
    parts[part] = dateText.substr(start);
    return parts;
}

std::string_view TaskLineField(std::string_view line, int index) {
    if (index < 0 || index >= kFieldCount) {
        return {};
    }
    return SplitFields(LineBody(line))[index];
}

}  // namespace

int ParseInt(std::string_view text) {
    return ReadInt(text);
}

std::string GetLineDateText(std::string_view line) {
    return std::string(TaskLineField(line, kDate));
}

int GetLineAdvanceDays(std::string_view line) {
    return ReadInt(TaskLineField(line, kAdvance));
}

int GetLineStatus(std::string_view line) {
    return ReadInt(TaskLineField(line, kStatus));
}

int GetLineRecurrence(std::string_view line) {
    return ClampRecurrence(ReadInt(TaskLineField(line, kRecurrence)));
}

std::string GetLineTitle(std::string_view line) {
    return std::string(TaskLineField(line, kTitle));
}

std::string GetLineNote(std::string_view line) {
    return std::string(TaskLineField(line, kNote));
}

int GetLineHour(std::string_view line) {
    return ReadInt(TaskLineField(line, kHour));
}

void ParseTaskLine(std::string_view line, TaskLineFields& fields) {
    const std::string_view body = LineBody(line);
    if (ParseWrittenBody(body, fields)) {
        return;
    }
    const auto split = SplitFields(body);
    const auto date = DateParts(split[kDate]);
    fields.dueMonth = ReadInt(date[0]);
    fields.dueDay = ReadInt(date[1]);
    fields.dueYear = ReadInt(date[2]);
    fields.advanceDays = ReadInt(split[kAdvance]);
    fields.status = ReadInt(split[kStatus]);
    fields.recurrence = ClampRecurrence(ReadInt(split[kRecurrence]));
    fields.title = split[kTitle];
    fields.note = split[kNote];
    fields.hour = ReadInt(split[kHour]);
}

void ParseTaskLine(std::string_view line, TaskRecord& task) {
    TaskLineFields fields;
    ParseTaskLine(line, fields);
    task.dueMonth = fields.dueMonth;
    task.dueDay = fields.dueDay;
    task.dueYear = fields.dueYear;
    task.advanceDays = fields.advanceDays;
    task.status = fields.status;
    task.recurrence = fields.recurrence;
    task.title.assign(fields.title);
    task.note.assign(fields.note);
    task.hour = fields.hour;
}

TaskRecord ParseTaskLine(std::string_view line) {
    TaskRecord task;
    ParseTaskLine(line, task);
    return task;
}

TaskRecord ToTaskRecord(const TaskLineFields& fields) {
    return TaskRecord{
        .dueMonth = fields.dueMonth,
        .dueDay = fields.dueDay,
        .dueYear = fields.dueYear,
        .advanceDays = fields.advanceDays,
        .status = fields.status,
        .recurrence = fields.recurrence,
        .title = std::string(fields.title),
        .note = std::string(fields.note),
        .hour = fields.hour,
    };
}

int DateTextMonth(std::string_view dateText) {
    return ReadInt(DateParts(dateText)[0]);
}

int DateTextDay(std::string_view dateText) {
    return ReadInt(DateParts(dateText)[1]);
}

int DateTextYear(std::string_view dateText) {
    return ReadInt(DateParts(dateText)[2]);
}
