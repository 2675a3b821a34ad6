#pragma once

#include <QString>

#include <filesystem>

namespace tidora::stores {

// The database files are host files: their names in the file system's own encoding.
std::filesystem::path hostPath(const QString& path);

// Anything at the path counts, a dangling link included.
bool pathExists(const QString& path);

}  // namespace tidora::stores
