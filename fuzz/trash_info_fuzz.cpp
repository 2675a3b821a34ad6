// Trash info files and the directorysizes file come from disk and may hold anything: parsing never
// crashes, and what it accepts is what the rest of the program relies on.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "platform/winepfx/trash_info.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace tidora::platform::winepfx;
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    if (const auto info = parseTrashInfo(text)) {
        if (info->originalPath.empty() || info->originalPath.front() != '/' ||
            info->originalPath.find('\0') != std::string::npos) {
            __builtin_trap();
        }
    }
    for (const auto& [name, entry] : parseDirectorySizes(text)) {
        if (name.empty() || name == "." || name == ".." ||
            name.find_first_of(std::string_view("/\0", 2)) != std::string::npos) {
            __builtin_trap();
        }
    }
    return 0;
}
