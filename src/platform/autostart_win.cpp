// Starting the program when the user logs in, on Windows: a value named after the program in
// the user's Run key, holding the quoted path of the program. Task Manager's Startup page
// switches such a value off without removing it, by a flag in the StartupApproved key.

#include <QDir>
#include <QSettings>

#include "platform/autostart.h"
#include "res/strings.h"

#include <windows.h>

namespace {

constexpr auto kRunKey = "HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr auto kApprovedKey =
    "HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\StartupApproved"
    "\\Run";
constexpr auto kValueName = "Marmoset Task";

QSettings OpenKey(const char* key) {
    return {QString::fromLatin1(key), QSettings::NativeFormat};
}

QString RunCommand() {
    return OpenKey(kRunKey).value(QString::fromLatin1(kValueName)).toString();
}

// The first byte of the approval flag is odd while the user has switched the entry off.
bool IsSwitchedOff() {
    BYTE flag[12] = {};
    DWORD size = sizeof(flag);
    const LSTATUS read = RegGetValueW(
        HKEY_CURRENT_USER,
        L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\StartupApproved\\Run",
        L"Marmoset Task", RRF_RT_REG_BINARY, nullptr, flag, &size);
    return read == ERROR_SUCCESS && size > 0 && (flag[0] & 1) != 0;
}

QString WithPath(const char* text) {
    return QString::fromLatin1(text) + QLatin1Char('\n') + AutostartEntryPath();
}

}  // namespace

QString AutostartEntryPath() {
    return QString::fromLatin1(kRunKey) + QLatin1Char('\\') + QString::fromLatin1(kValueName);
}

QString AutostartEntryText(const QString& programPath) {
    return QLatin1Char('"') + QDir::toNativeSeparators(programPath) + QLatin1Char('"');
}

bool IsStartAtLoginOn() {
    return !RunCommand().isEmpty() && !IsSwitchedOff();
}

std::optional<QString> SetStartAtLogin(bool bOn, const QString& programPath) {
    // An entry that is on and starts this program stays as it is; one that starts a copy
    // elsewhere is written again.
    const QString wanted = AutostartEntryText(programPath);
    if (bOn == IsStartAtLoginOn() && (!bOn || RunCommand() == wanted)) {
        return std::nullopt;
    }
    QSettings run = OpenKey(kRunKey);
    if (!bOn) {
        run.remove(QString::fromLatin1(kValueName));
        run.sync();
        return RunCommand().isEmpty() ? std::nullopt
                                      : std::optional(WithPath(Str::StartAtLoginNotRemoved));
    }
    run.setValue(QString::fromLatin1(kValueName), wanted);
    run.sync();
    // Turned on here, it is on again in Task Manager too.
    QSettings approved = OpenKey(kApprovedKey);
    approved.remove(QString::fromLatin1(kValueName));
    approved.sync();
    return IsStartAtLoginOn() && RunCommand() == wanted
               ? std::nullopt
               : std::optional(WithPath(Str::StartAtLoginNotWritten));
}
