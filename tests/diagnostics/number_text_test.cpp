#include "diagnostics/number_text.h"

#include <gtest/gtest.h>

namespace tidora::diagnostics {
namespace {

TEST(LogNumberText, FixedWithFiveDigitsAndThreeDecimals) {
    struct Case {
        double value;
        const char* locale;
        const char* text;
    };
    const Case cases[] = {
        {0, "C", "0.000"},
        {1, "C", "1.000"},
        {1.23456, "C", "1.235"},
        {123.456789, "C", "123.460"},  // five significant digits come first
        {12345.678, "C", "12346.000"},
        {-2.5, "C", "-2.500"},
        {-0.0004, "C", "0.000"},
        {99999.6, "C", "1.0000E+05"},  // rounding makes the integer part six digits long
        {123456.7, "C", "1.2346E+05"},
        {12345.678, "ru_RU", "12346,000"},  // no group separator
        {1.5, "de_DE", "1,500"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.value);
        EXPECT_EQ(fixedNumberText(c.value, 5, 3, QLocale(QString::fromLatin1(c.locale))),
                  QString::fromUtf8(c.text));
    }
}

TEST(LogNumberText, GeneralIsShortest) {
    struct Case {
        double value;
        const char* locale;
        const char* text;
    };
    const Case cases[] = {
        {1, "C", "1"},         {0.1 + 0.2, "C", "0.3"}, {1e6, "C", "1000000"},
        {-7.25, "C", "-7.25"}, {2.5, "ru_RU", "2,5"},   {1234567.25, "ru_RU", "1234567,25"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.value);
        EXPECT_EQ(generalNumberText(c.value, QLocale(QString::fromLatin1(c.locale))),
                  QString::fromUtf8(c.text));
    }
}

}  // namespace
}  // namespace tidora::diagnostics
