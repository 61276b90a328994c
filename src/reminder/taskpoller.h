#pragma once

#include <cstddef>
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
    // handed it again as soon as a poll has changed it, before any reminder. When nothing the
    // poll would show or raise can have changed since the last poll, it returns at once and
    // calls nothing on the host but Now(): the host's rows stand. Returns kPollDone, or
    // kPollNoFile when the task file cannot be read (after ShowError). A call made while a poll
    // is running (from inside a reminder or the details view) returns kPollBusy at once and
    // calls nothing on its host; the running poll's rows stand.
    int Poll(IPollHost& host);

    // Whether the last poll left everything as it stood, without reading the file.
    bool LastPollSkipped() const { return m_bLastSkipped; }

    // Whether a poll is running, waiting on a reminder or the details view.
    static bool IsRunning();

private:
    int ReportUnreadable(IPollHost& host);
    void RaiseReminders(IPollHost& host, const PollHour& hour, CTaskTable& table);

    const CTaskFile& m_file;
    const IFileClock& m_clock;
    CPollSkipRule m_skipRule;
    std::shared_ptr<CTaskTable> m_pTable;
    std::vector<std::size_t> m_reminders;  // rows whose task raises a reminder
    bool m_bLastSkipped = false;
};
