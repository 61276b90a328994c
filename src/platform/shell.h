#pragma once

#include <QString>
#include <QStringList>
#include <vector>

// Asks the desktop to open a local file with the user's viewer for it. False when the file is
// not there or the desktop could not be asked.
bool OpenLocalFile(const QString& path);

// A program to start with its arguments, and the desktops it belongs to, as
// XDG_CURRENT_DESKTOP names them.
struct ProgramCommand {
    QString program;
    QStringList arguments;
    QStringList desktops;

    bool operator==(const ProgramCommand&) const = default;
};

// The date and time settings of the common desktops. Those of the desktops named in
// currentDesktops (XDG_CURRENT_DESKTOP's colon-separated list) come first, in its order.
std::vector<ProgramCommand> DateTimeSettingsPrograms(const QString& currentDesktops);

struct StartResult {
    QString started;      // the program that was started; empty when none was
    QStringList failed;   // installed programs that would not start
    QStringList missing;  // programs not installed
};

// Starts the first command whose program is installed (on the PATH) and starts; returns at
// once, without waiting for the program.
StartResult StartFirstInstalled(const std::vector<ProgramCommand>& commands);
