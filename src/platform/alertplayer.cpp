#include "platform/alertplayer.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QPluginLoader>
#include <QPointer>
#include <QtDebug>

namespace {

// Without the module the reminder still makes itself heard.
class CBeepPlayer final : public QObject, public IAlertPlayer {
public:
    using QObject::QObject;
    void Play() override { QApplication::beep(); }
};

IAlertPlayer* LoadModulePlayer(QObject* parent) {
    QStringList problems;
    for (const QString& folder : AlertSoundModuleFolders()) {
        const QString path = QDir(folder).filePath(AlertSoundModuleName());
        if (!QFileInfo::exists(path)) {
            continue;
        }
        // The loader keeps the module loaded for the rest of the program's life.
        QPluginLoader loader(path);
        auto* pFactory = qobject_cast<IAlertSoundFactory*>(loader.instance());
        if (pFactory != nullptr) {
            return pFactory->CreatePlayer(parent);
        }
        problems << loader.errorString();
    }
    if (problems.isEmpty()) {
        problems << QStringLiteral("%1 not found in %2")
                        .arg(AlertSoundModuleName(), AlertSoundModuleFolders().join(", "));
    }
    qWarning().noquote() << "Reminders will beep instead of chiming:" << problems.join("; ");
    return nullptr;
}

}  // namespace

IAlertPlayer& SharedAlertPlayer() {
    static QPointer<QObject> s_pOwner;
    static IAlertPlayer* s_pPlayer = nullptr;
    if (s_pOwner.isNull()) {
        s_pPlayer = LoadModulePlayer(QCoreApplication::instance());
        if (s_pPlayer == nullptr) {
            s_pPlayer = new CBeepPlayer(QCoreApplication::instance());
        }
        s_pOwner = dynamic_cast<QObject*>(s_pPlayer);
    }
    return *s_pPlayer;
}

QStringList AlertSoundModuleFolders() {
    const QString programFolder = QCoreApplication::applicationDirPath();
    return {programFolder, QDir::cleanPath(programFolder + "/../lib/marmoset-task")};
}

QString AlertSoundModuleName() {
#ifdef Q_OS_WIN
    return QStringLiteral("marmoset_sound.dll");
#else
    return QStringLiteral("marmoset_sound.so");
#endif
}
