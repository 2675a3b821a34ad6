#include "platform/shell_link.h"

#include <cstdint>
#include <optional>

#include "platform/ansi_code_page.h"
#include "platform/text_utf.h"

namespace tidora::platform {
namespace {

constexpr size_t kHeaderSize = 0x4C;
constexpr std::string_view kLinkClsid{
    "\x01\x14\x02\x00\x00\x00\x00\x00\xC0\x00\x00\x00\x00\x00\x00\x46", 16};
constexpr std::string_view kMyComputerClsid{
    "\xE0\x4F\xD0\x20\xEA\x3A\x69\x10\xA2\xD8\x08\x00\x2B\x30\x30\x9D", 16};

constexpr uint32_t kHasLinkTargetIdList = 0x1;
constexpr uint32_t kHasLinkInfo = 0x2;
constexpr uint32_t kForceNoLinkInfo = 0x100;

constexpr uint32_t kLinkInfoMinHeader = 0x1C;
constexpr uint32_t kLinkInfoUnicodeHeader = 0x24;
constexpr uint32_t kVolumeIdAndLocalBasePath = 0x1;
constexpr uint32_t kCommonNetworkRelativeLink = 0x2;

constexpr uint32_t kFileEntryExtension = 0xBEEF0004;

// Bounds-checked little-endian reads; every read that does not fit gives nullopt.
class Bytes {
public:
    explicit Bytes(std::string_view data) : data_(data) {}

    size_t size() const { return data_.size(); }

    std::optional<std::string_view> slice(size_t offset, size_t length) const {
        if (offset > data_.size() || length > data_.size() - offset) {
            return std::nullopt;
        }
        return data_.substr(offset, length);
    }

    std::optional<uint16_t> u16(size_t offset) const {
        const auto b = slice(offset, 2);
        if (!b) {
            return std::nullopt;
        }
        return static_cast<uint16_t>(byte(*b, 0) | byte(*b, 1) << 8);
    }

    std::optional<uint32_t> u32(size_t offset) const {
        const auto b = slice(offset, 4);
        if (!b) {
            return std::nullopt;
        }
        return byte(*b, 0) | byte(*b, 1) << 8 | byte(*b, 2) << 16 | uint32_t{byte(*b, 3)} << 24;
    }

    // A zero-terminated 8-bit string that must end inside the data.
    std::optional<std::string_view> ansiString(size_t offset) const {
        if (offset >= data_.size()) {
            return std::nullopt;
        }
        const size_t end = data_.find('\0', offset);
        if (end == std::string_view::npos) {
            return std::nullopt;
        }
        return data_.substr(offset, end - offset);
    }

    // A zero-terminated UTF-16LE string that must end inside the data.
    std::optional<std::u16string> utf16String(size_t offset) const {
        std::u16string text;
        for (size_t at = offset;; at += 2) {
            const auto unit = u16(at);
            if (!unit) {
                return std::nullopt;
            }
            if (*unit == 0) {
                return text;
            }
            text += static_cast<char16_t>(*unit);
        }
    }

private:
    static uint32_t byte(std::string_view b, size_t i) { return static_cast<uint8_t>(b[i]); }

