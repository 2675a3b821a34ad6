#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace tidora::platform {

// The version resource of a Windows executable or library.
struct PeVersionInfo {
    // Major, minor, release, build of the file version.
    std::optional<std::array<uint16_t, 4>> fixedVersion;
    // Per string table (language << 16 | code page): key/value pairs in stored order, UTF-8.
    std::vector<std::pair<uint32_t, std::vector<std::pair<std::string, std::string>>>> stringTables;
    // The translation table: language << 16 | code page, in stored order.
    std::vector<uint32_t> translations;
};

// The first version resource of a PE file (PE32 or PE32+); nullopt when the bytes are not a PE
// file or hold no version resource. Damaged structures are cut short, never read past.
std::optional<PeVersionInfo> readPeVersionInfo(std::string_view bytes);

}  // namespace tidora::platform
