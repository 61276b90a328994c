#pragma once

#include <QObject>
#include <QSoundEffect>
#include <QString>
#include <QUrl>

#include "platform/alertplayer.h"

// The alert chime from the module's resources, played through QSoundEffect.
class CAlertSound final : public QObject, public IAlertPlayer {
    Q_OBJECT

public:
    explicit CAlertSound(QObject* parent = nullptr);

    void Play() override;

    // The chime as a resource path (for QFile) and as the URL the effect plays.
    static QString ResourcePath();
    static QUrl SourceUrl();

private:
    // A child, so whoever holds the player as a QObject can reach the effect.
    QSoundEffect* m_pEffect;
};
