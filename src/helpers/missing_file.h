#pragma once

#include <QString>

#include "platform/machine.h"

namespace tidora::helpers {

// Whether a path is shown to name nothing: it is absolute on a drive letter whose drive is a
// fixed disk, nothing exists there, and nothing exists at its twin under "Program Files" either.
// A relative path, a network path, a wildcard or a path on a removable, optical, network or
// absent drive proves nothing and is never missing.
bool IsMissingFile(const platform::Machine& machine, const QString& aPath);
// Where the file name of a path begins: after its last "\", "/" or ":".
qsizetype FileNameStart(const QString& aPath);
// The path names a folder ("C:\x\a.exe", "C:a.exe", "bin/a.exe"), not a bare file name.
bool HasFolderPart(const QString& aPath);

}  // namespace tidora::helpers
