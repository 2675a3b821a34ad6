#pragma once

#include <QString>

#include <stdexcept>

namespace tidora::stores {

// A failed SQLite call: SQLite's result code and its message. Public operations of the stores
// catch it and turn it into their false or negative result.
class SqliteError : public std::runtime_error {
public:
    SqliteError(int code, const QString& message);

    int code() const { return code_; }
    QString message() const { return QString::fromUtf8(what()); }
    // The name shown to the user next to the message when connecting fails.
    static QString className() { return QStringLiteral("SqliteError"); }

private:
    int code_;
};

}  // namespace tidora::stores
