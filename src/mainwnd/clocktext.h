#pragma once

#include <QDateTime>
#include <QLocale>
#include <QString>

// The two clock texts of the main window, in the user's locale.

// The full weekday name, one blank and the locale's long date. Most long date forms start
// with the weekday already; it is shown once.
QString FormatClockDate(const QDate& date, const QLocale& locale);

// The locale's long date format without its weekday part.
QString DateFormatWithoutWeekday(const QString& longFormat);

// The locale's time with seconds, followed by one blank.
QString FormatClockTime(const QTime& time, const QLocale& locale);

// The locale's long time format without its time-zone part: a clock that shows the zone
// name next to the seconds is noise on a desktop that has one zone.
QString TimeFormatWithoutZone(const QString& longFormat);
