#include "helpers/shell_texts.h"

#include <QDate>
#include <QTime>

#include <cmath>

#include "diagnostics/date_time.h"

namespace tidora::helpers {

int64_t ParseSizeText(const QString& s, const QLocale& locale) {
    const qsizetype blank = s.lastIndexOf(' ');
    if (blank < 0) {
        return -1;
    }
    const QString unit = s.mid(blank + 1).toUpper();
    double multiplier = 1;
    if (unit == "KB" || unit == QString::fromUtf8("КБ")) {
        multiplier = 1e3;
    } else if (unit == "MB" || unit == QString::fromUtf8("МБ")) {
        multiplier = 1e6;
    } else if (unit == "GB" || unit == QString::fromUtf8("ГБ")) {
        multiplier = 1e9;
    }
    bool ok = false;
    QString number = s.left(blank).trimmed();
    number.remove(locale.groupSeparator());
    const double value = locale.toDouble(number, &ok);
    if (!ok || !std::isfinite(value) || std::fabs(value * multiplier) > 9e18) {
        return 0;
    }
    return static_cast<int64_t>(value * multiplier);
}

double ParseDeletedDate(const QString& s, const QLocale& locale) {
    const qsizetype blank = s.lastIndexOf(' ');
    QString datePart = blank < 0 ? s : s.left(blank);
    QString timePart = blank < 0 ? QString() : s.mid(blank + 1);
    for (QString* part : {&datePart, &timePart}) {
        part->remove(QChar(0x200E));
        *part = part->trimmed();
    }
    const QString dateFormat = diagnostics::shortDateFormat(locale);
    QDate date = locale.toDate(datePart, dateFormat);
    if (!date.isValid()) {
        // The shell writes its dates with "." whatever the locale's separator is.
        QString separator;
        for (const QChar c : dateFormat) {
            if (!c.isLetter()) {
                separator = c;
                break;
            }
        }
        date = locale.toDate(QString(datePart).replace('.', separator), dateFormat);
    }
    if (!date.isValid()) {
        return 0;
    }
    QTime time;
    for (const QString& format :
         {locale.timeFormat(QLocale::ShortFormat), diagnostics::longTimeFormat(locale),
          QString("H:mm:ss"), QString("H:mm")}) {
        time = locale.toTime(timePart, format);
        if (time.isValid()) {
            break;
        }
    }
    return diagnostics::daysFromDateTime(QDateTime(date, time.isValid() ? time : QTime(0, 0)));
}

}  // namespace tidora::helpers
