#include "stores/damaged_file_aside.h"

#include <QLatin1StringView>
#include <filesystem>
#include <system_error>

#include "diagnostics/code_trace.h"
#include "stores/host_file.h"

namespace tidora::stores {
namespace {

const char* const kSuffixes[] = {"", "-journal", "-wal", "-shm"};

bool anyTaken(const QString& base) {
    for (const char* suffix : kSuffixes) {
        if (pathExists(base + QLatin1StringView(suffix))) {
            return true;
        }
    }
    return false;
}

// A name none of the moved files would overwrite: a rename replaces what is there.
QString freeAsideName(const QString& path, const QDateTime& when) {
    const QString stem =
        path + QStringLiteral(".damaged-") + when.toString(QStringLiteral("yyyyMMdd-HHmmss"));
    QString candidate = stem;
    for (int n = 2; anyTaken(candidate); ++n) {
        candidate = stem + QStringLiteral("-%1").arg(n);
    }
    return candidate;
}

}  // namespace

std::optional<QString> MoveDamagedFileAside(const QString& path, const QDateTime& when) {
    if (!anyTaken(path)) {
        return QString();
    }
    const QString aside = freeAsideName(path, when);
    for (const char* suffix : kSuffixes) {
        const QString from = path + QLatin1StringView(suffix);
        if (!pathExists(from)) {
            continue;
        }
        std::error_code error;
        std::filesystem::rename(hostPath(from), hostPath(aside + QLatin1StringView(suffix)), error);
        if (error) {
            diagnostics::TraceCmd(QStringLiteral("err:"),
                                  QStringLiteral("cannot move %1 aside: %2")
                                      .arg(from, QString::fromLocal8Bit(error.message())));
            return std::nullopt;
        }
    }
    return aside;
}

}  // namespace tidora::stores
