#include <functional>
#include <string>
#include <vector>

#include "tasks/taskfile.h"
#include "tasks/taskfilefixture.h"
#include "tasks/taskline.h"

namespace {

std::string Task(const std::string& title, int status = 0, int recurrence = 0) {
    return FormatTaskLine(2000, 1, 2, 0, status, recurrence, title, "(none)", 6);
}

const std::string kA = Task("A");
const std::string kB = Task("B");
const std::string kC = Task("C");
const std::string kComment = "a note that is no task\r\n";

using TaskFileChange = TaskFileTest;

TEST_F(TaskFileChange, MissingTaskFile) {
    EXPECT_EQ(DropTask(1), -5);
    EXPECT_EQ(CompactTaskFile(), -1);
    EXPECT_EQ(DeleteMarkedTasks(), -5);
    EXPECT_EQ(DeletePastTasks(), -5);
    EXPECT_FALSE(std::filesystem::exists(g_szTaskFilePath));
    EXPECT_EQ(AppendTaskLine(kA), 0);
    EXPECT_EQ(ReadTasks(), kA);
    std::filesystem::remove(g_szTaskFilePath);
    EXPECT_EQ(WriteBackTask(1, kB), 0);
    EXPECT_EQ(ReadTasks(), kB);
    EXPECT_FALSE(TempExists());
}

TEST_F(TaskFileChange, AppendEndsAnUnendedLastLine) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"", kA},
        {kB, kB + kA},
        {"#B", "#B\r\n" + kA},
        {"#B\r", "#B\r\n" + kA},
        {"#B\n", "#B\n" + kA},
    };
    for (const auto& [before, after] : cases) {
        WriteTasks(before);
        EXPECT_EQ(AppendTaskLine(kA), 0);
        EXPECT_EQ(ReadTasks(), after) << before;
        EXPECT_EQ(CountTasks(), before.empty() ? 1 : 2);
    }
    // A line handed over without its end still ends up a whole line.
    WriteTasks(kA);
    EXPECT_EQ(AppendTaskLine("#no end"), 0);
    EXPECT_EQ(AppendTaskLine(kB), 0);
    EXPECT_EQ(ReadTasks(), kA + "#no end\r\n" + kB);
}

TEST_F(TaskFileChange, DropTaskRemovesOnlyThatTask) {
    WriteTasks(kA + kComment + kB + kC);
    EXPECT_EQ(DropTask(0), -5);
    EXPECT_EQ(DropTask(4), -5);
    EXPECT_EQ(ReadTasks(), kA + kComment + kB + kC);
    EXPECT_EQ(DropTask(2), 0);
    EXPECT_EQ(ReadTasks(), kA + kComment + kC);
    EXPECT_EQ(DropTask(2), 0);
    EXPECT_EQ(ReadTasks(), kA + kComment);
    EXPECT_FALSE(TempExists());

    WriteTasks(kA + kA + kB);
    EXPECT_EQ(DropTask(1), 0);
    EXPECT_EQ(ReadTasks(), kA + kB);

    // Whatever is kept ends with a line end.
    WriteTasks(kA + "#last");
    EXPECT_EQ(DropTask(1), 0);
    EXPECT_EQ(ReadTasks(), "#last\r\n");
}

TEST_F(TaskFileChange, WriteBackMovesTheTaskToTheEnd) {
    const std::string a2 = Task("A2", 1);
    WriteTasks(kA + kComment + kB + kC);
    EXPECT_EQ(WriteBackTask(1, a2), 0);
    EXPECT_EQ(ReadTasks(), kComment + kB + kC + a2);
    EXPECT_EQ(GetTaskTitle(1), "B");
    EXPECT_EQ(WriteBackTask(3, kA), 0);
    EXPECT_EQ(ReadTasks(), kComment + kB + kC + kA);
    // A number that names no task only adds the line.
    EXPECT_EQ(WriteBackTask(0, a2), 0);
    EXPECT_EQ(WriteBackTask(9, a2), 0);
    EXPECT_EQ(ReadTasks(), kComment + kB + kC + kA + a2 + a2);
    // An unended last line is ended before the new line goes after it.
    WriteTasks(kA + "#B");
    EXPECT_EQ(WriteBackTask(1, a2), 0);
    EXPECT_EQ(ReadTasks(), "#B\r\n" + a2);
    EXPECT_FALSE(TempExists());
}

