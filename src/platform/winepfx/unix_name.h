#pragma once

#include <string>
#include <string_view>

namespace tidora::platform::winepfx {

// Unix file names are bytes; Windows names are text without \ : * ? " < > | and control
// characters. These two functions map one onto the other without loss, so a name read from a
// listing, stored as text and given back for deletion names the same file:
// - valid UTF-8 passes through;
// - each byte b of an invalid sequence becomes U+F700+b;
// - a character Windows forbids, c, becomes U+F000+c (a Unix "a\b" is never the path a\b);
// - a genuine U+F000..U+F07F or U+F780..U+F7FF is written byte by byte as U+F700+b.
std::string unixNameToText(std::string_view unixName);
// The inverse; text that needs no mapping (any ordinary name) comes back unchanged.
std::string textToUnixName(std::string_view text);

}  // namespace tidora::platform::winepfx
