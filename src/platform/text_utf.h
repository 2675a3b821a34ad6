#pragma once

#include <string>
#include <string_view>

namespace tidora::platform {

// UTF-8 <-> UTF-16 conversions. Malformed input becomes U+FFFD; they never throw.
std::u16string utf8ToUtf16(std::string_view utf8);
std::string utf16ToUtf8(std::u16string_view utf16);
bool isValidUtf8(std::string_view bytes);

// Windows-style case-insensitive comparison of UTF-8 names: simple one-to-one upper-casing of
// Latin, Greek and Cyrillic letters (what file and key names in practice hold).
char32_t upperChar(char32_t c);
std::string upperCase(std::string_view utf8);
bool equalsNoCase(std::string_view a, std::string_view b);

}  // namespace tidora::platform
