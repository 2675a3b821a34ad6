#include "helpers/file_checks.h"

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
    const int64_t sinceUnix =
        (static_cast<int64_t>(aTime) - static_cast<int64_t>(platform::kUnixEpochAsFileTime)) /
        10000;
    // Floor division: a moment before 1970 still gets a millisecond part from 0 to 999.
    int64_t seconds = sinceUnix / 1000;
    int64_t ms = sinceUnix % 1000;
    if (ms < 0) {
        ms += 1000;
        --seconds;
    }
    return diagnostics::daysFromUnixTime(seconds, static_cast<int>(ms));
}

}  // namespace tidora::helpers
