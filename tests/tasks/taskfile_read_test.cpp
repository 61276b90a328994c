#include <string>
#include <vector>

#include "tasks/taskfile.h"
#include "tasks/taskfilefixture.h"
#include "tasks/taskline.h"

namespace {

const std::string kA = "#7/4/1999{+}2{+}0{+}0{+}A{+}(none){+}6\r\n";
const std::string kB = "#12/24/1999{+}0{+}4{+}36{+}B{+}Bring the list{+}12\r\n";
const std::string kC = "#07/04/1999{+}2{+}0{+}0{+}A+B{+}x{+}6";  // no line end

using TaskFileRead = TaskFileTest;

TEST_F(TaskFileRead, MissingFileReadsAsNothing) {
    EXPECT_EQ(CountTasks(), -1);
    EXPECT_FALSE(ReadTaskLine(1).has_value());
    std::vector<TaskRecord> tasks{TaskRecord{}};
    EXPECT_FALSE(ReadAllTasks(tasks));
    EXPECT_TRUE(tasks.empty());
    std::vector<TaskLine> lines;
    EXPECT_FALSE(ReadAllTaskLines(lines));
    EXPECT_EQ(GetTaskTitle(1), "");
    EXPECT_EQ(GetTaskHour(1), 0);
    EXPECT_EQ(ReadAllStatuses(-1), std::vector<int>{0});
}

TEST_F(TaskFileRead, OnlyHashLinesAreTasksAndNumbered) {
    WriteTasks("");
    EXPECT_EQ(CountTasks(), 0);
    WriteTasks("no task\r\n\r\n \r\n");
    EXPECT_EQ(CountTasks(), 0);
    WriteTasks("first line is a note\r\n" + kA + "between\r\n\r\n" + kB + kC);
    EXPECT_EQ(CountTasks(), 3);
    EXPECT_EQ(ReadTaskLine(1), kA);
    EXPECT_EQ(ReadTaskLine(2), kB);
    EXPECT_EQ(ReadTaskLine(3), kC);
    EXPECT_FALSE(ReadTaskLine(0).has_value());
    EXPECT_FALSE(ReadTaskLine(4).has_value());
    EXPECT_FALSE(ReadTaskLine(-1).has_value());
}

TEST_F(TaskFileRead, FieldReadersAndOnePassReadAgree) {
    WriteTasks(kA + "comment\r\n" + kB + "#1/1/2000{+}0{+}9{+}38{+}t{+}n{+}6\r\n" + kC);
    EXPECT_EQ(GetTaskDateText(2), "12/24/1999");
    EXPECT_EQ(GetTaskAdvanceDays(1), 2);
    EXPECT_EQ(GetTaskStatus(2), 4);
    EXPECT_EQ(GetTaskStatus(3), 9);
    EXPECT_EQ(GetTaskRecurrence(2), 36);
    EXPECT_EQ(GetTaskRecurrence(3), 0);
    EXPECT_EQ(GetTaskTitle(4), "A+B");
    EXPECT_EQ(GetTaskNote(2), "Bring the list");
    EXPECT_EQ(GetTaskHour(4), 6);
    EXPECT_EQ(DateTextMonth(GetTaskDateText(4)), 7);

    std::vector<TaskRecord> tasks;
    ASSERT_TRUE(ReadAllTasks(tasks));
    std::vector<TaskLine> lines;
    ASSERT_TRUE(ReadAllTaskLines(lines));
    ASSERT_EQ(tasks.size(), 4u);
    ASSERT_EQ(lines.size(), 4u);
    for (int n = 1; n <= 4; ++n) {
        const TaskRecord& t = tasks[n - 1];
        EXPECT_EQ(lines[n - 1].task, t);
        EXPECT_EQ(lines[n - 1].line, ReadTaskLine(n));
        EXPECT_EQ(t.dueMonth, DateTextMonth(GetTaskDateText(n)));
        EXPECT_EQ(t.dueDay, DateTextDay(GetTaskDateText(n)));
        EXPECT_EQ(t.dueYear, DateTextYear(GetTaskDateText(n)));
        EXPECT_EQ(t.advanceDays, GetTaskAdvanceDays(n));
        EXPECT_EQ(t.status, GetTaskStatus(n));
        EXPECT_EQ(t.recurrence, GetTaskRecurrence(n));
        EXPECT_EQ(t.title, GetTaskTitle(n));
        EXPECT_EQ(t.note, GetTaskNote(n));
        EXPECT_EQ(t.hour, GetTaskHour(n));
    }
    EXPECT_EQ(ReadAllStatuses(4), (std::vector<int>{0, 0, 4, 9, 0}));
    // Entries past the last task stay 0; a shorter count stops early.
    EXPECT_EQ(ReadAllStatuses(6), (std::vector<int>{0, 0, 4, 9, 0, 0, 0}));
    EXPECT_EQ(ReadAllStatuses(2), (std::vector<int>{0, 0, 4}));
}

TEST_F(TaskFileRead, OnePassReadReplacesWhatTheVectorHeld) {
    WriteTasks(kA + kB);
    std::vector<TaskRecord> tasks(5, ParseTaskLine(kC));
    ASSERT_TRUE(ReadAllTasks(tasks));
    EXPECT_EQ(tasks, (std::vector<TaskRecord>{ParseTaskLine(kA), ParseTaskLine(kB)}));
    std::vector<TaskLine> lines(1, TaskLine{.line = kC, .task = ParseTaskLine(kC)});
    ASSERT_TRUE(ReadAllTaskLines(lines));
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].line, kA);
    EXPECT_EQ(lines[1].task, ParseTaskLine(kB));
    std::filesystem::remove(g_szTaskFilePath);
    EXPECT_FALSE(ReadAllTasks(tasks));
    EXPECT_TRUE(tasks.empty());
}

