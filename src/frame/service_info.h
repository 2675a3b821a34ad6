#pragma once

#include <functional>
#include <optional>
#include <string>

#include "platform/machine.h"

namespace tidora::frame {

// Four version numbers: major, minor, release, build.
struct FileVersion {
    int major = 0;
    int minor = 0;
    int release = 0;
    int build = 0;
};

// The program's own version, from the build.
FileVersion programVersion();

// Reads the fixed version of a Windows file (its version resource); nullopt when it has none.
using FileVersionReader = std::function<std::optional<FileVersion>(const std::string& file)>;

// The file's version; throws std::runtime_error("wa_GetFileVersion - Can't get file version
// information for " + file) when it has none.
FileVersion wa_GetFileVersion(const FileVersionReader& reader, const std::string& file);
// Major, then (n > 1) separator and minor, (n > 2) release, (n > 3) build.
std::string GetFileVersionString(const FileVersion& version, int n, const std::string& separator);
// Whether `other` is a newer version than `own`, comparing the dotted numbers position by position.
bool IsNewerVersion(const std::string& own, const std::string& other);
int GetWindowsVersionCode(const platform::Machine& machine);
// kind 0: short name ("LINUX"), 1: long name; any other kind: empty.
std::string GetPlatformName(int kind);

struct UserCategoryInfo {
    int category = -1;         // 0 user, 1 administrators group member, 2 elevated, -1 undetermined
    std::string abbreviation;  // "user", "puser", "admin", "errUser"
    std::string userName;      // "err_getUser" when unknown
    std::string description;   // "USER:" + name + " cat:" + abbreviation
};
UserCategoryInfo GetUserCategory(const platform::Machine& machine);

// Facts about the program and the machine, collected once at start-up.
class TFMServiceClass {
public:
    // appFileName: the program file's name with extension, without folder.
    TFMServiceClass(const platform::Machine& machine, std::string fullName,
                    std::string appFileName);

    bool Is64() const { return Fis64; }
    const std::string& strX() const { return FstrX; }
    const std::string& appName() const { return FappName; }
    const std::string& fullName() const { return _FullName; }
    const std::string& appVersionStr() const { return FappVersionStr; }
    const std::string& appVersionAbb() const { return FappVersionAbb; }
    const std::string& OS() const { return F_OS; }
    const std::string& DeviceModel() const { return FDeviceModel; }
    const std::string& PlatformAbb() const { return FPlatformAbb; }
    const std::string& PlatformStr() const { return FPlatformStr; }
    int UserCatType() const { return FUserCatType; }
    const std::string& UserCategoryAbb() const { return FUserCatAbb; }
    const std::string& UserCatName() const { return FUserCatName; }
    const std::string& UserName() const { return FUserName; }

    int appVersionCode3() const { return FMj1 * 1000000 + FMj2 * 1000 + FMi1; }
    std::string DevInfoDesc() const;
    std::string GetAppVersionString(int aPrecisionNum) const;
    void GetVersionNumbers(int& aMajor, int& aMinor) const;
    bool VerifyAppVersion(const std::string& aVerStr) const;

private:
    bool Fis64 = false;
    std::string FstrX;
    std::string _FullName;
    std::string FappName;
    std::string FappVersionStr;
    std::string FappVersionAbb;
    int FMj1 = 0, FMj2 = 0, FMi1 = 0, FMi2 = 0;
    std::string F_OS;
    std::string FDeviceModel = "PC";
    std::string FPlatformStr;
    std::string FPlatformAbb;
    int FUserCatType = 1;
    std::string FUserCatAbb = "user";
    std::string FUserCatName;
    std::string FUserName;
};

}  // namespace tidora::frame
