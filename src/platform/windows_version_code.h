#pragma once

#include "platform/machine.h"

namespace tidora::platform {

// The program's short code for a Windows version: 1 to 5 for those majors, 6 for Vista and for
// Windows 8 and 8.1 (which report 6 to programs that do not declare them), 7 for Windows 7,
// 10 for Windows 10 and 11, 0 for anything else.
int windowsVersionCode(const WindowsVersion& version);

}  // namespace tidora::platform
