#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "platform/winepfx/hive.h"
#include "platform/winepfx/unique_fd.h"

namespace tidora::platform::winepfx {
namespace {

constexpr const char* kBackupSuffix = ".tidora-backup";

std::string describe(const std::string& what, const std::string& path) {
    return "cannot " + what + " " + path + ": " + std::strerror(errno);
}

// Reads a whole regular file; nullopt with `error` set when it cannot.
std::optional<std::string> readFile(const std::string& path, std::string& error) {
    UniqueFd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    struct stat st {};
    if (fd.get() < 0 || ::fstat(fd.get(), &st) != 0) {
        error = describe("read", path);
        return std::nullopt;
    }
    if (!S_ISREG(st.st_mode)) {
        error = "cannot read " + path + ": not a regular file";
        return std::nullopt;
    }
    // One byte more than the size, so that reading up to the end needs no second buffer.
    std::string text(static_cast<size_t>(st.st_size) + 1, '\0');
    size_t done = 0;
    while (true) {
        if (done == text.size()) {
            text.resize(text.size() + 65536);  // the file grew since fstat
        }
        const ssize_t n = ::read(fd.get(), text.data() + done, text.size() - done);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0) {
            error = describe("read", path);
            return std::nullopt;
        }
        if (n == 0) {
            break;
        }
        done += static_cast<size_t>(n);
    }
    text.resize(done);
    return text;
}

// Writes `text` to a new temporary file next to `target`, synced to disk; returns its path.
std::optional<std::string> writeTemporary(const std::string& target, std::string_view text,
                                          mode_t mode, std::string& error) {
    std::string path = target + ".tidora-XXXXXX";
    UniqueFd fd(::mkostemp(path.data(), O_CLOEXEC));
    if (fd.get() < 0) {
        error = describe("create a temporary file for", target);
        return std::nullopt;
    }
    bool ok = ::fchmod(fd.get(), mode) == 0;
    for (size_t done = 0; ok && done < text.size();) {
        const ssize_t n = ::write(fd.get(), text.data() + done, text.size() - done);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        ok = n > 0;
        done += ok ? static_cast<size_t>(n) : 0;
    }
    ok = ok && ::fsync(fd.get()) == 0;
    ok = ::close(fd.release()) == 0 && ok;
    if (!ok) {
        error = describe("write", path);
        ::unlink(path.c_str());
        return std::nullopt;
    }
    return path;
}

// Replaces `target` by `text` in one step: readers see either the old or the new file.
bool replaceFile(const std::string& target, std::string_view text, mode_t mode,
                 std::string& error) {
    const auto temporary = writeTemporary(target, text, mode, error);
    if (!temporary) {
        return false;
    }
    if (::rename(temporary->c_str(), target.c_str()) != 0) {
        error = describe("replace", target);
        ::unlink(temporary->c_str());
        return false;
    }
    return true;
}

void syncFolderOf(const std::string& path) {
    const size_t slash = path.rfind('/');
    const std::string folder = slash == std::string::npos ? "." : path.substr(0, slash + 1);
    UniqueFd fd(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (fd.get() >= 0) {
        // The rename has happened either way; this only makes it survive a power cut.
        ::fsync(fd.get());
    }
}

}  // namespace

std::optional<Hive> Hive::load(const std::string& unixPath, std::string* error) {
    std::string message;
    auto text = readFile(unixPath, message);
    if (!text) {
        if (error != nullptr) {
            *error = message;
        }
        return std::nullopt;
    }
    auto hive = parse(std::move(*text), &message);
    if (!hive && error != nullptr) {
        *error = unixPath + ": " + message;
    }
    return hive;
}

OpResult Hive::save(const std::string& unixPath) {
    std::string error;
    mode_t mode = 0644;
    struct stat st {};
    const bool existed = ::stat(unixPath.c_str(), &st) == 0;
    if (existed) {
        mode = st.st_mode & 07777;
    }
    const auto temporary = writeTemporary(unixPath, serialize(), mode, error);
    if (!temporary) {
        return OpResult::failure(error);
    }
    if (existed && backedUpPath_ != unixPath) {
        const auto previous = readFile(unixPath, error);
        if (!previous || !replaceFile(unixPath + kBackupSuffix, *previous, mode, error)) {
            ::unlink(temporary->c_str());
            return OpResult::failure(error);
        }
    }
    if (::rename(temporary->c_str(), unixPath.c_str()) != 0) {
        error = describe("replace", unixPath);
        ::unlink(temporary->c_str());
        return OpResult::failure(error);
    }
    syncFolderOf(unixPath);
    backedUpPath_ = unixPath;
    return OpResult::success();
}

}  // namespace tidora::platform::winepfx
