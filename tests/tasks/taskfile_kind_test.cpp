// The task file as something other than a regular file: a named pipe, a folder, a device.
// Nothing may wait on it, nothing may be written over it, and the user is told what it is.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <future>
#include <string>
#include <vector>

#include "res/strings.h"
#include "tasks/regularfile.h"
#include "tasks/taskcommands.h"
#include "tasks/taskfile.h"
#include "tasks/taskfilefixture.h"
#include "tasks/taskfilerewrite.h"
#include "tasks/taskline.h"

namespace {

namespace fs = std::filesystem;

class TaskFileKindTest : public TaskFileTest {
protected:
    void MakePipe() const { ASSERT_EQ(mkfifo(g_szTaskFilePath.c_str(), 0600), 0); }
    // What reading the task file as the commands do gives.
    static int Load() {
        TaskFileLines file;
        return LoadTaskFile(file, MissingTaskFile::Fail);
    }
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

TEST_F(TaskFileKindTest, ANamedPipeIsNeitherWaitedOnNorReadNorReplaced) {
    MakePipe();
    EXPECT_EQ(WithoutWaiting([] {
                  TaskFileLines file;
                  return LoadTaskFile(file, MissingTaskFile::Fail);
              }),
              kCannotOpen);
    EXPECT_EQ(WithoutWaiting([] {
                  TaskFileLines file;
                  return LoadTaskFile(file, MissingTaskFile::StartsEmpty);
              }),
              kCannotOpen);
    // Nothing writes a regular file over it either.
    EXPECT_EQ(WithoutWaiting([] { return AppendTaskLine("#1/1/2030{+}0{+}0{+}0{+}A{+}{+}6"); }),
              kCannotOpen);
    EXPECT_EQ(WithoutWaiting([] {
                  const std::string line = "#1/1/2030{+}0{+}0{+}0{+}A{+}{+}6";
                  return ReplaceTask(TaskRef{ParseTaskLine(line), 1}, line);
              }),
              kCannotOpen);
    EXPECT_TRUE(IsPipe());
    EXPECT_FALSE(TempExists());
    EXPECT_EQ(WithoutWaiting([] { return TaskFileProblemText(); }),
              std::string(Str::TaskFileIsPipe) + "\n\n" + g_szTaskFilePath);
}

TEST_F(TaskFileKindTest, EachKindOfPathGetsItsOwnMessageWithThePath) {
    const std::string path = g_szTaskFilePath;
    const auto message = [&path](const char* problem) {
        return std::string(problem) + "\n\n" + path;
    };
    EXPECT_EQ(TaskFileProblemText(), message(Str::TaskFileNotFound));

    fs::create_directory(path);
    EXPECT_EQ(TaskFileProblemText(), message(Str::TaskFileIsFolder));
    EXPECT_EQ(Load(), kCannotOpen);
    EXPECT_EQ(AppendTaskLine("#1/1/2030{+}0{+}0{+}0{+}A{+}{+}6"), kCannotOpen);
    EXPECT_TRUE(fs::is_directory(path));
    fs::remove(path);

    fs::create_symlink("/dev/null", path);
    EXPECT_EQ(TaskFileProblemText(), message(Str::TaskFileIsDevice));
    EXPECT_EQ(Load(), kCannotOpen);
    fs::remove(path);

    // A link to a regular file is read through.
    WriteFile((m_dir / "real").string(), "#1/1/2030{+}0{+}0{+}0{+}A{+}{+}6\r\n");
    fs::create_symlink(m_dir / "real", path);
    TaskFileLines file;
    EXPECT_EQ(LoadTaskFile(file, MissingTaskFile::Fail), kDone);
    EXPECT_EQ(file.lines.size(), 1U);
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
