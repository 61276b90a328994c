#pragma once

#include <QObject>
#include <QString>
#include <memory>

class QLocalServer;
class QLockFile;

// Lets only one copy of the program run per user. The first copy holds a lock file and
// listens on a local socket named after the main window's title and the user; a later copy
// finds the lock taken, asks the running copy to come forward and ends.
class CSingleCopyGuard : public QObject {
    Q_OBJECT

public:
    explicit CSingleCopyGuard(const QString& name, QObject* parent = nullptr);
    ~CSingleCopyGuard() override;

    // True when this is the first copy (it now listens); false when another copy runs, which
    // has been asked to bring its window forward.
    bool TryBecomeFirst();

signals:
    void ActivationRequested();

private:
    QString m_strName;
    std::unique_ptr<QLockFile> m_pLock;
    QLocalServer* m_pServer = nullptr;
};
