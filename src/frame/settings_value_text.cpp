#include "frame/settings_value_text.h"

#include <algorithm>
#include <limits>

#include "diagnostics/date_time.h"
#include "diagnostics/number_text.h"

namespace tidora::frame {
namespace {

// Far beyond any 32-bit value, yet far from overflowing 64 bits while digits are added.
constexpr std::int64_t kSaturation = std::int64_t{1} << 40;

struct Scan {
    std::int64_t magnitude = 0;
    bool negative = false;
    bool hexadecimal = false;
    bool anyDigit = false;
    qsizetype end = 0;
};

int digitValue(QChar c, int base) {
    const char16_t u = c.unicode();
    if (u >= u'0' && u <= u'9') {
        return u - u'0';
    }
    if (base == 16 && u >= u'a' && u <= u'f') {
        return u - u'a' + 10;
    }
    if (base == 16 && u >= u'A' && u <= u'F') {
        return u - u'A' + 10;
    }
    return -1;
}

Scan scanNumber(QStringView text, bool allowHex) {
    Scan scan;
    qsizetype i = 0;
    while (i < text.size() && (text[i] == u' ' || text[i] == u'\t')) {
        ++i;
    }
    if (i < text.size() && (text[i] == u'+' || text[i] == u'-')) {
        scan.negative = text[i] == u'-';
        ++i;
    }
    if (allowHex && i < text.size()) {
        const QChar c = text[i];
        if (c == u'$' || c == u'x' || c == u'X') {
            scan.hexadecimal = true;
            ++i;
        } else if (c == u'0' && i + 1 < text.size() &&
                   (text[i + 1] == u'x' || text[i + 1] == u'X')) {
            scan.hexadecimal = true;
            i += 2;
        }
    }
    const int base = scan.hexadecimal ? 16 : 10;
    for (int digit; i < text.size() && (digit = digitValue(text[i], base)) >= 0; ++i) {
        scan.anyDigit = true;
        scan.magnitude = std::min(scan.magnitude * base + digit, kSaturation);
    }
    scan.end = i;
    return scan;
}

std::optional<std::int32_t> toInt32(const Scan& scan) {
    if (scan.hexadecimal) {
        if (scan.magnitude > 0xFFFFFFFF) {
            return std::nullopt;
        }
        const auto bits = static_cast<std::uint32_t>(scan.magnitude);
        return static_cast<std::int32_t>(scan.negative ? 0u - bits : bits);
    }
    const std::int64_t value = scan.negative ? -scan.magnitude : scan.magnitude;
    if (value < std::numeric_limits<std::int32_t>::min() ||
        value > std::numeric_limits<std::int32_t>::max()) {
        return std::nullopt;
    }
    return static_cast<std::int32_t>(value);
}

// Numbers as they are written: a group separator is no part of them.
QLocale withoutGroups(const QLocale& locale) {
    QLocale plain = locale;
    plain.setNumberOptions(QLocale::OmitGroupSeparator | QLocale::RejectGroupSeparator);
    return plain;
}

}  // namespace

std::int64_t leadingDecimal(QStringView text) {
    const Scan scan = scanNumber(text, false);
    return scan.negative ? -scan.magnitude : scan.magnitude;
}

std::optional<std::int32_t> leadingInteger(QStringView text) {
    return toInt32(scanNumber(text, true));
}

std::optional<std::int32_t> wholeInteger(QStringView text) {
    const QStringView trimmed = text.trimmed();
    const Scan scan = scanNumber(trimmed, true);
    if (!scan.anyDigit || scan.end != trimmed.size()) {
        return std::nullopt;
    }
    return toInt32(scan);
}

QString formatFloat(double value, const QLocale& locale) {
    return diagnostics::generalNumberText(value, locale);
}

std::optional<double> parseFloat(QStringView text, const QLocale& locale) {
    const QLocale plain = withoutGroups(locale);
    bool ok = false;
    double value = plain.toDouble(text, &ok);
    if (ok) {
        return value;
    }
    QString separators = text.toString();
    const QString decimal = plain.decimalPoint();
    separators.replace(u'.', decimal).replace(u',', decimal);
    value = plain.toDouble(separators, &ok);
    return ok ? std::optional<double>(value) : std::nullopt;
}

QString formatDateTime(const QDateTime& value, const QLocale& locale) {
    QString text = locale.toString(value.date(), diagnostics::shortDateFormat(locale));
    if (value.time() != QTime(0, 0)) {
        text += u' ' + locale.toString(value.time(), diagnostics::longTimeFormat(locale));
    }
    return text;
}

std::optional<QDateTime> parseDateTime(QStringView text, const QLocale& locale) {
    const QString trimmed = text.trimmed().toString();
    const QString dateFormat = diagnostics::shortDateFormat(locale);
    const QDateTime full =
        locale.toDateTime(trimmed, dateFormat + u' ' + diagnostics::longTimeFormat(locale));
    if (full.isValid()) {
        return full;
    }
    const QDate date = locale.toDate(trimmed, dateFormat);
    if (date.isValid()) {
        return QDateTime(date, QTime(0, 0));
    }
    return std::nullopt;
}

QString formatRect(const SettingsRect& rect) {
    return QStringLiteral("%1,%2,%3,%4")
        .arg(rect.Left)
        .arg(rect.Top)
        .arg(rect.Right)
        .arg(rect.Bottom);
}

SettingsRect parseRect(QStringView text, const SettingsRect& fallback) {
    const QList<QStringView> items = text.split(u',');
    if (items.size() != 4) {
        return fallback;
    }
    const auto coordinate = [&](qsizetype i, int fallbackValue) {
        return wholeInteger(items[i]).value_or(fallbackValue);
    };
    return {coordinate(0, fallback.Left), coordinate(1, fallback.Top),
            coordinate(2, fallback.Right), coordinate(3, fallback.Bottom)};
}

}  // namespace tidora::frame
