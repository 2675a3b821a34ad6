#include "diagnostics/number_text.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace tidora::diagnostics {
namespace {

QLocale withoutGroups(QLocale locale) {
    locale.setNumberOptions(locale.numberOptions() | QLocale::OmitGroupSeparator);
    return locale;
}

// Decimal exponent of the value once rounded to `precision` significant digits (9999.96 at five
// digits is 10000, exponent 4).
int roundedExponent(double value, int precision) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.*e", precision - 1, value);
    const char* e = std::strchr(buffer, 'e');
    return e ? std::atoi(e + 1) : 0;
}

double roundToDecimals(double value, int decimals) {
    char buffer[400];
    std::snprintf(buffer, sizeof buffer, "%.*f", decimals, value);
    return std::strtod(buffer, nullptr);
}

}  // namespace

QString fixedNumberText(double value, int precision, int decimals, const QLocale& locale) {
    const QLocale plain = withoutGroups(locale);
    precision = std::clamp(precision, 1, 17);
    decimals = std::clamp(decimals, 0, 17);
    if (!std::isfinite(value)) {
        return plain.toString(value);
    }
    const int exponent = value == 0 ? 0 : roundedExponent(value, precision);
    if (exponent >= precision) {
        return plain.toString(value, 'E', precision - 1);
    }
    double rounded = roundToDecimals(value, std::min(decimals, precision - 1 - exponent));
    if (rounded == 0) {
        rounded = 0;  // no "-0.000"
    }
    return plain.toString(rounded, 'f', decimals);
}

QString generalNumberText(double value, const QLocale& locale) {
    return withoutGroups(locale).toString(value, 'g', 15);
}

}  // namespace tidora::diagnostics
