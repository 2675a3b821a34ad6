#pragma once

#include <QLocale>
#include <QString>

#include <cstdint>

namespace tidora::helpers {

// A size the shell shows ("12,5 КБ", "3 MB"): the number times 1000 for KB/КБ, 1000000 for
// MB/МБ, 1000000000 for GB/ГБ, 1 for any other unit; -1 when the text has no blank.
int64_t ParseSizeText(const QString& s, const QLocale& locale = QLocale());
// A deletion date the shell shows ("31.12.2025 23:59"), in the locale's forms, as a day count
// since 1899-12-30; 0 when the date does not parse.
double ParseDeletedDate(const QString& s, const QLocale& locale = QLocale());

}  // namespace tidora::helpers
