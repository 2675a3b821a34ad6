#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/file_types.h"
#include "platform/op_result.h"
#include "platform/pe_version.h"
#include "platform/reg_types.h"

namespace tidora::platform {

// One item of the recycle bin.
struct RecycledItem {
    std::string name;          // the item's own name (as the shell's display name)
    std::string originalPath;  // the Windows path it was deleted from, itself included
    FileTime deletionTime = 0;
    uint64_t size = 0;  // bytes; a folder's whole content
};

struct RecycleBinSummary {
    uint64_t count = 0;
    uint64_t size = 0;
};

struct WindowsVersion {
    uint32_t major = 0;
    uint32_t minor = 0;
    uint32_t build = 0;
    std::string productName;
};

enum class UserCategory : int {
    Undetermined = -1,
    User = 0,
    AdminGroupMember = 1,
    ElevatedAdmin = 2,
};

// The Windows computer Tidora inspects and cleans. Paths are Windows paths and registry paths are
// a root plus a key path with "\" between components; all text is UTF-8. Key and value names
// match case-insensitively, as on Windows.
class Machine {
public:
    virtual ~Machine() = default;

    // ---- Registry ----
    virtual bool keyExists(RegRoot root, std::string_view key) const = 0;
    // Subkey names in stored order; nullopt when the key does not exist.
    virtual std::optional<std::vector<std::string>> subkeyNames(RegRoot root,
                                                                std::string_view key) const = 0;
    // Values in stored order; nullopt when the key does not exist.
    virtual std::optional<std::vector<RegValue>> values(RegRoot root,
                                                        std::string_view key) const = 0;
    virtual std::optional<RegValue> value(RegRoot root, std::string_view key,
                                          std::string_view name) const = 0;
    virtual std::optional<FileTime> keyLastWriteTime(RegRoot root, std::string_view key) const = 0;
    // Whether registry changes are possible now; the failure says why not.
    virtual OpResult canWriteRegistry() const = 0;
    // Creates the key and any missing parents; succeeds when it exists already.
    virtual OpResult createKey(RegRoot root, std::string_view key) = 0;
    virtual OpResult setValue(RegRoot root, std::string_view key, const RegValue& value) = 0;
    virtual OpResult deleteValue(RegRoot root, std::string_view key, std::string_view name) = 0;
    // Deletes the key with all its subkeys.
    virtual OpResult deleteKeyTree(RegRoot root, std::string_view key) = 0;

    // ---- Files ----
    // Lists a folder's entries that match a Windows mask ("*.*", "*.log", "thumbcache_*.db"),
    // in the order the file system gives them. onEntry returns false to stop. Returns false
    // when the folder cannot be listed.
    virtual bool listFolder(std::string_view folder, std::string_view mask,
                            const std::function<bool(const DirEntry&)>& onEntry) const = 0;
    // The entry a path names, without following a final symbolic link.
    virtual std::optional<DirEntry> stat(std::string_view path) const = 0;
    virtual bool exists(std::string_view path) const = 0;
    // Deletes one file. The path must lie inside withinFolder (when given, otherwise inside its
    // drive); no symbolic link below that folder is followed, so nothing outside it is touched.
    virtual OpResult deleteFile(std::string_view path, std::string_view withinFolder = {}) = 0;
    // Deletes files one after another as deleteFile does, keeping the folder of the last file
    // open for the next one in the same folder: a cleaning of many files opens each folder once.
    class FileDeleter {
    public:
        virtual ~FileDeleter() = default;
        virtual OpResult deleteFile(std::string_view path, std::string_view withinFolder) = 0;
    };
    virtual std::unique_ptr<FileDeleter> fileDeleter() = 0;
    // The drive letters present, upper case, in order (GetLogicalDrives).
    virtual std::vector<char> logicalDrives() const = 0;
    virtual DriveType driveType(std::string_view path) const = 0;
    virtual std::optional<DiskSpace> diskSpace(std::string_view path) const = 0;
    // The path under which this process's own file functions (Qt, SQLite) reach a Windows path:
    // the path itself on Windows, the Unix path inside a Wine prefix. nullopt for a path that is
    // not a local absolute path.
    virtual std::optional<std::string> localPath(std::string_view path) const = 0;
    // The version resource of an executable or library; nullopt when the file cannot be read,
    // is not one or has none.
    virtual std::optional<PeVersionInfo> fileVersionInfo(std::string_view path) const = 0;
    // Creates one folder whose parent exists; succeeds when it exists already.
    virtual OpResult createFolder(std::string_view path) = 0;
    // As GetTempPath: with a trailing backslash.
    virtual std::string tempPath() const = 0;
    // Without a trailing backslash, e.g. "C:\windows".
    virtual std::string windowsFolder() const = 0;

    // ---- Shell ----
    // The special folder of a CSIDL number, without a trailing backslash; empty when unknown.
    virtual std::string specialFolder(int csidl) const = 0;
    // The folders in which the system finds a font registered by its bare file name, the Fonts
    // folder first; nullopt when they are not all known.
    virtual std::optional<std::vector<std::string>> fontFolders() const = 0;
    // Expands %VAR% with the machine's environment; unknown variables stay as they are.
    virtual std::string expandEnvironment(std::string_view text) const = 0;
    virtual std::optional<std::string> environmentVariable(std::string_view name) const = 0;
    // The target path of a shell shortcut (.lnk); empty when the file is missing, is not a
    // shortcut, is damaged, or points at no file-system path.
    virtual std::string shortcutTarget(std::string_view linkPath) const = 0;
    // The recycle bin over all drives; nullopt when it cannot be read.
    virtual std::optional<RecycleBinSummary> recycleBinSummary() const = 0;
    // Reports every item; onItem returns false to stop. False when the bin cannot be read.
    virtual bool listRecycleBin(const std::function<bool(const RecycledItem&)>& onItem) const = 0;
    // Deletes every item of the recycle bin for good.
    virtual OpResult emptyRecycleBin() = 0;

    // ---- System facts ----
    virtual WindowsVersion windowsVersion() const = 0;
    virtual bool is64Bit() const = 0;
    virtual std::string userName() const = 0;
    // The ANSI code page programs of this machine use for 8-bit text (GetACP): 1251, 1252...
    virtual int ansiCodePage() const = 0;
    virtual UserCategory userCategory() const = 0;
    // A short description of where the machine is (a prefix folder, a host name).
    virtual std::string description() const = 0;
};

}  // namespace tidora::platform
