#include "tasks/regularfile.h"

// One of the few places in the task code that needs the system's own file calls.
#ifdef _WIN32
#include <filesystem>
#include <system_error>

#include "tasks/fileplatform.h"
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#endif

#ifndef _WIN32

namespace {

FileKind KindOfMode(mode_t mode) {
    if (S_ISREG(mode)) {
        return FileKind::Regular;
    }
    if (S_ISDIR(mode)) {
        return FileKind::Folder;
    }
    if (S_ISFIFO(mode)) {
        return FileKind::Pipe;
    }
    if (S_ISCHR(mode) || S_ISBLK(mode)) {
        return FileKind::Device;
    }
    if (S_ISSOCK(mode)) {
        return FileKind::Socket;
    }
    return FileKind::Other;
}

FileKind KindOfError(int error) {
    if (error == ENAMETOOLONG) {
        return FileKind::NameTooLong;
    }
    return error == ENOENT || error == ENOTDIR ? FileKind::Missing : FileKind::Unreadable;
}

}  // namespace

FileKind KindOfFile(const std::string& path) {
    struct stat status {};
    if (stat(path.c_str(), &status) != 0) {
        return KindOfError(errno);
    }
    return KindOfMode(status.st_mode);
}

FilePtr OpenRegularFileToRead(const std::string& path, FileKind* pKind) {
    FileKind ignored = FileKind::Regular;
    FileKind& kind = pKind != nullptr ? *pKind : ignored;
    // Only a regular file is opened at all: opening some devices already does something.
    kind = KindOfFile(path);
    if (kind != FileKind::Regular) {
        return nullptr;
    }
    // The path may have been swapped for a pipe since; a non-blocking open cannot hang on one.
    const int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        kind = KindOfError(errno);
        return nullptr;
    }
    struct stat status {};
    kind = fstat(fd, &status) == 0 ? KindOfMode(status.st_mode) : FileKind::Unreadable;
    const int flags = fcntl(fd, F_GETFL);
    if (kind != FileKind::Regular || flags < 0 || fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) != 0) {
        kind = kind == FileKind::Regular ? FileKind::Unreadable : kind;
        (void)close(fd);
        return nullptr;
    }
    FilePtr file(fdopen(fd, "rb"));
    if (!file) {
        kind = FileKind::Unreadable;
        (void)close(fd);
    }
    return file;
}

#else

namespace {

namespace fs = std::filesystem;

}  // namespace

FileKind KindOfFile(const std::string& path) {
    std::error_code error;
    const fs::file_status status = fs::status(NativePath(path), error);
    switch (status.type()) {
        case fs::file_type::regular:
            return FileKind::Regular;
        case fs::file_type::not_found:
            return FileKind::Missing;
        case fs::file_type::directory:
            return FileKind::Folder;
        case fs::file_type::fifo:
            return FileKind::Pipe;
        case fs::file_type::character:
        case fs::file_type::block:
            return FileKind::Device;
        case fs::file_type::socket:
            return FileKind::Socket;
        default:
            if (error == std::errc::filename_too_long) {
                return FileKind::NameTooLong;
            }
            return error ? FileKind::Unreadable : FileKind::Other;
    }
}

FilePtr OpenRegularFileToRead(const std::string& path, FileKind* pKind) {
    FileKind ignored = FileKind::Regular;
    FileKind& kind = pKind != nullptr ? *pKind : ignored;
    kind = KindOfFile(path);
    if (kind != FileKind::Regular) {
        return nullptr;
    }
    FilePtr file(_wfopen(NativePath(path).c_str(), L"rb"));
    if (!file) {
        kind = FileKind::Unreadable;
    }
    return file;
}

#endif
