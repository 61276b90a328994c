#include "tasks/filesync.h"

// The only place in the task code that needs the system's own file calls.
#ifdef _WIN32
#include <io.h>
#else
#include <fcntl.h>
#include <unistd.h>
#endif

bool FlushFileToDisk(std::FILE* file) {
    if (std::fflush(file) != 0) {
        return false;
    }
#ifdef _WIN32
    return _commit(_fileno(file)) == 0;
#else
    return fsync(fileno(file)) == 0;
#endif
}

void FlushDirectoryToDisk(const std::string& directory) {
#ifdef _WIN32
    // Windows commits a rename together with the file system's metadata.
    (void)directory;
#else
    const int fd = open(directory.empty() ? "." : directory.c_str(), O_RDONLY | O_DIRECTORY);
    if (fd >= 0) {
        (void)fsync(fd);
        (void)close(fd);
    }
#endif
}
