#include "app/machine_report.h"

#include <iomanip>
#include <string>

#include "frame/user_data_folder.h"
#include "platform/windows_version_code.h"

namespace tidora::app {
namespace {

using platform::DriveType;
using platform::UserCategory;

// The special folders the cleaning catalog reads.
struct NamedFolder {
    int csidl;
    const char* name;
};
constexpr NamedFolder kCatalogFolders[] = {
    {2, "Programs"},         {8, "Recent"},         {16, "Desktop"},       {20, "Fonts"},
    {23, "CommonPrograms"},  {25, "CommonDesktop"}, {26, "AppData"},       {28, "LocalAppData"},
    {33, "Cookies"},         {34, "History"},       {35, "CommonAppData"}, {36, "Windows"},
    {37, "System"},          {38, "ProgramFiles"},  {40, "Profile"},       {41, "SystemX86"},
    {45, "CommonTemplates"},
};

const char* categoryText(UserCategory category) {
    switch (category) {
        case UserCategory::User:
            return "user";
        case UserCategory::AdminGroupMember:
            return "administrators group member, not elevated";
        case UserCategory::ElevatedAdmin:
            return "elevated administrator";
        case UserCategory::Undetermined:
            break;
    }
    return "undetermined";
}

const char* driveTypeText(DriveType type) {
    switch (type) {
        case DriveType::Removable:
            return "removable";
        case DriveType::Fixed:
            return "fixed";
        case DriveType::Remote:
            return "network";
        case DriveType::CdRom:
            return "optical";
        case DriveType::RamDisk:
            return "RAM disk";
        case DriveType::NoRootDir:
            return "missing";
        case DriveType::Unknown:
            break;
    }
    return "unknown";
}

void line(std::ostream& out, const std::string& label, const std::string& value) {
    out << "  " << std::left << std::setw(22) << (label + ":") << ' ' << value << '\n';
}

}  // namespace

void writeMachineReport(const platform::Machine& machine, std::ostream& out) {
    const platform::WindowsVersion version = machine.windowsVersion();
    out << "Machine: " << machine.description() << '\n';
    line(out, "Windows",
         version.productName + " " + std::to_string(version.major) + "." +
             std::to_string(version.minor) + "." + std::to_string(version.build));
    line(out, "Version code", std::to_string(platform::windowsVersionCode(version)));
    line(out, "64-bit", machine.is64Bit() ? "yes" : "no");
    line(out, "User", machine.userName());
    line(out, "User category", categoryText(machine.userCategory()));

    out << "Special folders:\n";
    for (const NamedFolder& folder : kCatalogFolders) {
        const std::string path = machine.specialFolder(folder.csidl);
        line(out, folder.name + std::string(" (") + std::to_string(folder.csidl) + ")",
             path.empty() ? "(none)" : path + (machine.exists(path) ? "" : "  [missing]"));
    }

    out << "Tidora's files:\n";
    const std::string userFolder = frame::userDataFolder(machine);
    if (userFolder.empty()) {
        line(out, "User data folder", "(none: the machine has no application-data folder)");
    } else {
        const std::string ini = userFolder + frame::kAppFileName + ".ini";
        line(out, "User data folder",
             userFolder + "  -> " + machine.localPath(userFolder).value_or("?"));
        line(out, "Settings file", ini + "  -> " + machine.localPath(ini).value_or("?"));
    }

    out << "Temporary folders:\n";
    for (const char* name : {"TEMP", "TMP"}) {
        line(out, name, machine.environmentVariable(name).value_or("(not set)"));
    }
    line(out, "Temp path", machine.tempPath());

    out << "Drives:\n";
    for (const char letter : machine.logicalDrives()) {
        const std::string root = std::string(1, letter) + ":\\";
        std::string text = driveTypeText(machine.driveType(root));
        if (const auto space = machine.diskSpace(root)) {
            text += ", " + std::to_string(space->freeBytes >> 20) + " MiB free of " +
                    std::to_string(space->totalBytes >> 20) + " MiB";
        }
        line(out, root, text);
    }

    out << "Recycle bin:\n";
    if (const auto bin = machine.recycleBinSummary()) {
        line(out, "Items",
             std::to_string(bin->count) + ", " + std::to_string(bin->size) + " bytes");
    } else {
        line(out, "Items", "(cannot be read)");
    }

    out << "Registry:\n";
    const platform::OpResult writable = machine.canWriteRegistry();
    line(out, "Writable now", writable ? "yes" : "no: " + writable.error());
}

}  // namespace tidora::app
