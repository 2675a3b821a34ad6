#include "frame/service_info.h"

#include <cstdint>
#include <stdexcept>
#include <vector>

#include "frame/settings_value_text.h"
#include "platform/windows_version_code.h"

namespace tidora::frame {
namespace {

std::vector<std::string> splitAtDots(const std::string& text) {
    std::vector<std::string> items;
    size_t start = 0;
    for (;;) {
        const size_t dot = text.find('.', start);
        items.push_back(
            text.substr(start, dot == std::string::npos ? std::string::npos : dot - start));
        if (dot == std::string::npos) {
            return items;
        }
        start = dot + 1;
    }
}

}  // namespace

FileVersion programVersion() {
    return {TIDORA_VERSION_MAJOR, TIDORA_VERSION_MINOR, TIDORA_VERSION_PATCH, TIDORA_VERSION_TWEAK};
}

FileVersion wa_GetFileVersion(const FileVersionReader& reader, const std::string& file) {
    if (reader) {
        if (const auto version = reader(file)) {
            return *version;
        }
    }
    throw std::runtime_error("wa_GetFileVersion - Can't get file version information for " + file);
}

std::string GetFileVersionString(const FileVersion& version, int n, const std::string& separator) {
    std::string text = std::to_string(version.major);
    const int rest[] = {version.minor, version.release, version.build};
    for (int i = 0; i < 3 && n > i + 1; ++i) {
        text += separator + std::to_string(rest[i]);
    }
    return text;
}

bool IsNewerVersion(const std::string& own, const std::string& other) {
    const auto mine = splitAtDots(own);
    const auto theirs = splitAtDots(other);
    for (size_t i = 0; i < mine.size() && i < theirs.size(); ++i) {
        // A malformed item reads as the value of its leading digits.
        const std::int64_t a = leadingDecimal(QString::fromStdString(mine[i]));
        const std::int64_t b = leadingDecimal(QString::fromStdString(theirs[i]));
        if (a >= 0 && b >= 0) {
            if (b < a) {
                return false;
            }
            if (a < b) {
                return true;
            }
        }
    }
    return false;
}

int GetWindowsVersionCode(const platform::Machine& machine) {
    return platform::windowsVersionCode(machine.windowsVersion());
}

std::string GetPlatformName(int kind) {
#if defined(_WIN32)
    const char* names[] = {"WIN", "WINDOWS"};
#elif defined(__APPLE__)
    const char* names[] = {"MACOS", "MACOS"};
#elif defined(__ANDROID__)
    const char* names[] = {"ANDR", "ANDROID"};
#elif defined(__linux__)
    const char* names[] = {"LINUX", "LINUX"};
#else
    const char* names[] = {"UNK", "UNKNOWN"};
#endif
    return kind == 0 || kind == 1 ? names[kind] : std::string();
}

UserCategoryInfo GetUserCategory(const platform::Machine& machine) {
    UserCategoryInfo info;
    info.category = static_cast<int>(machine.userCategory());
    switch (info.category) {
        case 0:
            info.abbreviation = "user";
            break;
        case 1:
            info.abbreviation = "puser";
            break;
        case 2:
            info.abbreviation = "admin";
            break;
        default:
            info.category = -1;
            info.abbreviation = "errUser";
            break;
    }
    info.userName = machine.userName();
    if (info.userName.empty()) {
        info.userName = "err_getUser";
    }
    info.description = "USER:" + info.userName + " cat:" + info.abbreviation;
    return info;
}

TFMServiceClass::TFMServiceClass(const platform::Machine& machine, std::string fullName,
                                 std::string appFileName)
    : _FullName(std::move(fullName)), FappName(std::move(appFileName)) {
    const FileVersion version = programVersion();
    FappVersionStr = GetFileVersionString(version, 3, ".");
    FMj1 = version.major;
    FMj2 = version.minor;
    FMi1 = version.release;
    FMi2 = version.build;
    Fis64 = machine.is64Bit();
    FstrX = Fis64 ? "x64" : "x32";
    F_OS = machine.windowsVersion().productName;
    FPlatformStr = GetPlatformName(1);
    FPlatformAbb = GetPlatformName(0);
    for (const char c : FappVersionStr) {
        if (c != '.') {
            FappVersionAbb += c;
        }
    }
    const UserCategoryInfo user = GetUserCategory(machine);
    FUserCatType = user.category;
    FUserCatAbb = user.abbreviation;
    FUserName = user.userName;
    FUserCatName = user.description;
}

std::string TFMServiceClass::DevInfoDesc() const {
    return FDeviceModel + "," + FPlatformAbb + (Fis64 ? "64" : "") + "," + F_OS;
}

std::string TFMServiceClass::GetAppVersionString(int aPrecisionNum) const {
    if (aPrecisionNum <= 0) {
        return FappVersionStr;
    }
    return GetFileVersionString({FMj1, FMj2, FMi1, FMi2}, aPrecisionNum, ".");
}

void TFMServiceClass::GetVersionNumbers(int& aMajor, int& aMinor) const {
    aMajor = FMj1;
    aMinor = FMi1;
}

bool TFMServiceClass::VerifyAppVersion(const std::string& aVerStr) const {
    return !aVerStr.empty() && IsNewerVersion(FappVersionStr, aVerStr);
}

}  // namespace tidora::frame
