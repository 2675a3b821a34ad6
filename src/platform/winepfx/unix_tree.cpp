#include "platform/winepfx/unix_tree.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string_view>

#include "platform/winepfx/unique_fd.h"

namespace tidora::platform::winepfx {
namespace {

constexpr int kMaxDepth = 256;

UniqueFd openFolder(int parentFd, const std::string& name) {
    return UniqueFd(openat(parentFd, name.c_str(),
                           O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK));
}

uint64_t contentSize(int folderFd, int depth) {
    uint64_t total = 0;
    const auto names = folderEntryNames(folderFd);
    if (!names) {
        return 0;
    }
    for (const std::string& name : *names) {
        struct stat st {};
        if (fstatat(folderFd, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0) {
            continue;
        }
        if (S_ISREG(st.st_mode)) {
            total += static_cast<uint64_t>(st.st_size);
        } else if (S_ISDIR(st.st_mode) && depth < kMaxDepth) {
            if (const UniqueFd sub = openFolder(folderFd, name)) {
                total += contentSize(sub.get(), depth + 1);
            }
        }
    }
    return total;
}

class Remover {
public:
    void remove(int parentFd, const std::string& name, const std::string& shown, int depth) {
        UniqueFd folder = openFolder(parentFd, name);
        if (!folder) {
            const int err = errno;
            if (err == ENOENT) {
                return;
            }
            // Not a folder (or a link, which O_NOFOLLOW refuses): the entry itself goes.
            if (err == ENOTDIR || err == ELOOP) {
                if (unlinkat(parentFd, name.c_str(), 0) != 0 && errno != ENOENT) {
                    fail(shown, errno);
                }
                return;
            }
            fail(shown, err);
            return;
        }
        if (depth >= kMaxDepth) {
            failWith(shown, "the folders are nested too deeply");
            return;
        }
        struct stat st {};
        if (fstat(folder.get(), &st) == 0 &&
            (st.st_mode & (S_IWUSR | S_IXUSR)) != (S_IWUSR | S_IXUSR)) {
            fchmod(folder.get(), (st.st_mode & 07777) | S_IRWXU);
        }
        const auto names = folderEntryNames(folder.get());
        if (!names) {
            failWith(shown, "its content cannot be listed");
            return;
        }
        for (const std::string& child : *names) {
            remove(folder.get(), child, shown + "/" + child, depth + 1);
        }
        folder.reset();
        if (unlinkat(parentFd, name.c_str(), AT_REMOVEDIR) != 0 && errno != ENOENT) {
            fail(shown, errno);
        }
    }

    OpResult result() const {
        if (failures_ == 0) {
            return OpResult::success();
        }
        return OpResult::failure(failures_ == 1 ? firstError_
                                                : firstError_ + " (and " +
                                                      std::to_string(failures_ - 1) + " more)");
    }

private:
    void fail(const std::string& shown, int err) { failWith(shown, std::strerror(err)); }
    void failWith(const std::string& shown, const std::string& reason) {
        if (failures_++ == 0) {
            firstError_ = "cannot remove " + shown + ": " + reason;
        }
    }

    size_t failures_ = 0;
    std::string firstError_;
};

}  // namespace

std::optional<std::vector<std::string>> folderEntryNames(int folderFd) {
    // A descriptor of its own: closedir closes it, and the caller's stays open.
    UniqueFd own(dup(folderFd));
    DIR* dir = own ? fdopendir(own.get()) : nullptr;
    if (!dir) {
        return std::nullopt;
    }
    own.release();
    // The copy shares the read position with folderFd, which an earlier listing moved.
    rewinddir(dir);
    std::vector<std::string> names;
    while (const dirent* entry = readdir(dir)) {
        const std::string_view name = entry->d_name;
        if (name != "." && name != "..") {
            names.emplace_back(name);
        }
    }
    closedir(dir);
    return names;
}

uint64_t folderContentSize(int parentFd, const std::string& name) {
    const UniqueFd folder = openFolder(parentFd, name);
    return folder ? contentSize(folder.get(), 0) : 0;
}

OpResult removeTree(int parentFd, const std::string& name, const std::string& shownPath) {
    Remover remover;
    remover.remove(parentFd, name, shownPath, 0);
    return remover.result();
}

std::optional<SmallFile> readSmallFile(int folderFd, const std::string& name, size_t maxBytes) {
    const UniqueFd fd(
        openat(folderFd, name.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
    SmallFile file;
    if (!fd || fstat(fd.get(), &file.st) != 0 || !S_ISREG(file.st.st_mode) ||
        static_cast<uint64_t>(file.st.st_size) > maxBytes) {
        return std::nullopt;
    }
    char buffer[8192];
    while (true) {
        const ssize_t n = read(fd.get(), buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0) {
            return std::nullopt;
        }
        if (n == 0) {
            break;
        }
        file.text.append(buffer, static_cast<size_t>(n));
        if (file.text.size() > maxBytes) {
            return std::nullopt;
        }
    }
    return file;
}

}  // namespace tidora::platform::winepfx
