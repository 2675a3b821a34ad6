#include "stores/history_dates.h"

#include <QDateTime>

#include "diagnostics/date_time.h"

namespace tidora::stores {

QString FormatHistoryDate(double dateTime) {
    const QDateTime value = diagnostics::dateTimeFromDays(dateTime);
    if (!value.isValid()) {
        return {};
    }
    if (value.time().msecsSinceStartOfDay() == 0) {
        return value.toString(QStringLiteral("yyyy-MM-dd"));
    }
    return value.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss.zzz"));
}

QString FormatHistoryTime(double dateTime) {
    const QDateTime value = diagnostics::dateTimeFromDays(dateTime);
    if (!value.isValid()) {
        return {};
    }
    return value.time().toString(QStringLiteral("HH:mm:ss.zzz"));
}

}  // namespace tidora::stores
