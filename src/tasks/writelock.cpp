#include "tasks/writelock.h"

#include <algorithm>
#include <thread>

// The lock is one of the few places in the task code that needs the system's own calls: only
// TryLock and the constructor's open and the destructor's close differ between systems.
#ifndef _WIN32
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#else
#include <windows.h>

#include "tasks/fileplatform.h"
#endif

namespace {

enum class Attempt { Locked, Busy, Failed };

#ifndef _WIN32

long long OpenLockFile(const std::string& path) {
    // The file holds nothing; a descriptor for reading is all a lock needs, so anyone who may
    // read the folder's lock file can take part.
    int fd = -1;
    do {
        fd = open(path.c_str(), O_RDONLY | O_CREAT | O_CLOEXEC | O_NOCTTY, 0644);
    } while (fd < 0 && errno == EINTR);
    return fd;
}

// flock rather than a record lock: it belongs to the open file, not to the process, so two
// threads of one program exclude each other too, and closing some other descriptor of the same
// file never lets go of it.
Attempt TryLock(long long handle) {
    if (flock(static_cast<int>(handle), LOCK_EX | LOCK_NB) == 0) {
        return Attempt::Locked;
    }
    return errno == EWOULDBLOCK || errno == EINTR ? Attempt::Busy : Attempt::Failed;
}

void CloseLockFile(long long handle) {
    (void)close(static_cast<int>(handle));
}

#else

long long OpenLockFile(const std::string& path) {
    // Others may open the lock file as they like; only the byte range lock below excludes.
    const HANDLE file = CreateFileW(NativePath(path).c_str(), GENERIC_READ | GENERIC_WRITE,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                    OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    return file == INVALID_HANDLE_VALUE ? -1 : reinterpret_cast<long long>(file);
}

// An exclusive lock on the file's first byte. Like flock it belongs to the handle, so two
// writers of one program exclude each other, and the system lets go of it when the holder ends.
Attempt TryLock(long long handle) {
    OVERLAPPED at{};
    if (LockFileEx(reinterpret_cast<HANDLE>(handle),
                   LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &at)) {
        return Attempt::Locked;
    }
    return GetLastError() == ERROR_LOCK_VIOLATION ? Attempt::Busy : Attempt::Failed;
}

void CloseLockFile(long long handle) {
    (void)CloseHandle(reinterpret_cast<HANDLE>(handle));
}

#endif

}  // namespace

CWriteLock::CWriteLock(const std::string& lockPath, std::chrono::milliseconds wait) {
    m_nHandle = OpenLockFile(lockPath);
    if (m_nHandle < 0) {
        return;
    }
    const auto deadline = std::chrono::steady_clock::now() + wait;
    // Short naps at first, as most rewrites are over in a few milliseconds.
    auto nap = std::chrono::milliseconds(1);
    for (;;) {
        const Attempt attempt = TryLock(m_nHandle);
        if (attempt == Attempt::Locked) {
            m_outcome = Outcome::Held;
            return;
        }
        if (attempt == Attempt::Failed) {
            return;
        }
        const auto now = std::chrono::steady_clock::now();
        if (now >= deadline) {
            m_outcome = Outcome::Busy;
            return;
        }
        std::this_thread::sleep_for(
            std::min<std::chrono::steady_clock::duration>(nap, deadline - now));
        nap = std::min(nap * 2, std::chrono::milliseconds(32));
    }
}

CWriteLock::~CWriteLock() {
    // Closing the file lets go of the lock.
    if (m_nHandle >= 0) {
        CloseLockFile(m_nHandle);
    }
}
