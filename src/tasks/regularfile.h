#pragma once

#include <cstdint>
#include <string>

#include "tasks/linereader.h"

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

// Who a file is and what it holds, as far as the file system tells without reading it. Two
// equal stamps are, for all practical purposes, the same version of the same file: a file
// replaced by rename is a new file, and any write changes the change time.
struct FileStamp {
    bool bExists = false;
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    std::int64_t size = 0;
    std::int64_t modifiedNs = 0;
    std::int64_t changedNs = 0;

    bool operator==(const FileStamp&) const = default;
};

FileStamp StampOfFile(const std::string& path);
