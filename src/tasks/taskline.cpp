#include "tasks/taskline.h"

#include <array>
#include <charconv>
#include <cstdint>
#include <cstdio>
#include <limits>

namespace {

constexpr std::array<const char*, 5> kStatusNames = {"Future", "Complete", "Missed", "To Delete",
                                                     "Today/Unread"};

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

// Cuts the line at every "{+}"; fields beyond the line's end stay empty. The date field
// loses the leading "#".
std::array<std::string_view, kFieldCount> SplitFields(std::string_view line) {
    std::array<std::string_view, kFieldCount> fields{};
    line = StripLineEnd(line);
    if (!line.empty()) {
        line.remove_prefix(1);
    }
    for (int i = 0; i < kFieldCount; ++i) {
        const size_t end = line.find(kFieldSeparator);
        fields[i] = line.substr(0, end);
        if (end == std::string_view::npos) {
            break;
        }
        line.remove_prefix(end + kFieldSeparator.size());
    }
    return fields;
}

int ClampRecurrence(int recurrence) {
    return recurrence < 0 || recurrence > kWeeklyLast ? ToInt(Recurrence::None) : recurrence;
}

void AppendInt(std::string& out, int value) {
    std::array<char, 16> digits{};
    const auto result = std::to_chars(digits.data(), digits.data() + digits.size(), value);
    out.append(digits.data(), result.ptr);
}

// The single place where a task line is put together, so every line written is cleaned
// the same way and reads back with the fields it was given.
std::string BuildTaskLine(std::string_view dateText, int advanceDays, int status, int recurrence,
                          std::string_view title, std::string_view note, int hour) {
    std::string line;
    line.reserve(dateText.size() + title.size() + note.size() + 64);
    line += '#';
    line += CleanFieldText(dateText);
    line += kFieldSeparator;
    AppendInt(line, advanceDays);
    line += kFieldSeparator;
    AppendInt(line, status);
    line += kFieldSeparator;
    AppendInt(line, recurrence);
    line += kFieldSeparator;
    line += CleanFieldText(title);
    line += kFieldSeparator;
    line += CleanFieldText(note);
    line += kFieldSeparator;
    AppendInt(line, hour);
    line += "\r\n";
    return line;
}

// The n-th "/"-separated piece of a date text (from 0), empty when missing.
std::string_view DatePart(std::string_view dateText, int index) {
    for (int i = 0; i < index; ++i) {
        const size_t slash = dateText.find('/');
        if (slash == std::string_view::npos) {
            return {};
        }
        dateText.remove_prefix(slash + 1);
    }
    return dateText.substr(0, dateText.find('/'));
}

std::string_view TaskLineField(std::string_view line, int index) {
    if (index < 0 || index >= kFieldCount) {
        return {};
    }
    return SplitFields(line)[index];
}

}  // namespace

const char* StatusName(int status) {
    return status >= 0 && status < static_cast<int>(kStatusNames.size()) ? kStatusNames[status]
                                                                         : "";
}

const char* RecurrenceName(int recurrence) {
    if (recurrence == ToInt(Recurrence::Monthly)) {
        return "Monthly";
    }
    if (recurrence == ToInt(Recurrence::Yearly)) {
        return "Yearly";
    }
    return IsWeekly(recurrence) ? "Weekly" : "None";
}

int ParseInt(std::string_view text) {
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

std::string CleanFieldText(std::string_view text) {
    std::string clean;
    clean.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\r' || c == '\n') {
            clean += ' ';
        } else if (c == '+' && i > 0 && text[i - 1] == '{' && i + 1 < text.size() &&
                   text[i + 1] == '}') {
            // Dropping the "+" of "{+}" cannot form a new separator with its neighbours.
        } else {
            clean += c;
        }
    }
    return clean;
}

std::string FormatTaskLine(int dueYear, int dueMonth, int dueDay, int advanceDays, int status,
                           int recurrence, std::string_view title, std::string_view note,
                           int hour) {
    std::string dateText;
    AppendInt(dateText, dueMonth);
    dateText += '/';
    AppendInt(dateText, dueDay);
    dateText += '/';
    AppendInt(dateText, dueYear);
    return BuildTaskLine(dateText, advanceDays, status, recurrence, title, note, hour);
}

std::string FormatTaskLine(const TaskRecord& task) {
    return FormatTaskLine(task.dueYear, task.dueMonth, task.dueDay, task.advanceDays, task.status,
                          task.recurrence, task.title, task.note, task.hour);
}

std::string FormatTaskLineWithDateText(std::string_view dateText, int advanceDays, int status,
                                       int recurrence, std::string_view title,
                                       std::string_view note, int hour) {
    return BuildTaskLine(dateText, advanceDays, status, recurrence, title, note, hour);
}

std::string GetLineDateText(std::string_view line) {
    return std::string(TaskLineField(line, kDate));
}

int GetLineAdvanceDays(std::string_view line) {
    return ParseInt(TaskLineField(line, kAdvance));
}

int GetLineStatus(std::string_view line) {
    return ParseInt(TaskLineField(line, kStatus));
}

int GetLineRecurrence(std::string_view line) {
    return ClampRecurrence(ParseInt(TaskLineField(line, kRecurrence)));
}

std::string GetLineTitle(std::string_view line) {
    return std::string(TaskLineField(line, kTitle));
}

std::string GetLineNote(std::string_view line) {
    return std::string(TaskLineField(line, kNote));
}

int GetLineHour(std::string_view line) {
    return ParseInt(TaskLineField(line, kHour));
}

TaskRecord ParseTaskLine(std::string_view line) {
    const auto fields = SplitFields(line);
    return TaskRecord{
        .dueMonth = DateTextMonth(fields[kDate]),
        .dueDay = DateTextDay(fields[kDate]),
        .dueYear = DateTextYear(fields[kDate]),
        .advanceDays = ParseInt(fields[kAdvance]),
        .status = ParseInt(fields[kStatus]),
        .recurrence = ClampRecurrence(ParseInt(fields[kRecurrence])),
        .title = std::string(fields[kTitle]),
        .note = std::string(fields[kNote]),
        .hour = ParseInt(fields[kHour]),
    };
}

int DateTextMonth(std::string_view dateText) {
    return ParseInt(DatePart(dateText, 0));
}

int DateTextDay(std::string_view dateText) {
    return ParseInt(DatePart(dateText, 1));
}

int DateTextYear(std::string_view dateText) {
    return ParseInt(DatePart(dateText, 2));
}

int DaysInMonth(int month, int year) {
    constexpr std::array<int, 12> kDays = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month < 1 || month > 12) {
        return 0;
    }
    if (month == 2 && year % 4 == 0) {
        return 29;
    }
    return kDays[month - 1];
}

std::string FormatListText(int month, int day, int year, std::string_view title) {
    std::array<char, 48> date{};
    const int length = std::snprintf(date.data(), date.size(), "%02d/%02d/%04d ", month, day, year);
    std::string text(date.data(), static_cast<size_t>(length));
    text += title;
    return text;
}
