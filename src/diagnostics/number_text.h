#pragma once

#include <QLocale>
#include <QString>

namespace tidora::diagnostics {

// Fixed notation: rounded to `precision` significant digits but to no more than `decimals`
// places, then written with exactly `decimals` places; scientific notation with `precision`
// digits when the integer part needs more than `precision` digits. Locale decimal separator, no
// group separators.
QString fixedNumberText(double value, int precision, int decimals, const QLocale& locale);

// The general form: up to 15 significant digits, no trailing zeros, locale decimal separator, no
// group separators.
QString generalNumberText(double value, const QLocale& locale);

}  // namespace tidora::diagnostics
