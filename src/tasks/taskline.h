#pragma once

#include <cstddef>
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

// Characters, not bytes: a text in UTF-8 counts each of its characters once, the limits of the
// title and the note being in characters. Text that is not UTF-8 counts byte by byte.
std::size_t CountCharacters(std::string_view text);

// Makes a title or note safe to store: line breaks become blanks and "{+}" loses its "+".
// Ordinary text comes back unchanged.
std::string CleanFieldText(std::string_view text);

std::string FormatTaskLine(int dueYear, int dueMonth, int dueDay, int advanceDays, int status,
                           int recurrence, std::string_view title, std::string_view note, int hour);
std::string FormatTaskLine(const TaskRecord& task);
std::string FormatTaskLineWithDateText(std::string_view dateText, int advanceDays, int status,
                                       int recurrence, std::string_view title,
                                       std::string_view note, int hour);

// Taking a line apart: it is cut at every "{+}" (a lone "{", "+" or "}" is text); the first
// piece without its "#" is the date, month/day/year; numbers read as ParseInt reads them; the
// recurrence reads as 0 outside 0..37; the line end is part of no field; missing fields read as
// 0 or "" and fields past the seventh are ignored. The view's texts point into the line, valid
// while the line's text is; the record's reuse the room they already have.
void ParseTaskLine(std::string_view line, TaskRecord& task);
void ParseTaskLine(std::string_view line, TaskView& task);
TaskRecord ParseTaskLine(std::string_view line);

// The date text as the line stores it, without the "#": what a duplicate copies as it stands.
std::string_view TaskLineDateText(std::string_view line);

// Days of a month, February having 29 days in every year divisible by 4; 0 for a month
// outside 1..12.
int DaysInMonth(int month, int year);

// The list's task column: "%02d/%02d/%04d %s" of month, day, year and title.
std::string FormatListText(int month, int day, int year, std::string_view title);

constexpr bool IsTaskLine(std::string_view line) {
    return !line.empty() && line.front() == '#';
}
