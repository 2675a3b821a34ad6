#include "stores/sqlite_transaction.h"

#include "stores/sqlite_db.h"
#include "stores/sqlite_error.h"

namespace tidora::stores {

SqliteTransaction::SqliteTransaction(SqliteDb& db) : db_(db) {
    db_.exec(QStringLiteral("SAVEPOINT tidora_tx;"));
}

SqliteTransaction::~SqliteTransaction() {
    if (done_) {
        return;
    }
    try {
        db_.exec(QStringLiteral("ROLLBACK TO tidora_tx; RELEASE tidora_tx;"));
    } catch (const SqliteError&) {
        // Nothing to undo when the connection went away; SQLite rolled back on close.
    }
}

void SqliteTransaction::commit() {
    db_.exec(QStringLiteral("RELEASE tidora_tx;"));
    done_ = true;
}

}  // namespace tidora::stores
