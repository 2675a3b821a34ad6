#include "platform/winepfx/prefix_location.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>

namespace tidora::platform::winepfx {

std::string choosePrefixDir(const std::optional<std::string>& commandLinePrefix) {
    if (commandLinePrefix && !commandLinePrefix->empty()) {
        return *commandLinePrefix;
    }
    if (const char* prefix = std::getenv("WINEPREFIX"); prefix && *prefix) {
        return prefix;
    }
    const char* home = std::getenv("HOME");
    if (!home || !*home) {
        const passwd* pw = getpwuid(getuid());
        home = pw ? pw->pw_dir : "";
    }
    return std::string(home) + "/.wine";
}

}  // namespace tidora::platform::winepfx
