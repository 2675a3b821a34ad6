#pragma once

#include <QDateTime>
#include <QLocale>
#include <QString>
#include <QStringView>
#include <cstdint>
#include <optional>

namespace tidora::frame {

// A rectangle as the settings store keeps it: four coordinates, not a width and a height.
struct SettingsRect {
    int Left = 0;
    int Top = 0;
    int Right = 0;
    int Bottom = 0;
    bool operator==(const SettingsRect&) const = default;
};

// Blanks, a sign and decimal digits, as far as they go; 0 without digits. Far beyond 32 bits the
// value saturates instead of overflowing.
std::int64_t leadingDecimal(QStringView text);
// Blanks, a sign, then decimal digits or hexadecimal ones after "$", "x" or "0x": the value of
// the leading digits, 0 without any. Nullopt when it does not fit in 32 bits; hexadecimal goes
// up to FFFFFFFF, read as a signed value.
std::optional<std::int32_t> leadingInteger(QStringView text);
// The whole text, blanks around it aside, as one such integer; nullopt for anything else.
std::optional<std::int32_t> wholeInteger(QStringView text);

// General form with up to 15 significant digits and the locale's decimal separator.
QString formatFloat(double value, const QLocale& locale);
// The locale's form first; then with every "." and "," taken as the decimal separator.
std::optional<double> parseFloat(QStringView text, const QLocale& locale);

// The locale's short date and, unless the time is midnight, a blank and the locale's long time.
QString formatDateTime(const QDateTime& value, const QLocale& locale);
// Reads what formatDateTime writes: date and time, or the date alone for midnight.
std::optional<QDateTime> parseDateTime(QStringView text, const QLocale& locale);

// "Left,Top,Right,Bottom" in decimal.
QString formatRect(const SettingsRect& rect);
// Only a text of exactly four comma-separated items counts; an item that is not a number keeps
// the fallback's coordinate.
SettingsRect parseRect(QStringView text, const SettingsRect& fallback);

}  // namespace tidora::frame
