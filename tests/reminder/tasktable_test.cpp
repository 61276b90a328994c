#include "reminder/tasktable.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "calendar/timezone.h"
#include "pollfixture.h"
#include "reminder/classify.h"
#include "tasks/taskfilefixture.h"
#include "tasks/taskline.h"

namespace {

using Lines = std::vector<std::string>;

class TaskTableTest : public TaskFileTest {
protected:
    TaskTableTest() : m_zone("UTC") {}

    // Reads the task file into the table; expectedSize as the poll would pass it.
    bool Read(CTaskTable& table, std::uint64_t expectedSize = 0) {
        const FilePtr file = File().OpenToRead();
        EXPECT_TRUE(file);
        m_reminders.clear();
        return table.Read(file.get(), expectedSize, m_hour, m_reminders);
    }

    ScopedTimeZone m_zone;
    PollHour m_hour = CurrentHour(CTime::FromLocal(2024, 6, 14, 10, 25));
    std::vector<std::size_t> m_reminders;
};

const std::string kLater = "#7/1/2024{+}0{+}0{+}0{+}Later{+}(none){+}9\r\n";
const std::string kMissed = "#6/1/2024{+}0{+}0{+}1{+}Rent{+}pay it{+}9\r\n";

// A row per task line and none for any other line, each showing what the list shows: the
// stored date and the title (an over-long one in part), the status the poll shows, with its
// image, and the recurrence.
TEST_F(TaskTableTest, EachTaskLineIsARowAsTheListShowsIt) {
    const std::string longTitle(600, 'x');
    WriteTasks("a note that is no task\r\n" + kLater + "\r\n" +
               "#6/1/2024{+}0{+}1{+}1{+}Rent{+}pay it{+}9\r\n" +
               "#6/13/2024{+}0{+}0{+}2{+}Gas{+}{+}8\r\n" + " #6/1/2024{+}0{+}3{+}0{+}No{+}{+}9\n" +
               "#6/1/2024{+}0{+}3{+}36{+}Old{+}{+}9\r\n" +
               "#6/14/2024{+}0{+}0{+}5{+}Now{+}{+}10\r\n" + "#7/2/2024{+}0{+}0{+}0{+}" + longTitle +
               "{+}{+}9");
    CTaskTable table;
    ASSERT_TRUE(Read(table));

    const std::vector<ShownRow> expected = {
        {"07/01/2024 Later", "Future", 0, "None", {ParseTaskLine(kLater), 1}},
        {"06/01/2024 Rent", "Complete", 1, "Monthly", {}},
        {"06/13/2024 Gas", "Missed", 2, "Yearly", {}},
        {"06/01/2024 Old", "To Delete", 3, "Weekly", {}},
        {"06/14/2024 Now", "Today/Unread", 0, "None", {}},
        {"07/02/2024 " + std::string(500, 'x') + "...", "Future", 0, "None", {}},
    };
    ASSERT_EQ(table.size(), expected.size());
    for (std::size_t row = 0; row < expected.size(); ++row) {
        const ShownRow shown = ShownRow::Of(table, row);
        EXPECT_EQ(shown.text, expected[row].text) << row;
        EXPECT_EQ(shown.statusText, expected[row].statusText) << row;
        EXPECT_EQ(shown.image, expected[row].image) << row;
        EXPECT_EQ(shown.recurrenceText, expected[row].recurrenceText) << row;
        EXPECT_EQ(shown.task.nRecord, static_cast<int>(row) + 1) << row;
    }
    EXPECT_EQ(ShownRow::Of(table, 0).task, expected[0].task);
    // The file keeps the long title whole, and so does the row's task.
    EXPECT_EQ(table.Task(5).record.title, longTitle);
    EXPECT_EQ(m_reminders, (std::vector<std::size_t>{2, 4}));
}

// The table is filled again by every poll that reads the file; its generation moves when the
// rows or what they show have changed, and only then.
TEST_F(TaskTableTest, FillingAgainChangesTheGenerationOnlyWhenTheRowsChange) {
    WriteTasks(kLater + kMissed);
    CTaskTable table;
    const auto readAgain = [&] {
        const std::uint64_t before = table.Generation();
        EXPECT_TRUE(Read(table));
        return table.Generation() != before;
    };
    EXPECT_TRUE(readAgain());
    EXPECT_EQ(m_reminders, (std::vector<std::size_t>{1}));
    // The reminder must come again, from the same rows.
    EXPECT_FALSE(readAgain());
    EXPECT_EQ(m_reminders, (std::vector<std::size_t>{1}));

    WriteTasks(kLater + "#6/1/2024{+}0{+}1{+}1{+}Rent{+}pay it{+}9\r\n");
    EXPECT_TRUE(readAgain());
    EXPECT_FALSE(readAgain());
    EXPECT_FALSE(readAgain());
    WriteTasks(kLater + "#6/1/2024{+}0{+}1{+}1{+}Rent{+}pay It{+}9\r\n");
    EXPECT_TRUE(readAgain());

    // Another hour: the same rows unless a status changes.
    m_hour = CurrentHour(CTime::FromLocal(2024, 6, 20, 10, 0));
    EXPECT_FALSE(readAgain());
    m_hour = CurrentHour(CTime::FromLocal(2024, 7, 1, 10, 0));  // Later is missed now
    EXPECT_TRUE(readAgain());
    EXPECT_EQ(table.ShownStatus(0), ToInt(TaskStatus::Missed));

    WriteTasks("");
    EXPECT_TRUE(readAgain());
    EXPECT_TRUE(table.empty());
    EXPECT_FALSE(readAgain());
}

// A table filled again and again, over a file that changes in every way and hours that
// move, always shows what a table filled once from the same file shows.
TEST_F(TaskTableTest, FilledAgainItShowsWhatAFreshTableShows) {
    std::mt19937 random(2024);
    const auto task = [&] {
        const int day = static_cast<int>(random() % 30) + 1;
        return FormatTaskLine(2024, 6, day, static_cast<int>(random() % 3),
                              static_cast<int>(random() % 5), static_cast<int>(random() % 3),
                              "Task " + std::to_string(random() % 1000), "", 12);
    };
    // Long enough to reach past the blocks a read compares at a time; halved now and then.
    std::vector<std::string> lines;
    CTaskTable kept;
    for (int step = 0; step < 200; ++step) {
        SCOPED_TRACE(step);
        while (lines.size() < 3000) {
            lines.push_back(task());
        }
        const std::size_t at = random() % lines.size();
        switch (random() % 7) {
            case 0:
                lines[at] = task();
                break;
            case 1:
                lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(at), task());
                break;
            case 2:
                lines.erase(lines.begin() + static_cast<std::ptrdiff_t>(at));
                break;
            case 3:
                // Lines the program does not write: a note, other spellings, LF only, a line
                // beyond a block, and a last line without its line end.
                lines[at] = std::array<std::string, 4>{
                    "a note, no task\r\n", "#06/14/2024{+}0{+}3{+}34{+}Odd { t {+}{+} 7\n",
                    "#7/1/2024{+}0{+}0{+}0{+}" + std::string(70000, 'x') + "{+}{+}9\r\n",
                    "#12345678/123456789/1234567890{+}1{+}0{+}0{+}Huge{+}{+}6\r\n"}[random() % 4];
                break;
            case 4:
                m_hour = CurrentHour(CTime::FromLocal(2024, 6, 1 + std::int64_t(random() % 30),
                                                      std::int64_t(random() % 24)));
                break;
            case 5:
                lines.resize(lines.size() / 2);
                break;
            default:
                break;  // read again unchanged
        }
        std::string content;
        for (const std::string& line : lines) {
            content += line;
        }
        if (step % 5 == 0) {
            content += "#7/2/2024{+}2{+}0{+}2{+}Last{+}no line end{+}24\r";
        }
        WriteTasks(content);

        ASSERT_TRUE(Read(kept, content.size()));
        const std::vector<std::size_t> keptReminders = m_reminders;
        CTaskTable fresh;
        ASSERT_TRUE(Read(fresh, content.size()));
        EXPECT_EQ(keptReminders, m_reminders);
        ASSERT_EQ(kept.size(), fresh.size());
        for (std::size_t row = 0; row < fresh.size(); ++row) {
            ASSERT_EQ(ShownRow::Of(kept, row), ShownRow::Of(fresh, row)) << row;
            ASSERT_EQ(kept.Line(row), fresh.Line(row)) << row;
        }
    }
}

