#include "tasks/filetext.h"

#include <gtest/gtest.h>

#include <string>

#include "tasks/taskfilefixture.h"

namespace {

using FileTextTest = TaskFileTest;
using Outcome = CFileText::Outcome;

// One kept buffer read again and again: whatever room the last read left, and whatever size
// the file was expected to have, the text is the file as it is now, and a read says whether
// it is what it was.
TEST_F(FileTextTest, ReadsEachFileWholeAndTellsWhetherItChanged) {
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
        const Outcome outcome = file ? text.Read(file.get(), expected) : Outcome::Failed;
        EXPECT_EQ(text.View(), content);
        return outcome;
    };

    EXPECT_EQ(readFile(large, 0), Outcome::Changed);  // grows many times on the way
    EXPECT_EQ(readFile(large, large.size()), Outcome::Same);
    std::string changed = large;
    changed[2'000'000] = 'x';  // far into the file, past the first blocks
    EXPECT_EQ(readFile(changed, changed.size()), Outcome::Changed);
    EXPECT_EQ(readFile(changed.substr(0, 2'500'000), 2'500'000), Outcome::Changed);
    EXPECT_EQ(readFile("short", 5), Outcome::Changed);                      // room given back
    EXPECT_EQ(readFile(large.substr(0, 100'000), 1000), Outcome::Changed);  // larger than said
    EXPECT_EQ(readFile("", 0), Outcome::Changed);
    EXPECT_EQ(readFile("", 0), Outcome::Same);

    // A folder opens on some systems but cannot be read: no text.
    EXPECT_EQ(readFile(large, large.size()), Outcome::Changed);
    const FilePtr folder(std::fopen(m_dir.string().c_str(), "rb"));
    if (folder) {
        EXPECT_EQ(text.Read(folder.get(), 0), Outcome::Failed);
        EXPECT_TRUE(text.View().empty());
    }
}

}  // namespace
