#include "helpers/folder_scanners.h"

#include <vector>

#include "helpers/exclusions.h"
#include "helpers/file_checks.h"
#include "helpers/missing_file.h"
#include "platform/windows_mask.h"

namespace tidora::helpers {
namespace {

using platform::DirEntry;
using platform::Machine;
using platform::FileAttr::ReadOnly;
using platform::FileAttr::System;

QString withoutTrailingBackslash(QString folder) {
    while (folder.size() > 3 && folder.endsWith('\\')) {
        folder.chop(1);
    }
    if (folder.size() == 3 && folder.endsWith('\\')) {
        folder.chop(1);  // "C:\" -> "C:" so that children are "C:\name"
    }
    return folder;
}

// Whether the walk may go below the search folder itself.
bool mayDescend(const Machine& machine, const QString& folder) {
    const auto entry = machine.stat(folder.toStdString());
    return !entry || !entry->isReparsePoint();
}

bool heartbeat(const TFoundCallback& found, int kind) {
    bool go = true;
    if (found) {
        found(kind, nullptr, go);
    }
    return go;
}

QString entryName(const DirEntry& entry) {
    return QString::fromStdString(entry.name);
}

// Reports one file entry; false when the callback asked to stop.
bool reportFile(const TFoundCallback& found, const QString& path, const DirEntry& entry,
                const QString& target = {}) {
    if (!found) {
        return true;
    }
    TwCleanRecord record;
    record.RecType = 1;
    record.Size = static_cast<int64_t>(entry.size);
    record.Date = FileTimeToDateTimeLocal(entry.lastWriteTime);
    record.mDate = record.Date;
    record.State = 1;
    record.Active = true;
    record.Name = path;
    record.Value = target;
    bool go = true;
    found(1, &record, go);
    return go;
}

bool isWritableFile(const DirEntry& entry, const QString& name, const QStringList& exclude,
                    const TNameFilter& filter) {
    return !entry.isDirectory() && !entry.isReparsePoint() && !(entry.attributes & ReadOnly) &&
           !IsNameExcluded(name, exclude) && CallNameFilter(1, name, filter);
}

bool isEnterableFolder(const DirEntry& entry, const QString& name, const QStringList& exclude,
                       const TNameFilter& filter) {
    return entry.isDirectory() && !entry.isReparsePoint() && !IsNameExcluded(name, exclude) &&
           CallNameFilter(2, name, filter);
}

struct Scan {
    const Machine& machine;
    const TFoundCallback& found;
    const TNameFilter& filter;
    const QStringList& exclude;
    bool stopped = false;
};

void filesOf(Scan& scan, const QString& folder, const QString& mask, bool recurse) {
    scan.machine.listFolder(folder.toStdString(), mask.toStdString(), [&](const DirEntry& entry) {
        if (!heartbeat(scan.found, -1)) {
            scan.stopped = true;
            return false;
        }
        const QString name = entryName(entry);
        const QString path = folder + "\\" + name;
        if (recurse && isEnterableFolder(entry, name, scan.exclude, scan.filter)) {
            filesOf(scan, path, mask, recurse);
        } else if (isWritableFile(entry, name, scan.exclude, scan.filter) &&
                   !reportFile(scan.found, path, entry)) {
            scan.stopped = true;
        }
        return !scan.stopped;
    });
}

// One listing per folder: sub-folders are walked as they come, the folder's own matching files
// are reported after them.
void tree(Scan& scan, const QString& folder, const QString& mask, bool recurse) {
    std::vector<DirEntry> files;
    const std::string maskText = mask.toStdString();
    scan.machine.listFolder(folder.toStdString(), "*.*", [&](const DirEntry& entry) {
        if (!heartbeat(scan.found, -1)) {
            scan.stopped = true;
            return false;
        }
        const QString name = entryName(entry);
        if (recurse && isEnterableFolder(entry, name, scan.exclude, scan.filter)) {
            tree(scan, folder + "\\" + name, mask, recurse);
        } else if (!entry.isDirectory() && platform::matchesWindowsMask(entry.name, maskText)) {
            files.push_back(entry);
        }
        return !scan.stopped;
    });
    for (const DirEntry& entry : files) {
        if (scan.stopped) {
            return;
        }
        const QString name = entryName(entry);
        if (isWritableFile(entry, name, scan.exclude, scan.filter) &&
            !reportFile(scan.found, folder + "\\" + name, entry)) {
            scan.stopped = true;
        }
    }
}

// Shortcuts to shell objects (no target), to network paths and to excluded places stay, and so
// does every target not shown to be missing.
bool isBrokenTarget(const Machine& machine, const QString& target, const QStringList& exclude) {
    return !target.contains("\\\\") && !IsPathExcluded(target, exclude) &&
           IsMissingFile(machine, target);
}

void shortcuts(Scan& scan, const QString& folder, bool recurse) {
    scan.machine.listFolder(folder.toStdString(), "*.*", [&](const DirEntry& entry) {
        if (!heartbeat(scan.found, -1)) {
            scan.stopped = true;
            return false;
        }
        const QString name = entryName(entry);
        const QString path = folder + "\\" + name;
        if (entry.isReparsePoint() || IsNameExcluded(name, scan.exclude)) {
            return true;
        }
        if (entry.isDirectory()) {
            if (recurse && CallNameFilter(2, name, scan.filter)) {
                shortcuts(scan, path, recurse);
            }
        } else if (name.endsWith(".lnk", Qt::CaseInsensitive) &&
                   !(entry.attributes & (ReadOnly | System)) &&
                   CallNameFilter(1, name, scan.filter)) {
            const QString target = GetShortcutTarget(scan.machine, path).trimmed();
            if (isBrokenTarget(scan.machine, target, scan.exclude) &&
                !reportFile(scan.found, path, entry, target)) {
                scan.stopped = true;
            }
        }
        return !scan.stopped;
    });
}

void count(const Machine& machine, const QString& folder, const std::string& mask, bool recurse,
           int64_t& files, uint64_t& bytes) {
    machine.listFolder(folder.toStdString(), "*.*", [&](const DirEntry& entry) {
        if (entry.isReparsePoint()) {
            return true;
        }
        if (entry.isDirectory()) {
            if (recurse) {
                count(machine, folder + "\\" + entryName(entry), mask, recurse, files, bytes);
            }
        } else if (!(entry.attributes & ReadOnly) &&
                   platform::matchesWindowsMask(entry.name, mask)) {
            ++files;
            bytes += entry.size;
        }
        return true;
    });
}

}  // namespace

bool ScanFolderFiles(const Machine& machine, int, const QString& aFolder, const QString& aMask,
                     bool aRecurse, const TNameFilter& aFilter, const TFoundCallback& aFound,
                     const QStringList& aExclude) {
    const QString folder = withoutTrailingBackslash(aFolder);
    Scan scan{machine, aFound, aFilter, aExclude};
    filesOf(scan, folder, aMask, aRecurse && mayDescend(machine, folder));
    return !scan.stopped;
}

bool ScanFolderTree(const Machine& machine, int, const QString& aFolder, const QString& aMask,
                    bool aRecurse, const TNameFilter& aFilter, const TFoundCallback& aFound,
                    const QStringList& aExclude) {
    const QString folder = withoutTrailingBackslash(aFolder);
    Scan scan{machine, aFound, aFilter, aExclude};
    tree(scan, folder, aMask, aRecurse && mayDescend(machine, folder));
    return !scan.stopped;
}

bool ScanShortcuts(const Machine& machine, int, const QString& aFolder, const QString&,
                   const TNameFilter& aFilter, const TFoundCallback& aFound,
                   const QStringList& aExclude) {
    const QString folder = withoutTrailingBackslash(aFolder);
    Scan scan{machine, aFound, aFilter, aExclude};
    shortcuts(scan, folder, mayDescend(machine, folder));
    return !scan.stopped;
}

int64_t GetFolderFilesInfo(const Machine& machine, const QString& aFolder, const QString& aMask,
                           double& aSizeK) {
    const QString folder = withoutTrailingBackslash(aFolder);
    int64_t files = 0;
    uint64_t bytes = 0;
    if (PathExistsNoRedirect(machine, folder)) {
        count(machine, folder, aMask.toStdString(), mayDescend(machine, folder), files, bytes);
    }
    aSizeK = static_cast<double>(bytes) * 0.001;
    return files;
}

QString GetShortcutTarget(const Machine& machine, const QString& aLinkPath) {
    return QString::fromStdString(machine.shortcutTarget(aLinkPath.toStdString()));
}

}  // namespace tidora::helpers
