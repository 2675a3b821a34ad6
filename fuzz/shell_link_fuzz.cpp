// Reads any bytes as a shell link. Whether there is a target must not depend on the code page,
// a target is valid UTF-8, and a plain ASCII target reads the same in every code page.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>

#include "platform/shell_link.h"
#include "platform/text_utf.h"

using tidora::platform::isValidUtf8;
using tidora::platform::shellLinkTarget;

namespace {

void require(bool ok, const char* what) {
    if (!ok) {
        std::fprintf(stderr, "shell link fuzz: %s\n", what);
        std::abort();
    }
}

bool isAscii(std::string_view text) {
    for (const char c : text) {
        if (static_cast<unsigned char>(c) >= 0x80) {
            return false;
        }
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const std::string western = shellLinkTarget(bytes, 1252);
    require(isValidUtf8(western), "a target that is not UTF-8");
    for (const int codePage : {1251, 65001}) {
        const std::string target = shellLinkTarget(bytes, codePage);
        require(isValidUtf8(target), "a target that is not UTF-8");
        require(target.empty() == western.empty(), "a code page decides whether there is a target");
        require(!isAscii(western) || target == western, "an ASCII target depends on the code page");
    }
    return 0;
}