TEST_F(TaskFileChange, CompactDropsOnlyEmptyLines) {
    WriteTasks("\r\n" + kA + "\r\n\r\n" + kComment + "\n" + "  \r\n" + kB + "\r");
    EXPECT_EQ(CompactTaskFile(), 0);
    EXPECT_EQ(ReadTasks(), kA + kComment + "\n" + "  \r\n" + kB + "\r\n");
    WriteTasks("\r\n\r\n");
    EXPECT_EQ(CompactTaskFile(), 0);
    EXPECT_EQ(ReadTasks(), "");
    EXPECT_EQ(CompactTaskFile(), 0);
    EXPECT_EQ(ReadTasks(), "");
}

struct BulkCase {
    const char* name;
    std::function<int()> operation;
    std::string before;
    std::string after;
};

TEST_F(TaskFileChange, BulkRemovalsKeepOnlyTheirTasks) {
    const std::string marked = Task("M", 3);
    const std::string complete = Task("done", 1);
    const std::string missed = Task("missed", 2);
    const std::string monthlyDone = Task("monthly", 1, 1);
    const std::string weeklyMissed = Task("weekly", 2, 33);
    const std::string oddRecurrenceDone = Task("odd", 1, 38);  // reads as no repeat
    const std::string today = Task("today", 4);
    const std::vector<BulkCase> cases = {
        {"marked, none marked", DeleteMarkedTasks, kA + kComment + kB + kC, kA + kB + kC},
        {"marked", DeleteMarkedTasks, kA + marked + kB + marked + "\r\n" + complete,
         kA + kB + complete},
        {"past", DeletePastTasks,
         kA + complete + kComment + missed + monthlyDone + weeklyMissed + oddRecurrenceDone +
             marked + today,
         kA + monthlyDone + weeklyMissed + marked + today},
    };
    for (const BulkCase& c : cases) {
        WriteTasks(c.before);
        EXPECT_EQ(c.operation(), 0) << c.name;
        EXPECT_EQ(ReadTasks(), c.after) << c.name;
    }
    // Every task removed leaves an empty file.
    WriteTasks(marked + kComment + marked);
    EXPECT_EQ(DeleteMarkedTasks(), 0);
    EXPECT_EQ(ReadTasks(), "");
    // Without any task both leave the file alone.
    const std::string noTasks = kComment + "\r\n";
    WriteTasks(noTasks);
    EXPECT_EQ(DeleteMarkedTasks(), -5);
    EXPECT_EQ(DeletePastTasks(), -5);
    EXPECT_EQ(ReadTasks(), noTasks);
    EXPECT_FALSE(TempExists());
}

TEST_F(TaskFileChange, TemporaryFileLiesBesideTaskFileAndIsReplaced) {
    EXPECT_EQ(TempFilePath(), (m_dir / "--temptasklist.$$$").string());
    WriteFile(TempFilePath(), "left over from a crash\r\n");
    WriteTasks(kA + kB);
    EXPECT_EQ(DropTask(1), 0);
    EXPECT_EQ(ReadTasks(), kB);
    EXPECT_FALSE(TempExists());
}

TEST_F(TaskFileChange, RewriteKeepsTheFilePermissions) {
#ifdef _WIN32
    GTEST_SKIP() << "Windows keeps an access list instead of these permissions; the Windows "
                    "tests check what a rewrite leaves in it";
#endif
    namespace fs = std::filesystem;
    WriteTasks(kA + kB);
    fs::permissions(g_szTaskFilePath, fs::perms::owner_read | fs::perms::owner_write);
    EXPECT_EQ(DropTask(1), 0);
    EXPECT_EQ(fs::status(g_szTaskFilePath).permissions(),
              fs::perms::owner_read | fs::perms::owner_write);
}

}  // namespace
