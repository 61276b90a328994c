#include "sound/alertsoundmodule.h"

#include "sound/alertsound.h"

IAlertPlayer* CAlertSoundModule::CreatePlayer(QObject* parent) {
    return new CAlertSound(parent);
}
