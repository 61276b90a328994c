#include "tasks/taskline.h"

#include <array>
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

// Reads one to nine plain digits at p, as the program writes its numbers.
bool ReadDigits(const char*& p, const char* end, int& value) {
    const char* const first = p;
    value = 0;
    while (p < end && *p >= '0' && *p <= '9' && p - first < 9) {
        value = value * 10 + (*p - '0');
        ++p;
    }
    return p > first && (p == end || *p < '0' || *p > '9');
}

// Steps over the text expected at p; false when something else is there.
bool Expect(const char*& p, const char* end, std::string_view text) {
    if (static_cast<size_t>(end - p) < text.size()) {
        return false;
    }
    for (const char c : text) {
        if (*p++ != c) {
            return false;
        }
    }
    return true;
}

// Reads a line body laid out exactly as the program writes it, in one pass without
// searching for the numbers' ends. False for anything else (signs, blanks, huge numbers,
// missing or extra fields), which then takes the general way with the same result.
bool ParseWrittenBody(std::string_view body, TaskRecord& task) {
    const char* p = body.data();
    const char* const end = p + body.size();
    int month = 0;
    int day = 0;
    int year = 0;
    int advanceDays = 0;
    int status = 0;
    int recurrence = 0;
    int hour = 0;
    const bool numbers = ReadDigits(p, end, month) && Expect(p, end, "/") &&
                         ReadDigits(p, end, day) && Expect(p, end, "/") &&
                         ReadDigits(p, end, year) && Expect(p, end, kFieldSeparator) &&
                         ReadDigits(p, end, advanceDays) && Expect(p, end, kFieldSeparator) &&
                         ReadDigits(p, end, status) && Expect(p, end, kFieldSeparator) &&
                         ReadDigits(p, end, recurrence) && Expect(p, end, kFieldSeparator);
    if (!numbers) {
        return false;
    }
    const char* const title = p;
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
    if (!ReadDigits(p, end, hour) || p != end) {
        return false;
    }
    task.dueMonth = month;
    task.dueDay = day;
    task.dueYear = year;
    task.advanceDays = advanceDays;
    task.status = status;
    task.recurrence = ClampRecurrence(recurrence);
    task.title.assign(title, static_cast<size_t>(titleEnd - title));
    task.note.assign(note, static_cast<size_t>(noteEnd - note));
    task.hour = hour;
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

void ParseTaskLine(std::string_view line, TaskRecord& task) {
    const std::string_view body = LineBody(line);
    if (ParseWrittenBody(body, task)) {
        return;
    }
    const auto fields = SplitFields(body);
    const auto date = DateParts(fields[kDate]);
    task.dueMonth = ReadInt(date[0]);
    task.dueDay = ReadInt(date[1]);
    task.dueYear = ReadInt(date[2]);
    task.advanceDays = ReadInt(fields[kAdvance]);
    task.status = ReadInt(fields[kStatus]);
    task.recurrence = ClampRecurrence(ReadInt(fields[kRecurrence]));
    task.title.assign(fields[kTitle]);
    task.note.assign(fields[kNote]);
    task.hour = ReadInt(fields[kHour]);
}

TaskRecord ParseTaskLine(std::string_view line) {
    TaskRecord task;
    ParseTaskLine(line, task);
    return task;
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
