#pragma once

#include <string>

#include "platform/machine.h"

namespace tidora::frame {

// The base name of every executable of the project, and so of its per-user folder and files.
inline constexpr const char* kAppFileName = "tidora";

// Where the program keeps its settings, working database and history on a machine: the user's
// roaming application-data folder followed by the program's base name, with a trailing backslash
// ("C:\users\anna\AppData\Roaming\tidora\"). Empty when the machine has no such folder.
std::string userDataFolder(const platform::Machine& machine);

}  // namespace tidora::frame
