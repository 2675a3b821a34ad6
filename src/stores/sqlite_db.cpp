#include "stores/sqlite_db.h"

#include <sqlite3.h>

#include <QByteArray>
#include <QFile>
#include <memory>

#include "stores/sqlite_error.h"

namespace tidora::stores {
namespace {

// Statement texts are fixed in the code, so a few dozen cover every one; past that, statements
// are finalized instead of kept.
constexpr size_t kMaxCachedStatements = 64;

struct StatementFinalizer {
    void operator()(sqlite3_stmt* stmt) const { sqlite3_finalize(stmt); }
};
using OwnedStatement = std::unique_ptr<sqlite3_stmt, StatementFinalizer>;

bool onlyBlanks(const char* text, const char* end) {
    for (; text < end; ++text) {
        if (*text != ' ' && *text != '\t' && *text != '\r' && *text != '\n') {
            return false;
        }
    }
    return true;
}

}  // namespace

SqliteDb::~SqliteDb() {
    close();
}

void SqliteDb::open(const QString& path) {
    close();
    sqlite3* db = nullptr;
    const int rc = sqlite3_open_v2(
        QFile::encodeName(path).constData(), &db,
        SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_FULLMUTEX, nullptr);
    if (rc != SQLITE_OK) {
        const QString message = db != nullptr ? QString::fromUtf8(sqlite3_errmsg(db))
                                              : QString::fromUtf8(sqlite3_errstr(rc));
        sqlite3_close_v2(db);
        throw SqliteError(rc, message);
    }
    db_ = db;
}

void SqliteDb::close() {
    if (db_ == nullptr) {
        return;
    }
    clearCache();
    // A statement still checked out keeps the handle alive until it is finalized on return.
    sqlite3_close_v2(db_);
    db_ = nullptr;
}

void SqliteDb::requireOpen() const {
    if (db_ == nullptr) {
        throw SqliteError(SQLITE_MISUSE, QStringLiteral("the database is not open"));
    }
}

void SqliteDb::fail(int rc) const {
    throw SqliteError(rc, QString::fromUtf8(sqlite3_errmsg(db_)));
}

void SqliteDb::exec(const QString& sql) {
    requireOpen();
    const QByteArray utf8 = sql.toUtf8();
    const char* next = utf8.constData();
    const char* const end = next + utf8.size();
    while (next < end) {
        sqlite3_stmt* raw = nullptr;
        const char* tail = nullptr;
        const int rc = sqlite3_prepare_v2(db_, next, static_cast<int>(end - next), &raw, &tail);
        OwnedStatement stmt(raw);
        if (rc != SQLITE_OK) {
            fail(rc);
        }
        next = tail;
        // Blanks and comments between statements give no statement.
        if (!stmt) {
            continue;
        }
        int stepRc = SQLITE_ROW;
        while (stepRc == SQLITE_ROW) {
            stepRc = sqlite3_step(stmt.get());
        }
        if (stepRc != SQLITE_DONE) {
            fail(stepRc);
        }
    }
}

SqliteStatement SqliteDb::prepare(const QString& sql) {
    requireOpen();
    std::string text = sql.toStdString();
    if (auto cached = cache_.find(text); cached != cache_.end()) {
        sqlite3_stmt* stmt = cached->second;
        cache_.erase(cached);
        return SqliteStatement(*this, stmt, std::move(text));
    }
    sqlite3_stmt* raw = nullptr;
    const char* tail = nullptr;
    const int rc = sqlite3_prepare_v3(db_, text.c_str(), static_cast<int>(text.size()),
                                      SQLITE_PREPARE_PERSISTENT, &raw, &tail);
    OwnedStatement stmt(raw);
    if (rc != SQLITE_OK) {
        fail(rc);
    }
    if (!stmt || !onlyBlanks(tail, text.c_str() + text.size())) {
        throw SqliteError(
            SQLITE_MISUSE,
            QStringLiteral("a prepared statement needs exactly one statement: ") + sql);
    }
    return SqliteStatement(*this, stmt.release(), std::move(text));
}

int64_t SqliteDb::lastInsertRowId() const {
    requireOpen();
    return sqlite3_last_insert_rowid(db_);
}

void SqliteDb::giveBack(sqlite3_stmt* stmt, std::string sql) noexcept {
    // A statement of a connection closed in the meantime is finalized, not cached.
    if (db_ == nullptr || sqlite3_db_handle(stmt) != db_ || cache_.size() >= kMaxCachedStatements) {
        sqlite3_finalize(stmt);
        return;
    }
    sqlite3_reset(stmt);
    sqlite3_clear_bindings(stmt);
    cache_.emplace(std::move(sql), stmt);
}

void SqliteDb::clearCache() noexcept {
    for (auto& [sql, stmt] : cache_) {
        sqlite3_finalize(stmt);
    }
    cache_.clear();
}

}  // namespace tidora::stores
