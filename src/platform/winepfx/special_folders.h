#pragma once

#include <string>

#include "platform/machine.h"
#include "platform/winepfx/environment_block.h"
#include "platform/winepfx/wine_registry.h"

namespace tidora::platform::winepfx {

// The path of a CSIDL special folder, as the shell gives it: the user's or the machine's shell
// folder value from the registry where Windows keeps one, else Windows' default for the version;
// without a trailing backslash; empty for virtual folders and unknown numbers.
std::string specialFolderPath(int csidl, const WineRegistry& registry, const EnvironmentBlock& env,
                              bool win64, const WindowsVersion& version);

}  // namespace tidora::platform::winepfx
