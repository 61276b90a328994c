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
#include "tasks/taskcommands.h"
#include "tasks/taskfile.h"
#include "tasks/taskfilefixture.h"
#include "tasks/taskline.h"

namespace {

namespace fs = std::filesystem;

class TaskFileKindTest : public TaskFileTest {
protected:
    // What reading the task file as the commands do gives.
    int Load() const {
        TaskFileLines file;
        return File().Load(file, MissingTaskFile::Fail);
    }
#ifndef _WIN32
    void MakePipe() const {
        ASSERT_EQ(mkfifo(File().Path().c_str(), 0600), 0);
    }
    bool IsPipe() const {
        struct stat status {};
        return stat(File().Path().c_str(), &status) == 0 && S_ISFIFO(status.st_mode);
    }

    // Runs a reader of the task file on a thread of its own. Should it hang in open() on the
    // pipe, a writer is opened on the pipe to let it go, and the test fails instead of hanging
    // too.
    template <typename Reader>
    auto WithoutWaiting(Reader reader) const {
        std::future<decltype(reader())> result = std::async(std::launch::async, reader);
        if (result.wait_for(std::chrono::seconds(5)) != std::future_status::ready) {
            ADD_FAILURE() << "reading the task file waited on it";
            const int fd = open(File().Path().c_str(), O_WRONLY | O_NONBLOCK);
            if (fd >= 0) {
                (void)close(fd);
            }
        }
        return result.get();
    }
#endif
};

TEST_F(TaskFileKindTest, ANamedPipeIsNeitherWaitedOnNorReadNorReplaced) {
#ifdef _WIN32
    GTEST_SKIP() << "Windows keeps no named pipes among the files of a folder";
#else
    MakePipe();
    EXPECT_EQ(WithoutWaiting([this] {
                  TaskFileLines file;
                  return File().Load(file, MissingTaskFile::Fail);
              }),
              kCannotOpen);
    EXPECT_EQ(WithoutWaiting([this] {
                  TaskFileLines file;
                  return File().Load(file, MissingTaskFile::StartsEmpty);
              }),
              kCannotOpen);
    // Nothing writes a regular file over it either.
    EXPECT_EQ(WithoutWaiting(
                  [this] { return AppendTaskLine(File(), "#1/1/2030{+}0{+}0{+}0{+}A{+}{+}6"); }),
              kCannotOpen);
    EXPECT_EQ(WithoutWaiting([this] {
                  const std::string line = "#1/1/2030{+}0{+}0{+}0{+}A{+}{+}6";
                  return ReplaceTask(File(), TaskRef{ParseTaskLine(line), 1}, line);
              }),
              kCannotOpen);
    EXPECT_TRUE(IsPipe());
    EXPECT_FALSE(TempExists());
    EXPECT_EQ(WithoutWaiting([this] { return File().ProblemText(); }),
              std::string(Str::TaskFileIsPipe) + "\n\n" + File().Path());
#endif
}

TEST_F(TaskFileKindTest, EachKindOfPathGetsItsOwnMessageWithThePath) {
    const std::string path = File().Path();
    const auto message = [&path](const char* problem) {
        return std::string(problem) + "\n\n" + path;
    };
    EXPECT_EQ(File().ProblemText(), message(Str::TaskFileNotFound));

    fs::create_directory(path);
    EXPECT_EQ(File().ProblemText(), message(Str::TaskFileIsFolder));
    EXPECT_EQ(Load(), kCannotOpen);
    EXPECT_EQ(AppendTaskLine(File(), "#1/1/2030{+}0{+}0{+}0{+}A{+}{+}6"), kCannotOpen);
    EXPECT_TRUE(fs::is_directory(path));
    fs::remove(path);

#ifdef _WIN32
    GTEST_SKIP() << "a folder is told apart; Windows has no device files, and its links need a "
                    "right a user seldom has";
#endif
    fs::create_symlink("/dev/null", path);
    EXPECT_EQ(File().ProblemText(), message(Str::TaskFileIsDevice));
    EXPECT_EQ(Load(), kCannotOpen);
    fs::remove(path);

    // A link to a regular file is read through.
    WriteFile((m_dir / "real").string(), "#1/1/2030{+}0{+}0{+}0{+}A{+}{+}6\r\n");
    fs::create_symlink(m_dir / "real", path);
    TaskFileLines file;
    EXPECT_EQ(File().Load(file, MissingTaskFile::Fail), kDone);
    EXPECT_EQ(file.lines.size(), 1U);
    FileKind kind = FileKind::Missing;
    EXPECT_NE(File().OpenToRead(&kind), nullptr);
    EXPECT_EQ(kind, FileKind::Regular);
}

TEST_F(TaskFileKindTest, ATemporaryFileLeftByAKilledRewriteIsRemoved) {
    WriteTasks("#1/1/2030{+}0{+}0{+}0{+}A{+}{+}6\r\n");
    EXPECT_FALSE(File().RemoveLeftoverTempFile());
    WriteFile(File().TempPath(), "#1/1/2030{+}0{+}0{+}0{+}A{+}{+}6\r\n#2/2/20");
    EXPECT_TRUE(File().RemoveLeftoverTempFile());
    EXPECT_FALSE(TempExists());
    EXPECT_EQ(ReadTasks(), "#1/1/2030{+}0{+}0{+}0{+}A{+}{+}6\r\n");

    // Something else that merely has the name is left alone.
    fs::create_directory(File().TempPath());
    WriteFile((fs::path(File().TempPath()) / "keep").string(), "x");
    EXPECT_FALSE(File().RemoveLeftoverTempFile());
    EXPECT_TRUE(fs::exists(fs::path(File().TempPath()) / "keep"));
}

TEST_F(TaskFileKindTest, ANameTooLongIsReportedWithItsPathAndNothingIsMade) {
#ifdef _WIN32
    GTEST_SKIP() << "Wine answers a name longer than the system takes as a missing file";
#endif
    const CTaskFile file((m_dir / std::string(300, 'n')).string());
    EXPECT_EQ(file.ProblemText(), std::string(Str::TaskFileNameTooLong) + "\n\n" + file.Path());
    EXPECT_EQ(AppendTaskLine(file, "#1/1/2030{+}0{+}0{+}0{+}A{+}{+}6\r\n"), kCannotOpen);
    EXPECT_EQ(CompactTaskFile(file), kCannotOpen);
    EXPECT_TRUE(fs::is_empty(m_dir));
}

}  // namespace
