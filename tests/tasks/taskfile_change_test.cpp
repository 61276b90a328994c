#include <string>
#include <vector>

#include "tasks/taskcommands.h"
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
    EXPECT_EQ(CompactTaskFile(File()), -1);
    EXPECT_EQ(DeleteMarkedTasks(File()), -5);
    EXPECT_EQ(DeletePastTasks(File()), -5);
    EXPECT_FALSE(std::filesystem::exists(File().Path()));
    EXPECT_EQ(AppendTaskLine(File(), kA), 0);
    EXPECT_EQ(ReadTasks(), kA);
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
        EXPECT_EQ(AppendTaskLine(File(), kA), 0);
        EXPECT_EQ(ReadTasks(), after) << before;
    }
    // A line handed over without its end still ends up a whole line.
    WriteTasks(kA);
    EXPECT_EQ(AppendTaskLine(File(), "#no end"), 0);
    EXPECT_EQ(AppendTaskLine(File(), kB), 0);
    EXPECT_EQ(ReadTasks(), kA + "#no end\r\n" + kB);
}

TEST_F(TaskFileChange, CompactDropsOnlyEmptyLines) {
    WriteTasks("\r\n" + kA + "\r\n\r\n" + kComment + "\n" + "  \r\n" + kB + "\r");
    EXPECT_EQ(CompactTaskFile(File()), 0);
    EXPECT_EQ(ReadTasks(), kA + kComment + "\n" + "  \r\n" + kB + "\r\n");
    WriteTasks("\r\n\r\n");
    EXPECT_EQ(CompactTaskFile(File()), 0);
    EXPECT_EQ(ReadTasks(), "");
    EXPECT_EQ(CompactTaskFile(File()), 0);
    EXPECT_EQ(ReadTasks(), "");
}

struct BulkCase {
    const char* name;
    int (*operation)(const CTaskFile&);
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
        EXPECT_EQ(c.operation(File()), 0) << c.name;
        EXPECT_EQ(ReadTasks(), c.after) << c.name;
    }
    // Every task removed leaves an empty file.
    WriteTasks(marked + kComment + marked);
    EXPECT_EQ(DeleteMarkedTasks(File()), 0);
    EXPECT_EQ(ReadTasks(), "");
    // Without any task both leave the file alone.
    const std::string noTasks = kComment + "\r\n";
    WriteTasks(noTasks);
    EXPECT_EQ(DeleteMarkedTasks(File()), -5);
    EXPECT_EQ(DeletePastTasks(File()), -5);
    EXPECT_EQ(ReadTasks(), noTasks);
    EXPECT_FALSE(TempExists());
}

TEST_F(TaskFileChange, TemporaryFileLiesBesideTaskFileAndIsReplaced) {
    EXPECT_EQ(File().TempPath(), (m_dir / "--temptasklist.$$$").string());
    WriteFile(File().TempPath(), "left over from a crash\r\n");
    WriteTasks(kA + "\r\n" + kB);
    EXPECT_EQ(CompactTaskFile(File()), 0);
    EXPECT_EQ(ReadTasks(), kA + kB);
    EXPECT_FALSE(TempExists());
}

TEST_F(TaskFileChange, RewriteKeepsTheFilePermissions) {
    namespace fs = std::filesystem;
    WriteTasks(kA + kB);
    fs::permissions(File().Path(), fs::perms::owner_read | fs::perms::owner_write);
    EXPECT_EQ(CompactTaskFile(File()), 0);
    EXPECT_EQ(fs::status(File().Path()).permissions(),
              fs::perms::owner_read | fs::perms::owner_write);
}

}  // namespace
