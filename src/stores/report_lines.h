#pragma once

#include <QLocale>
#include <QString>
#include <QStringList>

namespace tidora::stores {

// Index of the first line whose upper-cased text contains aText, upper-cased and trimmed; -1
// when no line does or nothing is left of aText.
int FindLineInList(const QString& aText, const QStringList& aList);

// Fills the placeholder line "***" of a run report: with an index q of 0 or more it becomes
// " Индекс очистки:  " and q with two decimals, preceded by the line " Состояние перед очисткой: "
// and aGradeText; without an index (q < 0) the placeholder line is removed.
void PutCleanIndexLines(QStringList& aLines, double q, const QString& aGradeText,
                        const QLocale& locale = QLocale());

}  // namespace tidora::stores
