#include "platform/winepfx/hive_codec.h"

#include <array>
#include <cstring>

#include "platform/text_utf.h"

namespace tidora::platform::winepfx::hive_codec {
namespace {

constexpr char kHexDigits[] = "0123456789abcdef";

constexpr std::array<int8_t, 256> kHexValues = [] {
    std::array<int8_t, 256> values{};
    values.fill(-1);
    for (int i = 0; i < 10; ++i) {
        values['0' + i] = static_cast<int8_t>(i);
    }
    for (int i = 0; i < 6; ++i) {
        values['a' + i] = values['A' + i] = static_cast<int8_t>(10 + i);
    }
    return values;
}();

int hexValue(char c) {
    return kHexValues[static_cast<unsigned char>(c)];
}

bool isOctal(char16_t c) {
    return c >= u'0' && c <= u'7';
}
bool isAsciiHex(char16_t c) {
    return c < 0x80 && hexValue(static_cast<char>(c)) >= 0;
}
bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

// Escapes whose letter or digits stand for something other than the character itself.
bool isCodedEscape(char c) {
    switch (c) {
        case 'a':
        case 'b':
        case 'e':
        case 'f':
        case 'n':
        case 'r':
        case 't':
        case 'v':
        case 'x':
            return true;
        default:
            return c >= '0' && c <= '7';
    }
}

bool isAscii(std::string_view text) {
    uint64_t bits = 0;
    size_t i = 0;
    for (; i + 8 <= text.size(); i += 8) {
        uint64_t word;
        std::memcpy(&word, text.data() + i, 8);
        bits |= word;
    }
    for (; i < text.size(); ++i) {
        bits |= static_cast<unsigned char>(text[i]);
    }
    return (bits & 0x8080808080808080ULL) == 0;
}

size_t skipBlanks(std::string_view text, size_t i) {
    while (i < text.size() && isBlank(text[i])) {
        ++i;
    }
    return i;
}

// A hex number of 1 to maxDigits digits at text[i]; advances i past it.
std::optional<uint32_t> readHexNumber(std::string_view text, size_t& i, int maxDigits) {
    uint32_t v = 0;
    int digits = 0;
    while (i < text.size() && digits < maxDigits && hexValue(text[i]) >= 0) {
        v = (v << 4) | static_cast<uint32_t>(hexValue(text[i]));
        ++i, ++digits;
    }
    if (digits == 0) {
        return std::nullopt;
    }
    return v;
}

bool consume(std::string_view text, size_t& i, std::string_view expected) {
    if (text.substr(i, expected.size()) != expected) {
        return false;
    }
    i += expected.size();
    return true;
}

// Reads "01,ff,\<newline>  20" style byte lists, where a backslash at a line's end continues the
// list on the next line. With `out` null it only checks the syntax.
bool scanHexBytes(std::string_view span, std::vector<uint8_t>* out) {
    size_t i = 0;
    while (true) {
        // Wine's own form, "xx," after "xx,", goes the short way.
        while (i + 3 <= span.size() && hexValue(span[i]) >= 0 && hexValue(span[i + 1]) >= 0 &&
               span[i + 2] == ',') {
            if (out != nullptr) {
                out->push_back(
                    static_cast<uint8_t>(hexValue(span[i]) << 4 | hexValue(span[i + 1])));
            }
            i += 3;
        }
        i = skipBlanks(span, i);
        if (i == span.size()) {
            return true;
        }
        if (span[i] == '\\') {
            ++i;
            if (i < span.size() && span[i] == '\r') {
                ++i;
            }
            if (i == span.size() || span[i] != '\n') {
                return false;
            }
            ++i;
            continue;
        }
        int high = hexValue(span[i]);
        if (high < 0) {
            return false;
        }
        ++i;
        int byte = high;
        if (i < span.size() && hexValue(span[i]) >= 0) {
            byte = (high << 4) | hexValue(span[i]);
            ++i;
        }
        if (out != nullptr) {
            out->push_back(static_cast<uint8_t>(byte));
        }
        i = skipBlanks(span, i);
        if (i < span.size()) {
            if (span[i] == ',') {
                ++i;
            } else if (span[i] != '\\') {
                return false;
            }
        }
    }
}

size_t lineEnd(std::string_view text, size_t from) {
    const void* nl = std::memchr(text.data() + from, '\n', text.size() - from);
    return nl == nullptr ? text.size() : static_cast<const char*>(nl) - text.data();
}

// End of a line's content: before its line break and a carriage return preceding it.
size_t contentEnd(std::string_view text, size_t lineBreak, size_t lineBegin) {
    return (lineBreak > lineBegin && text[lineBreak - 1] == '\r') ? lineBreak - 1 : lineBreak;
}

void appendHex(uint64_t v, int minDigits, std::string& out) {
    char buffer[16];
    int n = 0;
    do {
        buffer[n++] = kHexDigits[v & 0xF];
        v >>= 4;
    } while (v != 0 || n < minDigits);
    while (n > 0) {
        out += buffer[--n];
    }
}

void appendUnits(std::vector<uint8_t>& out, std::u16string_view units) {
    for (const char16_t u : units) {
        out.push_back(static_cast<uint8_t>(u & 0xFF));
        out.push_back(static_cast<uint8_t>(u >> 8));
    }
}

bool isTerminatedString(const RegValue& value) {
    const auto& d = value.data;
    const bool stringType = value.type == RegType::Sz || value.type == RegType::ExpandSz ||
                            value.type == RegType::MultiSz;
    return stringType && d.size() >= 2 && d.size() % 2 == 0 && d[d.size() - 2] == 0 &&
           d[d.size() - 1] == 0;
}

}  // namespace

size_t findUnescaped(std::string_view text, size_t from, char delimiter) {
    for (size_t i = from; i < text.size(); ++i) {
        if (text[i] == '\\') {
            ++i;
        } else if (text[i] == delimiter) {
            return i;
        }
    }
    return std::string_view::npos;
}

bool splitPlainPath(std::string_view escaped, std::vector<std::pair<uint32_t, uint32_t>>& out) {
    if (!isAscii(escaped)) {
        return false;
    }
    size_t begin = 0;
    for (size_t i = escaped.find('\\'); i != std::string_view::npos;
         i = escaped.find('\\', i + 2)) {
        if (i + 1 == escaped.size() || isCodedEscape(escaped[i + 1])) {
            return false;
        }
        if (escaped[i + 1] == '\\') {
            if (i > begin) {
                out.emplace_back(static_cast<uint32_t>(begin), static_cast<uint32_t>(i));
            }
            begin = i + 2;
        }
    }
    if (escaped.size() > begin) {
        out.emplace_back(static_cast<uint32_t>(begin), static_cast<uint32_t>(escaped.size()));
    }
    return true;
}

void unescape(std::string_view s, std::u16string& out) {
    size_t i = 0;
    while (i < s.size()) {
        const auto c = static_cast<unsigned char>(s[i]);
        if (c >= 0x80) {
            size_t j = i;
            while (j < s.size() && static_cast<unsigned char>(s[j]) >= 0x80) {
                ++j;
            }
            out += utf8ToUtf16(s.substr(i, j - i));
            i = j;
            continue;
        }
        if (c != '\\' || i + 1 == s.size()) {
            out += static_cast<char16_t>(c);
            ++i;
            continue;
        }
        const char d = s[i + 1];
        i += 2;
        switch (d) {
            case 'a':
                out += u'\a';
                break;
            case 'b':
                out += u'\b';
                break;
            case 'e':
                out += u'\x1b';
                break;
            case 'f':
                out += u'\f';
                break;
            case 'n':
                out += u'\n';
                break;
            case 'r':
                out += u'\r';
                break;
            case 't':
                out += u'\t';
                break;
            case 'v':
                out += u'\v';
                break;
            case 'x': {
                uint32_t v = 0;
                int digits = 0;
                while (digits < 4 && i < s.size() && hexValue(s[i]) >= 0) {
                    v = (v << 4) | static_cast<uint32_t>(hexValue(s[i]));
                    ++i, ++digits;
                }
                out += digits > 0 ? static_cast<char16_t>(v) : u'x';
                break;
            }
            default:
                if (isOctal(static_cast<unsigned char>(d))) {
                    uint32_t v = static_cast<uint32_t>(d - '0');
                    for (int digits = 1; digits < 3 && i < s.size() && isOctal(s[i]); ++digits) {
                        v = v * 8 + static_cast<uint32_t>(s[i] - '0');
                        ++i;
                    }
                    out += static_cast<char16_t>(v);
                } else if (static_cast<unsigned char>(d) >= 0x80) {
                    --i;  // an escaped UTF-8 character: decode it as one
                } else {
                    out += static_cast<char16_t>(d);
                }
        }
    }
}

void unescapeToUtf8(std::string_view escaped, std::string& out) {
    out.clear();
    // Nearly every name is ASCII whose only escapes are `\\` and `\"`: copy those run by run.
    for (size_t i = 0; i < escaped.size();) {
        size_t j = i;
        while (j < escaped.size() && escaped[j] != '\\' &&
               static_cast<unsigned char>(escaped[j]) < 0x80) {
            ++j;
        }
        out.append(escaped, i, j - i);
        if (j == escaped.size()) {
            return;
        }
        if (escaped[j] != '\\' || j + 1 == escaped.size() ||
            static_cast<unsigned char>(escaped[j + 1]) >= 0x80 || isCodedEscape(escaped[j + 1])) {
            std::u16string units;
            unescape(escaped, units);
            out = utf16ToUtf8(units);
            return;
        }
        out += escaped[j + 1];
        i = j + 2;
    }
}

void escape(std::u16string_view units, std::string_view specials, std::string& out) {
    for (size_t i = 0; i < units.size(); ++i) {
        const char16_t u = units[i];
        const char16_t next = i + 1 < units.size() ? units[i + 1] : u'\0';
        if (u > 127) {
            out += "\\x";
            appendHex(u, isAsciiHex(next) ? 4 : 1, out);
        } else if (u < 32) {
            static constexpr char kNamed[] = "\a\b\t\n\v\f\r\x1b";
            static constexpr char kLetters[] = "abtnvfre";
            if (const char* named = u != 0 ? std::strchr(kNamed, static_cast<char>(u)) : nullptr) {
                out += '\\';
                out += kLetters[named - kNamed];
            } else {
                out += '\\';
                if (isOctal(next)) {
                    out += static_cast<char>('0' + ((u >> 6) & 7));
                    out += static_cast<char>('0' + ((u >> 3) & 7));
                } else if (u >= 8) {
                    out += static_cast<char>('0' + ((u >> 3) & 7));
                }
                out += static_cast<char>('0' + (u & 7));
            }
        } else {
            const char c = static_cast<char>(u);
            if (c == '\\' || specials.find(c) != std::string_view::npos) {
                out += '\\';
            }
            out += c;
        }
    }
}

std::optional<ValueEntry> parseValueEntry(std::string_view text, size_t begin) {
    const size_t firstBreak = lineEnd(text, begin);
    const std::string_view line = text.substr(0, contentEnd(text, firstBreak, begin));
    ValueEntry e;
    size_t i = begin;
    if (i < line.size() && line[i] == '@') {
        e.isDefault = true;
        ++i;
    } else if (i < line.size() && line[i] == '"') {
        const size_t close = findUnescaped(line, i + 1, '"');
        if (close == std::string_view::npos) {
            return std::nullopt;
        }
        e.nameBegin = i + 1;
        e.nameEnd = close;
        i = close + 1;
    } else {
        return std::nullopt;
    }
    i = skipBlanks(line, i);
    if (!consume(line, i, "=")) {
        return std::nullopt;
    }
    i = skipBlanks(line, i);

    e.end = firstBreak < text.size() ? firstBreak + 1 : firstBreak;
    if (consume(line, i, "dword:")) {
        e.type = RegType::Dword;
        e.form = DataForm::Dword;
        e.dataBegin = i;
        if (!readHexNumber(line, i, 8)) {
            return std::nullopt;
        }
        e.dataEnd = i;
        return skipBlanks(line, i) == line.size() ? std::optional(e) : std::nullopt;
    }
    if (line.substr(i, 3) == "hex") {
        i += 3;
        e.type = RegType::Binary;
        if (consume(line, i, "(")) {
            const auto type = readHexNumber(line, i, 8);
            if (!type || !consume(line, i, ")")) {
                return std::nullopt;
            }
            e.type = *type;
        }
        if (!consume(line, i, ":")) {
            return std::nullopt;
        }
        e.form = DataForm::Hex;
        e.dataBegin = i;
        // A trailing backslash continues the list on the next line, which starts with blanks.
        size_t lineBegin = begin;
        size_t lineBreak = firstBreak;
        size_t content = line.size();
        while (content > lineBegin && text[content - 1] == '\\' && lineBreak + 1 < text.size() &&
               isBlank(text[lineBreak + 1])) {
            lineBegin = lineBreak + 1;
            lineBreak = lineEnd(text, lineBegin);
            content = contentEnd(text, lineBreak, lineBegin);
        }
        e.dataEnd = content;
        e.end = lineBreak < text.size() ? lineBreak + 1 : lineBreak;
        if (!scanHexBytes(text.substr(e.dataBegin, e.dataEnd - e.dataBegin), nullptr)) {
            return std::nullopt;
        }
        return e;
    }
    e.type = RegType::Sz;
    if (consume(line, i, "str(")) {
        const auto type = readHexNumber(line, i, 8);
        if (!type || !consume(line, i, "):")) {
            return std::nullopt;
        }
        e.type = *type;
    }
    if (i == line.size() || line[i] != '"') {
        return std::nullopt;
    }
    const size_t close = findUnescaped(line, i + 1, '"');
    if (close == std::string_view::npos || skipBlanks(line, close + 1) != line.size()) {
        return std::nullopt;
    }
    e.form = DataForm::Quoted;
    e.dataBegin = i + 1;
    e.dataEnd = close;
    return e;
}

std::vector<uint8_t> decodeData(std::string_view text, const ValueEntry& entry) {
    const std::string_view span = text.substr(entry.dataBegin, entry.dataEnd - entry.dataBegin);
    std::vector<uint8_t> data;
    switch (entry.form) {
        case DataForm::Quoted: {
            std::u16string units;
            unescape(span, units);
            units += u'\0';
            appendUnits(data, units);
            break;
        }
        case DataForm::Dword: {
            size_t i = 0;
            const uint32_t v = readHexNumber(span, i, 8).value_or(0);
            for (int k = 0; k < 4; ++k) {
                data.push_back(static_cast<uint8_t>(v >> (8 * k)));
            }
            break;
        }
        case DataForm::Hex:
            scanHexBytes(span, &data);
            break;
    }
    return data;
}

void formatValue(const RegValue& value, std::string_view eol, std::string& out) {
    size_t lineStart = out.size();
    if (value.name.empty()) {
        out += "@=";
    } else {
        out += '"';
        escape(utf8ToUtf16(value.name), "\"", out);
        out += "\"=";
    }
    const auto& d = value.data;
    if (isTerminatedString(value)) {
        if (value.type != RegType::Sz) {
            out += "str(";
            appendHex(value.type, 1, out);
            out += "):";
        }
        std::u16string units;
        units.reserve(d.size() / 2 - 1);
        for (size_t i = 0; i + 2 < d.size(); i += 2) {
            units += static_cast<char16_t>(d[i] | (d[i + 1] << 8));
        }
        out += '"';
        escape(units, "\"", out);
        out += '"';
    } else if (value.type == RegType::Dword && d.size() == 4) {
        out += "dword:";
        appendHex(d[0] | (d[1] << 8) | (d[2] << 16) | (static_cast<uint32_t>(d[3]) << 24), 8, out);
    } else {
        if (value.type == RegType::Binary) {
            out += "hex:";
        } else {
            out += "hex(";
            appendHex(value.type, 1, out);
            out += "):";
        }
        for (size_t i = 0; i < d.size(); ++i) {
            appendHex(d[i], 2, out);
            if (i + 1 < d.size()) {
                out += ',';
                if (out.size() - lineStart > 76) {
                    out += '\\';
                    out += eol;
                    lineStart = out.size();
                    out += "  ";
                }
            }
        }
    }
    out += eol;
}

}  // namespace tidora::platform::winepfx::hive_codec
