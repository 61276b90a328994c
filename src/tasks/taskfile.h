#pragma once

#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "tasks/filetext.h"
#include "tasks/regularfile.h"
#include "tasks/taskline.h"

// The task file: one object per program, made at start-up once the settings name the file, and
// handed to every reader and writer of it. Every change is "load its lines, decide the new
// lines, replace the file with them", and Change is the one place that does it: it holds the
// writer lock (writelock.h) from before the load until the new file is in place, so two writers
// never interleave. It writes the complete new content to "--temptasklist.$$$" beside the task
// file, flushes it to disk and puts it in place with one atomic rename, so a failure or a kill
// at any point leaves either the old or the new file, never a damaged one. A task file that is a
// symbolic link is written through: the new file replaces the link's final target, in the
// target's folder, and the link stays. The new file is private from the start and takes the old
// file's owner and mode before the rename. Lines of any length are read and written whole, and a
// last line without its line end gets one before anything is written after it. Tasks are
// numbered from 1 in file order, counting only lines that begin with "#".

inline constexpr const char* kTempFileName = "--temptasklist.$$$";

// Result codes of the operations that change the file. Whatever the failure, the task file
// is left exactly as it was and the temporary file is removed.
enum TaskFileResult : int {
    kDone = 0,
    kCannotOpen = -1,        // the task file cannot be opened or read to its end
    kCannotCreateTemp = -2,  // the temporary file cannot be created or written in full
                             // (a full disk ends here)
    kCannotFlushTemp = -3,   // the new content cannot be flushed to disk
    kCannotReplace = -4,     // the temporary file cannot be renamed onto the task file
    kOutOfRange = -5,        // no tasks to remove (the bulk removals)
    kTaskGone = -6,          // the task a command was given is no longer in the file
    kBusy = -7,              // another writer held the task file for longer than a writer waits
    kCannotKeepAccess = -8,  // the new file could not be given the old one's owner and mode
    kUnchanged = 1,          // the command had nothing to change and wrote nothing
};

// Why a change could not be written, for the user: one of the reasons in res/strings.h.
const char* FailureReason(int result);

enum class MissingTaskFile {
    Fail,         // -1 when the task file cannot be opened
    StartsEmpty,  // a missing task file loads as a file without lines
};

// The lowest failure code.
inline constexpr int kLowestResult = kCannotKeepAccess;

// The steps of a rewrite that no test can make fail for real (see CTaskFile::SetFaultHook).
enum class RewriteStep { FlushToDisk, Rename };

// The task file's lines as one read found them. Each line keeps its line end as read; the
// last line of the file may lack one. The lines point into the text, so the object stays
// where it was loaded.
struct TaskFileLines {
    CFileText text;
    std::vector<std::string_view> lines;

    TaskFileLines() = default;
    TaskFileLines(const TaskFileLines&) = delete;
    TaskFileLines& operator=(const TaskFileLines&) = delete;
};

class CTaskFile {
public:
    explicit CTaskFile(std::string path);

    const std::string& Path() const { return m_strPath; }
    // The temporary file, beside the task file's final target.
    std::string TempPath() const;
    // The writer lock's file, beside the final target and named after it.
    std::string LockPath() const;

    // Opens the task file for reading; every reader of the task file opens it here. Only a
    // regular file is opened, and the open never waits (on a named pipe, say). pKind, when
    // given, says what the path holds.
    FilePtr OpenToRead(FileKind* pKind = nullptr) const;
    // Why the task file cannot be read, for the user: what is wrong, a blank line and the path.
    std::string ProblemText() const;

    // Reads the whole task file. kDone, or kCannotOpen when it cannot be opened or read to its
    // end (with no lines then).
    int Load(TaskFileLines& file, MissingTaskFile missing) const;

    // What a change makes of the loaded file: it fills lines with the new content (the views
    // may point into the loaded lines) and returns kDone to write it, or any other code to stop
    // with nothing written.
    using Decide =
        std::function<int(const TaskFileLines& file, std::vector<std::string_view>& lines)>;
    // The one way to change the task file: takes the writer lock, loads the file, asks decide,
    // and replaces the file's content with the lines decided, in their order. A line without
    // its line end gets one, so nothing written after it can run into it. Returns the load's
    // failure, decide's code when it is not kDone, or a TaskFileResult code of the rewrite
    // (kBusy when another writer held the lock throughout the wait); on failure the task file
    // is exactly as it was and no temporary file of this writer is left.
    int Change(MissingTaskFile missing, const Decide& decide) const;

    // Removes the temporary file a rewrite that was cut short (a kill, a power cut) left beside
    // the task file. Such a file is never needed: until the rename the task file is the old one,
    // and after it there is no temporary file. It is looked at under the writer lock, so a
    // rewrite under way is never disturbed. Only a file is removed, never a folder of that
    // name. Returns whether one was removed.
    bool RemoveLeftoverTempFile() const;

    // Test seam: when set, the hook is asked before each step of a rewrite that no test can
    // make fail for real, and makes the step fail by returning true.
    void SetFaultHook(std::function<bool(RewriteStep)> hook) { m_faultHook = std::move(hook); }
    // Test seam: writers of this object no longer take the lock, to show what it prevents.
    void TurnLockOffForTests() { m_bLockOff = true; }

private:
    // Where a rewrite works: the task file's final target and the files beside it.
    struct Places {
        std::string target;
        std::string temp;
        std::string lock;
    };
    // False when the path is a link that leads nowhere a file can be (a loop of links).
    bool FindPlaces(Places& places) const;
    bool Fault(RewriteStep step) const { return m_faultHook && m_faultHook(step); }
    int Replace(const Places& places, std::span<const std::string_view> lines) const;
    // Closes the temporary file once its content is on the disk.
    int CloseOnDisk(std::FILE* temp) const;
    int PutInPlace(const Places& places) const;

    std::string m_strPath;
    std::function<bool(RewriteStep)> m_faultHook;
    bool m_bLockOff = false;
};

// The task number of the line when it is a task line, else 0; counting goes on in nTasks.
inline int NumberLine(std::string_view line, int& nTasks) {
    return IsTaskLine(line) ? ++nTasks : 0;
}

// The lines of a loaded file for which keep(line, nTask) holds; nTask is the line's task
// number, 0 for a line that is not a task.
template <typename Keep>
std::vector<std::string_view> KeptLines(const TaskFileLines& file, Keep keep) {
    std::vector<std::string_view> kept;
    kept.reserve(file.lines.size() + 1);
    int nTasks = 0;
    for (const std::string_view line : file.lines) {
        if (keep(line, NumberLine(line, nTasks))) {
            kept.push_back(line);
        }
    }
    return kept;
}
