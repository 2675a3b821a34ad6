#include "diagnostics/date_time.h"

#include <gtest/gtest.h>

#include <cmath>
#include <ctime>
#include <limits>

namespace tidora::diagnostics {
namespace {

TEST(LogDateTime, DayCountsBothWays) {
    struct Case {
        QDateTime dateTime;
        double days;
    };
    const Case cases[] = {
        {QDateTime(QDate(1899, 12, 30), QTime(0, 0)), 0.0},
        {QDateTime(QDate(1899, 12, 31), QTime(6, 0)), 1.25},
        {QDateTime(QDate(1900, 1, 1), QTime(0, 0)), 2.0},
        // Before the epoch the fraction still runs forward from the start of the day.
        {QDateTime(QDate(1899, 12, 29), QTime(6, 0)), -1.25},
        {QDateTime(QDate(2024, 2, 29), QTime(12, 0)), 45351.5},
        {QDateTime(QDate(2026, 12, 11), QTime(14, 5, 9, 123)), 46367 + 50709.123 / 86400},
        {QDateTime(QDate(1, 1, 1), QTime(0, 0)), -693593.0},
        {QDateTime(QDate(9999, 12, 31), QTime(23, 59, 59, 999)), 2958465 + 86399.999 / 86400},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.dateTime.toString(Qt::ISODateWithMs).toStdString());
        EXPECT_NEAR(daysFromDateTime(c.dateTime), c.days, 1e-9);
        EXPECT_EQ(dateTimeFromDays(c.days), c.dateTime);
    }
}

TEST(LogDateTime, RoundsToTheMillisecondAcrossMidnight) {
    EXPECT_EQ(dateTimeFromDays(0.9999999999), QDateTime(QDate(1899, 12, 31), QTime(0, 0)));
    EXPECT_EQ(dateTimeFromDays(-1.9999999999), QDateTime(QDate(1899, 12, 30), QTime(0, 0)));
    EXPECT_EQ(dateTimeFromDays(1.5 + 0.4 / 86'400'000),
              QDateTime(QDate(1899, 12, 31), QTime(12, 0)));
}

TEST(LogDateTime, UnusableValuesAreRefused) {
    const double unusable[] = {std::numeric_limits<double>::quiet_NaN(),
                               std::numeric_limits<double>::infinity(),
                               -std::numeric_limits<double>::infinity(),
                               -693594.0,
                               2958466.0,
                               1e300};
    for (const double days : unusable) {
        EXPECT_FALSE(dateTimeFromDays(days).isValid()) << days;
    }
    EXPECT_EQ(daysFromDateTime(QDateTime()), 0.0);
}

TEST(LogDateTime, CountsAreLocalTime) {
    const QByteArray savedZone = qgetenv("TZ");
    qputenv("TZ", "Europe/Moscow");  // UTC+3 all year
    ::tzset();
    const QDateTime utc(QDate(2026, 6, 1), QTime(10, 0), Qt::UTC);
    const double days = daysFromDateTime(utc);
    const QDateTime back = dateTimeFromDays(46174 + 13.0 / 24).toUTC();
    if (savedZone.isNull()) {
        qunsetenv("TZ");
    } else {
        qputenv("TZ", savedZone);
    }
    ::tzset();
    EXPECT_NEAR(days, 46174 + 13.0 / 24, 1e-9);
    EXPECT_EQ(back, utc);
}

TEST(LogDateTime, UnixTimesGiveTheSameCountsAsDateTimes) {
    const QByteArray savedZone = qgetenv("TZ");
    qputenv("TZ", "Europe/Berlin");  // with summer time
    ::tzset();
    // Winter, summer, the hour after the spring change, before 1970, before 1899-12-30.
    const std::pair<int64_t, int> moments[] = {
        {1700000000, 123},
        {1719835200, 999},
        {1711846800, 0},
        {-86400 * 400 - 1, 500},
        {-2209161600LL - 86400 * 3 + 3600, 250},
    };
    for (const auto& [seconds, ms] : moments) {
        EXPECT_NEAR(daysFromUnixTime(seconds, ms),
                    daysFromDateTime(QDateTime::fromMSecsSinceEpoch(seconds * 1000 + ms)), 1e-9)
            << seconds;
    }
    if (savedZone.isNull()) {
        qunsetenv("TZ");
    } else {
        qputenv("TZ", savedZone);
    }
    ::tzset();
}

TEST(LogDateTime, NowIsTheCurrentLocalTime) {
    const double before = daysFromDateTime(QDateTime::currentDateTime());
    const double now = nowAsDays();
    const double after = daysFromDateTime(QDateTime::currentDateTime());
    EXPECT_LE(before, now);
    EXPECT_LE(now, after);
}

TEST(LogDateTime, LocaleTimeFormats) {
    struct Case {
        const char* locale;
        const char* longTime;
        char separator;
    };
    const Case cases[] = {
        {"C", "HH:mm:ss", ':'},
        {"en_US", "h:mm:ss AP", ':'},
        {"ru_RU", "HH:mm:ss", ':'},
        {"fi_FI", "H.mm.ss", '.'},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.locale);
        const QLocale locale(QString::fromLatin1(c.locale));
        EXPECT_EQ(longTimeFormat(locale), QString::fromLatin1(c.longTime));
        EXPECT_EQ(timeSeparator(locale), QChar::fromLatin1(c.separator));
    }
}

}  // namespace
}  // namespace tidora::diagnostics
