#pragma once

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <string>
#include <string_view>

struct sqlite3_stmt;

namespace tidora::stores {

class SqliteDb;

// One prepared statement, checked out of its connection's cache and given back (reset, its
// bindings cleared) when the object goes. It must not outlive the SqliteDb it came from. Failures
// throw SqliteError. Parameter names are written with their prefix (":ProgName"); parameter
// indexes and column indexes count as SQLite counts them (parameters from 1, columns from 0).
class SqliteStatement {
public:
    SqliteStatement(SqliteStatement&& other) noexcept;
    SqliteStatement& operator=(SqliteStatement&&) = delete;
    SqliteStatement(const SqliteStatement&) = delete;
    SqliteStatement& operator=(const SqliteStatement&) = delete;
    ~SqliteStatement();

    void bindInt64(int index, int64_t value);
    void bindDouble(int index, double value);
    // UTF-8; a null QString is bound as an empty text, not as NULL.
    void bindText(int index, const QString& value);
    void bindBlob(int index, const QByteArray& value);
    void bindNull(int index);

    void bindInt64(std::string_view name, int64_t value);
    void bindDouble(std::string_view name, double value);
    void bindText(std::string_view name, const QString& value);
    void bindBlob(std::string_view name, const QByteArray& value);
    void bindNull(std::string_view name);

    // True while a row is ready to be read, false once the statement is done.
    bool step();
    // Back to the start, bindings kept.
    void reset();

    int columnCount() const;
    // The column of that name (any case); throws when the result has none.
    int columnIndex(std::string_view name) const;
    bool isNull(int column) const;
    int64_t columnInt64(int column) const;
    double columnDouble(int column) const;
    QString columnText(int column) const;
    QByteArray columnBlob(int column) const;

private:
    friend class SqliteDb;
    SqliteStatement(SqliteDb& owner, sqlite3_stmt* stmt, std::string sql);

    int parameterIndex(std::string_view name) const;
    void check(int rc) const;

    SqliteDb* owner_;
    sqlite3_stmt* stmt_;
    std::string sql_;
};

}  // namespace tidora::stores
