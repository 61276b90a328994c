#pragma once

#include <QString>
#include <optional>

// What the program asks of the desktop: its help page and the system's date and time
// settings. Each returns nothing when the request went out, or the text telling the user
// what could not be opened.

// Opens "nkindex.htm" from the program's folder (moduleDir ends in a slash) in the user's
// browser.
std::optional<QString> OpenHelpIndex(const QString& moduleDir);

// Opens the date and time settings of the running desktop, or of the first other desktop
// whose settings program is installed.
std::optional<QString> OpenSystemCalendar();
