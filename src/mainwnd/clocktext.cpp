#include "mainwnd/clocktext.h"

QString FormatClockDate(const QDate& date, const QLocale& locale) {
    return locale.dayName(date.dayOfWeek(), QLocale::LongFormat) + QLatin1Char(' ') +
           locale.toString(date, QLocale::LongFormat);
}

QString FormatClockTime(const QTime& time, const QLocale& locale) {
    return locale.toString(time, TimeFormatWithoutZone(locale.timeFormat(QLocale::LongFormat))) +
           QLatin1Char(' ');
}

QString TimeFormatWithoutZone(const QString& longFormat) {
    QString format;
    bool bQuoted = false;
    for (const QChar c : longFormat) {
        if (c == QLatin1Char('\'')) {
            bQuoted = !bQuoted;
        } else if (!bQuoted && c == QLatin1Char('t')) {
            continue;
        }
        format += c;
    }
    // Some locales wrap the zone in brackets or set it off with a comma.
    format.remove(QStringLiteral("()"));
    format.remove(QStringLiteral("[]"));
    format = format.trimmed();
    while (format.endsWith(QLatin1Char(','))) {
        format.chop(1);
        format = format.trimmed();
    }
    return format;
}
