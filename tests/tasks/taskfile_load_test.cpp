// Reading the task file as the commands and sorts do: every line whole, exactly as stored.

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "tasks/taskcommands.h"
#include "tasks/taskfile.h"
#include "tasks/taskfilefixture.h"
#include "tasks/taskline.h"

namespace {

using TaskFileLoad = TaskFileTest;

TEST_F(TaskFileLoad, MissingFileFailsOrStartsEmptyAndAFolderAlwaysFails) {
    TaskFileLines file;
    EXPECT_EQ(File().Load(file, MissingTaskFile::Fail), kCannotOpen);
    EXPECT_EQ(File().Load(file, MissingTaskFile::StartsEmpty), kDone);
    EXPECT_TRUE(file.lines.empty());
    // A folder in its place is no missing file, and cannot be read.
    std::filesystem::create_directory(File().Path());
    EXPECT_EQ(File().Load(file, MissingTaskFile::StartsEmpty), kCannotOpen);
    EXPECT_TRUE(file.lines.empty());
}

TEST_F(TaskFileLoad, LinesOfAnyLengthComeOutWholeWithTheirOwnLineEnds) {
    // Lines of growing length, some far longer than a read block, so that lines straddle
    // block ends; a "#" inside a long title starts no line of its own; line ends of every kind.
    std::vector<std::string> expected;
    for (int i = 0; i < 300; ++i) {
        const size_t length = static_cast<size_t>(i) * static_cast<size_t>(i) * 7 % 150000;
        std::string title(length, 't');
        if (length > 420) {
            title[418] = '#';
        }
        expected.push_back(FormatTaskLine(2000, 1, 1, 0, 0, 0, title, std::to_string(i), 6));
        if (i % 3 == 0) {
            expected.emplace_back("a note, no task\n");
        }
        if (i % 7 == 0) {
            expected.emplace_back("\r\n");
        }
    }
    expected.emplace_back("#7/4/1999{+}2{+}0{+}0{+}last{+}without its line end{+}6\r");
    std::string content;
    for (const std::string& line : expected) {
        content += line;
    }
    WriteTasks(content);

    TaskFileLines file;
    ASSERT_EQ(File().Load(file, MissingTaskFile::Fail), kDone);
    ASSERT_EQ(file.lines.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        ASSERT_EQ(file.lines[i], expected[i]) << i;
    }
}

}  // namespace
