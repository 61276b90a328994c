#include "platform/autostart.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>
#include <QStringList>

#include "res/strings.h"

namespace {

// The escapes of a desktop entry's string values.
QString EscapeString(const QString& text) {
    QString escaped;
    for (const QChar c : text) {
        if (c == QLatin1Char('\\')) {
            escaped += QLatin1String("\\\\");
        } else if (c == QLatin1Char('\n')) {
            escaped += QLatin1String("\\n");
        } else if (c == QLatin1Char('\t')) {
            escaped += QLatin1String("\\t");
        } else if (c == QLatin1Char('\r')) {
            escaped += QLatin1String("\\r");
        } else {
            escaped += c;
        }
    }
    if (escaped.startsWith(QLatin1Char(' '))) {
        escaped.replace(0, 1, QLatin1String("\\s"));
    }
    return escaped;
}

// The [Desktop Entry] group's value of key, if it has one.
std::optional<QString> EntryValue(const QStringList& lines, const QString& key) {
    bool bInEntry = false;
    for (const QString& raw : lines) {
        const QString line = raw.trimmed();
        if (line.startsWith(QLatin1Char('['))) {
            bInEntry = line == QLatin1String("[Desktop Entry]");
            continue;
        }
        const qsizetype equals = line.indexOf(QLatin1Char('='));
        if (bInEntry && equals > 0 && line.left(equals).trimmed() == key) {
            return line.mid(equals + 1).trimmed();
        }
    }
    return std::nullopt;
}

QString WithPath(const char* text, const QString& path) {
    return QString::fromLatin1(text) + QLatin1Char('\n') + QDir::toNativeSeparators(path);
}

// The lines of the entry there is, if any.
std::optional<QStringList> EntryLines() {
    QFile file(AutostartEntryPath());
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        return std::nullopt;
    }
    return QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'));
}

bool IsOn(const std::optional<QStringList>& lines) {
    return lines && EntryValue(*lines, QStringLiteral("Hidden")) != QLatin1String("true") &&
           EntryValue(*lines, QStringLiteral("X-GNOME-Autostart-enabled")) !=
               QLatin1String("false");
}

}  // namespace

QString AutostartEntryPath() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QLatin1String("/autostart/marmoset-task.desktop");
}

QString ExecArgument(const QString& argument) {
    static const QString reserved = QStringLiteral(" \t\n\"'\\><~|&;$*?#()`");
    bool bQuote = argument.isEmpty();
    for (const QChar c : argument) {
        bQuote = bQuote || reserved.contains(c);
    }
    QString quoted = argument;
    if (bQuote) {
        quoted.clear();
        for (const QChar c : argument) {
            if (c == QLatin1Char('"') || c == QLatin1Char('`') || c == QLatin1Char('$') ||
                c == QLatin1Char('\\')) {
                quoted += QLatin1Char('\\');
            }
            quoted += c;
        }
        quoted = QLatin1Char('"') + quoted + QLatin1Char('"');
    }
    // A lone % would be a field code.
    quoted.replace(QLatin1Char('%'), QLatin1String("%%"));
    return EscapeString(quoted);
}

QString AutostartEntryText(const QString& programPath) {
    return QStringLiteral(
               "[Desktop Entry]\n"
               "Type=Application\n"
               "Name=Marmoset Task\n"
               "Comment=Reminds you of your dated tasks\n") +
           QLatin1String("Exec=") + ExecArgument(programPath) + QLatin1Char('\n') +
           QLatin1String("TryExec=") + EscapeString(programPath) + QLatin1Char('\n') +
           QStringLiteral(
               "Icon=marmoset-task\n"
               "Terminal=false\n"
               "StartupNotify=false\n");
}

bool IsStartAtLoginOn() {
    return IsOn(EntryLines());
}

std::optional<QString> SetStartAtLogin(bool bOn, const QString& programPath) {
    // An entry that is on and starts this program stays as it is, with any change the user
    // made to it; one that starts a copy elsewhere is written again.
    const std::optional<QStringList> lines = EntryLines();
    if (bOn == IsOn(lines) &&
        (!bOn || EntryValue(*lines, QStringLiteral("Exec")) == ExecArgument(programPath))) {
        return std::nullopt;
    }
    const QString path = AutostartEntryPath();
    if (!bOn) {
        if (!QFile::remove(path) && QFileInfo::exists(path)) {
            return WithPath(Str::StartAtLoginNotRemoved, path);
        }
        return std::nullopt;
    }
    QSaveFile file(path);
    if (!QDir().mkpath(QFileInfo(path).path()) || !file.open(QIODevice::WriteOnly) ||
        file.write(AutostartEntryText(programPath).toUtf8()) < 0 || !file.commit()) {
        return WithPath(Str::StartAtLoginNotWritten, path);
    }
    return std::nullopt;
}
