#pragma once

#include <QFileSystemWatcher>
#include <QObject>
#include <QTimer>
#include <string>

class CPollRunner;

// Notices when another program changes the task file, so that the list follows within a
// moment instead of at the next interval. It watches the file and its folder (a program that
// saves by writing a new file and renaming it replaces the file), waits for a burst of
// changes to settle, never asks for a refresh while a poll runs, and compares the file with
// the version the shown rows were read from, so that the program's own writes, which each
// end in a poll, ask for nothing.
class CTaskFileWatcher : public QObject {
    Q_OBJECT

public:
    // How long changes must be quiet before the file is looked at, and how long to wait
    // before looking again while a poll runs.
    static constexpr int kSettleMs = 250;
    static constexpr int kBusyRetryMs = 250;

    // polls must outlive the watcher.
    explicit CTaskFileWatcher(const CPollRunner& polls, QObject* parent = nullptr);

    // Starts watching the task file at path.
    void Watch(const std::string& path);

    // Whether the file is not the version the list shows.
    bool ChangedSinceLastPoll() const;

signals:
    // The file changed outside the program and no poll runs: the list should be refreshed.
    void ChangedOutside();

private:
    void OnPathChanged();
    void OnPollingChanged(bool bPolling);
    void Check();
    void KeepWatching();

    const CPollRunner& m_polls;
    QFileSystemWatcher m_watcher;
    QTimer m_settle;
    std::string m_strPath;
};
