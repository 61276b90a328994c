#include "mainwnd/taskfilewatcher.h"

#include <QDir>
#include <QFileInfo>

#include "platform/programfolders.h"
#include "reminder/poll.h"

CTaskFileWatcher::CTaskFileWatcher(QObject* parent) : QObject(parent) {
    m_settle.setSingleShot(true);
    connect(&m_settle, &QTimer::timeout, this, &CTaskFileWatcher::Check);
    connect(&m_watcher, &QFileSystemWatcher::fileChanged, this, &CTaskFileWatcher::OnPathChanged);
    connect(&m_watcher, &QFileSystemWatcher::directoryChanged, this,
            &CTaskFileWatcher::OnPathChanged);
}

void CTaskFileWatcher::Watch(const std::string& path) {
    if (!m_watcher.files().isEmpty() || !m_watcher.directories().isEmpty()) {
        m_watcher.removePaths(m_watcher.files() + m_watcher.directories());
    }
    m_strPath = path;
    m_shown = StampOfFile(m_strPath);
    KeepWatching();
}

void CTaskFileWatcher::KeepWatching() {
    // A file replaced by rename, or removed, drops out of the watch; the folder stays and
    // tells when a file of that name is back.
    const QString file = FromCorePath(m_strPath);
    const QString folder = QFileInfo(file).absolutePath();
    if (!m_watcher.directories().contains(folder) && QFileInfo(folder).isDir()) {
        m_watcher.addPath(folder);
    }
    if (!m_watcher.files().contains(file) && QFileInfo::exists(file)) {
        m_watcher.addPath(file);
    }
}

void CTaskFileWatcher::OnPathChanged() {
    KeepWatching();
    m_settle.start(kSettleMs);
}

void CTaskFileWatcher::PollStarting() {
    m_bInPoll = true;
    m_bAnswerPending = false;
    m_bChangedInPoll = false;
    m_expected = StampOfFile(m_strPath);
}

void CTaskFileWatcher::TakeOwnWrite() {
    if (m_bAnswerPending) {
        m_bAnswerPending = false;
        m_expected = StampOfFile(m_strPath);
    }
}

void CTaskFileWatcher::CompareWithExpected() {
    const FileStamp now = StampOfFile(m_strPath);
    if (now != m_expected) {
        m_bChangedInPoll = true;
        m_expected = now;
    }
}

void CTaskFileWatcher::ReminderRaised() {
    TakeOwnWrite();
    CompareWithExpected();
}

void CTaskFileWatcher::ReminderAnswered() {
    // A reminder may wait for hours; whatever changed meanwhile is not the program's doing.
    CompareWithExpected();
    m_bAnswerPending = true;
}

void CTaskFileWatcher::PollEnded() {
    TakeOwnWrite();
    CompareWithExpected();
    m_bInPoll = false;
    m_shown = m_expected;
    if (m_bChangedInPoll) {
        // The list does not show that change yet.
        m_shown = FileStamp{};
        m_settle.start(kSettleMs);
    }
}

bool CTaskFileWatcher::ChangedSinceLastPoll() const {
    return StampOfFile(m_strPath) != m_shown;
}

void CTaskFileWatcher::Check() {
    if (m_bInPoll || IsPollRunning()) {
        m_settle.start(kBusyRetryMs);
        return;
    }
    KeepWatching();
    if (ChangedSinceLastPoll()) {
        emit ChangedOutside();
    }
}
