#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

// What tells one version of a file from another without reading it: which file it is, its
// size, and when its content and its directory entry last changed, in nanoseconds since 1970
// UTC as far as the file system keeps them.
struct FileStamp {
    bool bExists = false;
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    std::uint64_t size = 0;
    std::int64_t modifiedNs = 0;
    std::int64_t changedNs = 0;

    bool operator==(const FileStamp&) const = default;
};

// The stamp of an open file. False when the system gives none.
bool ReadFileStamp(std::FILE* file, FileStamp& stamp);
// The stamp of whatever the path names now; an empty stamp (bExists false) when nothing.
FileStamp StampOfFile(const std::string& path);

// The wall clock that file times are kept in, in nanoseconds since 1970 UTC; tests put a clock
// of their own in its place.
class IFileClock {
public:
    virtual ~IFileClock() = default;
    virtual std::int64_t NowNs() const = 0;
};

class CSystemFileClock final : public IFileClock {
public:
    std::int64_t NowNs() const override;
};

// The system's clock, for the whole program.
const IFileClock& SystemFileClock();
