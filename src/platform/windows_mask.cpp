#include "platform/windows_mask.h"

#include <string>

#include "platform/text_utf.h"

namespace tidora::platform {
namespace {

// Upper-cased code points, so that "?" takes one character and not one byte or UTF-16 unit.
std::u32string upperCodePoints(std::string_view utf8) {
    const std::u16string units = utf8ToUtf16(utf8);
    std::u32string out;
    out.reserve(units.size());
    for (size_t i = 0; i < units.size(); ++i) {
        char32_t c = units[i];
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < units.size() && units[i + 1] >= 0xDC00 &&
            units[i + 1] <= 0xDFFF) {
            c = 0x10000 + ((c - 0xD800) << 10) + (units[i + 1] - 0xDC00);
            ++i;
        }
        out += upperChar(c);
    }
    return out;
}

// Greedy matching that only ever backtracks to the last "*": at most name x mask steps.
bool matchesPattern(std::u32string_view name, std::u32string_view mask) {
    size_t n = 0;
    size_t m = 0;
    size_t starMask = std::u32string_view::npos;
    size_t starName = 0;
    while (n < name.size()) {
        if (m < mask.size() && mask[m] == U'*') {
            starMask = m++;
            starName = n;
        } else if (m < mask.size() && (mask[m] == U'?' || mask[m] == name[n])) {
            ++m;
            ++n;
        } else if (starMask != std::u32string_view::npos) {
            m = starMask + 1;
            n = ++starName;
        } else {
            return false;
        }
    }
    while (m < mask.size() && mask[m] == U'*') {
        ++m;
    }
    return m == mask.size();
}

}  // namespace

bool matchesWindowsMask(std::string_view name, std::string_view mask) {
    if (mask.empty()) {
        return false;
    }
    // The masks of whole-folder searches match every name; they are tried for every file.
    if (mask == "*" || mask == "*.*") {
        return true;
    }
    const std::u32string n = upperCodePoints(name);
    const std::u32string maskPoints = upperCodePoints(mask);
    std::u32string_view m = maskPoints;
    if (m.ends_with(U".*")) {
        // "abc.*" stands for "abc" with or without an extension.
        return matchesPattern(n, m) || matchesPattern(n, m.substr(0, m.size() - 2));
    }
    if (m.ends_with(U'.')) {
        while (m.ends_with(U'.')) {
            m.remove_suffix(1);
        }
        return n.find(U'.') == std::u32string::npos && matchesPattern(n, m);
    }
    return matchesPattern(n, m);
}

}  // namespace tidora::platform
