#include "helpers/shell_texts.h"

#include <QDateTime>

#include <gtest/gtest.h>

#include "diagnostics/date_time.h"

namespace tidora::helpers {
namespace {

TEST(HelpersShellTexts, ParseSizeText) {
    const QLocale ru(QLocale::Russian, QLocale::Russia);
    const QLocale en(QLocale::English, QLocale::UnitedStates);
    EXPECT_EQ(ParseSizeText(QString::fromUtf8("12,5 КБ"), ru), 12500);
    EXPECT_EQ(ParseSizeText(QString::fromUtf8("3 мб"), ru), 3000000);
    EXPECT_EQ(ParseSizeText("1.5 GB", en), 1500000000);
    EXPECT_EQ(ParseSizeText("7 bytes", en), 7);
    EXPECT_EQ(ParseSizeText("1,024 KB", en), 1024000);
    EXPECT_EQ(ParseSizeText("1024", en), -1);  // no blank
    EXPECT_EQ(ParseSizeText("lots KB", en), 0);
}

TEST(HelpersShellTexts, ParseDeletedDate) {
    const QLocale ru(QLocale::Russian, QLocale::Russia);
    const QLocale us(QLocale::English, QLocale::UnitedStates);
    const auto at = [](int y, int m, int d, int h, int min) {
        return diagnostics::daysFromDateTime(QDateTime(QDate(y, m, d), QTime(h, min)));
    };
    EXPECT_DOUBLE_EQ(ParseDeletedDate("31.12.2025 23:59", ru), at(2025, 12, 31, 23, 59));
    EXPECT_DOUBLE_EQ(ParseDeletedDate(QString::fromUtf8("\u200E31.12.2025 \u200E8:05"), ru),
                     at(2025, 12, 31, 8, 5));
    EXPECT_DOUBLE_EQ(ParseDeletedDate("12.31.2025 11:00", us), at(2025, 12, 31, 11, 0));
    EXPECT_EQ(ParseDeletedDate("yesterday", ru), 0);
}

}  // namespace
}  // namespace tidora::helpers
