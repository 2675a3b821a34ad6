#include "helpers/file_checks.h"

#include <QDateTime>

#include "diagnostics/date_time.h"

namespace tidora::helpers {

bool PathExistsNoRedirect(const platform::Machine& machine, const QString& aPath) {
    return machine.exists(aPath.toStdString());
}

bool FileExistsOnFixedDrive(const platform::Machine& machine, const QString& aPath) {
    if (aPath.size() >= 2 && aPath[1] == ':') {
        const std::string root = aPath.left(2).toStdString() + "\\";
        if (machine.driveType(root) != platform::DriveType::Fixed) {
            return false;
        }
    }
    return PathExistsNoRedirect(machine, aPath);
}

bool AltProgramFilesExists(const platform::Machine& machine, const QString& aPath) {
    const QString x86 = "Program Files (x86)";
    const qsizetype at = aPath.indexOf(x86, 0, Qt::CaseInsensitive);
    if (at < 0) {
        return false;
    }
    QString native = aPath;
    native.replace(at, x86.size(), "Program Files");
    return PathExistsNoRedirect(machine, native);
}

double FileTimeToDateTimeLocal(platform::FileTime aTime) {
    if (aTime == 0) {
        return 0;
    }
    const auto msSinceUnix = static_cast<qint64>(
        (static_cast<int64_t>(aTime) - static_cast<int64_t>(platform::kUnixEpochAsFileTime)) /
        10000);
    return diagnostics::daysFromDateTime(QDateTime::fromMSecsSinceEpoch(msSinceUnix).toLocalTime());
}

}  // namespace tidora::helpers
