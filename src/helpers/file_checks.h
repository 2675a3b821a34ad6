#pragma once

#include <QString>

#include "platform/machine.h"

namespace tidora::helpers {

// A file or folder exists (a Wine prefix has no file-system redirection to switch off).
bool PathExistsNoRedirect(const platform::Machine& machine, const QString& aPath);
// The same, but false when the path's drive is not a fixed disk: a file on a removable, network
// or optical drive cannot be shown to be missing.
bool FileExistsOnFixedDrive(const platform::Machine& machine, const QString& aPath);
// For a path under "Program Files (x86)": whether the same file exists under "Program Files".
bool AltProgramFilesExists(const platform::Machine& machine, const QString& aPath);
// A FILETIME as a local date-time day count since 1899-12-30; 0 for 0.
double FileTimeToDateTimeLocal(platform::FileTime aTime);

}  // namespace tidora::helpers
