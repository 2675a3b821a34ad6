#pragma once

#include <string>
#include <string_view>

namespace tidora::platform {

// Windows ANSI code pages Tidora reads and writes 8-bit text in.
constexpr int kCodePageCyrillic = 1251;
constexpr int kCodePageWestern = 1252;
constexpr int kCodePageUtf8 = 65001;

bool isSupportedCodePage(int codePage);

// Bytes -> UTF-8. Any code page that is not supported is treated as 1252. Bytes the code page
// leaves undefined read as the C1 control of the same value, so every byte survives a read and a
// write; malformed UTF-8 under 65001 becomes U+FFFD.
std::string decodeCodePage(std::string_view bytes, int codePage);
// UTF-8 -> bytes. A character the code page cannot hold becomes "?", as Windows writes it.
std::string encodeCodePage(std::string_view utf8, int codePage);

}  // namespace tidora::platform
