#pragma once

#include <mutex>

#include "stores/sqlite_db.h"

namespace tidora::stores {

// Exclusive use of the working database's connection for as long as the object lives.
class TConnectionLock {
public:
    TConnectionLock(std::recursive_mutex& mutex, SqliteDb& db) : lock_(mutex), db_(db) {}

    SqliteDb& db() const { return db_; }

private:
    std::unique_lock<std::recursive_mutex> lock_;
    SqliteDb& db_;
};

}  // namespace tidora::stores
