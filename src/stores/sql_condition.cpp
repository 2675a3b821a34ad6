#include "stores/sql_condition.h"

namespace tidora::stores {
namespace {

QString parameterName(size_t number) {
    return QStringLiteral(":c%1").arg(number);
}

// LIKE with ESCAPE '\': the escape character itself and both wildcards are taken literally.
QString likeLiteral(const QString& fragment) {
    QString escaped;
    escaped.reserve(fragment.size());
    for (const QChar c : fragment) {
        if (c == u'\\' || c == u'%' || c == u'_') {
            escaped.append(u'\\');
        }
        escaped.append(c);
    }
    return escaped;
}

}  // namespace

QString TSqlCondition::addValue(std::variant<int64_t, QString> value) {
    values_.push_back(std::move(value));
    return parameterName(values_.size());
}

void TSqlCondition::addEquals(const QString& column, int64_t value) {
    parts_.append(u'(' + column + u'=' + addValue(value) + u')');
}

void TSqlCondition::addEquals(const QString& column, const QString& value) {
    parts_.append(u'(' + column + u'=' + addValue(value) + u')');
}

void TSqlCondition::addContains(const QString& column, const QString& fragment) {
    const QString parameter = addValue(u'%' + likeLiteral(fragment) + u'%');
    parts_.append(u'(' + column + QStringLiteral(" LIKE ") + parameter +
                  QStringLiteral(" ESCAPE '\\')"));
}

void TSqlCondition::bindTo(SqliteStatement& stmt) const {
    for (size_t i = 0; i < values_.size(); ++i) {
        const std::string name = parameterName(i + 1).toStdString();
        if (const auto* number = std::get_if<int64_t>(&values_[i])) {
            stmt.bindInt64(name, *number);
        } else {
            stmt.bindText(name, std::get<QString>(values_[i]));
        }
    }
}

}  // namespace tidora::stores
