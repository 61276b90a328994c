#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <string_view>

#include "tasks/taskfile.h"

// Gives every test a fresh folder of its own holding the task file "nkdat".
class TaskFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::random_device random;
        m_dir = std::filesystem::temp_directory_path() /
                ("marmoset-tasks-" + std::to_string(random()) + std::to_string(random()));
        ASSERT_TRUE(std::filesystem::create_directory(m_dir));
        g_szTaskFilePath = (m_dir / "nkdat").string();
    }

    void TearDown() override {
        g_szTaskFilePath.clear();
        std::error_code error;
        std::filesystem::remove_all(m_dir, error);
    }

    static void WriteFile(const std::string& path, std::string_view content) {
        std::ofstream file(path, std::ios::binary | std::ios::trunc);
        file.write(content.data(), static_cast<std::streamsize>(content.size()));
        ASSERT_TRUE(file.good());
    }

    static std::string ReadFile(const std::string& path) {
        std::ifstream file(path, std::ios::binary);
        return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    }

    static void WriteTasks(std::string_view content) { WriteFile(g_szTaskFilePath, content); }
    static std::string ReadTasks() { return ReadFile(g_szTaskFilePath); }
    static bool TempExists() { return std::filesystem::exists(TempFilePath()); }

    std::filesystem::path m_dir;
};
