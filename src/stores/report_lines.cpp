#include "stores/report_lines.h"

#include "diagnostics/number_text.h"

namespace tidora::stores {

namespace {
const QString kPlaceholder = QStringLiteral("***");
}

int FindLineInList(const QString& aText, const QStringList& aList) {
    const QString text = aText.toUpper().trimmed();
    if (text.isEmpty()) {
        return -1;
    }
    for (qsizetype i = 0; i < aList.size(); ++i) {
        if (aList[i].toUpper().contains(text)) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

void PutCleanIndexLines(QStringList& aLines, double q, const QString& aGradeText,
                        const QLocale& locale) {
    int i = FindLineInList(kPlaceholder, aLines);
    if (i >= 0 && q >= 0) {
        aLines[i] =
            QStringLiteral(" Индекс очистки:  ") + diagnostics::fixedNumberText(q, 6, 2, locale);
        aLines.insert(i, QStringLiteral(" Состояние перед очисткой: ") + aGradeText);
    }
    i = FindLineInList(kPlaceholder, aLines);
    if (i >= 0) {
        aLines.removeAt(i);
    }
}

}  // namespace tidora::stores
