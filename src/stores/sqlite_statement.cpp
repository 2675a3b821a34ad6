#include "stores/sqlite_statement.h"

#include <sqlite3.h>

#include <utility>

#include "stores/sqlite_db.h"
#include "stores/sqlite_error.h"

namespace tidora::stores {

SqliteStatement::SqliteStatement(SqliteDb& owner, sqlite3_stmt* stmt, std::string sql)
    : owner_(&owner), stmt_(stmt), sql_(std::move(sql)) {}

SqliteStatement::SqliteStatement(SqliteStatement&& other) noexcept
    : owner_(other.owner_),
      stmt_(std::exchange(other.stmt_, nullptr)),
      sql_(std::move(other.sql_)) {}

SqliteStatement::~SqliteStatement() {
    if (stmt_ != nullptr) {
        owner_->giveBack(stmt_, std::move(sql_));
    }
}

void SqliteStatement::check(int rc) const {
    if (rc != SQLITE_OK) {
        throw SqliteError(rc, QString::fromUtf8(sqlite3_errmsg(sqlite3_db_handle(stmt_))));
    }
}

int SqliteStatement::parameterIndex(std::string_view name) const {
    const int index = sqlite3_bind_parameter_index(stmt_, std::string(name).c_str());
    if (index == 0) {
        throw SqliteError(SQLITE_RANGE, QStringLiteral("no parameter %1 in: %2")
                                            .arg(QString::fromUtf8(name.data(), name.size()),
                                                 QString::fromStdString(sql_)));
    }
    return index;
}

void SqliteStatement::bindInt64(int index, int64_t value) {
    check(sqlite3_bind_int64(stmt_, index, value));
}

void SqliteStatement::bindDouble(int index, double value) {
    check(sqlite3_bind_double(stmt_, index, value));
}

void SqliteStatement::bindText(int index, const QString& value) {
    const QByteArray utf8 = value.toUtf8();
    check(sqlite3_bind_text64(stmt_, index, utf8.constData(),
                              static_cast<sqlite3_uint64>(utf8.size()), SQLITE_TRANSIENT,
                              SQLITE_UTF8));
}

void SqliteStatement::bindBlob(int index, const QByteArray& value) {
    check(sqlite3_bind_blob64(stmt_, index, value.constData(),
                              static_cast<sqlite3_uint64>(value.size()), SQLITE_TRANSIENT));
}

void SqliteStatement::bindNull(int index) {
    check(sqlite3_bind_null(stmt_, index));
}

void SqliteStatement::bindInt64(std::string_view name, int64_t value) {
    bindInt64(parameterIndex(name), value);
}

void SqliteStatement::bindDouble(std::string_view name, double value) {
    bindDouble(parameterIndex(name), value);
}

void SqliteStatement::bindText(std::string_view name, const QString& value) {
    bindText(parameterIndex(name), value);
}

void SqliteStatement::bindBlob(std::string_view name, const QByteArray& value) {
    bindBlob(parameterIndex(name), value);
}

void SqliteStatement::bindNull(std::string_view name) {
    bindNull(parameterIndex(name));
}

bool SqliteStatement::step() {
    const int rc = sqlite3_step(stmt_);
    if (rc == SQLITE_ROW) {
        return true;
    }
    if (rc == SQLITE_DONE) {
        return false;
    }
    const QString message = QString::fromUtf8(sqlite3_errmsg(sqlite3_db_handle(stmt_)));
    // A failed step leaves the statement needing a reset before it can run again.
    sqlite3_reset(stmt_);
    throw SqliteError(rc, message);
}

void SqliteStatement::reset() {
    // The code sqlite3_reset repeats is that of the last step, which has already been reported.
    sqlite3_reset(stmt_);
}

int SqliteStatement::columnCount() const {
    return sqlite3_column_count(stmt_);
}

int SqliteStatement::columnIndex(std::string_view name) const {
    const std::string wanted(name);
    for (int i = 0; i < columnCount(); ++i) {
        const char* columnName = sqlite3_column_name(stmt_, i);
        if (columnName != nullptr && sqlite3_stricmp(columnName, wanted.c_str()) == 0) {
            return i;
        }
    }
    throw SqliteError(SQLITE_RANGE,
                      QStringLiteral("no column %1 in: %2")
                          .arg(QString::fromStdString(wanted), QString::fromStdString(sql_)));
}

bool SqliteStatement::isNull(int column) const {
    return sqlite3_column_type(stmt_, column) == SQLITE_NULL;
}

int64_t SqliteStatement::columnInt64(int column) const {
    return sqlite3_column_int64(stmt_, column);
}

double SqliteStatement::columnDouble(int column) const {
    return sqlite3_column_double(stmt_, column);
}

QString SqliteStatement::columnText(int column) const {
    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt_, column));
    return QString::fromUtf8(text, sqlite3_column_bytes(stmt_, column));
}

QByteArray SqliteStatement::columnBlob(int column) const {
    // The pointer first, then the size: asking for the size first may convert the value.
    const auto* data = static_cast<const char*>(sqlite3_column_blob(stmt_, column));
    return QByteArray(data, sqlite3_column_bytes(stmt_, column));
}

}  // namespace tidora::stores
