#pragma once

#include <string>
#include <string_view>

namespace tidora::platform::winepfx {

// The host's locale name as the C library chooses it: LC_ALL, else LC_CTYPE, else LANG.
std::string hostLocaleName();
// The ANSI code page Wine gives programs under a Unix locale such as "ru_RU.UTF-8": by the
// language (and, for Chinese, the region); 1252 for the C locale and any other language.
int ansiCodePageOfLocale(std::string_view locale);

}  // namespace tidora::platform::winepfx
