#include "tasks/taskfilerewrite.h"

#include <filesystem>
#include <string>

#include "tasks/filesync.h"
#include "tasks/linereader.h"
#include "tasks/taskfile.h"
#include "tasks/taskline.h"

bool (*g_pfnRewriteFault)(RewriteStep step) = nullptr;

namespace {

namespace fs = std::filesystem;

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

// Writes the new content: the kept lines of the task file (when there is one), then the
// added line.
int WriteNewContent(std::FILE* taskFile, std::FILE* temp, const LineFilter& keep,
                    std::string_view addedLine) {
    if (taskFile != nullptr) {
        CLineReader reader(taskFile);
        std::string_view line;
        int nTask = 0;
        while (reader.Next(line)) {
            const int n = IsTaskLine(line) ? ++nTask : 0;
            if (keep(line, n) && !WriteWholeLine(temp, line)) {
                return kCannotCreateTemp;
            }
        }
        // A copy cut short by a read error must never replace the file.
        if (reader.Failed()) {
            return kCannotOpen;
        }
    }
    if (!addedLine.empty() && !WriteWholeLine(temp, addedLine)) {
        return kCannotCreateTemp;
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
    std::error_code error;
    fs::rename(tempPath, g_szTaskFilePath, error);
    return error ? kCannotReplace : kDone;
}

bool IsMissing(const std::string& path) {
    std::error_code error;
    return !fs::exists(path, error) && !error;
}

}  // namespace

int RewriteTaskFile(const LineFilter& keep, std::string_view addedLine, MissingTaskFile missing) {
    FilePtr taskFile(std::fopen(g_szTaskFilePath.c_str(), "rb"));
    if (!taskFile && (missing == MissingTaskFile::Fail || !IsMissing(g_szTaskFilePath))) {
        return kCannotOpen;
    }
    // A temporary file left by an interrupted rewrite is simply replaced.
    const std::string tempPath = TempFilePath();
    (void)std::remove(tempPath.c_str());
    FilePtr temp(std::fopen(tempPath.c_str(), "wb"));
    if (!temp) {
        return kCannotCreateTemp;
    }
    if (taskFile) {
        // The new file keeps who may read the old one; failing that changes no content.
        std::error_code error;
        const fs::file_status status = fs::status(g_szTaskFilePath, error);
        if (!error) {
            fs::permissions(tempPath, status.permissions(), error);
        }
    }

    int result = WriteNewContent(taskFile.get(), temp.get(), keep, addedLine);
    taskFile.reset();
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
    FlushDirectoryToDisk(fs::path(g_szTaskFilePath).parent_path().string());
    return kDone;
}

int AppendTaskLine(std::string_view line) {
    const int result = RewriteTaskFile([](std::string_view, int) { return true; }, line,
                                       MissingTaskFile::StartsEmpty);
    return result == kDone ? kDone : kCannotOpen;
}

int DropTask(int n) {
    if (n < 1 || n > CountTasks()) {
        return kOutOfRange;
    }
    return RewriteTaskFile([n](std::string_view, int nTask) { return nTask != n; }, {},
                           MissingTaskFile::Fail);
}

int WriteBackTask(int n, std::string_view line) {
    // One rewrite drops the old line and adds the new one, so the task can never be lost
    // or doubled. A number that names no task drops nothing: the line is only added.
    return RewriteTaskFile([n](std::string_view, int nTask) { return nTask == 0 || nTask != n; },
                           line, MissingTaskFile::StartsEmpty);
}

int CompactTaskFile() {
    return RewriteTaskFile([](std::string_view line, int) { return line != "\r\n"; }, {},
                           MissingTaskFile::Fail);
}

int DeleteMarkedTasks() {
    if (CountTasks() < 1) {
        return kOutOfRange;
    }
    return RewriteTaskFile(
        [](std::string_view line, int nTask) {
            return nTask != 0 && GetLineStatus(line) != ToInt(TaskStatus::ToDelete);
        },
        {}, MissingTaskFile::Fail);
}

int DeletePastTasks() {
    if (CountTasks() < 1) {
        return kOutOfRange;
    }
    return RewriteTaskFile(
        [](std::string_view line, int nTask) {
            if (nTask == 0) {
                return false;
            }
            const int status = GetLineStatus(line);
            const bool done =
                status == ToInt(TaskStatus::Complete) || status == ToInt(TaskStatus::Missed);
            return !(done && GetLineRecurrence(line) == ToInt(Recurrence::None));
        },
        {}, MissingTaskFile::Fail);
}
