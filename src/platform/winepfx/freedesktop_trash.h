#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "platform/op_result.h"
#include "platform/reg_types.h"

namespace tidora::platform::winepfx {

// One item of a trash folder.
struct TrashEntry {
    std::string name;          // its name under files/, as on disk
    std::string originalPath;  // the absolute Unix path it was trashed from, bytes as on disk
    FileTime deletionTime = 0;
    uint64_t size = 0;  // a file's bytes, or those of the files in a folder
    bool folder = false;
};

struct TrashSummary {
    uint64_t count = 0;
    uint64_t size = 0;
};

// A freedesktop.org trash folder: files/NAME holds a trashed item and info/NAME.trashinfo says
// where it came from. An item counts only with both halves and a well-formed info file; the rest
// is debris that emptying removes as well. Nothing below the folder is ever followed through a
// symbolic link. A trash folder that does not exist yet is an empty bin.
class FreedesktopTrash {
public:
    explicit FreedesktopTrash(std::string dir) : dir_(std::move(dir)) {}

    // $XDG_DATA_HOME/Trash, or ~/.local/share/Trash; nullopt when no home folder is known.
    static std::optional<std::string> homeTrashDir();

    // nullopt when the bin cannot be read.
    std::optional<TrashSummary> summary() const;
    // Reports the items in the order of files/; onEntry returns false to stop. False when the bin
    // cannot be read.
    bool list(const std::function<bool(const TrashEntry&)>& onEntry) const;
    // Removes every item with its info file and its directorysizes line, and the debris. What
    // cannot be removed stays listed, and the failure names it.
    OpResult empty();

private:
    std::string dir_;
};

}  // namespace tidora::platform::winepfx
