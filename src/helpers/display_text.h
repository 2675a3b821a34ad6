#pragma once

#include <QLocale>
#include <QString>

#include <cstdint>

namespace tidora::helpers {

// "512", "1,50 Kb", "3,25 Mb", "5,00 Gb" with the locale's separators; "-" for a negative size.
QString SizeToStr(int aDecimals, int64_t aSize, const QLocale& locale = QLocale());
// The last n characters of s (all of s when n reaches its length).
QString RightChars(const QString& s, int n);
// A path shortened for one display line: drive, "..." and the end of the name, or the start of
// the folder, ".." and the name.
QString ShortenFileName(const QString& aPath, int aMaxLen);
// A text shortened in its middle: the first 5 characters, "..", and the last aMaxLen - 7.
QString ShortenText(const QString& s, int aMaxLen);

}  // namespace tidora::helpers
