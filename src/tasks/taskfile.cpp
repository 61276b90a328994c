#include "tasks/taskfile.h"

#include <filesystem>
#include <optional>
#include <utility>

#include "res/strings.h"
#include "tasks/fileplatform.h"
#include "tasks/filestamp.h"
#include "tasks/filesync.h"
#include "tasks/writelock.h"

// The task file's own calls to the file system (open, write the temporary file, flush it,
// rename, remove) are all here and in the platform files below them (fileplatform.cpp,
// regularfile.cpp, filesync.cpp, writelock.cpp).

namespace {

namespace fs = std::filesystem;

constexpr size_t kWriteBuffer = size_t{1} << 18;
// As many links in a row as the system itself follows.
constexpr int kMostLinks = 40;

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
    return !fs::exists(NativePath(path), error) && !error;
}

int LoadLines(const std::string& path, TaskFileLines& file, MissingTaskFile missing) {
    file.text.Clear();
    file.lines.clear();
    const FilePtr taskFile = OpenRegularFileToRead(path);
    if (!taskFile) {
        return missing == MissingTaskFile::StartsEmpty && IsMissing(path) ? kDone : kCannotOpen;
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

}  // namespace

const char* FailureReason(int result) {
    switch (result) {
        case kCannotOpen:
            return Str::ReasonCannotRead;
        case kCannotCreateTemp:
            return Str::ReasonCannotWriteTemp;
        case kCannotFlushTemp:
            return Str::ReasonCannotFlush;
        case kBusy:
            return Str::ReasonBusy;
        case kCannotKeepAccess:
            return Str::ReasonCannotKeepAccess;
        default:
            return Str::ReasonCannotReplace;
    }
}

CTaskFile::CTaskFile(std::string path) : m_strPath(std::move(path)) {}

bool CTaskFile::FindPlaces(Places& places) const {
    // Each link leads on to its target, which a relative link names from its own folder. The
    // target need not exist yet: a change then makes it there.
    fs::path target = NativePath(m_strPath);
    for (int nLinks = 0;; ++nLinks) {
        std::error_code error;
        const fs::file_status status = fs::symlink_status(target, error);
        if (error && status.type() != fs::file_type::not_found) {
            return false;
        }
        if (!fs::is_symlink(status)) {
            break;
        }
        const fs::path next = fs::read_symlink(target, error);
        if (error || nLinks == kMostLinks) {
            return false;
        }
        target = next.is_absolute() ? next : target.parent_path() / next;
    }
    places.target = PathText(target);
    places.temp = PathText(fs::path(target).replace_filename(kTempFileName));
    places.lock = places.target + ".lock";
    return true;
}

std::string CTaskFile::TempPath() const {
    Places places;
    return FindPlaces(places) ? places.temp
                              : PathText(NativePath(m_strPath).replace_filename(kTempFileName));
}

std::string CTaskFile::LockPath() const {
    Places places;
    return FindPlaces(places) ? places.lock : m_strPath + ".lock";
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
        case FileKind::NameTooLong:
            problem = Str::TaskFileNameTooLong;
            break;
        case FileKind::Regular:
        case FileKind::Unreadable:
            break;
    }
    return std::string(problem) + "\n\n" + m_strPath;
}

int CTaskFile::Load(TaskFileLines& file, MissingTaskFile missing) const {
    return LoadLines(m_strPath, file, missing);
}

int CTaskFile::Change(MissingTaskFile missing, const Decide& decide) const {
    Places places;
    if (!FindPlaces(places)) {
        return kCannotOpen;
    }
    // Held until the new file is in place: whatever another writer does in between waits, so
    // its change is made to this one's result, never lost under it.
    std::optional<CWriteLock> lock;
    if (!m_bLockOff) {
        switch (lock.emplace(places.lock).Result()) {
            case CWriteLock::Outcome::Held:
                break;
            case CWriteLock::Outcome::Busy:
                return kBusy;
            case CWriteLock::Outcome::CannotOpen:
                return kCannotCreateTemp;
        }
    }
    TaskFileLines file;
    const int loaded = LoadLines(places.target, file, missing);
    if (loaded != kDone) {
        return loaded;
    }
    std::vector<std::string_view> lines;
    lines.reserve(file.lines.size() + 1);
    const int decided = decide(file, lines);
    return decided == kDone ? Replace(places, lines) : decided;
}

int CTaskFile::CloseOnDisk(std::FILE* temp) const {
    const bool synced = !Fault(RewriteStep::FlushToDisk) && FlushFileToDisk(temp);
    const bool closed = std::fclose(temp) == 0;
    return synced && closed ? kDone : kCannotFlushTemp;
}

int CTaskFile::PutInPlace(const Places& places) const {
    if (Fault(RewriteStep::Rename)) {
        return kCannotReplace;
    }
    // One rename that replaces the task file: at every moment the path holds either the old
    // or the new file.
    return RenameOver(places.temp, places.target) ? kDone : kCannotReplace;
}

int CTaskFile::Replace(const Places& places, std::span<const std::string_view> lines) const {
    // Under the lock no other writer is at work, so a file of that name is a rewrite's that was
    // cut short.
    (void)RemoveFile(places.temp);
    FilePtr temp(CreatePrivateFile(places.temp));
    if (!temp) {
        return kCannotCreateTemp;
    }
    (void)std::setvbuf(temp.get(), nullptr, _IOFBF, kWriteBuffer);
    int result = WriteLines(temp.get(), lines);
    // Before the flush, so that the owner and mode reach the disk with the content.
    if (result == kDone && !TakeAccessOf(temp.get(), places.target)) {
        result = kCannotKeepAccess;
    }
    if (result == kDone) {
        result = CloseOnDisk(temp.release());
    }
    temp.reset();
    if (result == kDone) {
        result = PutInPlace(places);
    }
    if (result != kDone) {
        (void)RemoveFile(places.temp);
        return result;
    }
    FlushDirectoryToDisk(PathText(NativePath(places.target).parent_path()));
    return kDone;
}

bool CTaskFile::RemoveLeftoverTempFile() const {
    Places places;
    if (!FindPlaces(places)) {
        return false;
    }
    std::optional<CWriteLock> lock;
    if (!m_bLockOff && lock.emplace(places.lock).Result() != CWriteLock::Outcome::Held) {
        return false;
    }
    std::error_code error;
    const fs::file_status status = fs::symlink_status(NativePath(places.temp), error);
    if (error || !(fs::is_regular_file(status) || fs::is_symlink(status))) {
        return false;
    }
    return fs::remove(NativePath(places.temp), error) && !error;
}
