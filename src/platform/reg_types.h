#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tidora::platform {

// Root keys, in the order of the registry root table (their index is what the engine stores).
enum class RegRoot : int {
    ClassesRoot = 0,
    CurrentUser = 1,
    LocalMachine = 2,
    Users = 3,
    PerformanceData = 4,
    CurrentConfig = 5,
    DynData = 6,
};

// Windows value type numbers; any other number is kept as it is.
namespace RegType {
inline constexpr uint32_t None = 0;
inline constexpr uint32_t Sz = 1;
inline constexpr uint32_t ExpandSz = 2;
inline constexpr uint32_t Binary = 3;
inline constexpr uint32_t Dword = 4;
inline constexpr uint32_t DwordBigEndian = 5;
inline constexpr uint32_t Link = 6;
inline constexpr uint32_t MultiSz = 7;
inline constexpr uint32_t Qword = 11;
}  // namespace RegType

// One registry value as Windows holds it: the data are the raw bytes (strings are UTF-16LE with
// their terminating zero), so every type survives a read and a write unchanged.
struct RegValue {
    std::string name;  // UTF-8; empty for the default value
    uint32_t type = RegType::None;
    std::vector<uint8_t> data;

    static RegValue fromString(std::string name, std::string_view utf8,
                               uint32_t type = RegType::Sz);
    static RegValue fromMultiString(std::string name, const std::vector<std::string>& items);
    static RegValue fromDword(std::string name, uint32_t v);
    static RegValue fromQword(std::string name, uint64_t v);
    static RegValue fromBinary(std::string name, std::vector<uint8_t> bytes,
                               uint32_t type = RegType::Binary);

    bool isString() const { return type == RegType::Sz || type == RegType::ExpandSz; }
    // The data read as UTF-16LE text up to the first zero (any type; odd byte counts drop the
    // last byte).
    std::string text() const;
    std::vector<std::string> multiText() const;
    // REG_DWORD (4 bytes little-endian) or REG_DWORD_BIG_ENDIAN; nullopt for other types/sizes.
    std::optional<uint32_t> dword() const;
    // REG_QWORD (8 bytes), or a REG_DWORD widened; nullopt otherwise.
    std::optional<uint64_t> qword() const;

    bool operator==(const RegValue&) const = default;
};

// Windows FILETIME: 100-nanosecond intervals since 1601-01-01 UTC.
using FileTime = uint64_t;

inline constexpr FileTime kUnixEpochAsFileTime = 116444736000000000ULL;
inline FileTime fileTimeFromUnix(int64_t seconds, int64_t nanoseconds = 0) {
    return static_cast<FileTime>(seconds * 10000000LL + nanoseconds / 100) + kUnixEpochAsFileTime;
}

}  // namespace tidora::platform
