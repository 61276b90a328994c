#pragma once

#include <QString>
#include <optional>

// Starting the program when the user logs in: an entry in the user's autostart folder, as the
// freedesktop autostart rules describe, named like the menu entry so that it also stands in
// for one a system might provide.

// "$XDG_CONFIG_HOME/autostart/marmoset-task.desktop" (~/.config when the variable is unset).
QString AutostartEntryPath();

// The entry that starts the program at programPath; the program then starts in the start-up
// mode of its settings.
QString AutostartEntryText(const QString& programPath);

// Whether the entry is there and not switched off (Hidden=true, or the
// X-GNOME-Autostart-enabled=false that some desktops' session settings write).
bool IsStartAtLoginOn();

// Writes the entry (bOn) or removes it, when that changes whether the program starts at
// login; an entry that starts another copy of the program is written again. Returns nothing
// when done, or the text that tells the user what failed.
std::optional<QString> SetStartAtLogin(bool bOn, const QString& programPath);

// One argument of a desktop entry's Exec key, quoted where the rules ask for it, with the
// escapes of a string value applied.
QString ExecArgument(const QString& argument);
