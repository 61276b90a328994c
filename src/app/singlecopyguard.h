#pragma once

#include <QObject>
#include <QString>
#include <QStringList>
#include <memory>

class QLocalServer;
class QLocalSocket;
class QLockFile;

// Lets only one copy of the program run per user. The first copy holds a lock file and
// listens on a local socket named after the main window's title and the user; a later copy
// finds the lock taken, asks the running copy to come forward and ends.
//
// The lock decides, the socket only carries the request: two copies started at the same
// moment cannot both win, and a lock left behind by a copy that crashed is taken over. Both
// live only in a folder that no one but the user can write to, and a copy ends only when a
// running copy answers on the socket: nothing another user leaves behind can keep the
// program from starting.
class CSingleCopyGuard : public QObject {
    Q_OBJECT

public:
    // The guard lives in the user's runtime folder, or else in a folder of the program's in
    // the user's cache folder.
    explicit CSingleCopyGuard(const QString& name, QObject* parent = nullptr);
    // The same in the first of these folders that only the user can write to; with none, the
    // program runs unguarded.
    CSingleCopyGuard(const QString& name, const QStringList& folders, QObject* parent = nullptr);
    ~CSingleCopyGuard() override;

    // True when this is the first copy (it now listens); false when another copy runs, which
    // has been asked to bring its window forward.
    bool TryBecomeFirst();

    // The guard name for a window title and the current user, e.g. "Marmoset Task-alice".
    static QString NameFor(const QString& title);

    // The folder the guard lives in; empty when there is no private one.
    QString Folder() const { return m_strFolder; }
    // Where the lock lives.
    QString LockFilePath() const;
    QString ServerName() const;

signals:
    void ActivationRequested();

private:
    void Listen();
    bool RequestActivation(int budgetMs) const;
    void OnNewConnection();
    void OnRequestReadable(QLocalSocket* socket);

    QString m_strName;
    QString m_strFolder;
    std::unique_ptr<QLockFile> m_pLock;
    QLocalServer* m_pServer = nullptr;
};
