#pragma once

#include <QObject>

#include "reminder/poll.h"
#include "reminder/taskpoller.h"

// The program's polls of the task file, one at a time, and the one place that knows whether
// one is running: while it is, the file-changing commands wait, the watcher holds its news
// back and the window says it is polling. A poll waits on the user as long as a reminder or
// the details view is open.
class CPollRunner : public QObject {
    Q_OBJECT

public:
    // Polls file, which must outlive the runner.
    explicit CPollRunner(const CTaskFile& file, QObject* parent = nullptr);

    // One poll for host (CTaskPoller::Poll); kPollBusy while another one runs.
    int Poll(IPollHost& host);
    bool IsPolling() const { return m_poller.IsRunning(); }
    // CTaskPoller::ReadAhead: on any thread, while nothing else uses the runner.
    void ReadAhead(CTime now) { m_poller.ReadAhead(now); }
    // The version of the task file the shown rows were read from.
    const FileStamp& ShownStamp() const { return m_poller.ShownStamp(); }

signals:
    // A poll starts (true) or has ended (false).
    void PollingChanged(bool bPolling);

private:
    CTaskPoller m_poller;
};
