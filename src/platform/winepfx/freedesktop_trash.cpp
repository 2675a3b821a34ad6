#include "platform/winepfx/freedesktop_trash.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <map>
#include <vector>

#include "platform/winepfx/trash_info.h"
#include "platform/winepfx/unique_fd.h"
#include "platform/winepfx/unix_tree.h"

namespace tidora::platform::winepfx {
namespace {

constexpr const char* kInfoSuffix = ".trashinfo";
constexpr size_t kMaxInfoBytes = 64 * 1024;
constexpr size_t kMaxDirectorySizesBytes = 16 * 1024 * 1024;

// The trash folder and its two halves; a half that does not exist stays closed.
struct OpenTrash {
    UniqueFd trash;
    UniqueFd files;
    UniqueFd info;
};

std::optional<OpenTrash> openTrash(const std::string& dir, std::string* error) {
    OpenTrash t;
    // The trash folder itself may be a link the user set up; below it nothing is followed.
    t.trash.reset(open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!t.trash) {
        if (errno == ENOENT) {
            return t;
        }
        *error = "cannot open the trash folder " + dir + ": " + std::strerror(errno);
        return std::nullopt;
    }
    for (auto [name, fd] : {std::pair{"files", &t.files}, std::pair{"info", &t.info}}) {
        fd->reset(openat(t.trash.get(), name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
        if (!*fd && errno != ENOENT) {
            *error = "cannot open " + dir + "/" + name + ": " + std::strerror(errno);
            return std::nullopt;
        }
    }
    return t;
}

bool hasInfoSuffix(const std::string& name) {
    const size_t n = std::strlen(kInfoSuffix);
    return name.size() > n && name.compare(name.size() - n, n, kInfoSuffix) == 0;
}

bool entryExists(int folderFd, const std::string& name) {
    struct stat st {};
    return fstatat(folderFd, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0 || errno != ENOENT;
}

// Collects the outcome of many removals into one.
class Failures {
public:
    void add(const OpResult& result) {
        if (!result && count_++ == 0) {
            first_ = result.error();
        }
    }
    void add(const std::string& what, int err) {
        add(OpResult::failure("cannot remove " + what + ": " + std::strerror(err)));
    }
    OpResult result() const {
        if (count_ == 0) {
            return OpResult::success();
        }
        return OpResult::failure(
            count_ == 1 ? first_ : first_ + " (and " + std::to_string(count_ - 1) + " more)");
    }

private:
    size_t count_ = 0;
    std::string first_;
};

// Keeps the directorysizes lines of the folders still in files/, replacing the file atomically.
void pruneDirectorySizes(const OpenTrash& t, const std::string& dir, Failures& failures) {
    const auto file = readSmallFile(t.trash.get(), "directorysizes", kMaxDirectorySizesBytes);
    if (!file) {
        if (entryExists(t.trash.get(), "directorysizes")) {
            if (unlinkat(t.trash.get(), "directorysizes", 0) != 0 && errno != ENOENT) {
                failures.add(dir + "/directorysizes", errno);
            }
        }
        return;
    }
    std::string kept;
    std::string_view text = file->text;
    while (!text.empty()) {
        const size_t end = text.find('\n');
        const std::string_view line = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
        const auto entry = parseDirectorySizeLine(line);
        if (entry && t.files && entryExists(t.files.get(), entry->first)) {
            kept.append(line).append("\n");
        }
    }
    if (kept == file->text) {
        return;
    }
    if (kept.empty()) {
        if (unlinkat(t.trash.get(), "directorysizes", 0) != 0 && errno != ENOENT) {
            failures.add(dir + "/directorysizes", errno);
        }
        return;
    }
    const std::string temp = "directorysizes.tidora-" + std::to_string(getpid());
    const UniqueFd out(openat(t.trash.get(), temp.c_str(),
                              O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_CLOEXEC, 0600));
    const bool written =
        out && write(out.get(), kept.data(), kept.size()) == static_cast<ssize_t>(kept.size());
    if (!written || renameat(t.trash.get(), temp.c_str(), t.trash.get(), "directorysizes") != 0) {
        const int err = errno;
        unlinkat(t.trash.get(), temp.c_str(), 0);
        failures.add(
            OpResult::failure("cannot rewrite " + dir + "/directorysizes: " + std::strerror(err)));
    }
}

}  // namespace

std::optional<std::string> FreedesktopTrash::homeTrashDir() {
    // Relative values are invalid by the base-directory rules and are ignored.
    const char* dataHome = std::getenv("XDG_DATA_HOME");
    if (dataHome && dataHome[0] == '/') {
        return std::string(dataHome) + "/Trash";
    }
    std::string home;
    if (const char* env = std::getenv("HOME"); env && env[0] == '/') {
        home = env;
    } else {
        passwd entry{};
        passwd* found = nullptr;
        std::vector<char> buffer(16384);
        if (getpwuid_r(getuid(), &entry, buffer.data(), buffer.size(), &found) == 0 && found &&
            found->pw_dir && found->pw_dir[0] == '/') {
            home = found->pw_dir;
        }
    }
    if (home.empty()) {
        return std::nullopt;
    }
    while (home.size() > 1 && home.back() == '/') {
        home.pop_back();
    }
    return (home == "/" ? std::string() : home) + "/.local/share/Trash";
}

std::optional<TrashSummary> FreedesktopTrash::summary() const {
    TrashSummary summary;
    const bool read = list([&](const TrashEntry& entry) {
        ++summary.count;
        summary.size += entry.size;
        return true;
    });
    if (!read) {
        return std::nullopt;
    }
    return summary;
}

bool FreedesktopTrash::list(const std::function<bool(const TrashEntry&)>& onEntry) const {
    std::string error;
    const std::optional<OpenTrash> t = openTrash(dir_, &error);
    if (!t) {
        return false;
    }
    if (!t->files || !t->info) {
        return true;
    }
    const auto names = folderEntryNames(t->files.get());
    if (!names) {
        return false;
    }
    const auto sizesFile = readSmallFile(t->trash.get(), "directorysizes", kMaxDirectorySizesBytes);
    const std::map<std::string, DirectorySize> sizes =
        sizesFile ? parseDirectorySizes(sizesFile->text) : std::map<std::string, DirectorySize>();
    for (const std::string& name : *names) {
        struct stat st {};
        if (fstatat(t->files.get(), name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0) {
            continue;
        }
        const auto infoFile = readSmallFile(t->info.get(), name + kInfoSuffix, kMaxInfoBytes);
        std::optional<TrashInfo> info = infoFile ? parseTrashInfo(infoFile->text) : std::nullopt;
        if (!info) {
            continue;
        }
        TrashEntry entry;
        entry.name = name;
        entry.originalPath = std::move(info->originalPath);
        entry.deletionTime = info->deletionTime;
        entry.folder = S_ISDIR(st.st_mode);
        if (entry.folder) {
            // A line is current only while the info file it was computed for is unchanged.
            const auto known = sizes.find(name);
            entry.size = known != sizes.end() && known->second.infoMtime == infoFile->st.st_mtime
                             ? known->second.size
                             : folderContentSize(t->files.get(), name);
        } else if (S_ISREG(st.st_mode)) {
            entry.size = static_cast<uint64_t>(st.st_size);
        }
        if (!onEntry(entry)) {
            break;
        }
    }
    return true;
}

OpResult FreedesktopTrash::empty() {
    std::string error;
    const std::optional<OpenTrash> t = openTrash(dir_, &error);
    if (!t) {
        return OpResult::failure(error);
    }
    if (!t->trash) {
        return OpResult::success();
    }
    Failures failures;
    if (t->files) {
        const auto names = folderEntryNames(t->files.get());
        if (!names) {
            return OpResult::failure("cannot list " + dir_ + "/files");
        }
        for (const std::string& name : *names) {
            const OpResult removed = removeTree(t->files.get(), name, dir_ + "/files/" + name);
            failures.add(removed);
            if (removed && t->info &&
                unlinkat(t->info.get(), (name + kInfoSuffix).c_str(), 0) != 0 && errno != ENOENT) {
                failures.add(dir_ + "/info/" + name + kInfoSuffix, errno);
            }
        }
    }
    // Info files left without their item (or never having had one) are debris; those of items
    // that could not be removed stay, so the bin still shows them.
    if (t->info) {
        const auto names = folderEntryNames(t->info.get());
        if (!names) {
            return OpResult::failure("cannot list " + dir_ + "/info");
        }
        for (const std::string& name : *names) {
            if (!hasInfoSuffix(name) ||
                (t->files && entryExists(t->files.get(),
                                         name.substr(0, name.size() - std::strlen(kInfoSuffix))))) {
                continue;
            }
            failures.add(removeTree(t->info.get(), name, dir_ + "/info/" + name));
        }
    }
    pruneDirectorySizes(*t, dir_, failures);
    return failures.result();
}

}  // namespace tidora::platform::winepfx
