#include "tasks/taskline.h"

#include <array>
#include <charconv>
#include <cstdio>

// Putting task lines together, and the names and calendar rule that go with them.

namespace {

constexpr std::array<const char*, 5> kStatusNames = {"Future", "Complete", "Missed", "To Delete",
                                                     "Today/Unread"};

// Appends value as "%0*d" would: zero-padded to width characters, the sign counted.
void AppendPadded(std::string& text, int value, int width) {
    std::array<char, 16> digits{};
    const auto [end, error] = std::to_chars(digits.data(), digits.data() + digits.size(), value);
    (void)error;  // an int always fits
    std::string_view number(digits.data(), static_cast<size_t>(end - digits.data()));
    if (number.front() == '-') {
        text += '-';
        number.remove_prefix(1);
        --width;
    }
    if (static_cast<int>(number.size()) < width) {
        text.append(static_cast<size_t>(width) - number.size(), '0');
    }
    text += number;
}

void AppendInt(std::string& out, int value) {
    AppendPadded(out, value, 0);
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

// The list's task column, "%02d/%02d/%04d %s", built without a format call: every poll
// formats one per task.
std::string FormatListText(int month, int day, int year, std::string_view title) {
    std::string text;
    text.reserve(12 + title.size());
    AppendPadded(text, month, 2);
    text += '/';
    AppendPadded(text, day, 2);
    text += '/';
    AppendPadded(text, year, 4);
    text += ' ';
    text += title;
    return text;
}

std::size_t CountCharacters(std::string_view text) {
    std::size_t count = 0;
    std::size_t i = 0;
    while (i < text.size()) {
        const auto lead = static_cast<unsigned char>(text[i]);
        const std::size_t length = lead < 0x80   ? 1
                                   : lead < 0xC2 ? 0
                                   : lead < 0xE0 ? 2
                                   : lead < 0xF0 ? 3
                                   : lead < 0xF5 ? 4
                                                 : 0;
        bool valid = length != 0 && i + length <= text.size();
        for (std::size_t k = 1; valid && k < length; ++k) {
            valid = (static_cast<unsigned char>(text[i + k]) & 0xC0) == 0x80;
        }
        if (!valid) {
            return text.size();
        }
        i += length;
        ++count;
    }
    return count;
}
