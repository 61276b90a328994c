#pragma once

#include <QObject>
#include <QString>
#include <QStringList>
#include <QtPlugin>

// Something that can sound the reminder's alert. The reminder dialog only knows this, so
// a test can count the alerts without an audio device.
class IAlertPlayer {
public:
    virtual ~IAlertPlayer() = default;
    // Starts the alert and returns at once; the sound plays on its own.
    virtual void Play() = 0;
};

// What the sound module offers. The module carries Qt Multimedia and the audio libraries
// behind it, which cost a start-up several milliseconds and megabytes, so the program loads
// it only when the first reminder asks for its chime.
class IAlertSoundFactory {
public:
    virtual ~IAlertSoundFactory() = default;
    // A new player, deleted with parent.
    virtual IAlertPlayer* CreatePlayer(QObject* parent) = 0;
};

#define MARMOSET_ALERT_SOUND_IID "org.marmosettask.AlertSoundFactory/1"
Q_DECLARE_INTERFACE(IAlertSoundFactory, MARMOSET_ALERT_SOUND_IID)

// The program's one alert player, made on first use and owned by the application object: the
// sound module's chime, or the desktop's beep when the module cannot be loaded (the reason
// goes to the log once). A reminder answered at once must not cut its own chime short.
IAlertPlayer& SharedAlertPlayer();

// The folders searched for the sound module, in order: beside the program (a build or a
// portable folder), then where the install rules put it.
QStringList AlertSoundModuleFolders();

// The module's file name in those folders.
QString AlertSoundModuleName();
