#include "platform/privatefolder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

bool IsPrivateFolder(const QString& path) {
    const QFileInfo info(path);
    if (path.isEmpty() || info.isSymLink() || !info.isDir()) {
        return false;
    }
#ifdef Q_OS_UNIX
    if (info.ownerId() != static_cast<uint>(geteuid())) {
        return false;
    }
    return !info.permissions().testAnyFlags(QFile::WriteGroup | QFile::WriteOther);
#else
    // Elsewhere the user's own folders are private by the system's rules.
    return true;
#endif
}

QString FirstPrivateFolder(const QStringList& candidates) {
    for (const QString& candidate : candidates) {
        if (candidate.isEmpty()) {
            continue;
        }
        if (!QFileInfo::exists(candidate)) {
            // Made with no rights for others from the start, so nobody can slip in between.
            const QFileInfo info(candidate);
            QDir().mkpath(info.absolutePath());
            QDir().mkdir(candidate, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        }
        if (IsPrivateFolder(candidate)) {
            return candidate;
        }
    }
    return {};
}
