#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <vector>

#include "reminder/poll.h"
#include "reminder/pollskiprule.h"
#include "tasks/filestamp.h"

class CTaskFile;
class CTaskTable;

// Polls the task file for one host, again and again, keeping what a poll needs between polls:
// the table the rows are read into (filled again in place, room and all) and what the last
// poll found, so that a poll over a file that has not changed, within the same hour, reads
// nothing at all (CPollSkipRule).
class CTaskPoller {
public:
    // Polls the task file `file`; clock: the wall clock that file times are compared with. Both
    // must outlive the poller.
    explicit CTaskPoller(const CTaskFile& file, const IFileClock& clock = SystemFileClock());
    ~CTaskPoller();
    CTaskPoller(const CTaskPoller&) = delete;
    CTaskPoller& operator=(const CTaskPoller&) = delete;

    // Lists every task of the task file, raising and answering reminders one at a time in file
    // order, and hands the host the rows (IPollHost::ShowRows). A host that keeps the table is
    // handed it again as soon as a poll has changed it, before any reminder. Once the reminders
    // are answered the file is read once more, so the rows show it as the answers left it;
    // nothing is raised again then. When nothing the poll would show or raise can have changed
    // since the last poll, it returns at once and calls nothing on the host but Now(): the
    // host's rows stand. Returns kPollDone, or kPollNoFile when the task file cannot be read
    // (after ShowError); a call made while this poller's poll is running (from inside a
    // reminder or the details view) returns kPollBusy at once and calls nothing on its host.
    int Poll(IPollHost& host);

    // Whether the last poll left everything as it stood, without reading the file.
    bool LastPollSkipped() const { return m_bLastSkipped; }

    // Whether a poll is running, waiting on a reminder or the details view. This is the one
    // place that knows; the observer hears of every change of it.
    bool IsRunning() const { return m_bRunning; }
    void SetRunningObserver(std::function<void(bool bRunning)> observer);

    // Reads and classifies the task file ahead of the first poll, which then finds the work
    // done unless the file or the hour has changed meanwhile; it raises and shows nothing. It
    // may run on another thread, as long as nothing else uses the poller until it returns: a
    // program can read a large file while it builds its windows.
    void ReadAhead(CTime now);

    // The version of the task file that the rows last handed to the host were read from, or
    // after a poll that could not read it, what the path held then.
    const FileStamp& ShownStamp() const { return m_shownStamp; }

private:
    class CRunning;

    int ReportUnreadable(IPollHost& host);
    void RaiseReminders(IPollHost& host, const PollHour& hour, CTaskTable& table);
    int ShowFileAfterAnswers(IPollHost& host);
    // Reads the file into the table, classified against hour, with its stamp (an empty one
    // when the system gives none). False when the file cannot be read.
    bool ReadTable(const PollHour& hour, FileStamp& stamp);

    const CTaskFile& m_file;
    const IFileClock& m_clock;
    CPollSkipRule m_skipRule;
    std::shared_ptr<CTaskTable> m_pTable;
    std::vector<std::size_t> m_reminders;  // rows whose task raises a reminder
    FileStamp m_shownStamp;
    bool m_bLastSkipped = false;
    bool m_bRunning = false;
    std::function<void(bool)> m_runningObserver;
};
