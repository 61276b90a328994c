#include "reminder/tasktable.h"

#include <algorithm>
#include <utility>

#include "tasks/displaytext.h"

namespace {

// The shortest task line the program writes, with one-letter title and note. Room for the
// rows of a file is made before reading it, for at most that many tasks.
constexpr std::uint64_t kShortestWrittenLine = 38;
constexpr std::uint64_t kMostRowsMadeRoomFor = std::uint64_t{1} << 24;
constexpr std::size_t kLeastRowsGivenBack = std::size_t{1} << 17;

// Index of a shown status's image in the status strip: a red flag for Future and Today/Unread,
// green for Complete, white for Missed, a cross for To Delete.
int StatusImage(int shownStatus) {
    switch (static_cast<TaskStatus>(shownStatus)) {
        case TaskStatus::Complete:
            return 1;
        case TaskStatus::Missed:
            return 2;
        case TaskStatus::ToDelete:
            return 3;
        case TaskStatus::Future:
        case TaskStatus::TodayUnread:
            break;
    }
    return 0;
}

}  // namespace

std::string_view CTaskTable::Line(std::size_t row) const {
    return LineAt(m_text.View(), LineStart(row));
}

void CTaskTable::Fields(std::size_t row, TaskView& fields) const {
    ParseTaskLine(Line(row), fields);
}

std::string CTaskTable::ListText(std::size_t row) const {
    TaskView fields;
    Fields(row, fields);
    // An over-long title shows in part; the file keeps it whole.
    return FormatListText(fields.dueMonth, fields.dueDay, fields.dueYear,
                          DisplayText(fields.title));
}

int CTaskTable::NumberOf(std::size_t row) const {
    // Every task written back before this row has moved behind it.
    const auto after = std::upper_bound(
        m_reminded.begin(), m_reminded.end(), row,
        [](std::size_t value, const Reminded& reminded) { return value < reminded.row; });
    const int nMovedBehind = after == m_reminded.begin() ? 0 : std::prev(after)->nWrittenBackSoFar;
    return static_cast<int>(row) + 1 - nMovedBehind;
}

TaskRef CTaskTable::Task(std::size_t row) const {
    const auto reminded = std::lower_bound(
        m_reminded.begin(), m_reminded.end(), row,
        [](const Reminded& entry, std::size_t value) { return entry.row < value; });
    if (reminded != m_reminded.end() && reminded->row == row) {
        return reminded->task;
    }
    return TaskRef{.record = ParseTaskLine(Line(row)), .nRecord = NumberOf(row)};
}

const char* CTaskTable::StatusText(std::size_t row) const {
    return StatusName(ShownStatus(row));
}

int CTaskTable::Image(std::size_t row) const {
    return StatusImage(ShownStatus(row));
}

const char* CTaskTable::RecurrenceText(std::size_t row) const {
    TaskView task;
    Fields(row, task);
    return RecurrenceName(task.recurrence);
}

void CTaskTable::Clear() {
    if (!m_rows.empty()) {
        ++m_nGeneration;
    }
    m_text.Clear();
    m_rows.clear();
    m_reminded.clear();
    m_bRemindersDue = true;
}

bool CTaskTable::Read(std::FILE* file, std::uint64_t expectedSize, const PollHour& hour,
                      std::vector<std::size_t>& reminders) {
    m_reminded.clear();
    const CFileText::Outcome read = m_text.Read(file, expectedSize);
    if (read == CFileText::Outcome::Failed) {
        Clear();
        return false;
    }
    // The same text classified against the same hour shows the same rows; only reminders
    // must be found again, to be raised again.
    if (read == CFileText::Outcome::Same && hour == m_hour && !m_bRemindersDue) {
        return true;
    }
    if (MakeRows(hour, reminders) || read == CFileText::Outcome::Changed) {
        ++m_nGeneration;
    }
    m_hour = hour;
    m_bRemindersDue = !reminders.empty();
    return true;
}

bool CTaskTable::MakeRows(const PollHour& hour, std::vector<std::size_t>& reminders) {
    const std::string_view text = m_text.View();
    // Room for a few more rows than needed, so that a file growing by a few tasks between polls
    // does not need new room each time.
    const auto rows = static_cast<std::size_t>(
        std::min<std::uint64_t>(text.size() / kShortestWrittenLine + 1, kMostRowsMadeRoomFor));
    bool bDiffers = false;
    if (rows > m_rows.capacity()) {
        m_rows.reserve(rows + rows / 8);
    } else if (m_rows.capacity() > kLeastRowsGivenBack && m_rows.capacity() / 4 > rows) {
        // The file has become much smaller: the room it no longer needs is given back.
        std::vector<std::uint64_t> smaller;
        smaller.reserve(rows + rows / 8);
        m_rows.swap(smaller);
        bDiffers = true;
    }

    // The rows are made over the old ones, noting whether any of them differs.
    const std::size_t oldCount = m_rows.size();
    std::size_t count = 0;
    TaskView fields;
    for (std::size_t at = 0; at < text.size();) {
        const std::string_view line = LineAt(text, at);
        if (line.front() != '#') {
            at += line.size();
            continue;
        }
        ParseTaskLine(line, fields);
        const Classification shown = ClassifyTask(hour, fields);
        if (!shown.caption.empty()) {
            reminders.push_back(count);
        }
        const std::uint64_t packed = static_cast<std::uint64_t>(at) << kStatusBits |
                                     static_cast<std::uint64_t>(shown.shownStatus);
        if (count < oldCount) {
            bDiffers = bDiffers || m_rows[count] != packed;
            m_rows[count] = packed;
        } else {
            m_rows.push_back(packed);
        }
        ++count;
        at += line.size();
    }
    m_rows.resize(count);
    return bDiffers || count != oldCount;
}

void CTaskTable::SetReminded(std::size_t row, TaskRef task, bool bWrittenBack) {
    const int nSoFar = m_reminded.empty() ? 0 : m_reminded.back().nWrittenBackSoFar;
    m_reminded.push_back(Reminded{
        .row = row, .task = std::move(task), .nWrittenBackSoFar = nSoFar + (bWrittenBack ? 1 : 0)});
}
