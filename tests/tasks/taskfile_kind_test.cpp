// The task file as something other than a regular file: a named pipe, a folder, a device.
// Nothing may wait on it, nothing may be written over it, and the user is told what it is.
#ifndef _WIN32
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#include <chrono>
#include <filesystem>
#include <future>
#include <string>
#include <vector>

#include "res/strings.h"
#include "tasks/regularfile.h"
#include "tasks/taskfile.h"
#include "tasks/taskfilefixture.h"
#include "tasks/taskfilerewrite.h"

namespace {

namespace fs = std::filesystem;

#ifdef _WIN32
using TaskFileKindTest = TaskFileTest;
#else
class TaskFileKindTest : public TaskFileTest {
protected:
    void MakePipe() const { ASSERT_EQ(mkfifo(g_szTaskFilePath.c_str(), 0600), 0); }
    static bool IsPipe() {
        struct stat status {};
        return stat(g_szTaskFilePath.c_str(), &status) == 0 && S_ISFIFO(status.st_mode);
    }
};

// Runs a reader of the task file on a thread of its own. Should it hang in open() on the pipe,
// a writer is opened on the pipe to let it go, and the test fails instead of hanging too.
template <typename Reader>
auto WithoutWaiting(Reader reader) {
    std::future<decltype(reader())> result = std::async(std::launch::async, reader);
    if (result.wait_for(std::chrono::seconds(5)) != std::future_status::ready) {
        ADD_FAILURE() << "reading the task file waited on it";
        const int fd = open(g_szTaskFilePath.c_str(), O_WRONLY | O_NONBLOCK);
        if (fd >= 0) {
            (void)close(fd);
        }
    }
    return result.get();
}
#endif

TEST_F(TaskFileKindTest, ANamedPipeIsNeitherWaitedOnNorReadNorReplaced) {
#ifdef _WIN32
    GTEST_SKIP() << "Windows keeps no named pipes among the files of a folder";
#else
    MakePipe();
    EXPECT_EQ(WithoutWaiting([] { return CountTasks(); }), kCannotOpen);
    EXPECT_FALSE(WithoutWaiting([] {
        std::vector<TaskRecord> tasks;
        return ReadAllTasks(tasks);
    }));
    EXPECT_EQ(WithoutWaiting([] {
                  TaskFileLines file;
                  return LoadTaskFile(file, MissingTaskFile::StartsEmpty);
              }),
              kCannotOpen);
    // Nothing writes a regular file over it either.
    EXPECT_EQ(WithoutWaiting([] { return AppendTaskLine("#1/1/2030{+}0{+}0{+}0{+}A{+}{+}6"); }),
              kCannotOpen);
    EXPECT_EQ(WithoutWaiting([] { return WriteBackTask(1, "#1/1/2030{+}0{+}0{+}0{+}A{+}{+}6"); }),
              kCannotOpen);
    EXPECT_TRUE(IsPipe());
    EXPECT_FALSE(TempExists());
    EXPECT_EQ(WithoutWaiting([] { return TaskFileProblemText(); }),
              std::string(Str::TaskFileIsPipe) + "\n\n" + g_szTaskFilePath);
#endif
}

TEST_F(TaskFileKindTest, EachKindOfPathGetsItsOwnMessageWithThePath) {
    const std::string path = g_szTaskFilePath;
    const auto message = [&path](const char* problem) {
        return std::string(problem) + "\n\n" + path;
    };
    EXPECT_EQ(TaskFileProblemText(), message(Str::TaskFileNotFound));

    fs::create_directory(path);
    EXPECT_EQ(TaskFileProblemText(), message(Str::TaskFileIsFolder));
    EXPECT_EQ(CountTasks(), kCannotOpen);
    EXPECT_EQ(AppendTaskLine("#1/1/2030{+}0{+}0{+}0{+}A{+}{+}6"), kCannotOpen);
    EXPECT_TRUE(fs::is_directory(path));
    fs::remove(path);

#ifdef _WIN32
    GTEST_SKIP() << "a folder is told apart; Windows has no device files, and its links need a "
                    "right a user seldom has";
#endif
    fs::create_symlink("/dev/null", path);
    EXPECT_EQ(TaskFileProblemText(), message(Str::TaskFileIsDevice));
    EXPECT_EQ(CountTasks(), kCannotOpen);
    fs::remove(path);

    // A link to a regular file is read through.
    WriteFile((m_dir / "real").string(), "#1/1/2030{+}0{+}0{+}0{+}A{+}{+}6\r\n");
    fs::create_symlink(m_dir / "real", path);
    EXPECT_EQ(CountTasks(), 1);
    FileKind kind = FileKind::Missing;
    EXPECT_NE(OpenTaskFileToRead(&kind), nullptr);
    EXPECT_EQ(kind, FileKind::Regular);
}

TEST_F(TaskFileKindTest, ATemporaryFileLeftByAKilledRewriteIsRemoved) {
    WriteTasks("#1/1/2030{+}0{+}0{+}0{+}A{+}{+}6\r\n");
    EXPECT_FALSE(RemoveLeftoverTempFile());
    WriteFile(TempFilePath(), "#1/1/2030{+}0{+}0{+}0{+}A{+}{+}6\r\n#2/2/20");
    EXPECT_TRUE(RemoveLeftoverTempFile());
    EXPECT_FALSE(TempExists());
    EXPECT_EQ(ReadTasks(), "#1/1/2030{+}0{+}0{+}0{+}A{+}{+}6\r\n");

    // Something else that merely has the name is left alone.
    fs::create_directory(TempFilePath());
    WriteFile((fs::path(TempFilePath()) / "keep").string(), "x");
    EXPECT_FALSE(RemoveLeftoverTempFile());
    EXPECT_TRUE(fs::exists(fs::path(TempFilePath()) / "keep"));
}

}  // namespace
