#pragma once

#include <QString>

#include <cstdint>
#include <string>
#include <unordered_map>

#include "stores/sqlite_statement.h"

struct sqlite3;
struct sqlite3_stmt;

namespace tidora::stores {

// One SQLite connection. Failures throw SqliteError. Not thread-safe by itself: its owner decides
// who may use it when.
class SqliteDb {
public:
    SqliteDb() = default;
    ~SqliteDb();
    SqliteDb(const SqliteDb&) = delete;
    SqliteDb& operator=(const SqliteDb&) = delete;

    // Opens (creating when missing) the file at a host path, closing what was open before.
    void open(const QString& path);
    void close();
    bool isOpen() const { return db_ != nullptr; }

    // Runs every statement of the text in turn; rows they return are skipped.
    void exec(const QString& sql);
    // Exactly one statement. The same text is served from a cache of prepared statements.
    SqliteStatement prepare(const QString& sql);
    int64_t lastInsertRowId() const;

private:
    friend class SqliteStatement;

    void requireOpen() const;
    [[noreturn]] void fail(int rc) const;
    void giveBack(sqlite3_stmt* stmt, std::string sql) noexcept;
    void clearCache() noexcept;

    sqlite3* db_ = nullptr;
    std::unordered_multimap<std::string, sqlite3_stmt*> cache_;
};

}  // namespace tidora::stores
