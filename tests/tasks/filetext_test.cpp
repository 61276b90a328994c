#include "tasks/filetext.h"

#include <gtest/gtest.h>

#include <string>

#include "tasks/taskfilefixture.h"

namespace {

using FileTextTest = TaskFileTest;

// One kept buffer read again and again: whatever room the last read left, and whatever size
// the file was expected to have, the text is the file as it is now.
TEST_F(FileTextTest, ReadsEachFileWholeWhateverRoomTheLastReadLeft) {
    std::string large;
    for (int i = 0; large.size() < 3'000'000; ++i) {
        large += "#1/1/2030{+}0{+}0{+}0{+}Task " + std::to_string(i) + "{+}{+}6\r\n";
    }
    const std::string path = (m_dir / "text").string();
    CFileText text;
    const auto readFile = [&](const std::string& content, std::uint64_t expected) {
        WriteFile(path, content);
        const FilePtr file(std::fopen(path.c_str(), "rb"));
        EXPECT_TRUE(file);
        return file && text.Read(file.get(), expected);
    };

    ASSERT_TRUE(readFile(large, 0));  // grows many times on the way
    EXPECT_EQ(text.View(), large);
    ASSERT_TRUE(readFile("short", 5));  // room given back
    EXPECT_EQ(text.View(), "short");
    ASSERT_TRUE(readFile(large.substr(0, 100'000), 1000));  // larger than expected
    EXPECT_EQ(text.View(), large.substr(0, 100'000));
    ASSERT_TRUE(readFile("", 0));
    EXPECT_TRUE(text.View().empty());

    // A folder opens on some systems but cannot be read: no text.
    ASSERT_TRUE(readFile(large, large.size()));
    const FilePtr folder(std::fopen(m_dir.string().c_str(), "rb"));
    if (folder) {
        EXPECT_FALSE(text.Read(folder.get(), 0));
        EXPECT_TRUE(text.View().empty());
    }
}

}  // namespace
