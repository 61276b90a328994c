#include "tasks/filestamp.h"

#include <chrono>

// The only place in the task code that asks the system for a file's times and identity.
#ifdef _WIN32
#include <io.h>
#include <sys/stat.h>
#include <sys/types.h>
#else
#include <sys/stat.h>
#endif

namespace {

constexpr std::int64_t kNsPerSecond = 1'000'000'000;

}  // namespace

bool ReadFileStamp(std::FILE* file, FileStamp& stamp) {
#ifdef _WIN32
    // Whole seconds, and no file identity; the change time is when the file was made.
    struct _stat64 status {};
    if (_fstat64(_fileno(file), &status) != 0) {
        return false;
    }
    stamp = FileStamp{
        .device = static_cast<std::uint64_t>(status.st_dev),
        .inode = static_cast<std::uint64_t>(status.st_ino),
        .size = static_cast<std::uint64_t>(status.st_size),
        .modifiedNs = static_cast<std::int64_t>(status.st_mtime) * kNsPerSecond,
        .changedNs = static_cast<std::int64_t>(status.st_ctime) * kNsPerSecond,
    };
    return true;
#else
    struct stat status {};
    if (fstat(fileno(file), &status) != 0) {
        return false;
    }
    stamp = FileStamp{
        .device = static_cast<std::uint64_t>(status.st_dev),
        .inode = static_cast<std::uint64_t>(status.st_ino),
        .size = static_cast<std::uint64_t>(status.st_size),
        .modifiedNs = static_cast<std::int64_t>(status.st_mtim.tv_sec) * kNsPerSecond +
                      status.st_mtim.tv_nsec,
        .changedNs = static_cast<std::int64_t>(status.st_ctim.tv_sec) * kNsPerSecond +
                     status.st_ctim.tv_nsec,
    };
    return true;
#endif
}

std::int64_t CSystemFileClock::NowNs() const {
    // The system clock counts from 1970 UTC, as file times do.
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::system_clock::now().time_since_epoch())
        .count();
}

const IFileClock& SystemFileClock() {
    static const CSystemFileClock s_clock;
    return s_clock;
}
