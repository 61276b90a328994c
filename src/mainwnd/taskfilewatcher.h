#pragma once

#include <QFileSystemWatcher>
#include <QObject>
#include <QTimer>
#include <string>

#include "tasks/filestamp.h"

// Notices when another program changes the task file, so that the list follows within a
// moment instead of at the next interval. It watches the file and its folder (a program that
// saves by writing a new file and renaming it replaces the file), waits for a burst of
// changes to settle, never asks for a refresh while a poll runs, and compares the file with
// the version the last poll read, so that the program's own writes ask for nothing.
class CTaskFileWatcher : public QObject {
    Q_OBJECT

public:
    // How long changes must be quiet before the file is looked at, and how long to wait
    // before looking again while a poll runs.
    static constexpr int kSettleMs = 250;
    static constexpr int kBusyRetryMs = 250;

    explicit CTaskFileWatcher(QObject* parent = nullptr);

    // Starts watching the task file at path.
    void Watch(const std::string& path);

    // Every poll says when it starts and ends, and when it raises and has had the answer to a
    // reminder: what the poll read is what the list shows, and the poll writes each answer
    // right after it is given. A change at any other time came from outside.
    void PollStarting();
    void ReminderRaised();
    void ReminderAnswered();
    void PollEnded();

    // Whether the file is not the version the list shows.
    bool ChangedSinceLastPoll() const;

signals:
    // The file changed outside the program and no poll runs: the list should be refreshed.
    void ChangedOutside();

private:
    void OnPathChanged();
    void Check();
    void KeepWatching();

    QFileSystemWatcher m_watcher;
    QTimer m_settle;
    std::string m_strPath;
    // The running poll's own view: the file as it read it or its last answer left it.
    void TakeOwnWrite();
    void CompareWithExpected();

    FileStamp m_shown;     // the version the list shows
    FileStamp m_expected;  // the version the running poll expects
    bool m_bInPoll = false;
    bool m_bAnswerPending = false;  // an answer is being written
    bool m_bChangedInPoll = false;  // another program wrote during the running poll
};
