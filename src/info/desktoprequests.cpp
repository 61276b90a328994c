#include "info/desktoprequests.h"

#include <QDir>
#include <QProcessEnvironment>

#include "platform/shell.h"
#include "res/strings.h"

std::optional<QString> OpenHelpIndex(const QString& moduleDir) {
    const QString path = moduleDir + QLatin1String(Str::HelpFileName);
    if (OpenLocalFile(path)) {
        return std::nullopt;
    }
    return QString::fromLatin1(Str::HelpNotOpened) + QLatin1Char('\n') +
           QDir::toNativeSeparators(path);
}

std::optional<QString> OpenSystemCalendar() {
    const QString desktops =
        QProcessEnvironment::systemEnvironment().value(QStringLiteral("XDG_CURRENT_DESKTOP"));
    const StartResult result = StartFirstInstalled(DateTimeSettingsPrograms(desktops));
    if (!result.started.isEmpty()) {
        return std::nullopt;
    }
    if (!result.failed.isEmpty()) {
        return QString::fromLatin1(Str::DateTimeSettingsFailed) + QLatin1Char('\n') +
               result.failed.join(QStringLiteral(", "));
    }
    return QString::fromLatin1(Str::DateTimeSettingsMissing) + QLatin1Char('\n') +
           result.missing.join(QStringLiteral(", "));
}
