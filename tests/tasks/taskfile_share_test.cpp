// The task file shared with the world: another writer holding its lock, a link to the file
// kept elsewhere, and who may read and change it.

#include <linux/filter.h>
#include <linux/seccomp.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstddef>
#include <filesystem>
#include <string>
#include <vector>

#include "tasks/rewriteoperations.h"
#include "tasks/taskcommands.h"
#include "tasks/taskfile.h"
#include "tasks/taskfilefixture.h"
#include "tasks/taskline.h"
#include "tasks/tasksort.h"
#include "tasks/writelock.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

class TaskFileShareTest : public TaskFileTest {
protected:
    static mode_t ModeOf(const std::string& path) {
        struct stat status {};
        EXPECT_EQ(stat(path.c_str(), &status), 0) << path;
        return status.st_mode & 07777;
    }
    static std::vector<fs::path> FilesIn(const fs::path& dir) {
        std::vector<fs::path> names;
        for (const fs::directory_entry& entry : fs::directory_iterator(dir)) {
            names.push_back(entry.path().filename());
        }
        std::sort(names.begin(), names.end());
        return names;
    }
};

// A writer of another process that has the lock and is in the middle of its rewrite: the
// temporary file is written and about to be flushed. It stays there until it is killed.
pid_t StartWriterThatStops(const CTaskFile& taskFile) {
    int ready[2];
    if (pipe(ready) != 0) {
        return -1;
    }
    const pid_t child = fork();
    if (child == 0) {
        CTaskFile own(taskFile.Path());
        own.SetFaultHook([&](RewriteStep) {
            (void)!write(ready[1], "x", 1);
            for (;;) {
                pause();
            }
            return true;
        });
        _exit(-CompactTaskFile(own));
    }
    close(ready[1]);
    char done = 0;
    const bool bReady = read(ready[0], &done, 1) == 1;
    close(ready[0]);
    return bReady ? child : -1;
}

TEST_F(TaskFileShareTest, AWriterWaitsForTheLockGivesUpWithNothingWrittenAndGoesOnAfterAKill) {
    const std::string content = ManyTasks(2000);
    WriteTasks(content);
    const pid_t holder = StartWriterThatStops(File());
    ASSERT_GT(holder, 0);
    const std::string holdersTemp = ReadFile(File().TempPath());
    ASSERT_FALSE(holdersTemp.empty());

    // Another writer waits a while, then fails and writes nothing; it neither breaks the
    // holder's lock nor removes the holder's temporary file, and nor does the start-up clean-up.
    const Clock::time_point start = Clock::now();
    EXPECT_EQ(SortTaskFile(File(), TaskSort::Status), kBusy);
    EXPECT_GE(Clock::now() - start, CWriteLock::kWait);
    EXPECT_FALSE(File().RemoveLeftoverTempFile());
    EXPECT_EQ(ReadTasks(), content);
    EXPECT_EQ(ReadFile(File().TempPath()), holdersTemp);

    // Killed while it holds the lock: the next writer goes ahead at once and replaces the
    // temporary file the kill left.
    ASSERT_EQ(kill(holder, SIGKILL), 0);
    int status = 0;
    ASSERT_EQ(waitpid(holder, &status, 0), holder);
    ASSERT_TRUE(WIFSIGNALED(status));
    EXPECT_TRUE(TempExists());
    const Clock::time_point afterKill = Clock::now();
    EXPECT_EQ(CompactTaskFile(File()), kDone);
    EXPECT_LT(Clock::now() - afterKill, CWriteLock::kWait / 2);
    // Compact drops the one empty line.
    const std::string after = ReadTasks();
    EXPECT_EQ(std::count(after.begin(), after.end(), '\n'),
              std::count(content.begin(), content.end(), '\n') - 1);
    EXPECT_FALSE(TempExists());
    EXPECT_TRUE(fs::exists(File().LockPath()));
}

