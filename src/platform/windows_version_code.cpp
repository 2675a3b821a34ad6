#include "platform/windows_version_code.h"

namespace tidora::platform {

int windowsVersionCode(const WindowsVersion& version) {
    if (version.major >= 1 && version.major <= 5) {
        return static_cast<int>(version.major);
    }
    if (version.major == 6) {
        return version.minor == 1 ? 7 : 6;
    }
    return version.major == 10 ? 10 : 0;
}

}  // namespace tidora::platform
