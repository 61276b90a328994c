#include "tasks/filestamp.h"

#include <chrono>

// The only place in the task code that asks the system for a file's times and identity.
#ifdef _WIN32
#include <io.h>
#include <windows.h>

#include "tasks/fileplatform.h"
#else
#include <sys/stat.h>
#endif

namespace {

constexpr std::int64_t kNsPerSecond = 1'000'000'000;

#ifdef _WIN32
// The C library's stat gives whole seconds and no file identity on Windows, which would take
// a file swapped for another of the same size within a second for the same file; the system
// gives the volume, the file's index on it, and times in tenths of a microsecond, the change
// time included.
struct Status {
    BY_HANDLE_FILE_INFORMATION identity;
    FILE_BASIC_INFO times;
};

int StatusOfHandle(HANDLE handle, Status& status) {
    const bool bRead =
        handle != INVALID_HANDLE_VALUE && GetFileInformationByHandle(handle, &status.identity) &&
        GetFileInformationByHandleEx(handle, FileBasicInfo, &status.times, sizeof(status.times));
    return bRead ? 0 : -1;
}

int StatusOfOpenFile(std::FILE* file, Status& status) {
    return StatusOfHandle(reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(file))), status);
}

int StatusOfPath(const std::string& path, Status& status) {
    // Attributes only: no other program's way of opening the file stands in the way.
    HANDLE handle = CreateFileW(NativePath(path).c_str(), FILE_READ_ATTRIBUTES,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    const int result = StatusOfHandle(handle, status);
    if (handle != INVALID_HANDLE_VALUE) {
        CloseHandle(handle);
    }
    return result;
}

// File times count tenths of a microsecond from 1601.
std::int64_t NsSince1970(LARGE_INTEGER time) {
    constexpr std::int64_t kTicksFrom1601To1970 = 116'444'736'000'000'000;
    return (time.QuadPart - kTicksFrom1601To1970) * 100;
}

std::int64_t ModifiedNs(const Status& status) {
    return NsSince1970(status.times.LastWriteTime);
}

std::int64_t ChangedNs(const Status& status) {
    return NsSince1970(status.times.ChangeTime);
}

std::uint64_t Joined(DWORD high, DWORD low) {
    return (std::uint64_t{high} << 32) | low;
}

FileStamp StampOf(const Status& status) {
    return FileStamp{
        .bExists = true,
        .device = status.identity.dwVolumeSerialNumber,
        .inode = Joined(status.identity.nFileIndexHigh, status.identity.nFileIndexLow),
        .size = Joined(status.identity.nFileSizeHigh, status.identity.nFileSizeLow),
        .modifiedNs = ModifiedNs(status),
        .changedNs = ChangedNs(status),
    };
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
#endif

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
