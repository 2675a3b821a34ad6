#include "platform/winepfx/wine_files.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statvfs.h>

#include <cerrno>
#include <memory>
#include <string>
#include <system_error>

#include "platform/reg_types.h"
#include "platform/text_utf.h"
#include "platform/windows_mask.h"
#include "platform/winepfx/unique_fd.h"
#include "platform/winepfx/unix_name.h"
#include "platform/winepfx/windows_path.h"

namespace tidora::platform::winepfx {
namespace {

struct DirCloser {
    void operator()(DIR* dir) const { closedir(dir); }
};
using DirHandle = std::unique_ptr<DIR, DirCloser>;

std::string errorText(int err) {
    return std::system_category().message(err);
}

FileTime fileTime(const statx_timestamp& t) {
    return fileTimeFromUnix(t.tv_sec, t.tv_nsec);
}

// The entry `name` at dirFd, as FindFirstFile reports it; nullopt when it is gone.
std::optional<DirEntry> entryAt(int dirFd, const char* name, std::string text, bool followLink) {
    struct statx sx {};
    if (statx(dirFd, name, followLink ? 0 : AT_SYMLINK_NOFOLLOW, STATX_BASIC_STATS | STATX_BTIME,
              &sx) != 0) {
        return std::nullopt;
    }
    DirEntry entry;
    if (!(sx.stx_mode & S_IWUSR)) {
        entry.attributes |= FileAttr::ReadOnly;
    }
    if (text.starts_with('.')) {
        entry.attributes |= FileAttr::Hidden;
    }
    if (S_ISDIR(sx.stx_mode)) {
        entry.attributes |= FileAttr::Directory;
    } else if (S_ISLNK(sx.stx_mode)) {
        entry.attributes |= FileAttr::ReparsePoint;
        struct stat target {};
        if (fstatat(dirFd, name, &target, 0) == 0 && S_ISDIR(target.st_mode)) {
            entry.attributes |= FileAttr::Directory;
        }
    } else if (S_ISREG(sx.stx_mode)) {
        entry.attributes |= FileAttr::Archive;
        entry.size = sx.stx_size;
    }
    if (entry.attributes == 0) {
        entry.attributes = FileAttr::Normal;
    }
    entry.name = std::move(text);
    entry.creationTime = fileTime((sx.stx_mask & STATX_BTIME) ? sx.stx_btime : sx.stx_ctime);
    entry.lastAccessTime = fileTime(sx.stx_atime);
    entry.lastWriteTime = fileTime(sx.stx_mtime);
    return entry;
}

std::optional<PathResolver::Resolved> resolveText(const PathResolver& resolver,
                                                  std::string_view path) {
    const std::optional<WindowsPath> parsed = parseWindowsPath(path, nullptr);
    if (!parsed) {
        return std::nullopt;
    }
    return resolver.resolve(*parsed);
}

bool isInside(const WindowsPath& path, const WindowsPath& folder) {
    if (path.drive != folder.drive || path.components.size() <= folder.components.size()) {
        return false;
    }
    for (size_t i = 0; i < folder.components.size(); ++i) {
        if (!equalsNoCase(path.components[i], folder.components[i])) {
            return false;
        }
    }
    return true;
}

OpResult cannotDelete(std::string_view path, const std::string& reason) {
    return OpResult::failure("Cannot delete \"" + std::string(path) + "\": " + reason);
}

}  // namespace

bool WineFiles::listFolder(std::string_view folder, std::string_view mask,
                           const std::function<bool(const DirEntry&)>& onEntry) const {
    const std::optional<PathResolver::Resolved> resolved = resolveText(resolver_, folder);
    if (!resolved) {
        return false;
    }
    // Following links here is fine: a linked folder's own entries are listed, not walked.
    UniqueFd fd(open(resolved->unixPath.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    DirHandle dir(fd ? fdopendir(fd.get()) : nullptr);
    if (!dir) {
        return false;
    }
    fd.release();
    const int dirFd = dirfd(dir.get());
    for (;;) {
        errno = 0;
        const dirent* raw = readdir(dir.get());
        if (!raw) {
            return errno == 0;
        }
        const std::string_view name = raw->d_name;
        if (name == "." || name == "..") {
            continue;
        }
        std::string text = unixNameToText(name);
        if (!matchesWindowsMask(text, mask)) {
            continue;
        }
        const std::optional<DirEntry> entry = entryAt(dirFd, raw->d_name, std::move(text), false);
        if (entry && !onEntry(*entry)) {
            return true;
        }
    }
}

std::optional<DirEntry> WineFiles::stat(std::string_view path) const {
    const std::optional<WindowsPath> parsed = parseWindowsPath(path, nullptr);
    if (!parsed) {
        return std::nullopt;
    }
    const PathResolver::Resolved resolved = resolver_.resolve(*parsed);
    if (!resolved.exists) {
        return std::nullopt;
    }
    if (parsed->components.empty()) {
        return entryAt(AT_FDCWD, resolved.unixPath.c_str(), std::string(), true);
    }
    const std::string_view unixName =
        std::string_view(resolved.unixPath).substr(resolved.unixPath.rfind('/') + 1);
    return entryAt(AT_FDCWD, resolved.unixPath.c_str(), unixNameToText(unixName), false);
}

bool WineFiles::exists(std::string_view path) const {
    const std::optional<PathResolver::Resolved> resolved = resolveText(resolver_, path);
    return resolved && resolved->exists;
}

OpResult WineFiles::deleteFile(std::string_view path, std::string_view withinFolder) const {
    OpenedFolder opened;
    return deleteFile(path, withinFolder, opened);
}

OpResult WineFiles::deleteFile(std::string_view path, std::string_view withinFolder,
                               OpenedFolder& opened) const {
    std::string error;
    const std::optional<WindowsPath> target = parseWindowsPath(path, &error);
    if (!target) {
        return cannotDelete(path, error);
    }
    std::optional<WindowsPath> within = WindowsPath{target->drive, {}};
    if (!withinFolder.empty()) {
        within = parseWindowsPath(withinFolder, &error);
        if (!within) {
            return cannotDelete(path, error);
        }
    }
    if (!isInside(*target, *within)) {
        return cannotDelete(path, "it is not inside " + formatWindowsPath(*within));
    }
    const std::vector<std::string>& names = target->components;
    const std::vector<std::string> parents(
        names.begin() + static_cast<std::ptrdiff_t>(within->components.size()), names.end() - 1);
    if (!opened.fd || opened.within != withinFolder || opened.parents != parents) {
        opened.fd.reset();
        const OpResult parent = openParent(path, *target, *within, opened);
        if (!parent) {
            return parent;
        }
        opened.within = std::string(withinFolder);
        opened.parents = parents;
    }

    // The name as written usually is the file's own: one look then serves both the lookup and
    // the checks below.
    struct stat st {};
    std::optional<std::string> unixName = textToUnixName(names.back());
    if (fstatat(opened.fd.get(), unixName->c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0) {
        unixName = resolver_.findEntry(opened.fd.get(), names.back());
        if (!unixName) {
            return cannotDelete(path, "it does not exist");
        }
        if (fstatat(opened.fd.get(), unixName->c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0) {
            const int err = errno;
            return cannotDelete(path, errorText(err));
        }
    }
    if (S_ISDIR(st.st_mode)) {
        return cannotDelete(path, "it is a folder");
    }
    if (!S_ISLNK(st.st_mode) && !(st.st_mode & S_IWUSR)) {
        return cannotDelete(path, "it is read-only");
    }
    if (unlinkat(opened.fd.get(), unixName->c_str(), 0) != 0) {
        const int err = errno;
        return cannotDelete(path, errorText(err));
    }
    return OpResult::success();
}

OpResult WineFiles::openParent(std::string_view path, const WindowsPath& target,
                               const WindowsPath& within, OpenedFolder& opened) const {
    // The search folder itself may be a link the user's machine set up (Wine links Desktop to a
    // home folder): it is opened, but then only its own entries are deleted, never deeper ones.
    const PathResolver::Resolved root = resolver_.resolve(within);
    UniqueFd folder(open(root.unixPath.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!folder) {
        const int err = errno;
        return cannotDelete(path,
                            "cannot open " + formatWindowsPath(within) + ": " + errorText(err));
    }
    struct stat st {};
    if (!within.components.empty() && target.components.size() > within.components.size() + 1 &&
        lstat(root.unixPath.c_str(), &st) == 0 && S_ISLNK(st.st_mode)) {
        return cannotDelete(path, formatWindowsPath(within) +
                                      " is a symbolic link; only files directly in it are deleted");
    }
    const std::vector<std::string>& names = target.components;
    for (size_t i = within.components.size(); i + 1 < names.size(); ++i) {
        const std::optional<std::string> unixName = resolver_.findEntry(folder.get(), names[i]);
        if (!unixName) {
            return cannotDelete(path, "the folder \"" + names[i] + "\" does not exist");
        }
        UniqueFd next(openat(folder.get(), unixName->c_str(),
                             O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
        if (!next) {
            const int err = errno;
            if (fstatat(folder.get(), unixName->c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0 &&
                S_ISLNK(st.st_mode)) {
                return cannotDelete(
                    path, "\"" + names[i] + "\" is a symbolic link, which is never followed");
            }
            return cannotDelete(path,
                                "cannot open the folder \"" + names[i] + "\": " + errorText(err));
        }
        folder = std::move(next);
    }
    opened.fd = std::move(folder);
    return OpResult::success();
}

std::optional<DiskSpace> WineFiles::diskSpace(std::string_view path) const {
    const std::optional<PathResolver::Resolved> resolved = resolveText(resolver_, path);
    struct statvfs vfs {};
    if (!resolved || statvfs(resolved->unixPath.c_str(), &vfs) != 0) {
        return std::nullopt;
    }
    DiskSpace space;
    space.totalBytes = static_cast<uint64_t>(vfs.f_blocks) * vfs.f_frsize;
    space.freeBytes = static_cast<uint64_t>(vfs.f_bavail) * vfs.f_frsize;
    return space;
}

}  // namespace tidora::platform::winepfx
