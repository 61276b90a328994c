#include "referencetask.h"

#include <array>
#include <climits>
#include <cstdlib>

namespace {

constexpr std::string_view kSeparator = "{+}";
constexpr int kFields = 7;

// The first `most` pieces of text cut at every `cut`; a piece past the last cut runs to the end.
std::vector<std::string_view> Pieces(std::string_view text, std::string_view cut,
                                     std::size_t most) {
    std::vector<std::string_view> pieces;
    std::size_t start = 0;
    while (pieces.size() < most) {
        const std::size_t at = text.find(cut, start);
        if (at == std::string_view::npos) {
            pieces.push_back(text.substr(start));
            break;
        }
        pieces.push_back(text.substr(start, at - start));
        start = at + cut.size();
    }
    pieces.resize(most);
    return pieces;
}

long long FloorDiv(long long a, long long b) {
    return a / b - (a % b != 0 && (a < 0) != (b < 0) ? 1 : 0);
}

bool IsLeapYear(long long year) {
    return year % 4 == 0 && (year % 100 != 0 || year % 400 == 0);
}

}  // namespace

std::vector<std::string_view> ReferenceLines(std::string_view content) {
    std::vector<std::string_view> lines;
    while (!content.empty()) {
        const std::size_t feed = content.find('\n');
        const std::size_t length = feed == std::string_view::npos ? content.size() : feed + 1;
        lines.push_back(content.substr(0, length));
        content.remove_prefix(length);
    }
    return lines;
}

int ReferenceNumber(std::string_view text) {
    const std::string copy(text);
    const long long value = std::strtoll(copy.c_str(), nullptr, 10);
    if (value > INT_MAX) {
        return INT_MAX;
    }
    if (value < INT_MIN) {
        return INT_MIN;
    }
    return static_cast<int>(value);
}

ReferenceTask ReferenceParse(std::string_view line) {
    std::string_view body = line;
    if (body.ends_with('\n')) {
        body.remove_suffix(1);
    }
    if (body.ends_with('\r')) {
        body.remove_suffix(1);
    }
    if (!body.empty()) {
        body.remove_prefix(1);
    }
    const std::vector<std::string_view> fields = Pieces(body, kSeparator, kFields);
    const std::vector<std::string_view> date = Pieces(fields[0], "/", 3);
    ReferenceTask task;
    task.dateText = fields[0];
    TaskRecord& record = task.record;
    record.dueMonth = ReferenceNumber(date[0]);
    record.dueDay = ReferenceNumber(date[1]);
    record.dueYear = ReferenceNumber(date[2]);
    record.advanceDays = ReferenceNumber(fields[1]);
    record.status = ReferenceNumber(fields[2]);
    const int recurrence = ReferenceNumber(fields[3]);
    record.recurrence = recurrence >= 0 && recurrence <= kWeeklyLast ? recurrence : 0;
    record.title = fields[4];
    record.note = fields[5];
    record.hour = ReferenceNumber(fields[6]);
    return task;
}

std::string ReferenceClean(std::string_view text) {
    // Where the text holds "{+}", found before anything changes, so that the cleaning of one
    // place cannot make or hide another.
    std::vector<bool> plusOfSeparator(text.size(), false);
    for (std::size_t at = text.find(kSeparator); at != std::string_view::npos;
         at = text.find(kSeparator, at + 1)) {
        plusOfSeparator[at + 1] = true;
    }
    std::string clean;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (plusOfSeparator[i]) {
            continue;
        }
        clean += text[i] == '\r' || text[i] == '\n' ? ' ' : text[i];
    }
    return clean;
}

std::string ReferenceLine(std::string_view dateText, const TaskRecord& task) {
    const std::array<std::string, kFields> fields = {
        ReferenceClean(dateText),    std::to_string(task.advanceDays),
        std::to_string(task.status), std::to_string(task.recurrence),
        ReferenceClean(task.title),  ReferenceClean(task.note),
        std::to_string(task.hour),
    };
    std::string line = "#";
    for (std::size_t i = 0; i < fields.size(); ++i) {
        line += (i == 0 ? "" : "{+}") + fields[i];
    }
    return line + "\r\n";
}

std::string ReferenceLine(const TaskRecord& task) {
    return ReferenceLine(std::to_string(task.dueMonth) + "/" + std::to_string(task.dueDay) + "/" +
                             std::to_string(task.dueYear),
                         task);
}

long long ReferenceDueDay(const TaskRecord& task) {
    // Months counted from 0 in a wider type: the stored month may be any int.
    const long long monthsFrom0 = static_cast<long long>(task.dueMonth) - 1;
    const long long year = task.dueYear + FloorDiv(monthsFrom0, 12);
    const long long month = monthsFrom0 - FloorDiv(monthsFrom0, 12) * 12;  // 0..11
    constexpr std::array<int, 12> kDaysBefore = {0,   31,  59,  90,  120, 151,
                                                 181, 212, 243, 273, 304, 334};
    // Leap years before this year, counted from year 0 (itself a leap year).
    const long long leapYears =
        FloorDiv(year + 3, 4) - FloorDiv(year + 99, 100) + FloorDiv(year + 399, 400);
    const long long leapDay = month >= 2 && IsLeapYear(year) ? 1 : 0;
    return year * 365 + leapYears + kDaysBefore[static_cast<std::size_t>(month)] + leapDay +
           task.dueDay;
}

std::size_t ReferenceCharacters(std::string_view text) {
    std::size_t characters = 0;
    for (std::size_t i = 0; i < text.size(); ++characters) {
        const auto lead = static_cast<unsigned char>(text[i]);
        std::size_t length = 0;
        if (lead <= 0x7F) {
            length = 1;
        } else if (lead >= 0xC2 && lead <= 0xDF) {
            length = 2;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            length = 3;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            length = 4;
        } else {
            return text.size();
        }
        if (i + length > text.size()) {
            return text.size();
        }
        for (std::size_t k = 1; k < length; ++k) {
            if ((static_cast<unsigned char>(text[i + k]) >> 6) != 2) {
                return text.size();
            }
        }
        i += length;
    }
    return characters;
}

TaskRecord ReferenceCopy(const TaskView& view) {
    return TaskRecord{.dueMonth = view.dueMonth,
                      .dueDay = view.dueDay,
                      .dueYear = view.dueYear,
                      .advanceDays = view.advanceDays,
                      .status = view.status,
                      .recurrence = view.recurrence,
                      .title = std::string(view.title),
                      .note = std::string(view.note),
                      .hour = view.hour};
}
