#pragma once

#include <string_view>

namespace tidora::platform {

// Whether a file name matches a FindFirstFile-style mask for long names: case-insensitive, "*"
// matches any run (also empty), "?" exactly one character, "*.*" everything, "abc.*" also "abc",
// and a mask ending in "." only names without a dot. An empty mask matches nothing.
bool matchesWindowsMask(std::string_view name, std::string_view mask);

}  // namespace tidora::platform
