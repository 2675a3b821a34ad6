#pragma once

#include <string>
#include <string_view>

namespace tidora::platform {

// The target path of a shell link (.lnk) file's bytes, as UTF-8: the local path its LinkInfo
// records, else the path its item ID list spells out from My Computer. ANSI names are read in
// ansiCodePage. Empty for a link to a network share or a shell object, and for damaged input.
std::string shellLinkTarget(std::string_view bytes, int ansiCodePage);

}  // namespace tidora::platform