    std::string_view data_;
};

// What the LinkInfo structure says about the target.
struct LinkInfoTarget {
    enum class Kind { Damaged, LocalPath, NetworkOnly, None } kind = Kind::Damaged;
    std::string path;
};

// A string at an offset of the LinkInfo, which must lie past its header.
std::optional<std::string> linkInfoString(const Bytes& info, uint32_t headerSize, uint32_t offset,
                                          bool unicode, int ansiCodePage) {
    if (offset < headerSize) {
        return std::nullopt;
    }
    if (unicode) {
        const auto text = info.utf16String(offset);
        return text ? std::optional(utf16ToUtf8(*text)) : std::nullopt;
    }
    const auto text = info.ansiString(offset);
    return text ? std::optional(decodeCodePage(*text, ansiCodePage)) : std::nullopt;
}

LinkInfoTarget readLinkInfo(const Bytes& info, int ansiCodePage) {
    using Kind = LinkInfoTarget::Kind;
    const auto headerSize = info.u32(4);
    const auto flags = info.u32(8);
    if (!headerSize || !flags || *headerSize < kLinkInfoMinHeader || *headerSize > info.size()) {
        return {};
    }
    if (!(*flags & kVolumeIdAndLocalBasePath)) {
        return {(*flags & kCommonNetworkRelativeLink) ? Kind::NetworkOnly : Kind::None, {}};
    }
    const bool unicode = *headerSize >= kLinkInfoUnicodeHeader;
    const auto baseOffset = info.u32(unicode ? 0x1C : 0x10);
    const auto suffixOffset = info.u32(unicode ? 0x20 : 0x18);
    if (!baseOffset || !suffixOffset) {
        return {};
    }
    const auto base = linkInfoString(info, *headerSize, *baseOffset, unicode, ansiCodePage);
    const auto suffix = linkInfoString(info, *headerSize, *suffixOffset, unicode, ansiCodePage);
    if (!base || !suffix) {
        return {};
    }
    if (base->empty()) {
        return {Kind::None, {}};
    }
    return {Kind::LocalPath, *base + *suffix};
}

bool isMyComputer(const Bytes& item) {
    const auto type = item.slice(2, 1);
    return item.size() == 0x14 && type && *type == "\x1F" && item.slice(4, 16) == kMyComputerClsid;
}

uint8_t itemType(const Bytes& item) {
    return static_cast<uint8_t>(item.slice(2, 1)->front());
}

// "C:\" of a drive item; nullopt when the item names no drive.
std::optional<std::string> driveName(const Bytes& item) {
    const auto name = item.ansiString(3);
    if (!name || name->size() != 3 || (*name)[1] != ':' || (*name)[2] != '\\') {
        return std::nullopt;
    }
    const char letter = (*name)[0];
    if (!((letter >= 'A' && letter <= 'Z') || (letter >= 'a' && letter <= 'z'))) {
        return std::nullopt;
    }
    return std::string(*name);
}

// The long name of the file-entry extension block, which the item's last two bytes locate.
std::optional<std::string> longName(const Bytes& item) {
    const auto blockOffset = item.u16(item.size() - 2);
    if (!blockOffset) {
        return std::nullopt;
    }
    const auto blockSize = item.u16(*blockOffset);
    const auto version = item.u16(*blockOffset + 2);
    const auto signature = item.u32(*blockOffset + 4);
    if (!blockSize || !version || signature != kFileEntryExtension || *version < 3) {
        return std::nullopt;
    }
    const auto block = item.slice(*blockOffset, *blockSize);
    if (!block) {
        return std::nullopt;
    }
    const size_t nameOffset = *version >= 9 ? 46 : *version >= 8 ? 42 : *version >= 7 ? 38 : 20;
    const auto name = Bytes(*block).utf16String(nameOffset);
    if (!name || name->empty()) {
        return std::nullopt;
    }
    return utf16ToUtf8(*name);
}

// The name of a file or folder item: the long name, else the primary (short) name.
std::optional<std::string> fileEntryName(const Bytes& item, int ansiCodePage) {
    constexpr size_t kPrimaryName = 14;
    std::optional<std::string> name = longName(item);
    if (!name) {
        if (itemType(item) & 0x04) {
            const auto text = item.utf16String(kPrimaryName);
            name = text ? std::optional(utf16ToUtf8(*text)) : std::nullopt;
        } else {
            const auto text = item.ansiString(kPrimaryName);
            name = text ? std::optional(decodeCodePage(*text, ansiCodePage)) : std::nullopt;
        }
    }
    if (!name || name->empty() || name->find_first_of("\\/") != std::string::npos) {
        return std::nullopt;
    }
    return name;
}

// The path the item ID list spells out: My Computer, a drive, then files and folders.
std::string idListPath(const Bytes& list, int ansiCodePage) {
    std::string path;
    size_t index = 0;
    for (size_t at = 0;; ++index) {
        const auto size = list.u16(at);
        if (!size) {
            return {};
        }
        if (*size == 0) {
            return index >= 2 ? path : std::string();
        }
        const auto data = list.slice(at, *size);
        if (!data || *size < 3) {
            return {};
        }
        at += *size;
        const Bytes item(*data);
        if (index == 0) {
            if (!isMyComputer(item)) {
                return {};
            }
        } else if (index == 1) {
            const auto drive = (itemType(item) & 0x70) == 0x20 ? driveName(item) : std::nullopt;
            if (!drive) {
                return {};
            }
            path = *drive;
        } else {
            const auto name =
                (itemType(item) & 0x70) == 0x30 ? fileEntryName(item, ansiCodePage) : std::nullopt;
            if (!name) {
                return {};
            }
            path += (path.back() == '\\' ? "" : "\\") + *name;
        }
    }
}

}  // namespace

std::string shellLinkTarget(std::string_view bytes, int ansiCodePage) {
    const Bytes file(bytes);
    const auto flags = file.u32(0x14);
    if (file.u32(0) != kHeaderSize || file.slice(4, 16) != kLinkClsid || !flags) {
        return {};
    }
    size_t at = kHeaderSize;
    std::optional<std::string_view> idList;
    if (*flags & kHasLinkTargetIdList) {
        const auto size = file.u16(at);
        idList = size ? file.slice(at + 2, *size) : std::nullopt;
        if (!idList) {
            return {};
        }
        at += 2 + *size;
    }
    if ((*flags & kHasLinkInfo) && !(*flags & kForceNoLinkInfo)) {
        const auto size = file.u32(at);
        const auto info = size ? file.slice(at, *size) : std::nullopt;
        if (!info) {
            return {};
        }
        const LinkInfoTarget target = readLinkInfo(Bytes(*info), ansiCodePage);
        switch (target.kind) {
            case LinkInfoTarget::Kind::LocalPath:
                return target.path;
            case LinkInfoTarget::Kind::Damaged:
            case LinkInfoTarget::Kind::NetworkOnly:
                return {};
            case LinkInfoTarget::Kind::None:
                break;
        }
    }
    return idList ? idListPath(Bytes(*idList), ansiCodePage) : std::string();
}

}  // namespace tidora::platform
