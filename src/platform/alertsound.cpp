#include "platform/alertsound.h"

#include <QCoreApplication>
#include <QPointer>

// The resources live in a static library; naming them here keeps the linker from dropping
// them from any program that plays the alert.
static void InitSoundResources() {
    static const bool s_bDone = [] {
        Q_INIT_RESOURCE(sounds);
        return true;
    }();
    (void)s_bDone;
}

CAlertSound::CAlertSound(QObject* parent) : QObject(parent) {
    InitSoundResources();
    // Loading starts now, so the first reminder does not wait for it.
    m_effect.setSource(SourceUrl());
}

void CAlertSound::Play() {
    // A chime still sounding from the previous reminder starts over. If the sound cannot be
    // played the reminder simply stays silent.
    m_effect.play();
}

QString CAlertSound::ResourcePath() {
    return QStringLiteral(":/sounds/alert.wav");
}

QUrl CAlertSound::SourceUrl() {
    return QUrl(QStringLiteral("qrc:/sounds/alert.wav"));
}

CAlertSound& CAlertSound::Shared() {
    static QPointer<CAlertSound> s_pShared;
    if (s_pShared.isNull()) {
        s_pShared = new CAlertSound(QCoreApplication::instance());
    }
    return *s_pShared;
}
