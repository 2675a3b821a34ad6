#include "platform/ansi_code_page.h"

#include <algorithm>
#include <array>

#include "platform/text_utf.h"

namespace tidora::platform {
namespace {

// Bytes 0x80..0xBF; 0xC0..0xFF are U+0410..U+044F in order.
constexpr std::array<char16_t, 64> kCyrillicHigh = {
    0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021,  // 0x80
    0x20AC, 0x2030, 0x0409, 0x2039, 0x040A, 0x040C, 0x040B, 0x040F,  // 0x88
    0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 0x90
    0x0098, 0x2122, 0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F,  // 0x98
    0x00A0, 0x040E, 0x045E, 0x0408, 0x00A4, 0x0490, 0x00A6, 0x00A7,  // 0xA0
    0x0401, 0x00A9, 0x0404, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x0407,  // 0xA8
    0x00B0, 0x00B1, 0x0406, 0x0456, 0x0491, 0x00B5, 0x00B6, 0x00B7,  // 0xB0
    0x0451, 0x2116, 0x0454, 0x00BB, 0x0458, 0x0405, 0x0455, 0x0457,  // 0xB8
};

// Bytes 0x80..0x9F; 0xA0..0xFF are Latin-1.
constexpr std::array<char16_t, 32> kWesternHigh = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,  // 0x80
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,  // 0x88
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 0x90
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,  // 0x98
};

// The full 0x80..0xFF half of a single-byte code page.
using HighHalf = std::array<char16_t, 128>;

HighHalf makeHighHalf(int codePage) {
    HighHalf half{};
    for (size_t i = 0; i < half.size(); ++i) {
        if (codePage == kCodePageCyrillic) {
            half[i] = i < kCyrillicHigh.size() ? kCyrillicHigh[i]
                                               : static_cast<char16_t>(0x0410 + i - 0x40);
        } else {
            half[i] = i < kWesternHigh.size() ? kWesternHigh[i] : static_cast<char16_t>(0x80 + i);
        }
    }
    return half;
}

const HighHalf& highHalf(int codePage) {
    static const HighHalf cyrillic = makeHighHalf(kCodePageCyrillic);
    static const HighHalf western = makeHighHalf(kCodePageWestern);
    return codePage == kCodePageCyrillic ? cyrillic : western;
}

bool isHighSurrogate(char16_t unit) {
    return unit >= 0xD800 && unit <= 0xDBFF;
}

bool isLowSurrogate(char16_t unit) {
    return unit >= 0xDC00 && unit <= 0xDFFF;
}

}  // namespace

bool isSupportedCodePage(int codePage) {
    return codePage == kCodePageCyrillic || codePage == kCodePageWestern ||
           codePage == kCodePageUtf8;
}

std::string decodeCodePage(std::string_view bytes, int codePage) {
    if (codePage == kCodePageUtf8) {
        return isValidUtf8(bytes) ? std::string(bytes) : utf16ToUtf8(utf8ToUtf16(bytes));
    }
    const HighHalf& half = highHalf(codePage);
    std::u16string text;
    text.reserve(bytes.size());
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        text += byte < 0x80 ? char16_t{byte} : half[byte - 0x80];
    }
    return utf16ToUtf8(text);
}

std::string encodeCodePage(std::string_view utf8, int codePage) {
    if (codePage == kCodePageUtf8) {
        return isValidUtf8(utf8) ? std::string(utf8) : utf16ToUtf8(utf8ToUtf16(utf8));
    }
    const HighHalf& half = highHalf(codePage);
    const std::u16string text = utf8ToUtf16(utf8);
    std::string bytes;
    bytes.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        const char16_t unit = text[i];
        if (unit < 0x80) {
            bytes += static_cast<char>(unit);
            continue;
        }
        const auto* found = std::find(half.begin(), half.end(), unit);
        if (found != half.end()) {
            bytes += static_cast<char>(0x80 + (found - half.begin()));
            continue;
        }
        bytes += '?';
        // One "?" per character: a surrogate pair stands for one.
        if (isHighSurrogate(unit) && i + 1 < text.size() && isLowSurrogate(text[i + 1])) {
            ++i;
        }
    }
    return bytes;
}

}  // namespace tidora::platform
