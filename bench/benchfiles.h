#pragma once

// Task files of a given number of tasks for the benchmarks, made once per size in a folder
// of their own and removed at the end of the run.

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "tasks/filesync.h"
#include "tasks/taskfile.h"
#include "tasks/taskline.h"

class BenchFiles {
public:
    BenchFiles() {
        m_dir = std::filesystem::temp_directory_path() /
                ("marmoset-bench-" + std::to_string(std::random_device{}()));
        std::filesystem::create_directories(m_dir);
    }
    ~BenchFiles() {
        std::error_code error;
        std::filesystem::remove_all(m_dir, error);
    }
    BenchFiles(const BenchFiles&) = delete;
    BenchFiles& operator=(const BenchFiles&) = delete;

    // The path of a task file of count tasks, written on first use.
    std::string Use(int count) {
        const std::filesystem::path path = m_dir / ("tasks" + std::to_string(count));
        if (m_written.insert({count, true}).second) {
            std::mt19937 random(static_cast<unsigned>(count));
            std::ofstream file(path, std::ios::binary | std::ios::trunc);
            for (int i = 1; i <= count; ++i) {
                const int month = static_cast<int>(random() % 12) + 1;
                const int day = static_cast<int>(random() % 28) + 1;
                const int recurrence = i % 5 == 0 ? 31 + i % 7 : i % 3;
                file << FormatTaskLine(1999 + i % 38, month, day, i % 31, i % 5, recurrence,
                                       "Task number " + std::to_string(i),
                                       i % 4 == 0 ? "(none)" : "Bring the list and the keys",
                                       i % 24 + 1);
                if (i % 100 == 0) {
                    file << "\r\n";
                }
            }
        }
        return path.string();
    }

    const std::filesystem::path& Dir() const { return m_dir; }

private:
    std::filesystem::path m_dir;
    std::map<int, bool> m_written;
};

inline BenchFiles& Files() {
    static BenchFiles files;
    return files;
}

// The plain rewrite operations are measured against: read all the task file's lines, write
// them to the temporary file, flush it to the disk and rename it over the task file.
inline bool PlainRewrite(const CTaskFile& file) {
    std::vector<std::string> lines;
    {
        std::ifstream in(file.Path(), std::ios::binary);
        for (std::string line; std::getline(in, line);) {
            lines.push_back(std::move(line));
        }
    }
    const std::string temp = file.TempPath();
    std::FILE* out = std::fopen(temp.c_str(), "wb");
    if (out == nullptr) {
        return false;
    }
    for (const std::string& line : lines) {
        (void)std::fwrite(line.data(), 1, line.size(), out);
        (void)std::fputc('\n', out);
    }
    const bool flushed = FlushFileToDisk(out);
    const bool closed = std::fclose(out) == 0;
    std::error_code error;
    std::filesystem::rename(temp, file.Path(), error);
    return flushed && closed && !error;
}
