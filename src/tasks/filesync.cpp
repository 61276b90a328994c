#include "tasks/filesync.h"

// One of the few places in the task code that needs the system's own file calls.
#ifdef _WIN32
#include <io.h>
#include <windows.h>
#else
#include <fcntl.h>
#include <unistd.h>
#endif

bool FlushFileToDisk(std::FILE* file) {
    if (std::fflush(file) != 0) {
        return false;
    }
#ifdef _WIN32
    const auto handle = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(file)));
    return handle != INVALID_HANDLE_VALUE && FlushFileBuffers(handle) != 0;
#else
    return fsync(fileno(file)) == 0;
#endif
}

void FlushDirectoryToDisk(const std::string& directory) {
#ifdef _WIN32
    // The rename itself asks Windows to write it through (MOVEFILE_WRITE_THROUGH).
    (void)directory;
#else
    const int fd = open(directory.empty() ? "." : directory.c_str(), O_RDONLY | O_DIRECTORY);
    if (fd >= 0) {
        (void)fsync(fd);
        (void)close(fd);
    }
#endif
}
