#include "platform/winepfx/locale_code_page.h"

#include <gtest/gtest.h>

namespace tidora::platform::winepfx {
namespace {

TEST(LocaleCodePage, ByLanguageAndRegion) {
    struct Case {
        const char* locale;
        int codePage;
    };
    const Case cases[] = {
        {"ru_RU.UTF-8", 1251}, {"uk_UA", 1251},      {"en_US.UTF-8", 1252}, {"de_DE@euro", 1252},
        {"C", 1252},           {"C.UTF-8", 1252},    {"POSIX", 1252},       {"pl_PL.UTF-8", 1250},
        {"zh_CN.UTF-8", 936},  {"zh_TW.UTF-8", 950}, {"ja_JP.eucJP", 932},  {"", 1252},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ansiCodePageOfLocale(c.locale), c.codePage) << c.locale;
    }
}

}  // namespace
}  // namespace tidora::platform::winepfx
