#include "stores/history_texts.h"

#include <gtest/gtest.h>

#include <QDate>
#include <QDateTime>
#include <QTime>
#include <cmath>
#include <limits>

#include "diagnostics/date_time.h"
#include "fixtures/qstring_print.h"
#include "fixtures/scoped_default_locale.h"
#include "stores/history_dates.h"

namespace tidora::stores {
namespace {

TEST(HistoryGradeText, EachBoundBelongsToTheRuleItsComparisonNames) {
    const struct {
        double index;
        const char16_t* text;
    } cases[] = {
        {10.0, u"Очистка не требовалась"},
        {9.8, u"Очистка не требовалась"},
        {9.79, u"Отличное"},
        {8.81, u"Отличное"},
        {8.8, u"Xорошее"},
        {7.81, u"Xорошее"},
        {7.8, u"Хорошее, очистка рекомендована"},
        {7.11, u"Хорошее, очистка рекомендована"},
        {7.1, u"Удовлетворительное, очистка желательна"},
        {7.0, u"Удовлетворительное, очистка желательна"},
        {6.99, u"Было необходимо провести очистку"},
        {4.81, u"Было необходимо провести очистку"},
        {4.8, u"Была нужна очистка"},
        {3.81, u"Была нужна очистка"},
        {3.8, u"Требовалась очистка (рекомендован режим полной очистки)"},
        {2.21, u"Требовалась очистка (рекомендован режим полной очистки)"},
        {2.2, u"Очистка была обязательна!"},
        {0.0, u"Очистка была обязательна!"},
        {-1.0, u"Очистка была обязательна!"},
        {std::numeric_limits<double>::quiet_NaN(), u"Очистка была обязательна!"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(GetCleanGradeText(c.index), QString::fromUtf16(c.text)) << c.index;
    }
    // The grade the system shows starts with a Latin X, not the Cyrillic letter.
    EXPECT_EQ(GetCleanGradeText(8.0).at(0), QChar(u'X'));
    EXPECT_EQ(GetCleanGradeText(7.5).at(0), QChar(u'Х'));
}

TEST(HistoryCaption, OnlyKindOneHasACaption) {
    const struct {
        int32_t kind;
        int32_t hasRows;
        const char16_t* text;
    } cases[] = {
        {1, 1, u"История проведенных ранее действий"},
        {1, 0, u"Нет данных о проведенных ранее действиях"},
        {1, 2, u""},
        {1, -1, u""},
        {0, 1, u""},
        {2, 0, u""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(GetHistoryCaption(c.kind, c.hasRows), QString::fromUtf16(c.text))
            << c.kind << " " << c.hasRows;
    }
}

TEST(HistoryColumns, ShownColumnsHaveTheirCaptionsAndTheOthersNone) {
    const struct {
        const char* column;
        const char16_t* caption;
    } cases[] = {
        {"NUM", u"№"},
        {"DT", u"Дата очистки"},
        {"F_COUNT", u"Файлов"},
        {"R_COUNT", u"Перем."},
        {"F_SIZESTR", u"Размер"},
        {"DELAYSTR", u"Длит."},
        {"ACT_DESC", u"Действие"},
        {"RES_DESC", u"Результат"},
        {"R_REGIME_DESC", u"Режим очистки"},
        {"all_s", u"Ко"},
        {"APP_VERSION", u"Версия прогр."},
        {"ID", u""},
        {"TM", u""},
        {"F_ERRSIZESTR", u""},
        {"ACT_SIGN", u""},
        {"SIGN", u""},
        {"NO_SUCH_COLUMN", u""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(HistoryColumnCaption(QString::fromLatin1(c.column)),
                  QString::fromUtf16(c.caption))
            << c.column;
    }
}

TEST(HistoryIndexText, TwoDecimalsWithTheLocaleSeparatorAndNothingForNull) {
    {
        testing::ScopedDefaultLocale locale(QLocale::c());
        EXPECT_EQ(FDQuery_HExportALL_SGetText(std::nullopt), QString());
        EXPECT_EQ(FDQuery_HExportALL_SGetText(7.256), QStringLiteral("7.26"));
        EXPECT_EQ(FDQuery_HExportALL_SGetText(10.0), QStringLiteral("10.00"));
        EXPECT_EQ(FDQuery_HExportALL_SGetText(-1.0), QStringLiteral("-1.00"));
        EXPECT_EQ(FDQuery_HExportALL_SGetText(0.0), QStringLiteral("0.00"));
        EXPECT_EQ(FDQuery_HExportALL_SGetText(12345.5), QStringLiteral("12345.50"));
    }
    testing::ScopedDefaultLocale locale(QLocale(QLocale::Russian, QLocale::Russia));
    EXPECT_EQ(FDQuery_HExportALL_SGetText(7.256), QStringLiteral("7,26"));
    EXPECT_EQ(FDQuery_HExportALL_SGetText(12345.5), QStringLiteral("12345,50"));
}

double days(const QDate& date, const QTime& time) {
    return diagnostics::daysFromDateTime(QDateTime(date, time));
}

TEST(HistoryDates, DateAndTimeTextsOfTheStoredForm) {
    const QTime afternoon(13, 5, 9, 123);
    const double tm = afternoon.msecsSinceStartOfDay() / 86'400'000.0;
    const struct {
        double value;
        const char* date;
        const char* time;
    } cases[] = {
        {days(QDate(2024, 1, 1), afternoon), "2024-01-01 13:05:09.123", "13:05:09.123"},
        {days(QDate(2024, 1, 1), QTime(0, 0)), "2024-01-01", "00:00:00.000"},
        {days(QDate(2024, 1, 1), QTime(0, 0, 0, 1)), "2024-01-01 00:00:00.001", "00:00:00.001"},
        {days(QDate(1999, 12, 31), QTime(23, 59, 59, 999)), "1999-12-31 23:59:59.999",
         "23:59:59.999"},
        // The group hands the time of a run as a bare fraction of a day.
        {tm, "1899-12-30 13:05:09.123", "13:05:09.123"},
        {std::numeric_limits<double>::quiet_NaN(), "", ""},
        {1e9, "", ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(FormatHistoryDate(c.value), QString::fromLatin1(c.date)) << c.value;
        EXPECT_EQ(FormatHistoryTime(c.value), QString::fromLatin1(c.time)) << c.value;
    }
}

TEST(HistoryDates, NoLocaleChangesTheStoredForm) {
    testing::ScopedDefaultLocale locale(QLocale(QLocale::Arabic, QLocale::Egypt));
    const double value = days(QDate(2024, 5, 6), QTime(7, 8, 9, 10));
    EXPECT_EQ(FormatHistoryDate(value), QStringLiteral("2024-05-06 07:08:09.010"));
    EXPECT_EQ(FormatHistoryTime(value), QStringLiteral("07:08:09.010"));
}

}  // namespace
}  // namespace tidora::stores
