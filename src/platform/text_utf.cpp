#include "platform/text_utf.h"

#include <cstdint>

namespace tidora::platform {
namespace {

constexpr char32_t kReplacement = 0xFFFD;

// Decodes one code point at text[i]; advances i. Malformed sequences give U+FFFD and advance by 1.
char32_t decodeUtf8(std::string_view text, size_t& i) {
    const auto byte = [&](size_t k) { return static_cast<uint8_t>(text[k]); };
    const uint8_t b0 = byte(i);
    if (b0 < 0x80) {
        ++i;
        return b0;
    }
    int extra = 0;
    char32_t cp = 0;
    char32_t minimum = 0;
    if ((b0 & 0xE0) == 0xC0) {
        extra = 1, cp = b0 & 0x1F, minimum = 0x80;
    } else if ((b0 & 0xF0) == 0xE0) {
        extra = 2, cp = b0 & 0x0F, minimum = 0x800;
    } else if ((b0 & 0xF8) == 0xF0) {
        extra = 3, cp = b0 & 0x07, minimum = 0x10000;
    } else {
        ++i;
        return kReplacement;
    }
    if (i + extra >= text.size()) {
        ++i;
        return kReplacement;
    }
    for (int k = 1; k <= extra; ++k) {
        const uint8_t b = byte(i + k);
        if ((b & 0xC0) != 0x80) {
            ++i;
            return kReplacement;
        }
        cp = (cp << 6) | (b & 0x3F);
    }
    if (cp < minimum || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
        ++i;
        return kReplacement;
    }
    i += extra + 1;
    return cp;
}

void appendUtf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

}  // namespace

std::u16string utf8ToUtf16(std::string_view utf8) {
    std::u16string out;
    out.reserve(utf8.size());
    for (size_t i = 0; i < utf8.size();) {
        const char32_t cp = decodeUtf8(utf8, i);
        if (cp >= 0x10000) {
            out += static_cast<char16_t>(0xD800 + ((cp - 0x10000) >> 10));
            out += static_cast<char16_t>(0xDC00 + ((cp - 0x10000) & 0x3FF));
        } else {
            out += static_cast<char16_t>(cp);
        }
    }
    return out;
}

std::string utf16ToUtf8(std::u16string_view utf16) {
    std::string out;
    out.reserve(utf16.size());
    for (size_t i = 0; i < utf16.size(); ++i) {
        char32_t cp = utf16[i];
        if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < utf16.size() && utf16[i + 1] >= 0xDC00 &&
            utf16[i + 1] <= 0xDFFF) {
            cp = 0x10000 + ((cp - 0xD800) << 10) + (utf16[i + 1] - 0xDC00);
            ++i;
        } else if (cp >= 0xD800 && cp <= 0xDFFF) {
            cp = kReplacement;
        }
        appendUtf8(out, cp);
    }
    return out;
}

bool isValidUtf8(std::string_view bytes) {
    for (size_t i = 0; i < bytes.size();) {
        const size_t start = i;
        if (decodeUtf8(bytes, i) == kReplacement) {
            // A genuine U+FFFD is three bytes long; a decoding failure advances by one.
            if (i - start != 3) {
                return false;
            }
        }
    }
    return true;
}

char32_t upperChar(char32_t c) {
    if (c < 0x80) {
        return (c >= 'a' && c <= 'z') ? c - 32 : c;
    }
    if ((c >= 0xE0 && c <= 0xFE && c != 0xF7)) {
        return c - 32;  // Latin-1
    }
    if (c == 0xFF) {
        return 0x178;
    }
    if (c >= 0x100 && c <= 0x17F) {  // Latin Extended-A: pairs, with two runs offset by one
        if ((c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E)) {
            return (c % 2 == 0) ? c - 1 : c;
        }
        if (c == 0x131 || c == 0x138 || c == 0x149 || c == 0x17F) {
            return c;
        }
        return (c % 2 == 1) ? c - 1 : c;
    }
    if (c >= 0x3B1 && c <= 0x3CB && c != 0x3C2) {
        return c - 32;  // Greek
    }
    if (c >= 0x430 && c <= 0x44F) {
        return c - 32;  // Cyrillic а..я
    }
    if (c >= 0x450 && c <= 0x45F) {
        return c - 80;  // Cyrillic ѐ..џ
    }
    if (c >= 0x460 && c <= 0x4FF && c != 0x482 && !(c >= 0x483 && c <= 0x489)) {
        return (c % 2 == 1) ? c - 1 : c;
    }
    return c;
}

std::string upperCase(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());
    for (size_t i = 0; i < utf8.size();) {
        const unsigned char b = static_cast<unsigned char>(utf8[i]);
        if (b < 0x80) {
            out += static_cast<char>((b >= 'a' && b <= 'z') ? b - 32 : b);
            ++i;
            continue;
        }
        const size_t start = i;
        const char32_t cp = decodeUtf8(utf8, i);
        if (cp == kReplacement && i - start != 3) {
            out.append(utf8.substr(start, i - start));  // keep malformed bytes as they are
        } else {
            appendUtf8(out, upperChar(cp));
        }
    }
    return out;
}

bool equalsNoCase(std::string_view a, std::string_view b) {
    size_t i = 0;
    size_t j = 0;
    while (i < a.size() && j < b.size()) {
        const unsigned char ca = static_cast<unsigned char>(a[i]);
        const unsigned char cb = static_cast<unsigned char>(b[j]);
        if (ca < 0x80 && cb < 0x80) {
            const auto up = [](unsigned char c) { return (c >= 'a' && c <= 'z') ? c - 32 : c; };
            if (up(ca) != up(cb)) {
                return false;
            }
            ++i, ++j;
            continue;
        }
        const size_t si = i;
        const size_t sj = j;
        const char32_t pa = decodeUtf8(a, i);
        const char32_t pb = decodeUtf8(b, j);
        const bool badA = pa == kReplacement && i - si != 3;
        const bool badB = pb == kReplacement && j - sj != 3;
        if (badA || badB) {
            if (a.substr(si, i - si) != b.substr(sj, j - sj)) {
                return false;
            }
        } else if (upperChar(pa) != upperChar(pb)) {
            return false;
        }
    }
    return i == a.size() && j == b.size();
}

}  // namespace tidora::platform
