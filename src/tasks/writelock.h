#pragma once

#include <chrono>
#include <string>

// The task file's writer lock: an exclusive advisory lock on a file kept beside the task file,
// which a rename of the task file leaves alone. A writer holds it from before it loads the task
// file until the new file is in place, so two writers (two copies of the program, the command
// line beside the window) never interleave. Readers need none: the rename keeps them whole.
// The system lets go of the lock when its holder ends in any way, a kill included, so a lock is
// never broken by hand and the lock file is never removed.
class CWriteLock {
public:
    enum class Outcome {
        Held,        // this object holds the lock
        Busy,        // another writer held it for the whole wait
        CannotOpen,  // the lock file cannot be made or opened, or the system refused the lock
    };

    // How long a writer waits for another to finish: far longer than any rewrite takes, short
    // enough that a program stuck while holding the lock does not freeze the caller for long.
    static constexpr std::chrono::milliseconds kWait{2000};

    // Takes the lock on lockPath, making the file when there is none, trying for up to wait.
    explicit CWriteLock(const std::string& lockPath, std::chrono::milliseconds wait = kWait);
    ~CWriteLock();
    CWriteLock(const CWriteLock&) = delete;
    CWriteLock& operator=(const CWriteLock&) = delete;

    Outcome Result() const { return m_outcome; }

private:
    Outcome m_outcome = Outcome::CannotOpen;
    // The open lock file; a descriptor on Linux, a handle on Windows.
    long long m_nHandle = -1;
};
