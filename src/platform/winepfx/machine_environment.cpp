#include "platform/winepfx/machine_environment.h"

#include <initializer_list>

#include "platform/text_utf.h"

namespace tidora::platform::winepfx {
namespace {

constexpr std::string_view kSessionEnvironment =
    "System\\CurrentControlSet\\Control\\Session Manager\\Environment";
constexpr std::string_view kCurrentVersion = "Software\\Microsoft\\Windows\\CurrentVersion";
constexpr std::string_view kProfileList =
    "Software\\Microsoft\\Windows NT\\CurrentVersion\\ProfileList";
constexpr std::string_view kShellFolders =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
constexpr std::string_view kUserShellFolders =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";

std::string readText(const WineRegistry& registry, const EnvironmentBlock& env, RegRoot root,
                     std::string_view key, std::string_view name) {
    const auto v = registry.value(root, key, name);
    if (!v || !v->isString()) {
        return {};
    }
    return v->type == RegType::ExpandSz ? env.expand(v->text()) : v->text();
}

void setIfAbsent(EnvironmentBlock& env, std::string_view name, std::string value) {
    if (!env.get(name) && !value.empty()) {
        env.set(name, std::move(value));
    }
}

// Plain strings first, then expandable ones in order, as Windows loads an environment key.
void loadVariables(EnvironmentBlock& env, const WineRegistry& registry, RegRoot root,
                   std::string_view key, bool appendPath) {
    const auto values = registry.values(root, key);
    if (!values) {
        return;
    }
    for (const uint32_t pass : {RegType::Sz, RegType::ExpandSz}) {
        for (const RegValue& v : *values) {
            if (v.type != pass || v.name.empty()) {
                continue;
            }
            std::string text = pass == RegType::ExpandSz ? env.expand(v.text()) : v.text();
            const auto current = env.get(v.name);
            if (appendPath && current && upperCase(v.name) == "PATH") {
                text = *current + ";" + text;
            }
            env.set(v.name, std::move(text));
        }
    }
}

std::string lastComponent(const std::string& path) {
    const size_t slash = path.find_last_of('\\');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace

std::string readShellFolderValue(const WineRegistry& registry, const EnvironmentBlock& env,
                                 RegRoot root, std::string_view valueName) {
    if (auto path = readText(registry, env, root, kUserShellFolders, valueName); !path.empty()) {
        return env.expand(path);
    }
    return readText(registry, env, root, kShellFolders, valueName);
}

EnvironmentBlock buildMachineEnvironment(const WineRegistry& registry,
                                         const std::function<std::string()>& profileFolderName) {
    EnvironmentBlock env;
    const RegRoot hklm = RegRoot::LocalMachine;

    std::string systemRoot = readText(
        registry, env, hklm, "Software\\Microsoft\\Windows NT\\CurrentVersion", "SystemRoot");
    if (systemRoot.empty()) {
        systemRoot = "C:\\windows";
    }
    const std::string systemDrive = systemRoot.substr(0, 2);
    env.set("SystemDrive", systemDrive);
    env.set("SystemRoot", systemRoot);
    env.set("windir", systemRoot);

    const bool win64 = registry.arch() == "win64";
    const auto folder = [&](std::string_view name, std::string fallback) {
        std::string path = readText(registry, env, hklm, kCurrentVersion, name);
        return path.empty() ? fallback : path;
    };
    env.set("ProgramFiles", folder("ProgramFilesDir", systemDrive + "\\Program Files"));
    env.set("CommonProgramFiles",
            folder("CommonFilesDir", env.get("ProgramFiles").value() + "\\Common Files"));
    if (win64) {
        env.set("ProgramFiles(x86)",
                folder("ProgramFilesDir (x86)", systemDrive + "\\Program Files (x86)"));
        env.set("CommonProgramFiles(x86)",
                folder("CommonFilesDir (x86)",
                       env.get("ProgramFiles(x86)").value() + "\\Common Files"));
        env.set("ProgramW6432", env.get("ProgramFiles").value());
        env.set("CommonProgramW6432", env.get("CommonProgramFiles").value());
    }

    std::string programData = readText(registry, env, hklm, kProfileList, "ProgramData");
    env.set("ProgramData", programData.empty() ? systemDrive + "\\ProgramData" : programData);
    env.set("ALLUSERSPROFILE", env.get("ProgramData").value());
    std::string publicDir = readText(registry, env, hklm, kProfileList, "Public");
    env.set("PUBLIC", publicDir.empty() ? systemDrive + "\\users\\Public" : publicDir);
    const std::string computerName =
        readText(registry, env, hklm,
                 "System\\CurrentControlSet\\Control\\ComputerName\\ComputerName", "ComputerName");
    setIfAbsent(env, "COMPUTERNAME", computerName);

    loadVariables(env, registry, hklm, kSessionEnvironment, false);

    std::string profile;
    if (const std::string sid = registry.userSid(); !sid.empty()) {
        profile = readText(registry, env, hklm, std::string(kProfileList) + "\\" + sid,
                           "ProfileImagePath");
    }
    if (profile.empty()) {
        std::string profiles = readText(registry, env, hklm, kProfileList, "ProfilesDirectory");
        if (profiles.empty()) {
            profiles = systemDrive + "\\users";
        }
        if (const std::string name = profileFolderName(); !name.empty()) {
            profile = profiles + "\\" + name;
        }
    }
    if (!profile.empty()) {
        env.set("USERPROFILE", profile);
        env.set("USERNAME", lastComponent(profile));
        env.set("HOMEDRIVE", profile.substr(0, 2));
        env.set("HOMEPATH", profile.substr(2));
    }
    const RegRoot hkcu = RegRoot::CurrentUser;
    const auto userFolder = [&](std::string_view valueName, std::string_view fallback) {
        std::string path = readShellFolderValue(registry, env, hkcu, valueName);
        return path.empty() ? env.expand(fallback) : path;
    };
    env.set("APPDATA", userFolder("AppData", "%USERPROFILE%\\AppData\\Roaming"));
    env.set("LOCALAPPDATA", userFolder("Local AppData", "%USERPROFILE%\\AppData\\Local"));

    loadVariables(env, registry, hkcu, "Environment", true);
    // What the logon session set (Wine writes the profile variables here).
    loadVariables(env, registry, hkcu, "Volatile Environment", true);
    return env;
}

}  // namespace tidora::platform::winepfx
