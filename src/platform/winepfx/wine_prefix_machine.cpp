#include "platform/winepfx/wine_prefix_machine.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "platform/shell_link.h"
#include "platform/text_utf.h"
#include "platform/winepfx/freedesktop_trash.h"
#include "platform/winepfx/locale_code_page.h"
#include "platform/winepfx/machine_environment.h"
#include "platform/winepfx/special_folders.h"
#include "platform/winepfx/unique_fd.h"
#include "platform/winepfx/unix_name.h"
#include "platform/winepfx/unix_tree.h"
#include "platform/winepfx/windows_path.h"
#include "platform/winepfx/wineserver.h"

namespace tidora::platform::winepfx {
namespace {

bool isFolder(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool isFile(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

// The versions Wine's "Version" setting names, which override what the registry says.
struct NamedVersion {
    const char* name;
    WindowsVersion version;
};
const NamedVersion kWineVersions[] = {
    {"win11", {10, 0, 22000, "Microsoft Windows 11"}},
    {"win10", {10, 0, 19043, "Microsoft Windows 10"}},
    {"win81", {6, 3, 9600, "Microsoft Windows 8.1"}},
    {"win8", {6, 2, 9200, "Microsoft Windows 8"}},
    {"win2008r2", {6, 1, 7601, "Microsoft Windows Server 2008 R2"}},
    {"win7", {6, 1, 7601, "Microsoft Windows 7"}},
    {"win2008", {6, 0, 6002, "Microsoft Windows Server 2008"}},
    {"vista", {6, 0, 6002, "Microsoft Windows Vista"}},
    {"win2003", {5, 2, 3790, "Microsoft Windows Server 2003"}},
    {"winxp64", {5, 2, 3790, "Microsoft Windows XP"}},
    {"winxp", {5, 1, 2600, "Microsoft Windows XP"}},
    {"win2k", {5, 0, 2195, "Microsoft Windows 2000"}},
};

uint32_t parseNumber(const std::string& text) {
    uint32_t n = 0;
    for (const char c : text) {
        if (c < '0' || c > '9' || n > 100000000) {
            break;
        }
        n = n * 10 + static_cast<uint32_t>(c - '0');
    }
    return n;
}

DriveType wineDriveType(const std::string& type) {
    const std::string t = upperCase(type);
    if (t == "HD")
        return DriveType::Fixed;
    if (t == "NETWORK")
        return DriveType::Remote;
    if (t == "FLOPPY")
        return DriveType::Removable;
    if (t == "CDROM")
        return DriveType::CdRom;
    if (t == "RAMDISK")
        return DriveType::RamDisk;
    return DriveType::Unknown;
}

}  // namespace

WinePrefixMachine::WinePrefixMachine(std::string prefixDir, WinePrefixOptions options)
    : prefixDir_(std::move(prefixDir)),
      options_(std::move(options)),
      resolver_(prefixDir_),
      files_(resolver_),
      registry_(prefixDir_, [this] { return canWriteRegistry(); }) {}

std::unique_ptr<WinePrefixMachine> WinePrefixMachine::open(const std::string& prefixDir,
                                                           std::string* error,
                                                           WinePrefixOptions options) {
    const auto fail = [&](std::string message) -> std::unique_ptr<WinePrefixMachine> {
        if (error) {
            *error = std::move(message);
        }
        return nullptr;
    };
    if (prefixDir.empty()) {
        return fail("no Wine prefix folder given");
    }
    if (!isFolder(prefixDir)) {
        return fail("no such folder: " + prefixDir);
    }
    if (!isFile(prefixDir + "/system.reg") || !isFile(prefixDir + "/user.reg")) {
        return fail("not a Wine prefix (no system.reg and user.reg): " + prefixDir);
    }
    if (!isFolder(prefixDir + "/dosdevices") && !isFolder(prefixDir + "/drive_c")) {
        return fail("not a Wine prefix (no dosdevices or drive_c folder): " + prefixDir);
    }
    std::unique_ptr<WinePrefixMachine> machine(
        new WinePrefixMachine(prefixDir, std::move(options)));
    if (OpResult loaded = machine->registry_.load(); !loaded) {
        return fail("unreadable registry hive: " + loaded.error());
    }
    return machine;
}

std::shared_ptr<const EnvironmentBlock> WinePrefixMachine::environment() const {
    std::lock_guard lock(envMutex_);
    if (!environment_) {
        environment_ = std::make_shared<const EnvironmentBlock>(
            buildMachineEnvironment(registry_, [this] { return profileFolderName(); }));
    }
    return environment_;
}

OpResult WinePrefixMachine::afterRegistryChange(OpResult result) {
    std::lock_guard lock(envMutex_);
    environment_.reset();
    return result;
}

// Without a profile path in the registry, the user's folder is the one folder under
// drive_c/users that is not Public.
std::string WinePrefixMachine::profileFolderName() const {
    std::string found;
    DIR* dir = opendir((prefixDir_ + "/drive_c/users").c_str());
    if (!dir) {
        return found;
    }
    while (const dirent* entry = readdir(dir)) {
        const std::string name = entry->d_name;
        if (name != "." && name != ".." && !equalsNoCase(name, "Public") && found.empty()) {
            found = unixNameToText(name);
        }
    }
    closedir(dir);
    return found;
}

bool WinePrefixMachine::keyExists(RegRoot root, std::string_view key) const {
    return registry_.keyExists(root, key);
}

std::optional<std::vector<std::string>> WinePrefixMachine::subkeyNames(RegRoot root,
                                                                       std::string_view key) const {
    return registry_.subkeyNames(root, key);
}

std::optional<std::vector<RegValue>> WinePrefixMachine::values(RegRoot root,
                                                               std::string_view key) const {
    return registry_.values(root, key);
}

std::optional<RegValue> WinePrefixMachine::value(RegRoot root, std::string_view key,
                                                 std::string_view name) const {
    return registry_.value(root, key, name);
}

std::optional<FileTime> WinePrefixMachine::keyLastWriteTime(RegRoot root,
                                                            std::string_view key) const {
    return registry_.keyLastWriteTime(root, key);
}

OpResult WinePrefixMachine::canWriteRegistry() const {
    const WineserverState server = findWineserver(prefixDir_, options_.wineserverTmpRoots);
    if (!server.running) {
        return OpResult::success();
    }
    return OpResult::failure(
        "the wineserver of prefix " + prefixDir_ + " is running" +
        (server.pid ? " (pid " + std::to_string(*server.pid) + ")" : std::string()) +
        " and would overwrite registry changes; close the prefix's Windows programs or run "
        "'wineserver -k' with WINEPREFIX set, then try again");
}

OpResult WinePrefixMachine::createKey(RegRoot root, std::string_view key) {
    return afterRegistryChange(registry_.createKey(root, key));
}

OpResult WinePrefixMachine::setValue(RegRoot root, std::string_view key, const RegValue& value) {
    return afterRegistryChange(registry_.setValue(root, key, value));
}

OpResult WinePrefixMachine::deleteValue(RegRoot root, std::string_view key, std::string_view name) {
    return afterRegistryChange(registry_.deleteValue(root, key, name));
}

OpResult WinePrefixMachine::deleteKeyTree(RegRoot root, std::string_view key) {
    return afterRegistryChange(registry_.deleteKeyTree(root, key));
}

bool WinePrefixMachine::listFolder(std::string_view folder, std::string_view mask,
                                   const std::function<bool(const DirEntry&)>& onEntry) const {
    return files_.listFolder(folder, mask, onEntry);
}

std::optional<DirEntry> WinePrefixMachine::stat(std::string_view path) const {
    return files_.stat(path);
}

bool WinePrefixMachine::exists(std::string_view path) const {
    return files_.exists(path);
}

OpResult WinePrefixMachine::deleteFile(std::string_view path, std::string_view withinFolder) {
    return files_.deleteFile(path, withinFolder);
}

namespace {

class WineFileDeleter final : public Machine::FileDeleter {
public:
    explicit WineFileDeleter(const WineFiles& files) : files_(files) {}
    OpResult deleteFile(std::string_view path, std::string_view withinFolder) override {
        return files_.deleteFile(path, withinFolder, opened_);
    }

private:
    const WineFiles& files_;
    WineFiles::OpenedFolder opened_;
};

}  // namespace

std::unique_ptr<Machine::FileDeleter> WinePrefixMachine::fileDeleter() {
    return std::make_unique<WineFileDeleter>(files_);
}

std::vector<char> WinePrefixMachine::logicalDrives() const {
    std::vector<char> letters = resolver_.drives();
    for (char& c : letters) {
        c = static_cast<char>(c - 'a' + 'A');
    }
    return letters;
}

DriveType WinePrefixMachine::driveType(std::string_view path) const {
    const auto parsed = parseWindowsPath(path, nullptr);
    if (!parsed) {
        return DriveType::NoRootDir;
    }
    const auto root = resolver_.driveRoot(parsed->drive);
    if (!root) {
        return DriveType::NoRootDir;
    }
    const std::string letter = std::string(1, parsed->drive) + ":";
    if (const auto type = registry_.value(RegRoot::LocalMachine, "Software\\Wine\\Drives", letter);
        type && type->isString()) {
        if (const DriveType t = wineDriveType(type->text()); t != DriveType::Unknown) {
            return t;
        }
    }
    return isFolder(*root) ? DriveType::Fixed : DriveType::NoRootDir;
}

std::optional<std::string> WinePrefixMachine::localPath(std::string_view path) const {
    const auto parsed = parseWindowsPath(path, nullptr);
    if (!parsed) {
        return std::nullopt;
    }
    return resolver_.resolve(*parsed).unixPath;
}

OpResult WinePrefixMachine::createFolder(std::string_view path) {
    std::string error;
    const auto parsed = parseWindowsPath(path, &error);
    if (!parsed) {
        return OpResult::failure("cannot create folder " + std::string(path) + ": " + error);
    }
    const PathResolver::Resolved resolved = resolver_.resolve(*parsed);
    if (resolved.exists) {
        return isFolder(resolved.unixPath)
                   ? OpResult::success()
                   : OpResult::failure("cannot create folder " + std::string(path) +
                                       ": a file of that name exists");
    }
    if (::mkdir(resolved.unixPath.c_str(), 0755) != 0 && !isFolder(resolved.unixPath)) {
        return OpResult::failure("cannot create folder " + std::string(path) + ": " +
                                 std::strerror(errno));
    }
    return OpResult::success();
}

std::optional<DiskSpace> WinePrefixMachine::diskSpace(std::string_view path) const {
    return files_.diskSpace(path);
}

// GetTempPath: TMP, else TEMP, else USERPROFILE, else the Windows folder.
std::string WinePrefixMachine::tempPath() const {
    const auto env = environment();
    std::string path;
    for (const char* name : {"TMP", "TEMP", "USERPROFILE"}) {
        if (const auto v = env->get(name); v && !v->empty()) {
            path = *v;
            break;
        }
    }
    if (path.empty()) {
        path = windowsFolder();
    }
    if (path.back() != '\\') {
        path += '\\';
    }
    return path;
}

std::string WinePrefixMachine::windowsFolder() const {
    return environment()->get("SystemRoot").value_or("C:\\windows");
}

// Wine loads the fonts it registers itself ("coure.fon") from its data folder, not the prefix's.
std::optional<std::vector<std::string>> WinePrefixMachine::fontFolders() const {
    constexpr int kCsidlFonts = 20;
    std::vector<std::string> folders{specialFolder(kCsidlFonts)};
    for (const std::string& unixFolder : options_.wineFontFolders) {
        struct stat st {};
        if (::stat(unixFolder.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) {
            continue;
        }
        auto windowsPath = resolver_.toWindows(unixFolder);
        if (!windowsPath) {
            return std::nullopt;
        }
        folders.push_back(std::move(*windowsPath));
        return folders;
    }
    return std::nullopt;
}

std::string WinePrefixMachine::specialFolder(int csidl) const {
    return specialFolderPath(csidl, registry_, *environment(), is64Bit(), windowsVersion());
}

std::string WinePrefixMachine::expandEnvironment(std::string_view text) const {
    return environment()->expand(text);
}

std::optional<std::string> WinePrefixMachine::environmentVariable(std::string_view name) const {
    return environment()->get(name);
}

std::optional<RecycleBinSummary> WinePrefixMachine::recycleBinSummary() const {
    const auto dir = FreedesktopTrash::homeTrashDir();
    const auto summary = dir ? FreedesktopTrash(*dir).summary() : std::nullopt;
    if (!summary) {
        return std::nullopt;
    }
    return RecycleBinSummary{summary->count, summary->size};
}

bool WinePrefixMachine::listRecycleBin(
    const std::function<bool(const RecycledItem&)>& onItem) const {
    const auto dir = FreedesktopTrash::homeTrashDir();
    return dir && FreedesktopTrash(*dir).list([&](const TrashEntry& entry) {
        RecycledItem item;
        const size_t slash = entry.originalPath.find_last_of('/');
        const std::string base = entry.originalPath.substr(slash + 1);
        item.name = unixNameToText(base.empty() ? entry.name : base);
        // A place no drive of this prefix reaches has no Windows path.
        item.originalPath = resolver_.toWindows(entry.originalPath).value_or(std::string());
        item.deletionTime = entry.deletionTime;
        item.size = entry.size;
        return onItem(item);
    });
}

OpResult WinePrefixMachine::emptyRecycleBin() {
    const auto dir = FreedesktopTrash::homeTrashDir();
    if (!dir) {
        return OpResult::failure("cannot find the recycle bin: no home folder is known");
    }
    return FreedesktopTrash(*dir).empty();
}

// Read-only and without following a final link or waiting on a FIFO named *.lnk; a shortcut is
// small, so anything large is not one.
std::optional<PeVersionInfo> WinePrefixMachine::fileVersionInfo(std::string_view path) const {
    constexpr size_t kMaxImageSize = size_t{256} << 20;
    const auto unixPath = localPath(path);
    if (!unixPath) {
        return std::nullopt;
    }
    const auto file = readSmallFile(AT_FDCWD, *unixPath, kMaxImageSize);
    if (!file) {
        return std::nullopt;
    }
    return readPeVersionInfo(file->text);
}

std::string WinePrefixMachine::shortcutTarget(std::string_view linkPath) const {
    constexpr size_t kMaxLinkSize = 1 << 20;
    const auto path = localPath(linkPath);
    if (!path) {
        return {};
    }
    const auto file = readSmallFile(AT_FDCWD, *path, kMaxLinkSize);
    if (!file) {
        return {};
    }
    return shellLinkTarget(file->text, ansiCodePage());
}

WindowsVersion WinePrefixMachine::windowsVersion() const {
    for (const RegRoot root : {RegRoot::CurrentUser, RegRoot::LocalMachine}) {
        if (const auto v = registry_.value(root, "Software\\Wine", "Version"); v && v->isString()) {
            for (const NamedVersion& named : kWineVersions) {
                if (equalsNoCase(v->text(), named.name)) {
                    return named.version;
                }
            }
        }
    }
    const std::string key = "Software\\Microsoft\\Windows NT\\CurrentVersion";
    const auto text = [&](std::string_view name) {
        const auto v = registry_.value(RegRoot::LocalMachine, key, name);
        return v && v->isString() ? v->text() : std::string();
    };
    WindowsVersion version;
    const auto major = registry_.value(RegRoot::LocalMachine, key, "CurrentMajorVersionNumber");
    const auto minor = registry_.value(RegRoot::LocalMachine, key, "CurrentMinorVersionNumber");
    if (major && major->dword() && minor && minor->dword()) {
        version.major = *major->dword();
        version.minor = *minor->dword();
    } else {
        const std::string current = text("CurrentVersion");  // "6.1"
        version.major = parseNumber(current);
        if (const size_t dot = current.find('.'); dot != std::string::npos) {
            version.minor = parseNumber(current.substr(dot + 1));
        }
    }
    version.build = parseNumber(text("CurrentBuildNumber"));
    version.productName = text("ProductName");
    return version;
}

bool WinePrefixMachine::is64Bit() const {
    return registry_.arch() == "win64";
}

std::string WinePrefixMachine::userName() const {
    return environment()->get("USERNAME").value_or(std::string());
}

// Wine runs every program with an administrator's elevated token.
// The registry's ACP when the prefix stores one; otherwise Wine derives it from the host's
// locale, as below.
int WinePrefixMachine::ansiCodePage() const {
    const auto acp = registry_.value(RegRoot::LocalMachine,
                                     "System\\CurrentControlSet\\Control\\Nls\\CodePage", "ACP");
    if (acp && acp->isString()) {
        if (const uint32_t number = parseNumber(acp->text()); number > 0) {
            return static_cast<int>(number);
        }
    }
    return ansiCodePageOfLocale(hostLocaleName());
}

UserCategory WinePrefixMachine::userCategory() const {
    return UserCategory::ElevatedAdmin;
}

std::string WinePrefixMachine::description() const {
    return "Wine prefix " + prefixDir_;
}

}  // namespace tidora::platform::winepfx
