#pragma once

#include <QString>
#include <QStringList>

#include <cstdint>
#include <variant>
#include <vector>

#include "stores/sqlite_statement.h"

namespace tidora::stores {

// A row condition, "(...) AND (...)", whose values are bound to parameters of their own and never
// become part of the text. Column names come from the code, never from input.
class TSqlCondition {
public:
    void addEquals(const QString& column, int64_t value);
    void addEquals(const QString& column, const QString& value);
    // The column holds the fragment anywhere; % and _ in the fragment match only themselves.
    void addContains(const QString& column, const QString& fragment);

    bool isEmpty() const { return parts_.isEmpty(); }
    QString text() const { return parts_.join(QStringLiteral(" AND ")); }
    void bindTo(SqliteStatement& stmt) const;

private:
    QString addValue(std::variant<int64_t, QString> value);

    QStringList parts_;
    std::vector<std::variant<int64_t, QString>> values_;
};

}  // namespace tidora::stores
