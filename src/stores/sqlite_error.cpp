#include "stores/sqlite_error.h"

namespace tidora::stores {

SqliteError::SqliteError(int code, const QString& message)
    : std::runtime_error(message.toStdString()), code_(code) {}

}  // namespace tidora::stores
