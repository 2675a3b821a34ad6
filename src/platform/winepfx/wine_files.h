#pragma once

#include <functional>
#include <optional>
#include <string_view>

#include "platform/file_types.h"
#include "platform/op_result.h"
#include "platform/winepfx/path_resolver.h"
#include "platform/winepfx/unique_fd.h"

namespace tidora::platform::winepfx {

// The file operations of a Wine prefix, on Windows paths (see Machine for their meanings).
// Names that are not valid UTF-8 or hold characters Windows forbids are listed in the text form
// of unix_name.h and accepted back in that form. A symbolic link is a reparse point: listed, never
// followed below the folder a deletion is confined to. Paths that do not parse (relative, UNC)
// give false, nullopt or a failure.
class WineFiles {
public:
    explicit WineFiles(const PathResolver& resolver) : resolver_(resolver) {}

    // Entries go to onEntry as they are read; an entry that vanishes meanwhile is skipped.
    bool listFolder(std::string_view folder, std::string_view mask,
                    const std::function<bool(const DirEntry&)>& onEntry) const;
    // The final component is not followed; a drive root ("C:\") is the drive's folder, unnamed.
    std::optional<DirEntry> stat(std::string_view path) const;
    bool exists(std::string_view path) const;
    // Deletes one file (or symbolic link, never its target) inside withinFolder (empty: the
    // path's drive). Below withinFolder every folder is opened without following links, so a
    // folder swapped for a link meanwhile deletes nothing. Folders and read-only files are
    // refused, as Windows does.
    OpResult deleteFile(std::string_view path, std::string_view withinFolder) const;
    // The folder a deletion opened, kept for the next file in the same folder.
    struct OpenedFolder {
        std::string within;
        std::vector<std::string> parents;  // the components below within
        UniqueFd fd;
    };
    OpResult deleteFile(std::string_view path, std::string_view withinFolder,
                        OpenedFolder& opened) const;
    std::optional<DiskSpace> diskSpace(std::string_view path) const;

private:
    OpResult openParent(std::string_view path, const WindowsPath& target, const WindowsPath& within,
                        OpenedFolder& opened) const;

    const PathResolver& resolver_;
};

}  // namespace tidora::platform::winepfx
