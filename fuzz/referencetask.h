#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "tasks/taskrecord.h"

// The task file format read and written the slow, obvious way, apart from the program's own
// code, so that the fuzz targets and the fault sweep have something independent to hold the
// program against. Nothing here calls into src/tasks.

// The lines of a file's content, each with its line feed; the last one may lack it.
std::vector<std::string_view> ReferenceLines(std::string_view content);

constexpr bool ReferenceIsTask(std::string_view line) {
    return !line.empty() && line[0] == '#';
}

// A number as atoi reads it (blanks, a sign, digits), held to the range of int.
int ReferenceNumber(std::string_view text);

// One line taken apart: cut at every "{+}", the first piece without its "#" is the date text,
// the line end is not part of any field, missing fields are 0 or "".
struct ReferenceTask {
    std::string dateText;
    TaskRecord record;
};
ReferenceTask ReferenceParse(std::string_view line);

// A record read in place, as a record that owns copies of its texts.
TaskRecord ReferenceCopy(const TaskView& view);

// Line breaks become blanks and each "{+}" of the text loses its "+".
std::string ReferenceClean(std::string_view text);

// The line the program writes for these fields, "\r\n" included.
std::string ReferenceLine(std::string_view dateText, const TaskRecord& task);
// The same with the date text made from the record's numbers.
std::string ReferenceLine(const TaskRecord& task);

// Days of the due date counted from a fixed day, with the month and the day carried over the
// way the calendar does (month 13 is January of the next year, April 31 is May 1).
long long ReferenceDueDay(const TaskRecord& task);

// Characters of a text that is UTF-8, else its bytes.
std::size_t ReferenceCharacters(std::string_view text);
