#pragma once

#include <QDateTime>
#include <QString>

#include <optional>

namespace tidora::stores {

// Renames a database file SQLite cannot read to "<file>.damaged-YYYYMMDD-HHMMSS" (with "-2",
// "-3"... when that name is taken), together with the side files SQLite keeps next to it, so that
// nothing of it is lost and no side file of it is taken for that of a new file under the old
// name. Gives the new name of the file (empty when nothing was there to move), or nullopt when a
// rename failed.
std::optional<QString> MoveDamagedFileAside(const QString& path, const QDateTime& when);

}  // namespace tidora::stores
