#include "platform/pe_version.h"

#include <algorithm>

#include "platform/text_utf.h"

namespace tidora::platform {
namespace {

constexpr uint32_t kResourceDirectory = 2;
constexpr uint32_t kVersionResourceType = 16;
constexpr uint32_t kSubdirectoryFlag = 0x80000000U;
constexpr uint32_t kFixedInfoSignature = 0xFEEF04BDU;
constexpr size_t kFixedInfoSize = 52;
constexpr uint16_t kTextBlock = 1;

bool fits(std::string_view b, uint64_t at, uint64_t size) {
    return at <= b.size() && size <= b.size() - at;
}

uint16_t u16At(std::string_view b, size_t at) {
    return static_cast<uint16_t>(static_cast<uint8_t>(b[at]) | static_cast<uint8_t>(b[at + 1])
                                                                   << 8);
}

uint32_t u32At(std::string_view b, size_t at) {
    return u16At(b, at) | static_cast<uint32_t>(u16At(b, at + 2)) << 16;
}

std::optional<uint16_t> read16(std::string_view b, uint64_t at) {
    return fits(b, at, 2) ? std::optional<uint16_t>(u16At(b, at)) : std::nullopt;
}

std::optional<uint32_t> read32(std::string_view b, uint64_t at) {
    return fits(b, at, 4) ? std::optional<uint32_t>(u32At(b, at)) : std::nullopt;
}

size_t align4(size_t at) {
    return (at + 3) & ~size_t{3};
}

struct Section {
    uint32_t virtualAddress = 0;
    uint32_t rawSize = 0;
    uint32_t rawOffset = 0;
};

// The bytes an RVA maps to, up to the end of its section's data in the file.
std::optional<std::string_view> atRva(std::string_view file, const std::vector<Section>& sections,
                                      uint32_t rva) {
    for (const Section& s : sections) {
        if (rva < s.virtualAddress || rva - s.virtualAddress >= s.rawSize) {
            continue;
        }
        const uint64_t at = uint64_t{s.rawOffset} + (rva - s.virtualAddress);
        if (at >= file.size()) {
            return std::nullopt;
        }
        const uint64_t size =
            std::min<uint64_t>(s.rawSize - (rva - s.virtualAddress), file.size() - at);
        return file.substr(at, size);
    }
    return std::nullopt;
}

// The resource directory's RVA and the section table; nullopt when this is no PE file.
std::optional<std::pair<uint32_t, std::vector<Section>>> peLayout(std::string_view file) {
    if (!file.starts_with("MZ")) {
        return std::nullopt;
    }
    const auto peAt = read32(file, 0x3C);
    if (!peAt || !fits(file, *peAt, 24) || file.substr(*peAt, 4) != std::string_view("PE\0\0", 4)) {
        return std::nullopt;
    }
    const uint16_t sectionCount = u16At(file, *peAt + 6);
    const uint16_t optionalSize = u16At(file, *peAt + 20);
    const uint64_t optionalAt = uint64_t{*peAt} + 24;
    const auto magic = read16(file, optionalAt);
    if (!magic || (*magic != 0x10B && *magic != 0x20B)) {
        return std::nullopt;
    }
    const uint64_t directoriesAt = *magic == 0x20B ? 112 : 96;
    const auto directoryCount = read32(file, optionalAt + directoriesAt - 4);
    const uint64_t resourceAt = directoriesAt + 8 * kResourceDirectory;
    if (!directoryCount || *directoryCount <= kResourceDirectory || resourceAt + 8 > optionalSize) {
        return std::nullopt;
    }
    const auto resourceRva = read32(file, optionalAt + resourceAt);
    if (!resourceRva || *resourceRva == 0) {
        return std::nullopt;
    }
    std::vector<Section> sections;
    const uint64_t tableAt = optionalAt + optionalSize;
    for (uint64_t i = 0; i < sectionCount && fits(file, tableAt + 40 * i, 40); ++i) {
        const size_t at = tableAt + 40 * i;
        sections.push_back({u32At(file, at + 12), u32At(file, at + 16), u32At(file, at + 20)});
    }
    return std::pair{*resourceRva, std::move(sections)};
}

// The target of entry `index` of the resource directory at `at`, or of its entry with the
// numeric ID `id` when index is negative.
std::optional<uint32_t> directoryEntry(std::string_view tree, uint64_t at, int index,
                                       uint32_t id = 0) {
    if (!fits(tree, at, 16)) {
        return std::nullopt;
    }
    const uint32_t named = u16At(tree, at + 12);
    const uint32_t total = named + u16At(tree, at + 14);
    for (uint32_t i = index < 0 ? named : static_cast<uint32_t>(index); i < total; ++i) {
        const uint64_t entryAt = at + 16 + 8 * uint64_t{i};
        if (!fits(tree, entryAt, 8)) {
            return std::nullopt;
        }
        if (index >= 0 || u32At(tree, entryAt) == id) {
            return u32At(tree, entryAt + 4);
        }
    }
    return std::nullopt;
}

// The data of the first language of the first version resource.
std::optional<std::string_view> versionResource(std::string_view file) {
    const auto layout = peLayout(file);
    if (!layout) {
        return std::nullopt;
    }
    const auto& [resourceRva, sections] = *layout;
    const auto tree = atRva(file, sections, resourceRva);
    if (!tree) {
        return std::nullopt;
    }
    const auto type = directoryEntry(*tree, 0, -1, kVersionResourceType);
    if (!type || !(*type & kSubdirectoryFlag)) {
        return std::nullopt;
    }
    const auto name = directoryEntry(*tree, *type & ~kSubdirectoryFlag, 0);
    if (!name || !(*name & kSubdirectoryFlag)) {
        return std::nullopt;
    }
    const auto language = directoryEntry(*tree, *name & ~kSubdirectoryFlag, 0);
    if (!language || (*language & kSubdirectoryFlag) || !fits(*tree, *language, 8)) {
        return std::nullopt;
    }
    const auto data = atRva(file, sections, u32At(*tree, *language));
    if (!data) {
        return std::nullopt;
    }
    return data->substr(0, u32At(*tree, *language + 4));
}

// One block of the version resource: a header, a key, a value and child blocks. Offsets are
// from the start of the resource, to which the 32-bit alignment of the parts refers.
struct Block {
    std::string key;
    size_t end = 0;
    size_t valueAt = 0;
    size_t valueSize = 0;
    size_t childrenAt = 0;
};

std::u16string utf16Until0(std::string_view b, size_t at, size_t end, bool* terminated) {
    std::u16string text;
    *terminated = false;
    for (; at + 2 <= end; at += 2) {
        const char16_t c = u16At(b, at);
        if (c == 0) {
            *terminated = true;
            break;
        }
        text.push_back(c);
    }
    return text;
}

std::optional<Block> readBlock(std::string_view res, size_t at, size_t limit) {
    if (at >= limit || limit - at < 6) {
        return std::nullopt;
    }
    const uint16_t length = u16At(res, at);
    if (length < 6) {
        return std::nullopt;
    }
    Block block;
    block.end = at + std::min<size_t>(length, limit - at);
    const uint16_t valueLength = u16At(res, at + 2);
    const bool text = u16At(res, at + 4) == kTextBlock;
    bool terminated = false;
    const std::u16string key = utf16Until0(res, at + 6, block.end, &terminated);
    if (!terminated) {
        return std::nullopt;
    }
    block.key = utf16ToUtf8(key);
    block.valueAt = std::min(align4(at + 6 + 2 * (key.size() + 1)), block.end);
    block.valueSize =
        std::min<size_t>(text ? 2 * size_t{valueLength} : valueLength, block.end - block.valueAt);
    block.childrenAt = std::min(align4(block.valueAt + block.valueSize), block.end);
    return block;
}

template <typename Fn>
void forEachChild(std::string_view res, const Block& parent, Fn&& fn) {
    size_t at = parent.childrenAt;
    while (const auto child = readBlock(res, at, parent.end)) {
        fn(*child);
        at = align4(child->end);
    }
}

std::optional<uint32_t> tableKey(std::string_view key) {
    if (key.size() != 8) {
        return std::nullopt;
    }
    uint32_t value = 0;
    for (const char c : key) {
        const int digit = c >= '0' && c <= '9'   ? c - '0'
                          : c >= 'a' && c <= 'f' ? c - 'a' + 10
                          : c >= 'A' && c <= 'F' ? c - 'A' + 10
                                                 : -1;
        if (digit < 0) {
            return std::nullopt;
        }
        value = value << 4 | static_cast<uint32_t>(digit);
    }
    return value;
}

void readStringTables(std::string_view res, const Block& fileInfo, PeVersionInfo& info) {
    forEachChild(res, fileInfo, [&](const Block& table) {
        const auto key = tableKey(table.key);
        if (!key) {
            return;
        }
        std::vector<std::pair<std::string, std::string>> strings;
        forEachChild(res, table, [&](const Block& s) {
            bool terminated = false;
            const std::u16string value =
                utf16Until0(res, s.valueAt, s.valueAt + s.valueSize, &terminated);
            strings.emplace_back(s.key, utf16ToUtf8(value));
        });
        info.stringTables.emplace_back(*key, std::move(strings));
    });
}

void readTranslations(std::string_view res, const Block& varInfo, PeVersionInfo& info) {
    forEachChild(res, varInfo, [&](const Block& var) {
        if (!info.translations.empty() || !equalsNoCase(var.key, "Translation")) {
            return;
        }
        for (size_t at = var.valueAt; at + 4 <= var.valueAt + var.valueSize; at += 4) {
            info.translations.push_back(static_cast<uint32_t>(u16At(res, at)) << 16 |
                                        u16At(res, at + 2));
        }
    });
}

}  // namespace

std::optional<PeVersionInfo> readPeVersionInfo(std::string_view bytes) {
    const auto res = versionResource(bytes);
    if (!res) {
        return std::nullopt;
    }
    const auto root = readBlock(*res, 0, res->size());
    if (!root) {
        return std::nullopt;
    }
    PeVersionInfo info;
    if (root->valueSize >= kFixedInfoSize && u32At(*res, root->valueAt) == kFixedInfoSignature) {
        const uint32_t ms = u32At(*res, root->valueAt + 8);
        const uint32_t ls = u32At(*res, root->valueAt + 12);
        info.fixedVersion = {static_cast<uint16_t>(ms >> 16), static_cast<uint16_t>(ms),
                             static_cast<uint16_t>(ls >> 16), static_cast<uint16_t>(ls)};
    }
    forEachChild(*res, *root, [&](const Block& child) {
        if (equalsNoCase(child.key, "StringFileInfo")) {
            readStringTables(*res, child, info);
        } else if (equalsNoCase(child.key, "VarFileInfo")) {
            readTranslations(*res, child, info);
        }
    });
    return info;
}

}  // namespace tidora::platform
