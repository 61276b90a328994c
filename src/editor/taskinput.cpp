#include "editor/taskinput.h"

#include <charconv>

#include "editor/editorrules.h"
#include "res/strings.h"
#include "tasks/taskline.h"

namespace {

constexpr int kFirstHour = 1;
constexpr int kLastHour = 24;
constexpr int kMaxAdvanceDays = 30;

// A whole number made of digits only, nothing before or after them.
std::optional<int> ParseDigits(std::string_view text, std::size_t maxDigits) {
    if (text.empty() || text.size() > maxDigits) {
        return std::nullopt;
    }
    int value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || text.front() == '-' ||
        text.front() == '+') {
        return std::nullopt;
    }
    return value;
}

// Cuts text at each separator into exactly three parts.
bool SplitThree(std::string_view text, char separator, std::string_view (&parts)[3]) {
    for (int i = 0; i < 2; ++i) {
        const std::size_t at = text.find(separator);
        if (at == std::string_view::npos) {
            return false;
        }
        parts[i] = text.substr(0, at);
        text.remove_prefix(at + 1);
    }
    parts[2] = text;
    return text.find(separator) == std::string_view::npos;
}

std::string Range(std::string_view what, int first, int last) {
    return std::string(what) + " must be from " + std::to_string(first) + " to " +
           std::to_string(last) + ".";
}

struct InputDate {
    int year = 0;
    int month = 0;
    int day = 0;
};

// The date of a text in either form; nothing when it is neither.
std::optional<InputDate> ParseInputDate(std::string_view text) {
    std::string_view parts[3];
    std::optional<int> year;
    std::optional<int> month;
    std::optional<int> day;
    if (SplitThree(text, '-', parts)) {
        year = parts[0].size() == 4 ? ParseDigits(parts[0], 4) : std::nullopt;
        month = ParseDigits(parts[1], 2);
        day = ParseDigits(parts[2], 2);
    } else if (SplitThree(text, '/', parts)) {
        month = ParseDigits(parts[0], 2);
        day = ParseDigits(parts[1], 2);
        year = parts[2].size() == 4 ? ParseDigits(parts[2], 4) : std::nullopt;
    }
    if (!year || !month || !day) {
        return std::nullopt;
    }
    return InputDate{*year, *month, *day};
}

std::optional<int> RecurrenceOf(std::string_view repeat, const InputDate& date) {
    if (repeat == "none") {
        return ToInt(Recurrence::None);
    }
    if (repeat == "weekly") {
        return WeeklyCode(date.year, date.month, date.day);
    }
    if (repeat == "monthly") {
        return ToInt(Recurrence::Monthly);
    }
    if (repeat == "yearly") {
        return ToInt(Recurrence::Yearly);
    }
    return std::nullopt;
}

TaskFromInput Problem(std::string text) {
    return {std::nullopt, std::move(text)};
}

}  // namespace

TaskFromInput MakeTask(const TaskInput& input) {
    if (input.title.empty()) {
        return Problem(Str::TitleRequired);
    }
    if (CountCharacters(input.title) > kMaxTitleLength) {
        return Problem("The title has more than " + std::to_string(kMaxTitleLength) +
                       " characters.");
    }
    if (CountCharacters(input.note) > kMaxNoteLength) {
        return Problem("The note has more than " + std::to_string(kMaxNoteLength) + " characters.");
    }
    const std::optional<InputDate> date = ParseInputDate(input.date);
    if (!date) {
        return Problem("\"" + input.date + "\" is not a date: give it as YYYY-MM-DD or M/D/YYYY.");
    }
    if (date->year < kFirstEditorYear || date->year > kLastEditorYear) {
        return Problem(Range("The year", kFirstEditorYear, kLastEditorYear));
    }
    if (date->month < 1 || date->month > 12) {
        return Problem(Range("The month", 1, 12));
    }
    if (const int last = CheckDayOfMonth(date->day, date->month, date->year); last != 0) {
        return Problem("Day " + std::to_string(date->day) + " is not in " +
                       std::to_string(date->month) + "/" + std::to_string(date->year) +
                       ": that month has " + std::to_string(last) + " days.");
    }
    const std::optional<int> hour = ParseDigits(input.hour, 2);
    if (!hour || *hour < kFirstHour || *hour > kLastHour) {
        return Problem("The hour must be from 1 to 24 (24 is midnight at the end of the day).");
    }
    const std::optional<int> advance = ParseDigits(input.advanceDays, 2);
    if (!advance || *advance > kMaxAdvanceDays) {
        return Problem(Range("The days of advance notice", 0, kMaxAdvanceDays));
    }
    const std::optional<int> recurrence = RecurrenceOf(input.repeat, *date);
    if (!recurrence) {
        return Problem("\"" + input.repeat +
                       "\" is no repeat: give none, weekly, monthly or yearly.");
    }
    return {TaskRecord{
                .dueMonth = date->month,
                .dueDay = date->day,
                .dueYear = date->year,
                .advanceDays = *advance,
                .status = ToInt(TaskStatus::Future),
                .recurrence = *recurrence,
                .title = input.title,
                .note = input.note.empty() ? std::string(Str::NoNote) : input.note,
                .hour = *hour,
            },
            {}};
}
