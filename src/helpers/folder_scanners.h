#pragma once

#include <QString>
#include <QStringList>

#include <cstdint>

#include "helpers/clean_record.h"
#include "platform/machine.h"

namespace tidora::helpers {

// The scanners report found files one by one through aFound (kind 1, after a heartbeat of kind -1
// before every entry) and stop as soon as the callback clears its continue flag; they return
// false when stopped. A folder that cannot be listed reports nothing. No scanner enters or
// follows a reparse point (a symbolic link, a junction), and a search folder that is itself one
// (Wine links Desktop into the host's home) is looked at on its top level only.

// The entries of aFolder that match aMask; with aRecurse, also inside its sub-folders whose names
// match the mask.
bool ScanFolderFiles(const platform::Machine& machine, int aKind, const QString& aFolder,
                     const QString& aMask, bool aRecurse, const TNameFilter& aFilter,
                     const TFoundCallback& aFound, const QStringList& aExclude);
// The files matching aMask in every folder of the tree (with aRecurse; sub-folders first, then
// the folder's own files).
bool ScanFolderTree(const platform::Machine& machine, int aKind, const QString& aFolder,
                    const QString& aMask, bool aRecurse, const TNameFilter& aFilter,
                    const TFoundCallback& aFound, const QStringList& aExclude);
// The broken shortcuts (.lnk) of the tree: the target is a local path that does not exist on a
// fixed disk, not under an excluded prefix, and not in the 64-bit program folder either.
bool ScanShortcuts(const platform::Machine& machine, int aKind, const QString& aFolder,
                   const QString& aMask, const TNameFilter& aFilter, const TFoundCallback& aFound,
                   const QStringList& aExclude);
// Count and total size (aSizeK: thousands of bytes) of the tree's writable files matching aMask.
int64_t GetFolderFilesInfo(const platform::Machine& machine, const QString& aFolder,
                           const QString& aMask, double& aSizeK);
// The target of a shell shortcut; empty when the file does not exist.
QString GetShortcutTarget(const platform::Machine& machine, const QString& aLinkPath);

}  // namespace tidora::helpers
