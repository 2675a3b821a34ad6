#include "helpers/missing_file.h"

#include <algorithm>

#include "helpers/file_checks.h"

namespace tidora::helpers {
namespace {

bool isAbsoluteOnDrive(const QString& path) {
    return path.size() >= 3 && path[0].unicode() < 0x80 && path[0].isLetter() && path[1] == ':' &&
           (path[2] == '\\' || path[2] == '/');
}

}  // namespace

bool IsMissingFile(const platform::Machine& machine, const QString& aPath) {
    // A wildcard names no single file; Windows' own find would take it as a pattern.
    if (!isAbsoluteOnDrive(aPath) || aPath.contains('*') || aPath.contains('?')) {
        return false;
    }
    if (machine.driveType(aPath.left(3).toStdString()) != platform::DriveType::Fixed) {
        return false;
    }
    return !FileExistsOnFixedDrive(machine, aPath) && !AltProgramFilesExists(machine, aPath);
}

qsizetype FileNameStart(const QString& aPath) {
    return std::max({aPath.lastIndexOf('\\'), aPath.lastIndexOf('/'), aPath.lastIndexOf(':')}) + 1;
}

bool HasFolderPart(const QString& aPath) {
    return FileNameStart(aPath) > 0;
}

}  // namespace tidora::helpers
