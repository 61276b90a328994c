#pragma once

#include <string>
#include <string_view>

// A task file that lives in memory (an anonymous memory file) yet has a path, so that the
// readers that open the task file by its path read it without touching a disk. Writing new
// content replaces the old in place; nothing is created or removed per input.
class CMemoryTaskFile {
public:
    CMemoryTaskFile();
    ~CMemoryTaskFile();
    CMemoryTaskFile(const CMemoryTaskFile&) = delete;
    CMemoryTaskFile& operator=(const CMemoryTaskFile&) = delete;

    void Write(std::string_view content);
    // The path that opens this file; readers take it as the task file's.
    const std::string& Path() const { return m_strPath; }

private:
    int m_nFd = -1;
    std::string m_strPath;
};