TEST_F(TaskFileRead, OverlongLineIsOneTaskReadWhole) {
    // A "#" at the 420th character must not start a task of its own.
    std::string title(1200, 'x');
    title[418] = '#';
    title[419] = '#';
    const std::string longLine = FormatTaskLine(2000, 1, 2, 0, 0, 0, title, "note", 6);
    WriteTasks(kA + longLine + kB);
    EXPECT_EQ(CountTasks(), 3);
    EXPECT_EQ(ReadTaskLine(2), longLine);
    EXPECT_EQ(GetTaskTitle(2), title);
    EXPECT_EQ(GetTaskNote(2), "note");
    EXPECT_EQ(ReadTaskLine(3), kB);
}

TEST_F(TaskFileRead, LinesAcrossReadBlocksComeOutWhole) {
    // Lines of growing length, some longer than the reader's block, so that lines
    // straddle block ends and force the buffer to grow.
    std::vector<std::string> expected;
    std::string content;
    for (int i = 0; i < 300; ++i) {
        const size_t length = static_cast<size_t>(i) * static_cast<size_t>(i) * 7 % 150000;
        std::string line =
            FormatTaskLine(2000, 1, 1, 0, 0, 0, std::string(length, 't'), std::to_string(i), 6);
        content += (i % 3 == 0 ? "skip me\r\n" : "") + line;
        expected.push_back(line);
    }
    WriteTasks(content);
    std::vector<TaskLine> lines;
    ASSERT_TRUE(ReadAllTaskLines(lines));
    ASSERT_EQ(lines.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        ASSERT_EQ(lines[i].line, expected[i]) << i;
        ASSERT_EQ(lines[i].task.note, std::to_string(i)) << i;
    }
    EXPECT_EQ(CountTasks(), 300);
    EXPECT_EQ(ReadTaskLine(300), expected.back());
}

TEST_F(TaskFileRead, FileThatCannotBeReadIsReported) {
    // A folder opens but fails on the first read.
    std::filesystem::create_directory(g_szTaskFilePath);
    EXPECT_EQ(CountTasks(), -1);
    EXPECT_FALSE(ReadTaskLine(1).has_value());
    std::vector<TaskRecord> tasks;
    EXPECT_FALSE(ReadAllTasks(tasks));
}

}  // namespace
