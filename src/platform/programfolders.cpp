#include "platform/programfolders.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#ifndef MARMOSET_DATA_FROM_BIN
#define MARMOSET_DATA_FROM_BIN "../share/marmoset-task"
#endif

namespace {

std::string WithSlash(const QString& folder) {
    return ToCorePath(QDir::cleanPath(folder) + QLatin1Char('/'));
}

}  // namespace

std::string ToCorePath(const QString& path) {
#ifdef Q_OS_WIN
    return path.toStdString();
#else
    return QFile::encodeName(path).toStdString();
#endif
}

QString FromCorePath(const std::string& path) {
#ifdef Q_OS_WIN
    return QString::fromStdString(path);
#else
    return QFile::decodeName(QByteArray::fromStdString(path));
#endif
}

QString InstalledMarkerPath(const QString& programDir) {
    return QDir::cleanPath(programDir + QLatin1Char('/') + QLatin1String(MARMOSET_DATA_FROM_BIN) +
                           QLatin1String("/installed"));
}

ProgramFolders PortableFolders(const std::string& moduleDir) {
    return {.taskFolder = moduleDir, .helpFolder = moduleDir};
}

ProgramFolders FindProgramFolders(const QString& programDir) {
    const QString marker = InstalledMarkerPath(programDir);
    if (!QFileInfo(marker).isFile()) {
        return PortableFolders(WithSlash(programDir));
    }
    const QString dataFolder = UserDataFolder();
    return {.taskFolder = WithSlash(dataFolder),
            .helpFolder = WithSlash(QFileInfo(marker).path()),
            .bFirstStart = !QFileInfo::exists(dataFolder)};
}

QString UserDataFolder() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
           QLatin1String("/Marmoset Task/");
}

bool CreateFirstTaskFile(const std::string& path) {
    const QString taskFile = FromCorePath(path);
    const QFileInfo info(taskFile);
    if (info.exists() || info.isSymLink()) {
        return true;
    }
    if (!QDir().mkpath(info.path())) {
        return false;
    }
    // NewOnly: never through a link or over a file that appeared meanwhile.
    QFile file(taskFile);
    return file.open(QIODevice::WriteOnly | QIODevice::NewOnly);
}
