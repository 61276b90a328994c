#include "sound/alertsound.h"

CAlertSound::CAlertSound(QObject* parent) : QObject(parent), m_pEffect(new QSoundEffect(this)) {
    // Loading starts now, so the first chime does not wait for it.
    m_pEffect->setSource(SourceUrl());
}

void CAlertSound::Play() {
    // A chime still sounding from the previous reminder starts over. If the sound cannot be
    // played the reminder simply stays silent.
    m_pEffect->play();
}

QString CAlertSound::ResourcePath() {
    return QStringLiteral(":/sounds/alert.wav");
}

QUrl CAlertSound::SourceUrl() {
    return QUrl(QStringLiteral("qrc:/sounds/alert.wav"));
}
