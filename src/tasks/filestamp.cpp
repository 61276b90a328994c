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

#ifdef _WIN32
// Whole seconds, and no file identity; the change time is when the file was made.
using Status = struct _stat64;

int StatusOfOpenFile(std::FILE* file, Status& status) {
    return _fstat64(_fileno(file), &status);
}

int StatusOfPath(const std::string& path, Status& status) {
    return _stat64(path.c_str(), &status);
}

std::int64_t ModifiedNs(const Status& status) {
    return static_cast<std::int64_t>(status.st_mtime) * kNsPerSecond;
}

std::int64_t ChangedNs(const Status& status) {
    return static_cast<std::int64_t>(status.st_ctime) * kNsPerSecond;
}
#else
using Status = struct stat;

int StatusOfOpenFile(std::FILE* file, Status& status) {
    return fstat(fileno(file), &status);
}

int StatusOfPath(const std::string& path, Status& status) {
    return stat(path.c_str(), &status);
}

std::int64_t ModifiedNs(const Status& status) {
    return static_cast<std::int64_t>(status.st_mtim.tv_sec) * kNsPerSecond + status.st_mtim.tv_nsec;
}

std::int64_t ChangedNs(const Status& status) {
    return static_cast<std::int64_t>(status.st_ctim.tv_sec) * kNsPerSecond + status.st_ctim.tv_nsec;
}
#endif

FileStamp StampOf(const Status& status) {
    return FileStamp{
        .bExists = true,
        .device = static_cast<std::uint64_t>(status.st_dev),
        .inode = static_cast<std::uint64_t>(status.st_ino),
        .size = static_cast<std::uint64_t>(status.st_size),
        .modifiedNs = ModifiedNs(status),
        .changedNs = ChangedNs(status),
    };
}

}  // namespace

bool ReadFileStamp(std::FILE* file, FileStamp& stamp) {
    Status status{};
    if (StatusOfOpenFile(file, status) != 0) {
        return false;
    }
    stamp = StampOf(status);
    return true;
}

FileStamp StampOfFile(const std::string& path) {
    Status status{};
    return StatusOfPath(path, status) == 0 ? StampOf(status) : FileStamp{};
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
