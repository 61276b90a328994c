#pragma once

#include <string>
#include <string_view>

#include "tasks/taskrecord.h"

// The task line: "#" date "{+}" advanceDays "{+}" status "{+}" recurrence "{+}" title "{+}"
// note "{+}" hour "\r\n", with the date written month/day/year. These functions work on the
// text of one line and never touch a file.

inline constexpr std::string_view kFieldSeparator = "{+}";

// Names shown in the list. Any status outside 0..4 has no name and gives "".
const char* StatusName(int status);
// "Monthly", "Yearly", "Weekly" for 1, 2 and 31..37; "None" for every other code.
const char* RecurrenceName(int recurrence);

// Reads a number the way atoi does (leading blanks, optional sign, digits up to the first
// other character, 0 without digits) but clamps values beyond the 32-bit range.
int ParseInt(std::string_view text);

// Makes a title or note safe to store: line breaks become blanks and "{+}" loses its "+".
// Ordinary text comes back unchanged.
std::string CleanFieldText(std::string_view text);

std::string FormatTaskLine(int dueYear, int dueMonth, int dueDay, int advanceDays, int status,
                           int recurrence, std::string_view title, std::string_view note, int hour);
std::string FormatTaskLine(const TaskRecord& task);
std::string FormatTaskLineWithDateText(std::string_view dateText, int advanceDays, int status,
                                       int recurrence, std::string_view title,
                                       std::string_view note, int hour);

// Field readers over one line. Missing fields read as 0 or "".
std::string GetLineDateText(std::string_view line);
int GetLineAdvanceDays(std::string_view line);
int GetLineStatus(std::string_view line);
int GetLineRecurrence(std::string_view line);  // codes below 0 or above 37 read as 0
std::string GetLineTitle(std::string_view line);
std::string GetLineNote(std::string_view line);
int GetLineHour(std::string_view line);

// A task line's fields read in place: the title and note point into the line, so reading
// them costs no copy. Valid while the line's text is.
struct TaskLineFields {
    int dueMonth = 0;
    int dueDay = 0;
    int dueYear = 0;
    int advanceDays = 0;
    int status = 0;
    int recurrence = 0;
    std::string_view title;
    std::string_view note;
    int hour = 0;

    bool operator==(const TaskLineFields&) const = default;
};

// All seven fields of a line in one pass.
TaskRecord ParseTaskLine(std::string_view line);
// The same into an existing record, reusing the room its texts already have.
void ParseTaskLine(std::string_view line, TaskRecord& task);
// The same without copying any text.
void ParseTaskLine(std::string_view line, TaskLineFields& fields);
// The record that owns copies of the fields' texts.
TaskRecord ToTaskRecord(const TaskLineFields& fields);

int DateTextMonth(std::string_view dateText);
int DateTextDay(std::string_view dateText);
int DateTextYear(std::string_view dateText);

// Days of a month, February having 29 days in every year divisible by 4; 0 for a month
// outside 1..12.
int DaysInMonth(int month, int year);

// The list's task column: "%02d/%02d/%04d %s" of month, day, year and title.
std::string FormatListText(int month, int day, int year, std::string_view title);

constexpr bool IsTaskLine(std::string_view line) {
    return !line.empty() && line.front() == '#';
}
