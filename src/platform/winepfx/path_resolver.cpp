#include "platform/winepfx/path_resolver.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>

#include "platform/text_utf.h"
#include "platform/winepfx/unique_fd.h"
#include "platform/winepfx/unix_name.h"

namespace tidora::platform::winepfx {
namespace {

// Coarse enough for every local file system's mtime resolution (FAT has two seconds).
constexpr time_t kMtimeGranularitySeconds = 2;
// Listings are dropped wholesale past this many folders, so a long scan keeps memory bounded.
constexpr size_t kMaxCachedFolders = 4096;

bool sameTime(const timespec& a, const timespec& b) {
    return a.tv_sec == b.tv_sec && a.tv_nsec == b.tv_nsec;
}

// The names of an absolute path, empty and "." ones left out; nullopt when ".." makes the
// lexical form unreliable.
std::optional<std::vector<std::string>> pathNames(std::string_view path) {
    std::vector<std::string> names;
    while (!path.empty()) {
        const size_t slash = path.find('/');
        const std::string_view name = path.substr(0, slash);
        path = slash == std::string_view::npos ? std::string_view() : path.substr(slash + 1);
        if (name == "..") {
            return std::nullopt;
        }
        if (!name.empty() && name != ".") {
            names.emplace_back(name);
        }
    }
    return names;
}

std::optional<std::string> realPath(const std::string& path) {
    char* real = realpath(path.c_str(), nullptr);
    if (!real) {
        return std::nullopt;
    }
    std::string result = real;
    free(real);
    return result;
}

}  // namespace

PathResolver::PathResolver(std::string prefixDir) : prefixDir_(std::move(prefixDir)) {
    while (prefixDir_.size() > 1 && prefixDir_.back() == '/') {
        prefixDir_.pop_back();
    }
}

std::optional<std::string> PathResolver::driveRoot(char drive) const {
    const char letter = static_cast<char>(drive | 0x20);
    if (letter < 'a' || letter > 'z') {
        return std::nullopt;
    }
    std::string root = prefixDir_ + "/dosdevices/" + letter + ":";
    struct stat st {};
    if (lstat(root.c_str(), &st) != 0) {
        return std::nullopt;
    }
    return root;
}

std::vector<char> PathResolver::drives() const {
    std::vector<char> letters;
    DIR* dir = opendir((prefixDir_ + "/dosdevices").c_str());
    if (!dir) {
        return letters;
    }
    while (const dirent* entry = readdir(dir)) {
        const char* name = entry->d_name;
        if (name[0] >= 'a' && name[0] <= 'z' && name[1] == ':' && name[2] == '\0') {
            letters.push_back(name[0]);
        }
    }
    closedir(dir);
    std::sort(letters.begin(), letters.end());
    return letters;
}

PathResolver::Resolved PathResolver::resolve(const WindowsPath& path) const {
    const std::optional<std::string> root = driveRoot(path.drive);
    Resolved result;
    result.unixPath = root ? *root : prefixDir_ + "/dosdevices/" + path.drive + ":";
    struct stat st {};
    result.exists = root && stat(root->c_str(), &st) == 0;
    for (size_t i = 0; i < path.components.size(); ++i) {
        const std::string& component = path.components[i];
        if (result.exists) {
            const std::string exact = result.unixPath + "/" + textToUnixName(component);
            if (lstat(exact.c_str(), &st) == 0) {
                result.unixPath = exact;
                continue;
            }
            const UniqueFd folder(
                open(result.unixPath.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
            const std::optional<std::string> found =
                folder ? findListed(folder.get(), component) : std::nullopt;
            if (found) {
                result.unixPath += "/" + *found;
                continue;
            }
            result.exists = false;
        }
        result.unixPath += "/" + textToUnixName(component);
    }
    return result;
}

std::optional<std::string> PathResolver::toWindows(const std::string& unixPath) const {
    if (unixPath.empty() || unixPath.front() != '/') {
        return std::nullopt;
    }
    std::vector<std::vector<std::string>> candidates;
    if (auto names = pathNames(unixPath)) {
        candidates.push_back(std::move(*names));
    }
    // The item itself may be gone (a trashed file), so only its folder is resolved.
    const size_t slash = unixPath.find_last_of('/');
    const std::string base = unixPath.substr(slash + 1);
    if (base != "." && base != "..") {
        if (const auto folder = realPath(slash == 0 ? "/" : unixPath.substr(0, slash))) {
            if (auto names = pathNames(*folder)) {
                if (!base.empty()) {
                    names->push_back(base);
                }
                candidates.push_back(std::move(*names));
            }
        }
    }

    struct Match {
        char drive = 0;
        size_t rootNames = 0;
        size_t candidate = 0;
    };
    std::optional<Match> best;
    const auto better = [](const Match& a, const Match& b) {
        const bool aZ = a.drive == 'z';
        const bool bZ = b.drive == 'z';
        return aZ != bZ ? !aZ : a.rootNames > b.rootNames;
    };
    for (const char letter : drives()) {
        const std::string entry = prefixDir_ + "/dosdevices/" + letter + ":";
        std::vector<std::vector<std::string>> roots;
        for (const auto& root : {std::optional<std::string>(entry), realPath(entry)}) {
            if (root) {
                if (auto names = pathNames(*root)) {
                    roots.push_back(std::move(*names));
                }
            }
        }
        for (const auto& root : roots) {
            for (size_t i = 0; i < candidates.size(); ++i) {
                const auto& names = candidates[i];
                if (root.size() <= names.size() &&
                    std::equal(root.begin(), root.end(), names.begin())) {
                    const Match match{letter, root.size(), i};
                    if (!best || better(match, *best)) {
                        best = match;
                    }
                }
            }
        }
    }
    if (!best) {
        return std::nullopt;
    }
    std::string path(1, static_cast<char>(best->drive - 'a' + 'A'));
    path += ":\\";
    const auto& names = candidates[best->candidate];
    for (size_t i = best->rootNames; i < names.size(); ++i) {
        path += unixNameToText(names[i]);
        if (i + 1 < names.size()) {
            path += '\\';
        }
    }
    return path;
}

std::optional<std::string> PathResolver::findEntry(int folderFd, std::string_view textName) const {
    const std::string exact = textToUnixName(textName);
    struct stat st {};
    if (fstatat(folderFd, exact.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0) {
        return exact;
    }
    return findListed(folderFd, textName);
}

std::optional<std::string> PathResolver::findListed(int folderFd, std::string_view textName) const {
    struct stat folder {};
    if (fstat(folderFd, &folder) != 0) {
        return std::nullopt;
    }
    const std::string key = upperCase(textName);
    const std::lock_guard lock(mutex_);
    if (listings_.size() >= kMaxCachedFolders) {
        listings_.clear();
    }
    FolderListing& listing = listings_[{folder.st_dev, folder.st_ino}];
    if (!listing.settled || !sameTime(listing.mtime, folder.st_mtim)) {
        timespec now{};
        clock_gettime(CLOCK_REALTIME, &now);
        // A descriptor of its own, so the caller's read position stays untouched.
        UniqueFd listFd(openat(folderFd, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC));
        DIR* dir = listFd ? fdopendir(listFd.get()) : nullptr;
        if (dir) {
            listFd.release();
        } else {
            listings_.erase({folder.st_dev, folder.st_ino});
            return std::nullopt;
        }
        listing.byUpperName.clear();
        while (const dirent* entry = readdir(dir)) {
            const std::string_view name = entry->d_name;
            if (name == "." || name == "..") {
                continue;
            }
            auto [it, added] =
                listing.byUpperName.try_emplace(upperCase(unixNameToText(name)), std::string(name));
            // Names differing only in case: pick one the same way every time.
            if (!added && std::string_view(it->second) > name) {
                it->second = name;
            }
        }
        closedir(dir);
        listing.mtime = folder.st_mtim;
        listing.settled = now.tv_sec - folder.st_mtim.tv_sec > kMtimeGranularitySeconds;
    }
    const auto it = listing.byUpperName.find(key);
    if (it == listing.byUpperName.end()) {
        return std::nullopt;
    }
    return it->second;
}

}  // namespace tidora::platform::winepfx