TEST_F(TaskFileShareTest, ALinkIsWrittenThroughToItsTargetAndStaysALink) {
    // The task file is a link to a link to a file in another folder, the first one relative.
    const fs::path elsewhere = m_dir / "synced";
    fs::create_directory(elsewhere);
    const fs::path target = elsewhere / "tasks.txt";
    fs::create_symlink(target, m_dir / "absolute link");
    fs::create_symlink("absolute link", File().Path());
    const std::string content = ManyTasks(20);
    TaskFileScope plain;
    for (const Operation& op : Operations(File(), 0)) {
        WriteFile(target.string(), content);
        TaskFileScope::WriteFile(plain.Path(), content);
        const int result = op.run();
        // The same operation on a plain file says what the target must hold.
        for (const Operation& same : Operations(plain.File(), 0)) {
            if (std::string(same.name) == op.name) {
                EXPECT_EQ(same.run(), result) << op.name;
            }
        }
        EXPECT_EQ(result, kDone) << op.name;
        EXPECT_TRUE(fs::is_symlink(File().Path())) << op.name;
        EXPECT_TRUE(fs::is_symlink(m_dir / "absolute link")) << op.name;
        EXPECT_EQ(ReadFile(target.string()), plain.Content()) << op.name;
        EXPECT_NE(ReadFile(target.string()), content) << op.name;
    }
    // The temporary file and the lock lie beside the target, the lock named after it.
    EXPECT_EQ(File().TempPath(), (elsewhere / "--temptasklist.$$$").string());
    EXPECT_EQ(File().LockPath(), target.string() + ".lock");
    EXPECT_EQ(FilesIn(elsewhere), (std::vector<fs::path>{"tasks.txt", "tasks.txt.lock"}));
    EXPECT_EQ(FilesIn(m_dir), (std::vector<fs::path>{"absolute link", "nkdat", "synced"}));

    // A link to a file that is not there yet: the first task makes the target.
    fs::remove(target);
    EXPECT_EQ(AppendTaskLine(File(), "#1/2/2030{+}0{+}0{+}0{+}First{+}(none){+}6\r\n"), kDone);
    EXPECT_EQ(ReadFile(target.string()), "#1/2/2030{+}0{+}0{+}0{+}First{+}(none){+}6\r\n");
    EXPECT_TRUE(fs::is_symlink(File().Path()));

    // Links in a circle lead to no file: nothing is written, and nothing is made.
    fs::remove(m_dir / "absolute link");
    fs::create_symlink("nkdat", m_dir / "absolute link");
    EXPECT_EQ(CompactTaskFile(File()), kCannotOpen);
    EXPECT_EQ(AppendTaskLine(File(), "#x\r\n"), kCannotOpen);
    EXPECT_EQ(FilesIn(m_dir), (std::vector<fs::path>{"absolute link", "nkdat", "synced"}));
}

TEST_F(TaskFileShareTest, TheNewFileKeepsTheOldOnesModeAndOwner) {
    // No umask helps: a new file that took the default mode would be readable by all.
    const mode_t umaskBefore = umask(0);
    const std::string content = ManyTasks(20);
    for (const mode_t mode : {mode_t{0600}, mode_t{0640}, mode_t{0444}}) {
        for (const Operation& op : Operations(File(), 0)) {
            WriteTasks(content);
            ASSERT_EQ(chmod(Path().c_str(), mode), 0);
            EXPECT_EQ(op.run(), kDone) << op.name;
            EXPECT_EQ(ModeOf(Path()), mode) << op.name;
        }
    }
    // A task file made by a change, with none there before, is private.
    fs::remove(Path());
    EXPECT_EQ(AppendTaskLine(File(), "#x\r\n"), kDone);
    EXPECT_EQ(ModeOf(Path()), 0600u);
    umask(umaskBefore);

    if (geteuid() != 0) {
        GTEST_SKIP() << "handing a file to another owner needs root";
    }
    // A copy run by root leaves the file to its owner.
    constexpr uid_t kOther = 65534;
    WriteTasks(content);
    ASSERT_EQ(chown(Path().c_str(), kOther, kOther), 0);
    EXPECT_EQ(CompactTaskFile(File()), kDone);
    struct stat status {};
    ASSERT_EQ(stat(Path().c_str(), &status), 0);
    EXPECT_EQ(status.st_uid, kOther);
    EXPECT_EQ(status.st_gid, kOther);
}

// Makes one system call fail with EPERM for the rest of the process, as a file system or a
// security policy that refuses it would.
bool RefuseSystemCall(long call) {
    std::array<sock_filter, 4> program = {{
        BPF_STMT(BPF_LD | BPF_W | BPF_ABS, offsetof(seccomp_data, nr)),
        BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, static_cast<unsigned>(call), 0, 1),
        BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ERRNO | EPERM),
        BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ALLOW),
    }};
    const sock_fprog filter{static_cast<unsigned short>(program.size()), program.data()};
    return prctl(PR_SET_NO_NEW_PRIVS, 1, 0, 0, 0) == 0 &&
           prctl(PR_SET_SECCOMP, SECCOMP_MODE_FILTER, &filter) == 0;
}

TEST_F(TaskFileShareTest, ANewFileThatCannotTakeTheModeOrOwnerLeavesTheOldFile) {
    const std::string content = ManyTasks(20);
    for (const long call : {long{SYS_fchmod}, long{SYS_fchown}}) {
        for (const Operation& op : Operations(File(), kCannotKeepAccess)) {
            WriteTasks(content);
            ASSERT_EQ(chmod(Path().c_str(), 0600), 0);
            const pid_t child = fork();
            ASSERT_NE(child, -1);
            if (child == 0) {
                _exit(RefuseSystemCall(call) ? -op.run() : 100);
            }
            int status = 0;
            ASSERT_EQ(waitpid(child, &status, 0), child);
            ASSERT_TRUE(WIFEXITED(status));
            EXPECT_EQ(-WEXITSTATUS(status), op.failure) << op.name << " call " << call;
            EXPECT_EQ(ReadTasks(), content) << op.name;
            EXPECT_EQ(ModeOf(Path()), 0600u) << op.name;
            EXPECT_FALSE(TempExists()) << op.name;
        }
    }
}

}  // namespace
