#include "tasks/taskfilerewrite.h"

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <string>

#include "tasks/fileplatform.h"
#include "tasks/filesync.h"
#include "tasks/linereader.h"
#include "tasks/taskfile.h"
#include "tasks/taskline.h"

bool (*g_pfnRewriteFault)(RewriteStep step) = nullptr;

namespace {

namespace fs = std::filesystem;

constexpr size_t kReadBlock = size_t{1} << 16;
constexpr size_t kWriteBuffer = size_t{1} << 18;

bool Fault(RewriteStep step) {
    return g_pfnRewriteFault != nullptr && g_pfnRewriteFault(step);
}

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

// Closes the temporary file once its content is on the disk.
int CloseOnDisk(std::FILE* temp) {
    const bool synced = !Fault(RewriteStep::FlushToDisk) && FlushFileToDisk(temp);
    const bool closed = std::fclose(temp) == 0;
    return synced && closed ? kDone : kCannotFlushTemp;
}

int PutInPlace(const std::string& tempPath) {
    if (Fault(RewriteStep::Rename)) {
        return kCannotReplace;
    }
    // One rename that replaces the task file: at every moment the path holds either the old
    // or the new file.
    return RenameOver(tempPath, g_szTaskFilePath) ? kDone : kCannotReplace;
}

bool IsMissing(const std::string& path) {
    std::error_code error;
    return !fs::exists(NativePath(path), error) && !error;
}

// Reads the whole file into content. False on a read error.
bool ReadWhole(std::FILE* file, std::string& content) {
    std::error_code error;
    const std::uintmax_t size = fs::file_size(NativePath(g_szTaskFilePath), error);
    content.clear();
    // Room for the whole file and one more block, so that reading to its end never has to
    // move what was read.
    if (!error) {
        content.reserve(static_cast<size_t>(size) + kReadBlock);
    }
    for (;;) {
        const size_t old = content.size();
        content.resize(old + kReadBlock);
        const size_t read = std::fread(content.data() + old, 1, kReadBlock, file);
        content.resize(old + read);
        if (read < kReadBlock) {
            return std::ferror(file) == 0;
        }
    }
}

// Cuts content into lines that keep their line feed; the last may lack one.
void SplitLines(std::string_view content, std::vector<std::string_view>& lines) {
    lines.clear();
    while (!content.empty()) {
        const void* feed = std::memchr(content.data(), '\n', content.size());
        const size_t length =
            feed == nullptr
                ? content.size()
                : static_cast<size_t>(static_cast<const char*>(feed) - content.data()) + 1;
        lines.push_back(content.substr(0, length));
        content.remove_prefix(length);
    }
}

}  // namespace

int LoadTaskFile(TaskFileLines& file, MissingTaskFile missing) {
    file.content.clear();
    file.lines.clear();
    const FilePtr taskFile = OpenTaskFileToRead();
    if (!taskFile) {
        return missing == MissingTaskFile::StartsEmpty && IsMissing(g_szTaskFilePath) ? kDone
                                                                                      : kCannotOpen;
    }
    // A copy cut short by a read error must never replace the file.
    if (!ReadWhole(taskFile.get(), file.content)) {
        file.content.clear();
        return kCannotOpen;
    }
    SplitLines(file.content, file.lines);
    return kDone;
}

int ReplaceTaskFile(std::span<const std::string_view> lines) {
    // A temporary file left by an interrupted rewrite is simply replaced.
    const std::string tempPath = TempFilePath();
    (void)RemoveFile(tempPath);
    FilePtr temp(CreatePrivateFile(tempPath));
    if (!temp) {
        return kCannotCreateTemp;
    }
    (void)std::setvbuf(temp.get(), nullptr, _IOFBF, kWriteBuffer);
    // The new file keeps who may read the old one; failing that changes no content.
    std::error_code error;
    const fs::file_status status = fs::status(NativePath(g_szTaskFilePath), error);
    if (!error && fs::exists(status)) {
        fs::permissions(NativePath(tempPath), status.permissions(), error);
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
        (void)RemoveFile(tempPath);
        return result;
    }
    FlushDirectoryToDisk(PathText(NativePath(g_szTaskFilePath).parent_path()));
    return kDone;
}

bool RemoveLeftoverTempFile() {
    const std::string tempPath = TempFilePath();
    std::error_code error;
    const fs::file_status status = fs::symlink_status(NativePath(tempPath), error);
    if (error || !(fs::is_regular_file(status) || fs::is_symlink(status))) {
        return false;
    }
    return fs::remove(NativePath(tempPath), error) && !error;
}

int AppendTaskLine(std::string_view line) {
    TaskFileLines file;
    if (LoadTaskFile(file, MissingTaskFile::StartsEmpty) != kDone) {
        return kCannotOpen;
    }
    file.lines.push_back(line);
    return ReplaceTaskFile(file.lines) == kDone ? kDone : kCannotOpen;
}

int DropTask(int n) {
    // A file that cannot be read holds no task n either.
    TaskFileLines file;
    if (n < 1 || LoadTaskFile(file, MissingTaskFile::Fail) != kDone) {
        return kOutOfRange;
    }
    const std::vector<std::string_view> kept =
        KeptLines(file, [n](std::string_view, int nTask) { return nTask != n; });
    if (kept.size() == file.lines.size()) {
        return kOutOfRange;
    }
    return ReplaceTaskFile(kept);
}

int WriteBackTask(int n, std::string_view line) {
    // One rewrite drops the old line and adds the new one, so the task can never be lost
    // or doubled. A number that names no task drops nothing: the line is only added.
    TaskFileLines file;
    const int loaded = LoadTaskFile(file, MissingTaskFile::StartsEmpty);
    if (loaded != kDone) {
        return loaded;
    }
    std::vector<std::string_view> kept =
        KeptLines(file, [n](std::string_view, int nTask) { return nTask == 0 || nTask != n; });
    kept.push_back(line);
    return ReplaceTaskFile(kept);
}

int CompactTaskFile() {
    TaskFileLines file;
    const int loaded = LoadTaskFile(file, MissingTaskFile::Fail);
    if (loaded != kDone) {
        return loaded;
    }
    return ReplaceTaskFile(
        KeptLines(file, [](std::string_view line, int) { return line != "\r\n"; }));
}

namespace {

// The bulk removals keep only the task lines that keep() accepts; -5 for a file without tasks.
template <typename Keep>
int KeepOnlyTasks(Keep keep) {
    TaskFileLines file;
    const int loaded = LoadTaskFile(file, MissingTaskFile::Fail);
    if (loaded != kDone) {
        return loaded == kCannotOpen ? kOutOfRange : loaded;
    }
    int nTasks = 0;
    const std::vector<std::string_view> kept =
        KeptLines(file, [&](std::string_view line, int nTask) {
            nTasks = std::max(nTasks, nTask);
            return nTask != 0 && keep(line);
        });
    return nTasks < 1 ? kOutOfRange : ReplaceTaskFile(kept);
}

}  // namespace

int DeleteMarkedTasks() {
    return KeepOnlyTasks(
        [](std::string_view line) { return GetLineStatus(line) != ToInt(TaskStatus::ToDelete); });
}

int DeletePastTasks() {
    return KeepOnlyTasks([](std::string_view line) {
        const int status = GetLineStatus(line);
        const bool done =
            status == ToInt(TaskStatus::Complete) || status == ToInt(TaskStatus::Missed);
        return !(done && GetLineRecurrence(line) == ToInt(Recurrence::None));
    });
}
