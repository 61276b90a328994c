#include "platform/shell.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QUrl>
#include <algorithm>
#include <climits>

bool OpenLocalFile(const QString& path) {
    // The desktop's opener would report a missing file only to a terminal nobody sees.
    if (!QFileInfo(path).isFile()) {
        return false;
    }
    return QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

std::vector<ProgramCommand> DateTimeSettingsPrograms(const QString& currentDesktops) {
#ifdef Q_OS_WIN
    Q_UNUSED(currentDesktops);
    return {{QStringLiteral("control"), {QStringLiteral("date/time")}, {}}};
#else
    std::vector<ProgramCommand> commands = {
        {"gnome-control-center", {"datetime"}, {"GNOME"}},
        {"systemsettings", {"kcm_clock"}, {"KDE"}},
        {"systemsettings5", {"clock"}, {"KDE"}},
        {"cinnamon-settings", {"calendar"}, {"X-Cinnamon"}},
        {"budgie-control-center", {"datetime"}, {"Budgie"}},
        {"unity-control-center", {"datetime"}, {"Unity"}},
        {"lxqt-admin-time", {}, {"LXQt"}},
        // The GNOME system tools' dialog, which Xfce, MATE and LXDE users install for this.
        {"time-admin", {}, {"XFCE", "MATE", "LXDE"}},
    };
    const QStringList current = currentDesktops.split(QLatin1Char(':'), Qt::SkipEmptyParts);
    const auto rank = [&current](const ProgramCommand& command) {
        for (int i = 0; i < current.size(); ++i) {
            if (command.desktops.contains(current[i], Qt::CaseInsensitive)) {
                return i;
            }
        }
        return INT_MAX;
    };
    std::stable_sort(
        commands.begin(), commands.end(),
        [&rank](const ProgramCommand& a, const ProgramCommand& b) { return rank(a) < rank(b); });
    return commands;
#endif
}

StartResult StartFirstInstalled(const std::vector<ProgramCommand>& commands) {
    StartResult result;
    for (const ProgramCommand& command : commands) {
        const QString path = QStandardPaths::findExecutable(command.program);
        if (path.isEmpty()) {
            result.missing << command.program;
            continue;
        }
        if (QProcess::startDetached(path, command.arguments)) {
            result.started = command.program;
            return result;
        }
        result.failed << command.program;
    }
    return result;
}
