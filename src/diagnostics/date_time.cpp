#include "diagnostics/date_time.h"

#include <cmath>
#include <ctime>

namespace tidora::diagnostics {
namespace {

constexpr qint64 kMsPerDay = 86'400'000;
const QDate kEpoch(1899, 12, 30);
const QDate kFirstDay(1, 1, 1);
const QDate kLastDay(9999, 12, 31);

}  // namespace

double nowAsDays() {
    return daysFromDateTime(QDateTime::currentDateTime());
}

double daysFromDateTime(const QDateTime& dateTime) {
    if (!dateTime.isValid()) {
        return 0.0;
    }
    const QDateTime local = dateTime.toLocalTime();
    const double day = static_cast<double>(kEpoch.daysTo(local.date()));
    const double fraction =
        static_cast<double>(local.time().msecsSinceStartOfDay()) / static_cast<double>(kMsPerDay);
    return day >= 0 ? day + fraction : day - fraction;
}

double daysFromUnixTime(int64_t seconds, int milliseconds) {
    // localtime_r reads the zone rules once, where QDateTime::toLocalTime looks at them each time.
    const time_t t = static_cast<time_t>(seconds);
    tm local{};
    if (!localtime_r(&t, &local)) {
        return daysFromDateTime(QDateTime::fromMSecsSinceEpoch(seconds * 1000 + milliseconds));
    }
    const QDate date(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday);
    if (!date.isValid()) {
        return 0.0;
    }
    const double day = static_cast<double>(kEpoch.daysTo(date));
    const qint64 ms =
        ((local.tm_hour * 60LL + local.tm_min) * 60 + local.tm_sec) * 1000 + milliseconds;
    const double fraction = static_cast<double>(ms) / static_cast<double>(kMsPerDay);
    return day >= 0 ? day + fraction : day - fraction;
}

QDateTime dateTimeFromDays(double days) {
    // Before the epoch the whole part still names the day, so -693593.5 is noon of the first day.
    if (!std::isfinite(days) || days <= static_cast<double>(kEpoch.daysTo(kFirstDay) - 1) ||
        days >= static_cast<double>(kEpoch.daysTo(kLastDay) + 1)) {
        return {};
    }
    const double whole = std::trunc(days);
    qint64 ms = std::llround(std::fabs(days - whole) * static_cast<double>(kMsPerDay));
    QDate date = kEpoch.addDays(static_cast<qint64>(whole));
    if (ms >= kMsPerDay) {
        date = date.addDays(1);
        ms = 0;
    }
    if (date > kLastDay) {
        return {};
    }
    return QDateTime(date, QTime::fromMSecsSinceStartOfDay(static_cast<int>(ms)));
}

QString longTimeFormat(const QLocale& locale) {
    const QString format = locale.timeFormat(QLocale::LongFormat);
    QString result;
    bool quoted = false;
    for (const QChar c : format) {
        if (c == u'\'') {
            quoted = !quoted;
        } else if (!quoted && c == u't') {
            while (result.endsWith(u' ')) {
                result.chop(1);
            }
            continue;
        }
        result.append(c);
    }
    return result.trimmed();
}

QChar timeSeparator(const QLocale& locale) {
    const QString format = locale.timeFormat(QLocale::ShortFormat);
    qsizetype i = 0;
    while (i < format.size() && (format[i] == u'h' || format[i] == u'H')) {
        ++i;
    }
    if (i == 0 || i >= format.size() || format[i].isLetterOrNumber() || format[i] == u'\'') {
        return u':';
    }
    return format[i];
}

// The locale's short date with four-digit years: two digits would read back in the wrong century.
QString shortDateFormat(const QLocale& locale) {
    const QString format = locale.dateFormat(QLocale::ShortFormat);
    QString out;
    bool quoted = false;
    for (qsizetype i = 0; i < format.size();) {
        const QChar c = format[i];
        if (c == u'\'') {
            quoted = !quoted;
            out += c;
            ++i;
            continue;
        }
        qsizetype run = 1;
        while (!quoted && i + run < format.size() && format[i + run] == c) {
            ++run;
        }
        out += !quoted && c == u'y' && run == 2 ? QStringLiteral("yyyy") : format.mid(i, run);
        i += run;
    }
    return out;
}

}  // namespace tidora::diagnostics
