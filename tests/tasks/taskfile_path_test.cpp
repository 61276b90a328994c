// A task file in a folder whose name is not ASCII: every operation finds the file under that
// very name, and the temporary file lies beside it. On Windows the names go through the
// system's wide-character calls; narrow ones would find a folder of garbled letters.

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "res/strings.h"
#include "tasks/filestamp.h"
#include "tasks/taskcommands.h"
#include "tasks/taskfile.h"
#include "tasks/taskfilefixture.h"
#include "tasks/taskline.h"

namespace {

namespace fs = std::filesystem;

std::string Utf8(const fs::path& path) {
    const std::u8string text = path.u8string();
    return {text.begin(), text.end()};
}

std::string ContentOf(const fs::path& path) {
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

std::vector<fs::path> NamesIn(const fs::path& folder) {
    std::vector<fs::path> names;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder)) {
        names.push_back(entry.path().filename());
    }
    std::sort(names.begin(), names.end());
    return names;
}

// The task file and the writers' lock file beside it.
const std::vector<fs::path> kWritten = {"nkdat", "nkdat.lock"};

TEST(TaskFilePathTest, AFolderNamedInAnyScriptHoldsTheTaskFile) {
    const TaskFileScope scope;
    const fs::path folder = scope.Dir() / fs::path(u8"Aufgaben für Jörg – 日本語 ✓");
    fs::create_directories(folder);
    const fs::path taskFile = folder / "nkdat";
    const CTaskFile file(Utf8(taskFile));
    const std::string a = FormatTaskLine(2030, 1, 2, 0, 0, 0, "A", "(none)", 6);
    const std::string b = FormatTaskLine(2030, 1, 3, 0, 0, 0, "B", "(none)", 6);
    TaskFileLines lines;

    EXPECT_EQ(file.Load(lines, MissingTaskFile::Fail), kCannotOpen);
    EXPECT_EQ(file.ProblemText(), std::string(Str::TaskFileNotFound) + "\n\n" + file.Path());
    EXPECT_EQ(AppendTaskLine(file, a), kDone);
    EXPECT_EQ(AppendTaskLine(file, b), kDone);
    EXPECT_EQ(DeleteTask(file, TaskRef{ParseTaskLine(a), 1}), kDone);
    ASSERT_EQ(file.Load(lines, MissingTaskFile::Fail), kDone);
    EXPECT_EQ(lines.lines, std::vector<std::string_view>{b});
    EXPECT_EQ(ContentOf(taskFile), b);
    EXPECT_EQ(NamesIn(folder), kWritten);
    EXPECT_TRUE(StampOfFile(file.Path()).bExists);

    EXPECT_EQ(file.TempPath(), Utf8(folder / kTempFileName));
    EXPECT_EQ(file.LockPath(), Utf8(folder / "nkdat.lock"));
    std::ofstream(folder / kTempFileName) << "left by a kill";
    EXPECT_TRUE(file.RemoveLeftoverTempFile());
    EXPECT_EQ(NamesIn(folder), kWritten);
}

}  // namespace
