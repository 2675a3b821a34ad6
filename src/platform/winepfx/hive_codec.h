#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/reg_types.h"

// The text forms of Wine's registry files: escaped names and strings, value entries and their
// data. Reading accepts everything Wine's loader accepts; writing produces exactly what Wine's
// saver writes, so a value we write looks as if the wineserver had saved it.
namespace tidora::platform::winepfx::hive_codec {

// Calls f(component) for each component of a key path ("A\\B"), skipping empty ones.
template <class F>
void forEachPathComponent(std::string_view path, F f) {
    size_t begin = 0;
    while (begin <= path.size()) {
        size_t end = path.find('\\', begin);
        if (end == std::string_view::npos) {
            end = path.size();
        }
        if (end > begin) {
            f(path.substr(begin, end - begin));
        }
        begin = end + 1;
    }
}

// The escaped text of each non-empty component of a key path as the file writes it
// ("Software\\Classes"), as [begin, end) offsets. False when the path holds anything but ASCII
// and escapes that stand for their own character; such a path needs unescaping before splitting.
bool splitPlainPath(std::string_view escaped, std::vector<std::pair<uint32_t, uint32_t>>& out);

// Offset of the first `delimiter` at or after `from` that no backslash escapes, or npos.
size_t findUnescaped(std::string_view text, size_t from, char delimiter);

// Appends the UTF-16 units an escaped text stands for.
void unescape(std::string_view escaped, std::u16string& out);
// Replaces `out` with the UTF-8 form of an escaped text.
void unescapeToUtf8(std::string_view escaped, std::string& out);

// Appends units escaped as Wine writes them; `specials` are the characters besides the backslash
// that need one in front ("\"" in names and strings, "[]" in key paths).
void escape(std::u16string_view units, std::string_view specials, std::string& out);

// How a value's data is written after `=`.
enum class DataForm : uint8_t { Quoted, Dword, Hex };

// Where the parts of one value entry lie, as offsets into the text it was parsed from.
struct ValueEntry {
    bool isDefault = false;  // written as "@"
    size_t nameBegin = 0;    // the escaped name between its quotes
    size_t nameEnd = 0;
    uint32_t type = RegType::None;
    DataForm form = DataForm::Quoted;
    size_t dataBegin = 0;  // quoted: between the quotes; dword: the digits; hex: up to the end
    size_t dataEnd = 0;
    size_t end = 0;  // just past the entry's last line (and its line break)
};

// Parses the value entry starting at `begin` (a line starting with `"` or `@`), including the
// continuation lines of a long hex list. nullopt when the entry is malformed.
std::optional<ValueEntry> parseValueEntry(std::string_view text, size_t begin);

// The data bytes of a parsed entry: strings as UTF-16LE plus a terminating zero unit.
std::vector<uint8_t> decodeData(std::string_view text, const ValueEntry& entry);

// Appends a value entry as Wine writes it, ending with `eol`.
void formatValue(const RegValue& value, std::string_view eol, std::string& out);

}  // namespace tidora::platform::winepfx::hive_codec
