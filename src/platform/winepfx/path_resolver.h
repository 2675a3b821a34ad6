#pragma once

#include <sys/types.h>

#include <ctime>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "platform/winepfx/windows_path.h"

namespace tidora::platform::winepfx {

// Maps Windows paths to Unix paths inside a Wine prefix. Windows names are case-insensitive and
// Unix names are not, so each component is matched against the real names, with folder listings
// cached until the folder changes. Safe to use from several threads.
class PathResolver {
public:
    struct Resolved {
        std::string unixPath;
        bool exists = false;  // false: the components from the first one not found are as given

        bool operator==(const Resolved&) const = default;
    };

    explicit PathResolver(std::string prefixDir);

    const std::string& prefixDir() const { return prefixDir_; }

    // dosdevices/x: when that entry exists. It is usually a symbolic link; the kernel follows it.
    std::optional<std::string> driveRoot(char drive) const;
    // The drive letters present, lower case, in order.
    std::vector<char> drives() const;

    Resolved resolve(const WindowsPath& path) const;

    // The Windows path of an absolute Unix path, names in the text form of unix_name.h: through
    // the drive whose root (its dosdevices entry, or where that leads) is the longest prefix of
    // the path, or of the path with its folder resolved; z:, which usually maps "/", only when no
    // other drive covers it. nullopt when no drive does.
    std::optional<std::string> toWindows(const std::string& unixPath) const;

    // The Unix name in the folder open at folderFd that matches a text name case-insensitively
    // (the exact name first); nullopt when there is none.
    std::optional<std::string> findEntry(int folderFd, std::string_view textName) const;

private:
    struct FolderListing {
        timespec mtime{};
        // A listing taken within the file system's time granularity of the last change may have
        // missed a later change with the same mtime: such a listing is used once only.
        bool settled = false;
        std::unordered_map<std::string, std::string> byUpperName;  // upper-cased text -> Unix name
    };

    std::optional<std::string> findListed(int folderFd, std::string_view textName) const;

    std::string prefixDir_;
    mutable std::mutex mutex_;
    mutable std::map<std::pair<dev_t, ino_t>, FolderListing> listings_;
};

}  // namespace tidora::platform::winepfx
