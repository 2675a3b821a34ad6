#pragma once

#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "platform/machine.h"
#include "platform/winepfx/environment_block.h"
#include "platform/winepfx/path_resolver.h"
#include "platform/winepfx/wine_files.h"
#include "platform/winepfx/wine_registry.h"

namespace tidora::platform::winepfx {

struct WinePrefixOptions {
    // Where wineserver keeps its per-user folders.
    std::vector<std::string> wineserverTmpRoots{"/tmp"};
    // Where Wine installations keep the fonts Wine registers itself; the first that exists is
    // used.
    std::vector<std::string> wineFontFolders{
        "/usr/share/wine/fonts",
        "/usr/local/share/wine/fonts",
        "/opt/wine-stable/share/wine/fonts",
        "/opt/wine-devel/share/wine/fonts",
        "/opt/wine-staging/share/wine/fonts",
    };
};

// The Windows machine of a Wine prefix (a folder with system.reg, user.reg, dosdevices/ and
// drive_c/). Only this class knows that C:\ is a folder on a Linux disk.
class WinePrefixMachine final : public Machine {
public:
    // Checks that prefixDir is a prefix and loads its registry; nullptr and *error otherwise.
    static std::unique_ptr<WinePrefixMachine> open(const std::string& prefixDir, std::string* error,
                                                   WinePrefixOptions options = {});

    const std::string& prefixDir() const { return prefixDir_; }
    bool keyExists(RegRoot root, std::string_view key) const override;
    std::optional<std::vector<std::string>> subkeyNames(RegRoot root,
                                                        std::string_view key) const override;
    std::optional<std::vector<RegValue>> values(RegRoot root, std::string_view key) const override;
    std::optional<RegValue> value(RegRoot root, std::string_view key,
                                  std::string_view name) const override;
    std::optional<FileTime> keyLastWriteTime(RegRoot root, std::string_view key) const override;
    OpResult canWriteRegistry() const override;
    OpResult createKey(RegRoot root, std::string_view key) override;
    OpResult setValue(RegRoot root, std::string_view key, const RegValue& value) override;
    OpResult deleteValue(RegRoot root, std::string_view key, std::string_view name) override;
    OpResult deleteKeyTree(RegRoot root, std::string_view key) override;

    bool listFolder(std::string_view folder, std::string_view mask,
                    const std::function<bool(const DirEntry&)>& onEntry) const override;
    std::optional<DirEntry> stat(std::string_view path) const override;
    bool exists(std::string_view path) const override;
    OpResult deleteFile(std::string_view path, std::string_view withinFolder = {}) override;
    std::unique_ptr<FileDeleter> fileDeleter() override;
    std::vector<char> logicalDrives() const override;
    DriveType driveType(std::string_view path) const override;
    std::optional<std::string> localPath(std::string_view path) const override;
    std::optional<PeVersionInfo> fileVersionInfo(std::string_view path) const override;
    OpResult createFolder(std::string_view path) override;
    std::optional<DiskSpace> diskSpace(std::string_view path) const override;
    std::string tempPath() const override;
    std::string windowsFolder() const override;

    std::string specialFolder(int csidl) const override;
    std::optional<std::vector<std::string>> fontFolders() const override;
    std::string expandEnvironment(std::string_view text) const override;
    std::optional<std::string> environmentVariable(std::string_view name) const override;
    std::string shortcutTarget(std::string_view linkPath) const override;
    // The host user's freedesktop.org trash, which Wine's shell uses as every drive's bin.
    std::optional<RecycleBinSummary> recycleBinSummary() const override;
    bool listRecycleBin(const std::function<bool(const RecycledItem&)>& onItem) const override;
    OpResult emptyRecycleBin() override;

    WindowsVersion windowsVersion() const override;
    bool is64Bit() const override;
    std::string userName() const override;
    int ansiCodePage() const override;
    UserCategory userCategory() const override;
    std::string description() const override;

private:
    WinePrefixMachine(std::string prefixDir, WinePrefixOptions options);

    // The environment is derived from the registry; it is built on first use and again after
    // this machine changed the registry.
    std::shared_ptr<const EnvironmentBlock> environment() const;
    OpResult afterRegistryChange(OpResult result);
    std::string profileFolderName() const;

    std::string prefixDir_;
    WinePrefixOptions options_;
    PathResolver resolver_;
    WineFiles files_;
    WineRegistry registry_;
    mutable std::mutex envMutex_;
    mutable std::shared_ptr<const EnvironmentBlock> environment_;
};

}  // namespace tidora::platform::winepfx
