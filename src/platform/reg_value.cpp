#include <cstring>

#include "platform/reg_types.h"
#include "platform/text_utf.h"

namespace tidora::platform {
namespace {

void appendUtf16(std::vector<uint8_t>& out, std::u16string_view text) {
    for (const char16_t c : text) {
        out.push_back(static_cast<uint8_t>(c & 0xFF));
        out.push_back(static_cast<uint8_t>(c >> 8));
    }
}

std::u16string dataAsUtf16(const std::vector<uint8_t>& data) {
    std::u16string out;
    out.reserve(data.size() / 2);
    for (size_t i = 0; i + 1 < data.size(); i += 2) {
        out += static_cast<char16_t>(data[i] | (data[i + 1] << 8));
    }
    return out;
}

}  // namespace

RegValue RegValue::fromString(std::string name, std::string_view utf8, uint32_t type) {
    RegValue v{std::move(name), type, {}};
    appendUtf16(v.data, utf8ToUtf16(utf8));
    appendUtf16(v.data, std::u16string(1, u'\0'));
    return v;
}

RegValue RegValue::fromMultiString(std::string name, const std::vector<std::string>& items) {
    RegValue v{std::move(name), RegType::MultiSz, {}};
    for (const auto& item : items) {
        appendUtf16(v.data, utf8ToUtf16(item));
        appendUtf16(v.data, std::u16string(1, u'\0'));
    }
    appendUtf16(v.data, std::u16string(1, u'\0'));
    return v;
}

RegValue RegValue::fromDword(std::string name, uint32_t value) {
    RegValue v{std::move(name), RegType::Dword, std::vector<uint8_t>(4)};
    for (int i = 0; i < 4; ++i) {
        v.data[i] = static_cast<uint8_t>(value >> (8 * i));
    }
    return v;
}

RegValue RegValue::fromQword(std::string name, uint64_t value) {
    RegValue v{std::move(name), RegType::Qword, std::vector<uint8_t>(8)};
    for (int i = 0; i < 8; ++i) {
        v.data[i] = static_cast<uint8_t>(value >> (8 * i));
    }
    return v;
}

RegValue RegValue::fromBinary(std::string name, std::vector<uint8_t> bytes, uint32_t type) {
    return RegValue{std::move(name), type, std::move(bytes)};
}

std::string RegValue::text() const {
    std::u16string units = dataAsUtf16(data);
    if (const auto zero = units.find(u'\0'); zero != std::u16string::npos) {
        units.resize(zero);
    }
    return utf16ToUtf8(units);
}

std::vector<std::string> RegValue::multiText() const {
    std::vector<std::string> items;
    const std::u16string units = dataAsUtf16(data);
    size_t start = 0;
    while (start < units.size()) {
        size_t end = units.find(u'\0', start);
        if (end == std::u16string::npos) {
            end = units.size();
        }
        if (end == start) {
            break;  // the empty item that ends the list
        }
        items.push_back(utf16ToUtf8(std::u16string_view(units).substr(start, end - start)));
        start = end + 1;
    }
    return items;
}

std::optional<uint32_t> RegValue::dword() const {
    if (data.size() != 4) {
        return std::nullopt;
    }
    if (type == RegType::Dword) {
        return data[0] | (data[1] << 8) | (data[2] << 16) | (static_cast<uint32_t>(data[3]) << 24);
    }
    if (type == RegType::DwordBigEndian) {
        return data[3] | (data[2] << 8) | (data[1] << 16) | (static_cast<uint32_t>(data[0]) << 24);
    }
    return std::nullopt;
}

std::optional<uint64_t> RegValue::qword() const {
    if (type == RegType::Qword && data.size() == 8) {
        uint64_t v = 0;
        for (int i = 7; i >= 0; --i) {
            v = (v << 8) | data[i];
        }
        return v;
    }
    if (const auto d = dword()) {
        return *d;
    }
    return std::nullopt;
}

}  // namespace tidora::platform
