#include "mainwnd/taskfilewatcher.h"

#include <QDir>
#include <QFileInfo>

#include "reminder/pollrunner.h"
#include "tasks/filestamp.h"

CTaskFileWatcher::CTaskFileWatcher(const CPollRunner& polls, QObject* parent)
    : QObject(parent), m_polls(polls) {
    m_settle.setSingleShot(true);
    connect(&m_settle, &QTimer::timeout, this, &CTaskFileWatcher::Check);
    connect(&m_watcher, &QFileSystemWatcher::fileChanged, this, &CTaskFileWatcher::OnPathChanged);
    connect(&m_watcher, &QFileSystemWatcher::directoryChanged, this,
            &CTaskFileWatcher::OnPathChanged);
    connect(&polls, &CPollRunner::PollingChanged, this, &CTaskFileWatcher::OnPollingChanged);
}

void CTaskFileWatcher::Watch(const std::string& path) {
    if (!m_watcher.files().isEmpty() || !m_watcher.directories().isEmpty()) {
        m_watcher.removePaths(m_watcher.files() + m_watcher.directories());
    }
    m_strPath = path;
    KeepWatching();
}

void CTaskFileWatcher::KeepWatching() {
    // A file replaced by rename, or removed, drops out of the watch; the folder stays and
    // tells when a file of that name is back.
    const QString file = QFile::decodeName(QByteArray::fromStdString(m_strPath));
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

void CTaskFileWatcher::OnPollingChanged(bool bPolling) {
    // Another program may have written after the poll read the file (while its last reminder
    // was being answered, say); the list does not show that yet.
    if (!bPolling && ChangedSinceLastPoll()) {
        m_settle.start(kSettleMs);
    }
}

bool CTaskFileWatcher::ChangedSinceLastPoll() const {
    return StampOfFile(m_strPath) != m_polls.ShownStamp();
}

void CTaskFileWatcher::Check() {
    if (m_polls.IsPolling()) {
        m_settle.start(kBusyRetryMs);
        return;
    }
    KeepWatching();
    if (ChangedSinceLastPoll()) {
        emit ChangedOutside();
    }
}
