#include "platform/winepfx/unix_name.h"

#include <cstdint>

#include "platform/text_utf.h"

namespace tidora::platform::winepfx {
namespace {

constexpr char32_t kForbiddenBase = 0xF000;  // U+F000 + forbidden ASCII character
constexpr char32_t kRawByteBase = 0xF700;    // U+F700 + byte of a sequence kept as bytes

bool isForbiddenInWindowsName(uint8_t c) {
    switch (c) {
        case '\\':
        case ':':
        case '*':
        case '?':
        case '"':
        case '<':
        case '>':
        case '|':
            return true;
        default:
            return c >= 0x01 && c <= 0x1F;
    }
}

// The characters this mapping writes are all in U+F000..U+FFFF: three UTF-8 bytes.
void appendPrivateUse(std::string& out, char32_t c) {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
}

size_t sequenceLength(uint8_t lead) {
    if (lead < 0x80) {
        return 1;
    }
    if ((lead & 0xE0) == 0xC0) {
        return 2;
    }
    if ((lead & 0xF0) == 0xE0) {
        return 3;
    }
    if ((lead & 0xF8) == 0xF0) {
        return 4;
    }
    return 0;
}

// The length of the valid UTF-8 sequence at text[i], 0 when the bytes there are not one.
size_t validSequenceAt(std::string_view text, size_t i) {
    const size_t length = sequenceLength(static_cast<uint8_t>(text[i]));
    if (length == 0 || i + length > text.size() || !isValidUtf8(text.substr(i, length))) {
        return 0;
    }
    return length;
}

// The code point of a valid three-byte sequence.
char32_t threeByteCodePoint(std::string_view seq) {
    const auto b = [&](size_t k) { return static_cast<char32_t>(static_cast<uint8_t>(seq[k])); };
    return ((b(0) & 0x0F) << 12) | ((b(1) & 0x3F) << 6) | (b(2) & 0x3F);
}

bool isReservedForMapping(char32_t c) {
    return (c >= kForbiddenBase && c <= kForbiddenBase + 0x7F) ||
           (c >= kRawByteBase + 0x80 && c <= kRawByteBase + 0xFF);
}

}  // namespace

std::string unixNameToText(std::string_view unixName) {
    std::string out;
    out.reserve(unixName.size());
    for (size_t i = 0; i < unixName.size();) {
        const uint8_t b = static_cast<uint8_t>(unixName[i]);
        if (b < 0x80) {
            if (isForbiddenInWindowsName(b)) {
                appendPrivateUse(out, kForbiddenBase + b);
            } else {
                out += static_cast<char>(b);
            }
            ++i;
            continue;
        }
        const size_t length = validSequenceAt(unixName, i);
        if (length == 0) {
            appendPrivateUse(out, kRawByteBase + b);
            ++i;
            continue;
        }
        const std::string_view seq = unixName.substr(i, length);
        if (length == 3 && isReservedForMapping(threeByteCodePoint(seq))) {
            for (const char byte : seq) {
                appendPrivateUse(out, kRawByteBase + static_cast<uint8_t>(byte));
            }
        } else {
            out += seq;
        }
        i += length;
    }
    return out;
}

std::string textToUnixName(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size();) {
        const size_t length = validSequenceAt(text, i);
        if (length == 0) {
            out += text[i++];  // not produced by unixNameToText; kept as it is
            continue;
        }
        const std::string_view seq = text.substr(i, length);
        i += length;
        if (length == 3) {
            const char32_t c = threeByteCodePoint(seq);
            if (c >= kForbiddenBase && c <= kForbiddenBase + 0x7F &&
                isForbiddenInWindowsName(static_cast<uint8_t>(c - kForbiddenBase))) {
                out += static_cast<char>(c - kForbiddenBase);
                continue;
            }
            if (c >= kRawByteBase + 0x80 && c <= kRawByteBase + 0xFF) {
                out += static_cast<char>(c - kRawByteBase);
                continue;
            }
        }
        out += seq;
    }
    return out;
}

}  // namespace tidora::platform::winepfx
