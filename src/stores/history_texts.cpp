#include "stores/history_texts.h"

#include <QLocale>
#include <QStringView>

#include "diagnostics/number_text.h"

namespace tidora::stores {
namespace {

struct GradeRule {
    double bound;
    bool inclusive;
    QStringView text;
};

// The first rule that holds decides. "Xорошее" starts with a Latin X: that is the text the
// system shows, kept as it is.
const GradeRule kGrades[] = {
    {9.8, true, u"Очистка не требовалась"},
    {8.8, false, u"Отличное"},
    {7.8, false, u"Xорошее"},
    {7.1, false, u"Хорошее, очистка рекомендована"},
    {6.99, false, u"Удовлетворительное, очистка желательна"},
    {4.8, false, u"Было необходимо провести очистку"},
    {3.8, false, u"Была нужна очистка"},
    {2.2, false, u"Требовалась очистка (рекомендован режим полной очистки)"},
};

const THistoryColumn kColumns[] = {
    {u"ID", u""},
    {u"NUM", u"№"},
    {u"DT", u"Дата очистки"},
    {u"TM", u""},
    {u"F_COUNT", u"Файлов"},
    {u"R_COUNT", u"Перем."},
    {u"F_ERRS", u""},
    {u"R_ERRS", u""},
    {u"F_SIZE", u""},
    {u"F_ERRSIZE", u""},
    {u"F_SIZESTR", u"Размер"},
    {u"F_ERRSIZESTR", u""},
    {u"DELAYSTR", u"Длит."},
    {u"ACT_SIGN", u""},
    {u"ACT_DESC", u"Действие"},
    {u"RES_SIGN", u""},
    {u"RES_DESC", u"Результат"},
    {u"R_REGIME", u""},
    {u"R_REGIME_DESC", u"Режим очистки"},
    {u"ALL_S", u"Ко"},
    {u"CS_SIGN", u""},
    {u"APP_VERSION", u"Версия прогр."},
    {u"SIGN", u""},
};

}  // namespace

QString GetCleanGradeText(double x) {
    for (const GradeRule& rule : kGrades) {
        if (rule.inclusive ? x >= rule.bound : x > rule.bound) {
            return rule.text.toString();
        }
    }
    return QStringLiteral("Очистка была обязательна!");
}

QString GetHistoryCaption(int32_t kind, int32_t hasRows) {
    if (kind != 1) {
        return {};
    }
    if (hasRows == 1) {
        return QStringLiteral("История проведенных ранее действий");
    }
    if (hasRows == 0) {
        return QStringLiteral("Нет данных о проведенных ранее действиях");
    }
    return {};
}

std::span<const THistoryColumn> HistoryColumns() {
    return kColumns;
}

QString HistoryColumnCaption(const QString& column) {
    for (const THistoryColumn& entry : kColumns) {
        if (column.compare(QStringView(entry.name), Qt::CaseInsensitive) == 0) {
            return QString::fromUtf16(entry.caption);
        }
    }
    return {};
}

QString FDQuery_HExportALL_SGetText(std::optional<double> allS) {
    if (!allS) {
        return {};
    }
    // Fifteen significant digits keep every index whole; only the two decimals are cut.
    return diagnostics::fixedNumberText(*allS, 15, 2, QLocale());
}

}  // namespace tidora::stores