// Rows name their tasks in the file as it stands after the poll's answers: each task written
// back moves to the end, and the tasks after it move up.
TEST_F(TaskTableTest, RowsNameTheirTasksAfterTheAnswers) {
    const std::string overdue1 = "#6/1/2024{+}0{+}0{+}0{+}One{+}(none){+}9";
    const std::string overdue2 = "#6/2/2024{+}0{+}0{+}0{+}Two{+}(none){+}9";
    const std::string overdue3 = "#6/3/2024{+}0{+}0{+}0{+}Three{+}(none){+}9";
    m_scope.WriteTasks({overdue1, kLater.substr(0, kLater.size() - 2), overdue2, overdue3});
    ScriptedHost host;
    host.m_now = CTime::FromLocal(2024, 6, 14, 10, 25);
    host.m_answers = {ReminderAnswer::Okay, ReminderAnswer::None, ReminderAnswer::Okay};

    ASSERT_EQ(PollOnce(File(), host), kPollDone);

    const Lines file = m_scope.Lines();
    ASSERT_EQ(file.size(), 4U);
    ASSERT_EQ(host.m_rows.size(), 4U);
    // One and Three were answered, Two was not: the file, and the list, are Later, Two, One,
    // Three.
    for (std::size_t row = 0; row < host.m_rows.size(); ++row) {
        const TaskRef& task = host.m_rows[row].task;
        EXPECT_EQ(task.nRecord, static_cast<int>(row) + 1) << row;
        EXPECT_EQ(FindTask(File(), task), task.nRecord) << row;
        EXPECT_EQ(ParseTaskLine(file[row]), task.record);
    }
}

}  // namespace
