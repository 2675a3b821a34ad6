#pragma once

#include <cstdint>
#include <string>

#include "platform/reg_types.h"

namespace tidora::platform {

// Windows file attribute bits.
namespace FileAttr {
inline constexpr uint32_t ReadOnly = 0x1;
inline constexpr uint32_t Hidden = 0x2;
inline constexpr uint32_t System = 0x4;
inline constexpr uint32_t Directory = 0x10;
inline constexpr uint32_t Archive = 0x20;
inline constexpr uint32_t Normal = 0x80;
inline constexpr uint32_t ReparsePoint = 0x400;
}  // namespace FileAttr

// One entry of a folder listing. Listings never contain "." and "..".
struct DirEntry {
    std::string name;  // UTF-8; see the backend for names that are not valid UTF-8
    uint32_t attributes = 0;
    uint64_t size = 0;
    FileTime creationTime = 0;
    FileTime lastAccessTime = 0;
    FileTime lastWriteTime = 0;

    bool isDirectory() const { return attributes & FileAttr::Directory; }
    bool isReparsePoint() const { return attributes & FileAttr::ReparsePoint; }
};

// GetDriveType's numbers.
enum class DriveType : int {
    Unknown = 0,
    NoRootDir = 1,
    Removable = 2,
    Fixed = 3,
    Remote = 4,
    CdRom = 5,
    RamDisk = 6,
};

struct DiskSpace {
    uint64_t totalBytes = 0;
    uint64_t freeBytes = 0;  // available to the user
};

}  // namespace tidora::platform
