#pragma once

#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/op_result.h"
#include "platform/reg_types.h"
#include "platform/winepfx/hive.h"

namespace tidora::platform::winepfx {

// The registry of a Wine prefix, as Windows shows it: system.reg is HKLM, user.reg the current
// user (HKCU and HKU\<SID>), userdef.reg HKU\.Default; HKCR merges the classes of HKCU over
// those of HKLM, HKCC is the current hardware profile, HKPD and HKDD are empty. Symbolic link
// keys are followed when a path is opened. Each hive is parsed once and parsed again only when
// its file changed on disk. Safe to use from several threads.
class WineRegistry {
public:
    // canWrite says whether changes may be written now (wineserver not running).
    WineRegistry(std::string prefixDir, std::function<OpResult()> canWrite);

    // Loads the hives; fails when system.reg or user.reg cannot be read or is not a hive.
    OpResult load();

    std::string userSid() const;
    std::string arch() const;

    bool keyExists(RegRoot root, std::string_view key) const;
    std::optional<std::vector<std::string>> subkeyNames(RegRoot root, std::string_view key) const;
    std::optional<std::vector<RegValue>> values(RegRoot root, std::string_view key) const;
    std::optional<RegValue> value(RegRoot root, std::string_view key, std::string_view name) const;
    std::optional<FileTime> keyLastWriteTime(RegRoot root, std::string_view key) const;

    OpResult canWrite() const { return canWrite_(); }
    OpResult createKey(RegRoot root, std::string_view key);
    OpResult setValue(RegRoot root, std::string_view key, const RegValue& value);
    OpResult deleteValue(RegRoot root, std::string_view key, std::string_view name);
    OpResult deleteKeyTree(RegRoot root, std::string_view key);

private:
    enum HiveIndex { kSystem = 0, kUser = 1, kUserDefault = 2, kHiveCount = 3 };

    struct HiveFile {
        std::string path;
        std::optional<Hive> hive;
        std::string error;
        // Identity of the file the hive was parsed from.
        unsigned long long inode = 0, size = 0;
        long long mtimeSec = 0, mtimeNsec = 0;
        bool present = false;
    };

    // A key found in a hive, with its path there (link targets change both).
    struct Location {
        int hive;
        Hive::NodeId node;
        std::string path;
    };
    // Where a root's keys live: a hive and the key path inside it.
    struct Base {
        int hive;
        std::string path;
    };

    std::string sidLocked() const;
    void refresh(int hive) const;
    void refreshAll() const;
    OpResult reload(int hive) const;
    // Records which file the hive in memory stands for; false when the file is gone.
    bool takeIdentity(int hive) const;
    std::vector<Base> bases(RegRoot root, std::vector<std::string>& components) const;
    // Walks components from base; returns the deepest key reached and how many components it
    // matched. Links are followed, the last component's only when followLast is set.
    struct Walk {
        std::optional<Location> reached;
        size_t matched = 0;
    };
    Walk walk(const Base& base, const std::vector<std::string>& components, bool followLast,
              int depth = 0) const;
    std::optional<Location> find(const Base& base, const std::vector<std::string>& components,
                                 bool followLast = true) const;
    std::optional<Location> followLink(const Location& link, int depth) const;
    std::vector<Location> findAll(RegRoot root, std::string_view key) const;
    std::optional<std::vector<std::string>> usersRootSubkeys(std::string_view key) const;
    OpResult change(RegRoot root, std::string_view key, bool create,
                    const std::function<OpResult(Hive&, Hive::NodeId, FileTime)>& apply);
    OpResult save(int hive);

    std::string prefixDir_;
    std::function<OpResult()> canWrite_;
    mutable std::recursive_mutex mutex_;
    mutable HiveFile files_[kHiveCount];
};

}  // namespace tidora::platform::winepfx
