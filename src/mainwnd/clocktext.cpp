#include "mainwnd/clocktext.h"

namespace {

// A format with a part taken out: no blanks or commas left dangling at its ends.
QString TrimmedFormat(QString format) {
    format = format.trimmed();
    while (format.endsWith(QLatin1Char(','))) {
        format.chop(1);
        format = format.trimmed();
    }
    return format;
}

}  // namespace

QString FormatClockDate(const QDate& date, const QLocale& locale) {
    return locale.dayName(date.dayOfWeek(), QLocale::LongFormat) + QLatin1Char(' ') +
           locale.toString(date, DateFormatWithoutWeekday(locale.dateFormat(QLocale::LongFormat)));
}

QString DateFormatWithoutWeekday(const QString& longFormat) {
    QString format;
    bool bQuoted = false;
    for (qsizetype i = 0; i < longFormat.size(); ++i) {
        const QChar c = longFormat[i];
        if (c == QLatin1Char('\'')) {
            bQuoted = !bQuoted;
        } else if (!bQuoted && longFormat.mid(i, 4) == QLatin1String("dddd")) {
            // Skip the weekday and the separator that follows it.
            i += 3;
            while (i + 1 < longFormat.size() &&
                   (longFormat[i + 1] == QLatin1Char(',') || longFormat[i + 1].isSpace())) {
                ++i;
            }
            continue;
        }
        format += c;
    }
    return TrimmedFormat(format);
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
    return TrimmedFormat(format);
}
