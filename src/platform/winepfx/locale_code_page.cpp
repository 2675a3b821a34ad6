#include "platform/winepfx/locale_code_page.h"

#include <cstdlib>

namespace tidora::platform::winepfx {

std::string hostLocaleName() {
    for (const char* name : {"LC_ALL", "LC_CTYPE", "LANG"}) {
        if (const char* value = std::getenv(name); value && *value) {
            return value;
        }
    }
    return "C";
}

int ansiCodePageOfLocale(std::string_view locale) {
    const std::string_view language = locale.substr(0, locale.find_first_of("_.@"));
    const std::string_view region = locale.find('_') == std::string_view::npos
                                        ? std::string_view()
                                        : locale.substr(locale.find('_') + 1, 2);
    struct Entry {
        std::string_view language;
        int codePage;
    };
    static constexpr Entry kLanguages[] = {
        {"ru", 1251}, {"uk", 1251}, {"be", 1251}, {"bg", 1251}, {"sr", 1251}, {"mk", 1251},
        {"kk", 1251}, {"ky", 1251}, {"tt", 1251}, {"mn", 1251}, {"pl", 1250}, {"cs", 1250},
        {"sk", 1250}, {"hu", 1250}, {"ro", 1250}, {"hr", 1250}, {"sl", 1250}, {"bs", 1250},
        {"sq", 1250}, {"el", 1253}, {"tr", 1254}, {"az", 1254}, {"he", 1255}, {"ar", 1256},
        {"fa", 1256}, {"ur", 1256}, {"lt", 1257}, {"lv", 1257}, {"et", 1257}, {"vi", 1258},
        {"th", 874},  {"ja", 932},  {"ko", 949},
    };
    if (language == "zh") {
        return region == "TW" || region == "HK" || region == "MO" ? 950 : 936;
    }
    for (const Entry& entry : kLanguages) {
        if (entry.language == language) {
            return entry.codePage;
        }
    }
    return 1252;
}

}  // namespace tidora::platform::winepfx
