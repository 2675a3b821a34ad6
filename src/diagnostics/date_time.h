#pragma once

#include <QChar>
#include <QDateTime>
#include <QLocale>
#include <QString>

#include <cstdint>

namespace tidora::diagnostics {

// Date-times are stored as local-time day counts since 1899-12-30 with the time of day as the
// fraction (-1.25 is 1899-12-29 06:00: before the epoch the fraction still counts forward).

double nowAsDays();

// An invalid date-time gives 0, the empty date.
double daysFromDateTime(const QDateTime& dateTime);

// A moment given as seconds and milliseconds since 1970 in UTC, as a local day count. The same as
// daysFromDateTime of that moment, but cheap enough to call for every file of a large folder.
double daysFromUnixTime(int64_t seconds, int milliseconds);
// Rounded to the millisecond. NaN, infinities and counts outside the years 1 to 9999 give an
// invalid QDateTime.
QDateTime dateTimeFromDays(double days);

// The locale's long time format without its time-zone part (Qt adds one; a clock reading in a
// log line is local time and carries no zone).
QString longTimeFormat(const QLocale& locale);
// The locale's short date format with four-digit years: two digits would read back in the wrong
// century.
QString shortDateFormat(const QLocale& locale);

// The character between hours and minutes in the locale's time format; ':' when it has none.
QChar timeSeparator(const QLocale& locale);

}  // namespace tidora::diagnostics
