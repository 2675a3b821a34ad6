#include "platform/winepfx/special_folders.h"

#include "platform/winepfx/machine_environment.h"

namespace tidora::platform::winepfx {
namespace {

struct ShellFolder {
    int csidl;
    RegRoot root;             // whose shell folder value it is
    const char* valueName;    // in "User Shell Folders" / "Shell Folders"; null: none
    const char* defaultPath;  // Windows' default, with variables
};

// Defaults of Windows Vista and later. The Internet cache and cookies moved with Windows 8; those
// two are chosen by version below.
constexpr ShellFolder kShellFolders[] = {
    {0, RegRoot::CurrentUser, "Desktop", "%USERPROFILE%\\Desktop"},
    {2, RegRoot::CurrentUser, "Programs", "%APPDATA%\\Microsoft\\Windows\\Start Menu\\Programs"},
    {5, RegRoot::CurrentUser, "Personal", "%USERPROFILE%\\Documents"},
    {6, RegRoot::CurrentUser, "Favorites", "%USERPROFILE%\\Favorites"},
    {7, RegRoot::CurrentUser, "Startup",
     "%APPDATA%\\Microsoft\\Windows\\Start Menu\\Programs\\StartUp"},
    {8, RegRoot::CurrentUser, "Recent", "%APPDATA%\\Microsoft\\Windows\\Recent"},
    {9, RegRoot::CurrentUser, "SendTo", "%APPDATA%\\Microsoft\\Windows\\SendTo"},
    {11, RegRoot::CurrentUser, "Start Menu", "%APPDATA%\\Microsoft\\Windows\\Start Menu"},
    {13, RegRoot::CurrentUser, "My Music", "%USERPROFILE%\\Music"},
    {14, RegRoot::CurrentUser, "My Videos", "%USERPROFILE%\\Videos"},
    {16, RegRoot::CurrentUser, "Desktop", "%USERPROFILE%\\Desktop"},
    {19, RegRoot::CurrentUser, "NetHood", "%APPDATA%\\Microsoft\\Windows\\Network Shortcuts"},
    {20, RegRoot::CurrentUser, "Fonts", "%SystemRoot%\\Fonts"},
    {21, RegRoot::CurrentUser, "Templates", "%APPDATA%\\Microsoft\\Windows\\Templates"},
    {22, RegRoot::LocalMachine, "Common Start Menu",
     "%ProgramData%\\Microsoft\\Windows\\Start Menu"},
    {23, RegRoot::LocalMachine, "Common Programs",
     "%ProgramData%\\Microsoft\\Windows\\Start Menu\\Programs"},
    {24, RegRoot::LocalMachine, "Common Startup",
     "%ProgramData%\\Microsoft\\Windows\\Start Menu\\Programs\\StartUp"},
    {25, RegRoot::LocalMachine, "Common Desktop", "%PUBLIC%\\Desktop"},
    {26, RegRoot::CurrentUser, "AppData", "%USERPROFILE%\\AppData\\Roaming"},
    {27, RegRoot::CurrentUser, "PrintHood", "%APPDATA%\\Microsoft\\Windows\\Printer Shortcuts"},
    {28, RegRoot::CurrentUser, "Local AppData", "%USERPROFILE%\\AppData\\Local"},
    {31, RegRoot::LocalMachine, "Common Favorites", "%USERPROFILE%\\Favorites"},
    {32, RegRoot::CurrentUser, "Cache", nullptr},
    {33, RegRoot::CurrentUser, "Cookies", nullptr},
    {34, RegRoot::CurrentUser, "History", "%LOCALAPPDATA%\\Microsoft\\Windows\\History"},
    {35, RegRoot::LocalMachine, "Common AppData", "%ProgramData%"},
    {36, RegRoot::LocalMachine, nullptr, "%SystemRoot%"},
    {37, RegRoot::LocalMachine, nullptr, "%SystemRoot%\\system32"},
    {38, RegRoot::LocalMachine, nullptr, "%ProgramFiles%"},
    {39, RegRoot::CurrentUser, "My Pictures", "%USERPROFILE%\\Pictures"},
    {40, RegRoot::CurrentUser, nullptr, "%USERPROFILE%"},
    {43, RegRoot::LocalMachine, nullptr, "%CommonProgramFiles%"},
    {45, RegRoot::LocalMachine, "Common Templates", "%ProgramData%\\Microsoft\\Windows\\Templates"},
    {46, RegRoot::LocalMachine, "Common Documents", "%PUBLIC%\\Documents"},
    {47, RegRoot::LocalMachine, "Common Administrative Tools",
     "%ProgramData%\\Microsoft\\Windows\\Start Menu\\Programs\\Administrative Tools"},
    {48, RegRoot::CurrentUser, "Administrative Tools",
     "%APPDATA%\\Microsoft\\Windows\\Start Menu\\Programs\\Administrative Tools"},
    {53, RegRoot::LocalMachine, "CommonMusic", "%PUBLIC%\\Music"},
    {54, RegRoot::LocalMachine, "CommonPictures", "%PUBLIC%\\Pictures"},
    {55, RegRoot::LocalMachine, "CommonVideo", "%PUBLIC%\\Videos"},
};

std::string defaultFor(const ShellFolder& folder, const WindowsVersion& version) {
    const bool win8OrLater = version.major > 6 || (version.major == 6 && version.minor >= 2);
    switch (folder.csidl) {
        case 32:
            return win8OrLater ? "%LOCALAPPDATA%\\Microsoft\\Windows\\INetCache"
                               : "%LOCALAPPDATA%\\Microsoft\\Windows\\Temporary Internet Files";
        case 33:
            return win8OrLater ? "%LOCALAPPDATA%\\Microsoft\\Windows\\INetCookies"
                               : "%APPDATA%\\Microsoft\\Windows\\Cookies";
        default:
            return folder.defaultPath;
    }
}

std::string withoutTrailingBackslash(std::string path) {
    while (path.size() > 3 && path.back() == '\\') {
        path.pop_back();
    }
    return path;
}

}  // namespace

std::string specialFolderPath(int csidl, const WineRegistry& registry, const EnvironmentBlock& env,
                              bool win64, const WindowsVersion& version) {
    // The 32-bit twins of the system and program folders exist apart only on 64-bit Windows.
    switch (csidl) {
        case 41:
            return env.expand(win64 ? "%SystemRoot%\\syswow64" : "%SystemRoot%\\system32");
        case 42:
            return env.expand(win64 ? "%ProgramFiles(x86)%" : "%ProgramFiles%");
        case 44:
            return env.expand(win64 ? "%CommonProgramFiles(x86)%" : "%CommonProgramFiles%");
        default:
            break;
    }
    for (const ShellFolder& folder : kShellFolders) {
        if (folder.csidl != csidl) {
            continue;
        }
        std::string path;
        if (folder.valueName) {
            path = readShellFolderValue(registry, env, folder.root, folder.valueName);
        }
        if (path.empty()) {
            path = env.expand(defaultFor(folder, version));
        }
        return withoutTrailingBackslash(std::move(path));
    }
    return {};
}

}  // namespace tidora::platform::winepfx
