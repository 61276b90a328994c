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
    // The file system's own encoding, as every task file path is.
    return (QFile::encodeName(QDir::cleanPath(folder)) + '/').toStdString();
}

}  // namespace

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
    const QString taskFile = QFile::decodeName(QByteArray::fromStdString(path));
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
