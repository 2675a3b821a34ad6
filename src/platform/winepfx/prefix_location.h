#pragma once

#include <optional>
#include <string>

namespace tidora::platform::winepfx {

// The prefix to work on: the command line's --prefix, else $WINEPREFIX, else ~/.wine.
std::string choosePrefixDir(const std::optional<std::string>& commandLinePrefix);

}  // namespace tidora::platform::winepfx
