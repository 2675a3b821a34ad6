#include "platform/winepfx/wineserver.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>

namespace tidora::platform::winepfx {
namespace {

// The server folders that may belong to this prefix: <root>/.wine-UID/NAME and <root>/wine-*/NAME.
std::vector<std::string> candidateLockFiles(const std::string& root, const std::string& name) {
    std::vector<std::string> found;
    found.push_back(root + "/.wine-" + std::to_string(getuid()) + "/" + name + "/lock");
    if (DIR* dir = opendir(root.c_str())) {
        while (const dirent* entry = readdir(dir)) {
            if (std::strncmp(entry->d_name, "wine-", 5) == 0) {
                found.push_back(root + "/" + entry->d_name + "/" + name + "/lock");
            }
        }
        closedir(dir);
    }
    return found;
}

std::optional<long> lockHolder(const std::string& lockFile) {
    const int fd = open(lockFile.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
    if (fd < 0) {
        return std::nullopt;
    }
    struct flock query {};
    query.l_type = F_WRLCK;
    query.l_whence = SEEK_SET;
    query.l_start = 0;
    query.l_len = 0;
    const bool locked = fcntl(fd, F_GETLK, &query) == 0 && query.l_type != F_UNLCK;
    close(fd);
    if (!locked) {
        return std::nullopt;
    }
    return static_cast<long>(query.l_pid);
}

}  // namespace

WineserverState findWineserver(const std::string& prefixDir,
                               const std::vector<std::string>& tmpRoots) {
    struct stat st {};
    if (::stat(prefixDir.c_str(), &st) != 0) {
        return {};
    }
    char name[64];
    std::snprintf(name, sizeof name, "server-%llx-%llx", static_cast<unsigned long long>(st.st_dev),
                  static_cast<unsigned long long>(st.st_ino));
    for (const auto& root : tmpRoots) {
        for (const auto& lockFile : candidateLockFiles(root, name)) {
            if (const auto pid = lockHolder(lockFile)) {
                return {true, pid};
            }
        }
    }
    return {};
}

}  // namespace tidora::platform::winepfx
