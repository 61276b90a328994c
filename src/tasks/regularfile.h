#pragma once

#include <cstdio>
#include <memory>
#include <string>

struct FileCloser {
    void operator()(std::FILE* file) const { (void)std::fclose(file); }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

// What a path holds, as far as reading it as a file goes.
enum class FileKind {
    Regular,
    Missing,
    Folder,
    Pipe,    // a named pipe (FIFO)
    Device,  // a character or block device
    Socket,
    Other,       // anything else that is not a regular file
    Unreadable,  // a regular file that cannot be opened (no permission, say)
};

// Opens path for reading only when it is a regular file, and never waits in the open itself:
// a named pipe without a writer or a device would otherwise hold the caller up for good.
// Reads from the returned file behave as usual. pKind, when given, says what the path holds.
FilePtr OpenRegularFileToRead(const std::string& path, FileKind* pKind = nullptr);

// What the path holds, found without opening it.
FileKind KindOfFile(const std::string& path);
