#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "reminder/classify.h"
#include "reminder/poll.h"
#include "tasks/filetext.h"
#include "tasks/taskcommands.h"
#include "tasks/taskline.h"

// The list a poll made: a row per task, in the order of the file when the poll began, over the
// file's text as the poll read it. A row holds only where its line starts and the status it
// shows; its texts are made when asked for, so a table costs the file's size and eight bytes
// a task. The next poll fills the same table again, reusing all of that room; its generation
// counts the fills that changed what the rows show.
class CTaskTable {
public:
    std::size_t size() const { return m_rows.size(); }
    bool empty() const { return m_rows.empty(); }

    int ShownStatus(std::size_t row) const { return static_cast<int>(m_rows[row] & kStatusMask); }
    // The task's line as read, line end included.
    std::string_view Line(std::size_t row) const;
    // The task's fields as read; the texts point into the table.
    void Fields(std::size_t row, TaskView& fields) const;
    // What the list shows of the row: the task column's text, "%02d/%02d/%04d %s" of the
    // stored date and the title (an over-long title in part); the name and the image number of
    // the status the poll shows; the name of the recurrence.
    std::string ListText(std::size_t row) const;
    const char* StatusText(std::size_t row) const;
    int Image(std::size_t row) const;
    const char* RecurrenceText(std::size_t row) const;
    // The task the row stands for, as the file holds it once the poll is done with it (for a
    // reminded task, as its answer wrote it back), with its number then.
    TaskRef Task(std::size_t row) const;

    // Changes each time a fill changes the rows or what they show.
    std::uint64_t Generation() const { return m_nGeneration; }

    // Filling, for the poll. Read takes the rest of the open file as the table's text and
    // makes a row per task, classified against the hour; the rows whose task raises a reminder
    // are added to reminders. A file read again unchanged, in the same hour, after a fill that
    // found no reminder, keeps its rows as they were without being taken apart again. False on
    // a read error, with no rows then.
    bool Read(std::FILE* file, std::uint64_t expectedSize, const PollHour& hour,
              std::vector<std::size_t>& reminders);
    void Clear();
    // What the reminder of a row left: the task as it now stands, and whether the answer was
    // written back (which moves the task to the end of the file). Rows in file order.
    void SetReminded(std::size_t row, TaskRef task, bool bWrittenBack);

private:
    static constexpr std::uint64_t kStatusBits = 3;
    static constexpr std::uint64_t kStatusMask = (std::uint64_t{1} << kStatusBits) - 1;

    struct Reminded {
        std::size_t row = 0;
        TaskRef task;
        int nWrittenBackSoFar = 0;  // written back in this poll, this row included

        bool operator==(const Reminded&) const = default;
    };

    std::size_t LineStart(std::size_t row) const {
        return static_cast<std::size_t>(m_rows[row] >> kStatusBits);
    }
    // The row's task number when the poll was done, for a row that was not reminded.
    int NumberOf(std::size_t row) const;

    // Makes the rows again from the whole text; true when any row differs from before.
    bool MakeRows(const PollHour& hour, std::vector<std::size_t>& reminders);

    CFileText m_text;
    // Line start and shown status of each row, packed.
    std::vector<std::uint64_t> m_rows;
    std::vector<Reminded> m_reminded;
    // What the rows were made for: the hour, and whether a task raised a reminder.
    PollHour m_hour;
    bool m_bRemindersDue = true;
    std::uint64_t m_nGeneration = 0;
};
