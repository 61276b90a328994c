#include "tasks/taskfile.h"

#include <filesystem>
#include <utility>

#include "res/strings.h"
#include "tasks/filestamp.h"
#include "tasks/filesync.h"

// The task file's own calls to the file system (open, write the temporary file, flush it,
// rename, remove) are all here and in the two platform files below them (regularfile.cpp,
// filesync.cpp).

namespace {

namespace fs = std::filesystem;

constexpr size_t kWriteBuffer = size_t{1} << 18;

bool Write(std::FILE* file, std::string_view bytes) {
    return std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
}

// Writes a line and ends it when it lacks its line end, so that nothing written after it
// can be glued onto it.
bool WriteWholeLine(std::FILE* file, std::string_view line) {
    if (!Write(file, line)) {
        return false;
    }
    if (line.ends_with('\n')) {
        return true;
    }
    return Write(file, line.ends_with('\r') ? "\n" : "\r\n");
}

int WriteLines(std::FILE* temp, std::span<const std::string_view> lines) {
    for (const std::string_view line : lines) {
        if (!WriteWholeLine(temp, line)) {
            return kCannotCreateTemp;
        }
    }
    return std::fflush(temp) == 0 ? kDone : kCannotCreateTemp;
}

bool IsMissing(const std::string& path) {
    std::error_code error;
    return !fs::exists(path, error) && !error;
}

}  // namespace

const char* FailureReason(int result) {
    switch (result) {
        case kCannotOpen:
            return Str::ReasonCannotRead;
        case kCannotCreateTemp:
            return Str::ReasonCannotWriteTemp;
        case kCannotFlushTemp:
            return Str::ReasonCannotFlush;
        default:
            return Str::ReasonCannotReplace;
    }
}

CTaskFile::CTaskFile(std::string path) : m_strPath(std::move(path)) {}

std::string CTaskFile::TempPath() const {
    return fs::path(m_strPath).replace_filename(kTempFileName).string();
}

FilePtr CTaskFile::OpenToRead(FileKind* pKind) const {
    return OpenRegularFileToRead(m_strPath, pKind);
}

std::string CTaskFile::ProblemText() const {
    FileKind kind = FileKind::Regular;
    static_cast<void>(OpenToRead(&kind));
    const char* problem = Str::ReasonCannotRead;
    switch (kind) {
        case FileKind::Missing:
            problem = Str::TaskFileNotFound;
            break;
        case FileKind::Folder:
            problem = Str::TaskFileIsFolder;
            break;
        case FileKind::Pipe:
            problem = Str::TaskFileIsPipe;
            break;
        case FileKind::Device:
            problem = Str::TaskFileIsDevice;
            break;
        case FileKind::Socket:
        case FileKind::Other:
            problem = Str::TaskFileIsNotAFile;
            break;
        case FileKind::Regular:
        case FileKind::Unreadable:
            break;
    }
    return std::string(problem) + "\n\n" + m_strPath;
}

int CTaskFile::Load(TaskFileLines& file, MissingTaskFile missing) const {
    file.text.Clear();
    file.lines.clear();
    const FilePtr taskFile = OpenToRead();
    if (!taskFile) {
        return missing == MissingTaskFile::StartsEmpty && IsMissing(m_strPath) ? kDone
                                                                               : kCannotOpen;
    }
    // A copy cut short by a read error must never replace the file.
    FileStamp stamp;
    const std::uint64_t size = ReadFileStamp(taskFile.get(), stamp) ? stamp.size : 0;
    if (file.text.Read(taskFile.get(), size) == CFileText::Outcome::Failed) {
        return kCannotOpen;
    }
    const std::string_view text = file.text.View();
    for (std::size_t at = 0; at < text.size(); at += file.lines.back().size()) {
        file.lines.push_back(LineAt(text, at));
    }
    return kDone;
}

int CTaskFile::CloseOnDisk(std::FILE* temp) const {
    const bool synced = !Fault(RewriteStep::FlushToDisk) && FlushFileToDisk(temp);
    const bool closed = std::fclose(temp) == 0;
    return synced && closed ? kDone : kCannotFlushTemp;
}

int CTaskFile::PutInPlace(const std::string& tempPath) const {
    if (Fault(RewriteStep::Rename)) {
        return kCannotReplace;
    }
    // One rename that replaces the task file: at every moment the path holds either the old
    // or the new file.
    std::error_code error;
    fs::rename(tempPath, m_strPath, error);
    return error ? kCannotReplace : kDone;
}

int CTaskFile::Replace(std::span<const std::string_view> lines) const {
    // A temporary file left by an interrupted rewrite is simply replaced.
    const std::string tempPath = TempPath();
    (void)std::remove(tempPath.c_str());
    FilePtr temp(std::fopen(tempPath.c_str(), "wb"));
    if (!temp) {
        return kCannotCreateTemp;
    }
    (void)std::setvbuf(temp.get(), nullptr, _IOFBF, kWriteBuffer);
    // The new file keeps who may read the old one; failing that changes no content.
    std::error_code error;
    const fs::file_status status = fs::status(m_strPath, error);
    if (!error && fs::exists(status)) {
        fs::permissions(tempPath, status.permissions(), error);
    }

    int result = WriteLines(temp.get(), lines);
    if (result == kDone) {
        result = CloseOnDisk(temp.release());
    }
    temp.reset();
    if (result == kDone) {
        result = PutInPlace(tempPath);
    }
    if (result != kDone) {
        (void)std::remove(tempPath.c_str());
        return result;
    }
    FlushDirectoryToDisk(fs::path(m_strPath).parent_path().string());
    return kDone;
}

bool CTaskFile::RemoveLeftoverTempFile() const {
    const std::string tempPath = TempPath();
    std::error_code error;
    const fs::file_status status = fs::symlink_status(tempPath, error);
    if (error || !(fs::is_regular_file(status) || fs::is_symlink(status))) {
        return false;
    }
    return fs::remove(tempPath, error) && !error;
}
