#pragma once

namespace tidora::stores {

class SqliteDb;

// Groups statements into one transaction: commit() makes them durable together, leaving the
// scope without it rolls them back. Guards nest (each is a savepoint), so code that batches its
// writes may be called from code that batches its own.
class SqliteTransaction {
public:
    explicit SqliteTransaction(SqliteDb& db);
    ~SqliteTransaction();
    SqliteTransaction(const SqliteTransaction&) = delete;
    SqliteTransaction& operator=(const SqliteTransaction&) = delete;

    void commit();

private:
    SqliteDb& db_;
    bool done_ = false;
};

}  // namespace tidora::stores
