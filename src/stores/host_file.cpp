#include "stores/host_file.h"

#include <QFile>
#include <system_error>

namespace tidora::stores {

std::filesystem::path hostPath(const QString& path) {
    return std::filesystem::path(QFile::encodeName(path).toStdString());
}

bool pathExists(const QString& path) {
    std::error_code error;
    return std::filesystem::exists(std::filesystem::symlink_status(hostPath(path), error));
}

}  // namespace tidora::stores
