#pragma once

#include <functional>
#include <string>

#include "platform/winepfx/environment_block.h"
#include "platform/winepfx/wine_registry.h"

namespace tidora::platform::winepfx {

// The environment a program of this prefix starts with, built as Windows builds it: the folders
// Windows derives (SystemRoot, ProgramData, PUBLIC, ProgramFiles...), the system variables of
// Session Manager, the user's profile variables (USERPROFILE, APPDATA, LOCALAPPDATA, USERNAME...),
// the user's own variables of HKCU\Environment, where PATH is appended to the system PATH, and
// those of the logon session, HKCU\Volatile Environment.
// profileFolderName names the user's folder under C:\users when the registry has no profile path.
EnvironmentBlock buildMachineEnvironment(const WineRegistry& registry,
                                         const std::function<std::string()>& profileFolderName);

// "User Shell Folders" (expanded) first, then "Shell Folders", of HKCU or HKLM; empty when neither
// holds the value.
std::string readShellFolderValue(const WineRegistry& registry, const EnvironmentBlock& env,
                                 RegRoot root, std::string_view valueName);

}  // namespace tidora::platform::winepfx
