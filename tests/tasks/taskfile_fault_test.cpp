// Faults in the middle of a rewrite: the task file must come out with exactly its old or
// exactly its new content, and a failed rewrite leaves no temporary file behind.

#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <functional>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "tasks/taskcommands.h"
#include "tasks/taskfile.h"
#include "tasks/taskfilefixture.h"
#include "tasks/taskline.h"
#include "tasks/tasksort.h"

namespace {

struct Operation {
    const char* name;
    std::function<int()> run;
    int failure;  // the code each operation reports for a failed rewrite step
};

// Every operation that rewrites the file, each of which has something to change in
// ManyTasks(): tasks 1 and 2 are marked and done.
std::vector<Operation> Operations(const CTaskFile& file, int rewriteFailure) {
    const std::string line = FormatTaskLine(2030, 5, 6, 0, 0, 0, "new", "(none)", 6);
    const TaskRef marked{ParseTaskLine(FormatTaskLine(2000, 1, 1, 0, 3, 0, "marked", "n", 6)), 1};
    return {
        {"CompactTaskFile", [&file] { return CompactTaskFile(file); }, rewriteFailure},
        {"DeleteMarkedTasks", [&file] { return DeleteMarkedTasks(file); }, rewriteFailure},
        {"DeletePastTasks", [&file] { return DeletePastTasks(file); }, rewriteFailure},
        {"AppendTaskLine", [&file, line] { return AppendTaskLine(file, line); }, -1},
        {"DeleteTask", [&file, marked] { return DeleteTask(file, marked); }, rewriteFailure},
        {"SetTaskStatus", [&file, marked] { return SetTaskStatus(file, marked, 0); },
         rewriteFailure},
        {"DuplicateTask", [&file, marked] { return DuplicateTask(file, marked); }, rewriteFailure},
        {"ReplaceTask", [&file, marked, line] { return ReplaceTask(file, marked, line); },
         rewriteFailure},
        {"SortTaskFile", [&file] { return SortTaskFile(file, TaskSort::Status); }, rewriteFailure},
    };
}

// Large enough that the copy fails inside the C library's buffer, not only at the flush.
std::string ManyTasks(int count = 3000) {
    std::string content = FormatTaskLine(2000, 1, 1, 0, 3, 0, "marked", "n", 6) + "\r\n";
    content += FormatTaskLine(2000, 1, 1, 0, 1, 0, "done", "n", 6);
    for (int i = 0; i < count; ++i) {
        content += FormatTaskLine(2000, 1, 1, 0, 0, 0, "task " + std::to_string(i), "note", 6);
    }
    return content;
}

using TaskFileFault = TaskFileTest;

TEST_F(TaskFileFault, TemporaryFileCannotBeCreated) {
    // A folder in the temporary file's place cannot be removed or opened as a file,
    // which stops root as well as anyone else.
    std::filesystem::create_directories(std::filesystem::path(File().TempPath()) / "in the way");
    const std::string content = ManyTasks(10);
    for (const Operation& op : Operations(File(), -2)) {
        WriteTasks(content);
        EXPECT_EQ(op.run(), op.failure) << op.name;
        EXPECT_EQ(ReadTasks(), content) << op.name;
    }
}

TEST_F(TaskFileFault, DiskFullWhileWriting) {
    const std::string content = ManyTasks();
    for (const Operation& op : Operations(File(), -2)) {
        // A file size limit makes the system refuse the writes past it, as a full disk
        // does. It applies to the whole process, so the rewrite runs in a child.
        for (const rlim_t limit :
             {rlim_t{0}, rlim_t{100}, rlim_t{content.size() / 2}, rlim_t{content.size() - 100}}) {
            WriteTasks(content);
            const pid_t child = fork();
            ASSERT_NE(child, -1);
            if (child == 0) {
                const rlimit fileSize{limit, limit};
                if (signal(SIGXFSZ, SIG_IGN) == SIG_ERR ||
                    setrlimit(RLIMIT_FSIZE, &fileSize) != 0) {
                    _exit(100);
                }
                _exit(-op.run());
            }
            int status = 0;
            ASSERT_EQ(waitpid(child, &status, 0), child);
            ASSERT_TRUE(WIFEXITED(status));
            EXPECT_EQ(-WEXITSTATUS(status), op.failure) << op.name << " limit " << limit;
            EXPECT_EQ(ReadTasks(), content) << op.name << " limit " << limit;
            EXPECT_FALSE(TempExists()) << op.name << " limit " << limit;
        }
    }
}

TEST_F(TaskFileFault, FlushToDiskOrRenameFails) {
    const std::string content = ManyTasks(10);
    const std::vector<std::pair<RewriteStep, int>> steps = {{RewriteStep::FlushToDisk, -3},
                                                            {RewriteStep::Rename, -4}};
    for (const auto& [step, code] : steps) {
        File().SetFaultHook([failing = step](RewriteStep at) { return at == failing; });
        for (const Operation& op : Operations(File(), code)) {
            WriteTasks(content);
            EXPECT_EQ(op.run(), op.failure) << op.name;
            EXPECT_EQ(ReadTasks(), content) << op.name;
            EXPECT_FALSE(TempExists()) << op.name;
        }
        File().SetFaultHook(nullptr);
    }
    // The seam itself changes nothing once cleared.
    WriteTasks(content);
    EXPECT_EQ(CompactTaskFile(File()), 0);
}

TEST_F(TaskFileFault, ReadErrorNeverReplacesTheFile) {
    // A folder in the task file's place opens but cannot be read.
    std::filesystem::create_directory(File().Path());
    EXPECT_EQ(CompactTaskFile(File()), -1);
    EXPECT_EQ(AppendTaskLine(File(), "#x\r\n"), -1);
    EXPECT_TRUE(std::filesystem::is_directory(File().Path()));
    EXPECT_FALSE(TempExists());
}

std::vector<std::string> Lines(const std::string& content) {
    std::vector<std::string> lines;
    size_t begin = 0;
    while (begin < content.size()) {
        const size_t end = content.find('\n', begin);
        const size_t next = end == std::string::npos ? content.size() : end + 1;
        lines.push_back(content.substr(begin, next - begin));
        begin = next;
    }
    return lines;
}

// The poll's write-back of an answer: the first task, read from the file, replaces itself and so
// becomes the last.
int MoveFirstTaskToTheEnd(const CTaskFile& taskFile) {
    TaskFileLines file;
    if (taskFile.Load(file, MissingTaskFile::Fail) != kDone || file.lines.empty()) {
        return kCannotOpen;
    }
    const std::string first(file.lines.front());
    return ReplaceTask(taskFile, TaskRef{ParseTaskLine(first), 1}, first);
}

// True when the lines are the original ones moved round by some number of places, which
// is what any number of whole "move task 1 to the end" rewrites makes of them.
bool IsRotationOf(const std::vector<std::string>& lines, const std::vector<std::string>& original) {
    if (lines.size() != original.size() || lines.empty()) {
        return false;
    }
    for (size_t shift = 0; shift < original.size(); ++shift) {
        if (original[shift] != lines[0]) {
            continue;
        }
        for (size_t i = 0; i < lines.size(); ++i) {
            if (lines[i] != original[(i + shift) % original.size()]) {
                return false;
            }
        }
        return true;
    }
    return false;
}

TEST_F(TaskFileFault, KilledInTheMiddleOfRewrites) {
    std::string content;
    for (int i = 0; i < 20000; ++i) {
        content += FormatTaskLine(2000, 1, 1, 0, 0, 0, "task " + std::to_string(i), "note", 6);
    }
    WriteTasks(content);
    const std::vector<std::string> original = Lines(content);
    std::mt19937 random(std::random_device{}());
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    int kills = 0;
    while (kills < 12 && std::chrono::steady_clock::now() < deadline) {
        int ready[2];
        ASSERT_EQ(pipe(ready), 0);
        const pid_t child = fork();
        ASSERT_NE(child, -1);
        if (child == 0) {
            close(ready[0]);
            for (;;) {
                // Each pass moves task 1 to the end of the file.
                if (MoveFirstTaskToTheEnd(File()) != kDone) {
                    _exit(1);
                }
                (void)!write(ready[1], "x", 1);
            }
        }
        close(ready[1]);
        // Wait for the first whole rewrite, then kill at a random point of a later one.
        char done = 0;
        ASSERT_EQ(read(ready[0], &done, 1), 1);
        std::this_thread::sleep_for(
            std::chrono::microseconds(std::uniform_int_distribution<int>(0, 40000)(random)));
        kill(child, SIGKILL);
        int status = 0;
        ASSERT_EQ(waitpid(child, &status, 0), child);
        close(ready[0]);
        ASSERT_TRUE(WIFSIGNALED(status)) << "the rewrites stopped on their own";
        ++kills;
        const std::vector<std::string> lines = Lines(ReadTasks());
        ASSERT_TRUE(IsRotationOf(lines, original)) << "after kill " << kills;
    }
    EXPECT_GE(kills, 3);
    // A temporary file left by the kill is replaced by the next rewrite.
    const std::vector<std::string> before = Lines(ReadTasks());
    EXPECT_EQ(DeleteTask(File(), TaskRef{ParseTaskLine(before[0]), 1}), kDone);
    EXPECT_EQ(Lines(ReadTasks()), std::vector<std::string>(before.begin() + 1, before.end()));
    EXPECT_FALSE(TempExists());
}

}  // namespace
