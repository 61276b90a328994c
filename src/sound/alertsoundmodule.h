#pragma once

#include <QObject>

#include "platform/alertplayer.h"

// The sound module's entry: the program finds it with QPluginLoader on the first chime.
class CAlertSoundModule final : public QObject, public IAlertSoundFactory {
    Q_OBJECT
    Q_PLUGIN_METADATA(IID MARMOSET_ALERT_SOUND_IID)
    Q_INTERFACES(IAlertSoundFactory)

public:
    IAlertPlayer* CreatePlayer(QObject* parent) override;
};
