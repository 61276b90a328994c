#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "tasks/taskfile.h"

// A fresh folder holding the task file "nkdat" for as long as the object lives. The one
// task-file fixture of the core tests: use it as a member, or through TaskFileTest.
class TaskFileScope {
public:
    TaskFileScope() : m_dir(MakeFolder()), m_file((m_dir / "nkdat").string()) {}

    ~TaskFileScope() {
        std::error_code ignored;
        std::filesystem::remove_all(m_dir, ignored);
    }
    TaskFileScope(const TaskFileScope&) = delete;
    TaskFileScope& operator=(const TaskFileScope&) = delete;

    const std::filesystem::path& Dir() const { return m_dir; }
    // The task file object every operation under test is handed.
    CTaskFile& File() { return m_file; }
    const CTaskFile& File() const { return m_file; }
    const std::string& Path() const { return m_file.Path(); }

    // Writes each line followed by CR LF.
    void WriteTasks(const std::vector<std::string>& lines) const {
        std::string content;
        for (const std::string& line : lines) {
            content += line + "\r\n";
        }
        WriteFile(Path(), content);
    }

    std::string Content() const { return ReadFile(Path()); }

    // The file's lines without their CR LF.
    std::vector<std::string> Lines() const {
        std::vector<std::string> lines;
        const std::string content = Content();
        std::size_t start = 0;
        while (start < content.size()) {
            const std::size_t end = content.find("\r\n", start);
            if (end == std::string::npos) {
                lines.push_back(content.substr(start));
                break;
            }
            lines.push_back(content.substr(start, end - start));
            start = end + 2;
        }
        return lines;
    }

    static void WriteFile(const std::string& path, std::string_view content) {
        std::ofstream file(path, std::ios::binary | std::ios::trunc);
        file.write(content.data(), static_cast<std::streamsize>(content.size()));
        ASSERT_TRUE(file.good()) << path;
    }

    static std::string ReadFile(const std::string& path) {
        std::ifstream file(path, std::ios::binary);
        return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    }

private:
    static std::filesystem::path MakeFolder() {
        std::random_device random;
        std::filesystem::path dir =
            std::filesystem::temp_directory_path() /
            ("marmoset-tasks-" + std::to_string(random()) + std::to_string(random()));
        std::filesystem::create_directories(dir);
        return dir;
    }

    std::filesystem::path m_dir;
    CTaskFile m_file;
};

// Gives every test a task file of its own, written and read as raw bytes.
class TaskFileTest : public ::testing::Test {
protected:
    static void WriteFile(const std::string& path, std::string_view content) {
        TaskFileScope::WriteFile(path, content);
    }
    static std::string ReadFile(const std::string& path) { return TaskFileScope::ReadFile(path); }

    void WriteTasks(std::string_view content) const { WriteFile(Path(), content); }
    std::string ReadTasks() const { return ReadFile(Path()); }
    bool TempExists() const { return std::filesystem::exists(File().TempPath()); }
    CTaskFile& File() { return m_scope.File(); }
    const CTaskFile& File() const { return m_scope.File(); }
    const std::string& Path() const { return m_scope.Path(); }

    TaskFileScope m_scope;
    const std::filesystem::path& m_dir = m_scope.Dir();
};
