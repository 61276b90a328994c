#pragma once

#include <QObject>
#include <QSoundEffect>
#include <QString>
#include <QUrl>

// Something that can sound the reminder's alert. The reminder dialog only knows this, so
// a test can count the alerts without an audio device.
class IAlertPlayer {
public:
    virtual ~IAlertPlayer() = default;
    // Starts the alert and returns at once; the sound plays on its own.
    virtual void Play() = 0;
};

// The alert chime from the program's resources, played through QSoundEffect.
class CAlertSound final : public QObject, public IAlertPlayer {
    Q_OBJECT

public:
    explicit CAlertSound(QObject* parent = nullptr);

    void Play() override;

    const QSoundEffect& Effect() const { return m_effect; }

    // The chime as a resource path (for QFile) and as the URL the effect plays.
    static QString ResourcePath();
    static QUrl SourceUrl();

    // One player for the whole program, owned by the application object. A reminder that is
    // answered at once must not cut its own chime short, and the sound is loaded only once.
    static CAlertSound& Shared();

private:
    QSoundEffect m_effect;
};
