#include "app/singlecopyguard.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <QStandardPaths>
#include <QThread>
#include <algorithm>

#include "platform/privatefolder.h"

namespace {

constexpr QByteArrayView kActivateRequest = "activate\n";
constexpr qint64 kMaxRequestLength = 64;

// A second copy may start while the first is between taking the lock and listening, so it
// keeps trying for a while before it gives up on bringing the first copy forward.
constexpr int kConnectBudgetMs = 3000;
// Without a lock file, an answer from a running copy is the only sign of one.
constexpr int kUnlockedProbeMs = 200;
constexpr int kAttemptMs = 250;
constexpr int kRetryPauseMs = 20;
constexpr int kWriteWaitMs = 1000;

QStringList GuardFolders() {
    // Qt hands out a runtime folder only when it is the user's own; never the shared /tmp.
    return {QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation),
            QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation) +
                QStringLiteral("/Marmoset Task")};
}

}  // namespace

CSingleCopyGuard::CSingleCopyGuard(const QString& name, QObject* parent)
    : CSingleCopyGuard(name, GuardFolders(), parent) {}

CSingleCopyGuard::CSingleCopyGuard(const QString& name, const QStringList& folders, QObject* parent)
    : QObject(parent), m_strName(name), m_strFolder(FirstPrivateFolder(folders)) {}

CSingleCopyGuard::~CSingleCopyGuard() {
    // The socket goes before the lock, so a copy that takes the lock next finds no server of ours.
    if (m_pServer) {
        m_pServer->close();
    }
    m_pLock.reset();
}

QString CSingleCopyGuard::NameFor(const QString& title) {
    QString user = qEnvironmentVariable("USER");
    if (user.isEmpty()) {
        user = qEnvironmentVariable("USERNAME");
    }
    if (user.isEmpty()) {
        user = QDir::home().dirName();
    }
    QString name = title + QLatin1Char('-') + user;
    // The name becomes part of a file or pipe name.
    for (QChar& c : name) {
        const bool plain = c.isLetterOrNumber() || c == QLatin1Char(' ') || c == QLatin1Char('-') ||
                           c == QLatin1Char('_') || c == QLatin1Char('.');
        if (!plain || c.unicode() > 0x7f) {
            c = QLatin1Char('_');
        }
    }
    return name;
}

QString CSingleCopyGuard::LockFilePath() const {
    return m_strFolder + QLatin1Char('/') + m_strName + QStringLiteral(".lock");
}

QString CSingleCopyGuard::ServerName() const {
#ifdef Q_OS_WIN
    return m_strName;
#else
    // A path in the user's own folder rather than a name in the shared temporary folder.
    return m_strFolder + QLatin1Char('/') + m_strName + QStringLiteral(".socket");
#endif
}

bool CSingleCopyGuard::TryBecomeFirst() {
    if (m_pLock && m_pLock->isLocked()) {
        return true;
    }
    if (m_strFolder.isEmpty()) {
        // A lock or socket anywhere else could be another user's; better two copies than none.
        qWarning("No private folder for the single-copy guard; running without it");
        return true;
    }
    m_pLock = std::make_unique<QLockFile>(LockFilePath());
    // Only a dead owner makes the lock stale; a copy that has run for days keeps it.
    m_pLock->setStaleLockTime(0);
    if (m_pLock->tryLock(0)) {
        Listen();
        return true;
    }
    const QLockFile::LockError error = m_pLock->error();
    m_pLock.reset();
    if (error == QLockFile::LockFailedError) {
        if (RequestActivation(kConnectBudgetMs)) {
            return false;
        }
        // The lock's owner does not answer: it is not a copy that can show itself. Run, and
        // leave its socket name alone.
        qWarning("The copy holding %s does not answer; starting anyway",
                 qPrintable(LockFilePath()));
        return true;
    }
    // No lock file can be made here. Rather than refuse to start, run unguarded unless a
    // running copy answers.
    qWarning("Cannot create the lock file %s", qPrintable(LockFilePath()));
    if (RequestActivation(kUnlockedProbeMs)) {
        return false;
    }
    Listen();
    return true;
}

void CSingleCopyGuard::Listen() {
    // Whoever holds the lock owns the name, so a socket file still there was left by a copy
    // that crashed.
    QLocalServer::removeServer(ServerName());
    m_pServer = new QLocalServer(this);
    m_pServer->setSocketOptions(QLocalServer::UserAccessOption);
    connect(m_pServer, &QLocalServer::newConnection, this, &CSingleCopyGuard::OnNewConnection);
    if (!m_pServer->listen(ServerName())) {
        // The program runs all the same; a later copy just cannot bring it forward.
        qWarning("Cannot listen on %s: %s", qPrintable(ServerName()),
                 qPrintable(m_pServer->errorString()));
    }
}

bool CSingleCopyGuard::RequestActivation(int budgetMs) const {
    const QDeadlineTimer deadline(budgetMs);
    QLocalSocket socket;
    do {
        socket.connectToServer(ServerName());
        const int wait = static_cast<int>(std::min<qint64>(kAttemptMs, deadline.remainingTime()));
        if (socket.waitForConnected(std::max(wait, 0))) {
            socket.write(kActivateRequest.data(), kActivateRequest.size());
            socket.waitForBytesWritten(kWriteWaitMs);
            socket.disconnectFromServer();
            if (socket.state() != QLocalSocket::UnconnectedState) {
                socket.waitForDisconnected(kWriteWaitMs);
            }
            return true;
        }
        socket.abort();
        QThread::msleep(kRetryPauseMs);
    } while (!deadline.hasExpired());
    return false;
}

void CSingleCopyGuard::OnNewConnection() {
    while (QLocalSocket* socket = m_pServer->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this,
                [this, socket] { OnRequestReadable(socket); });
        OnRequestReadable(socket);
    }
}

void CSingleCopyGuard::OnRequestReadable(QLocalSocket* socket) {
    if (!socket->canReadLine()) {
        if (socket->bytesAvailable() > kMaxRequestLength) {
            socket->abort();  // not one of ours
        }
        return;
    }
    const QByteArray request = socket->readLine(kMaxRequestLength);
    socket->disconnectFromServer();
    if (request == kActivateRequest) {
        emit ActivationRequested();
    }
}
