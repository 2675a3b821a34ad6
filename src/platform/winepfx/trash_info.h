#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "platform/reg_types.h"

namespace tidora::platform::winepfx {

// What a .trashinfo file says about one trashed item.
struct TrashInfo {
    std::string
        originalPath;  // absolute Unix path, percent-decoded, bytes as the file system has them
    FileTime deletionTime = 0;
};

// "%41b%2F" -> "Ab/"; nullopt for a "%" not followed by two hex digits or a decoded NUL byte.
std::optional<std::string> percentDecode(std::string_view text);

// The [Trash Info] group with an absolute Path= and a DeletionDate= of the form
// YYYY-MM-DDThh:mm:ss, read as local time; nullopt when any of it is missing or malformed.
std::optional<TrashInfo> parseTrashInfo(std::string_view text);

struct DirectorySize {
    uint64_t size = 0;
    int64_t infoMtime = 0;  // epoch seconds of the .trashinfo file the size was computed for
};

// One line "SIZE MTIME NAME" of a directorysizes file: the decoded NAME and its size; nullopt when
// malformed (a NAME must be one file name, not a path).
std::optional<std::pair<std::string, DirectorySize>> parseDirectorySizeLine(std::string_view line);
// Every well-formed line, by decoded NAME.
std::map<std::string, DirectorySize> parseDirectorySizes(std::string_view text);

}  // namespace tidora::platform::winepfx
