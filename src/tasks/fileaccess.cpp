#include "tasks/fileaccess.h"

#ifndef _WIN32
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#endif

#ifndef _WIN32

std::FILE* CreatePrivateFile(const std::string& path) {
    const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOCTTY, 0600);
    if (fd < 0) {
        return nullptr;
    }
    std::FILE* file = fdopen(fd, "wb");
    if (file == nullptr) {
        // Nothing made is left behind.
        (void)close(fd);
        (void)unlink(path.c_str());
    }
    return file;
}

bool TakeAccessOf(std::FILE* file, const std::string& modelPath) {
    struct stat model {};
    if (stat(modelPath.c_str(), &model) != 0) {
        return errno == ENOENT;
    }
    const int fd = fileno(file);
    // Asked even when the owner is already the same, so that a group the user may not hand
    // out is found here and not after the file took the task file's place.
    return fchown(fd, model.st_uid, model.st_gid) == 0 && fchmod(fd, model.st_mode & 07777) == 0;
}

#else

std::FILE* CreatePrivateFile(const std::string& path) {
    // "x": never over a file that is there already.
    return std::fopen(path.c_str(), "wbx");
}

bool TakeAccessOf(std::FILE*, const std::string&) {
    // On Windows who may open a file is its access list, which a new file in the task file's
    // folder takes from the folder, as the task file did.
    return true;
}

#endif
