#include "helpers/system_facts.h"

#include <chrono>

#include "helpers/file_checks.h"

namespace tidora::helpers {

QString GetSpecialFolder(const platform::Machine& machine, int aCSIDL) {
    return QString::fromStdString(machine.specialFolder(aCSIDL));
}

QString GetTempFolder(const platform::Machine& machine) {
    return QString::fromStdString(machine.tempPath());
}

QString GetWindowsFolder(const platform::Machine& machine) {
    return QString::fromStdString(machine.windowsFolder()).trimmed();
}

QChar GetSystemDriveLetter(const platform::Machine& machine) {
    const QString windows = GetWindowsFolder(machine);
    return windows.isEmpty() ? QChar() : windows.front();
}

bool Is64BitWindows(const platform::Machine& machine, int aMode) {
    switch (aMode) {
        case 0:
            return machine.is64Bit();
        case 2:
            return QString::fromStdString(
                       machine.environmentVariable("PROCESSOR_ARCHITECTURE").value_or(""))
                .contains("64");
        default:
            return false;
    }
}

void GetOSVersion(const platform::Machine& machine, int& aMajor, int& aMinor) {
    const platform::WindowsVersion version = machine.windowsVersion();
    aMajor = static_cast<int>(version.major);
    aMinor = static_cast<int>(version.minor);
}

int GetWinVersionCode(int aPlatform, int aMajor, int aMinor) {
    if (aPlatform != 2) {
        return 255;
    }
    switch (aMajor) {
        case 3:
            return 1;
        case 4:
            return aMinor == 90 ? 3 : 2;
        case 5:
            return aMinor == 0 ? 4 : 5;
        case 6:
            return aMinor == 0 ? 6 : aMinor == 1 ? 7 : 8;
        default:
            return 10;
    }
}

int64_t GetPerfFrequency() {
    using Period = std::chrono::steady_clock::period;
    return Period::den / Period::num;
}

bool GetDiskSpaceMB(const platform::Machine& machine, const QString& aRoot, double& aTotal,
                    double& aFree) {
    QString root = aRoot;
    if (!root.endsWith('\\')) {
        root += '\\';
    }
    const auto space = machine.diskSpace(root.toStdString());
    aTotal = space ? static_cast<double>(space->totalBytes) / 1048576.0 : 0;
    aFree = space ? static_cast<double>(space->freeBytes) / 1048576.0 : 0;
    return space.has_value();
}

bool GetSystemDiskSpaceMB(const platform::Machine& machine, double& aTotal, double& aFree) {
    return GetDiskSpaceMB(machine, QString(GetSystemDriveLetter(machine)) + ":", aTotal, aFree);
}

bool QueryRecycleBin(const platform::Machine& machine, int64_t& aCount, int64_t& aSize) {
    const auto summary = machine.recycleBinSummary();
    aCount = summary ? static_cast<int64_t>(summary->count) : 0;
    aSize = summary ? static_cast<int64_t>(summary->size) : 0;
    return summary.has_value();
}

bool GetRecycleBinCount(const platform::Machine& machine, int64_t& aCount) {
    int64_t size = 0;
    QueryRecycleBin(machine, aCount, size);
    return true;
}

bool EmptyRecycleBin(platform::Machine& machine) {
    return machine.emptyRecycleBin().ok();
}

bool EnumRecycleBin(const platform::Machine& machine, const TFoundCallback& aFound) {
    int64_t index = 0;
    bool stopped = false;
    const bool listed = machine.listRecycleBin([&](const platform::RecycledItem& item) {
        bool go = true;
        if (aFound) {
            aFound(-4, nullptr, go);
        }
        if (!go) {
            stopped = true;
            return false;
        }
        ++index;
        if (!aFound) {
            return true;
        }
        TwCleanRecord record;
        record.RecType = 1;
        record.id = index;
        record.State = 1;
        record.Active = true;
        record.wvalue = 1;
        // Items whose location is unknown are not reported, as the shell shows no column for them.
        record.pID = item.originalPath.empty() ? -1 : 0;
        record.Name = item.originalPath.empty() ? QString::fromStdString(item.name)
                                                : QString::fromStdString(item.originalPath);
        record.Date = FileTimeToDateTimeLocal(item.deletionTime);
        record.Size = static_cast<int64_t>(item.size);
        if (record.pID >= 0) {
            aFound(3, &record, go);
            if (!go) {
                stopped = true;
                return false;
            }
        }
        return true;
    });
    return listed && !stopped;
}

}  // namespace tidora::helpers
