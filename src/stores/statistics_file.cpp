#include "stores/statistics_file.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonParseError>
#include <QJsonValue>
#include <QLatin1StringView>

#include <array>
#include <cmath>
#include <limits>
#include <set>

namespace tidora::stores {

namespace {

constexpr qsizetype kMaxLatNameLength = 240;

enum class Limit { Any, NotNegative };

struct Int32Field {
    const char* name;
    int32_t TExpDataRow::*member;
    bool required;
};
struct Int64Field {
    const char* name;
    int64_t TExpDataRow::*member;
};
struct DoubleField {
    const char* name;
    double TExpDataRow::*member;
    Limit limit;
    bool required;
};

constexpr std::array kInt32Fields{
    Int32Field{"ID", &TExpDataRow::ID, true},
    Int32Field{"CAT_ID", &TExpDataRow::CAT_ID, false},
    Int32Field{"TYPE", &TExpDataRow::TYPE, false},
    Int32Field{"DELTA_DAYS", &TExpDataRow::DELTA_DAYS, false},
    Int32Field{"SIGN", &TExpDataRow::SIGN, false},
};
constexpr std::array kInt64Fields{
    Int64Field{"RES_COUNT", &TExpDataRow::RES_COUNT},
    Int64Field{"ALL_COUNT", &TExpDataRow::ALL_COUNT},
};
constexpr std::array kDoubleFields{
    DoubleField{"RES_SIZE", &TExpDataRow::RES_SIZE, Limit::NotNegative, false},
    DoubleField{"K_COUNT", &TExpDataRow::K_COUNT, Limit::NotNegative, true},
    DoubleField{"K_SIZE", &TExpDataRow::K_SIZE, Limit::NotNegative, true},
    DoubleField{"K_P", &TExpDataRow::K_P, Limit::NotNegative, true},
    DoubleField{"K_DATE", &TExpDataRow::K_DATE, Limit::Any, false},
    DoubleField{"S_DATE", &TExpDataRow::S_DATE, Limit::Any, false},
    DoubleField{"S_COUNT", &TExpDataRow::S_COUNT, Limit::Any, false},
    DoubleField{"S_SIZE", &TExpDataRow::S_SIZE, Limit::Any, false},
    DoubleField{"S_ALL", &TExpDataRow::S_ALL, Limit::Any, false},
};

QString fieldError(int index, const char* name, const char* problem) {
    return QStringLiteral("row %1: %2 %3")
        .arg(index)
        .arg(QLatin1StringView(name), QLatin1StringView(problem));
}

// A JSON number that is a whole number within [low, high].
std::optional<int64_t> wholeNumber(const QJsonValue& value, double low, double high) {
    if (!value.isDouble()) {
        return std::nullopt;
    }
    const double d = value.toDouble();
    if (!std::isfinite(d) || d != std::trunc(d) || d < low || d > high) {
        return std::nullopt;
    }
    return value.toInteger();
}

std::optional<TExpDataRow> rowFromJson(const QJsonObject& object, int index, QString& error) {
    TExpDataRow row;
    for (const Int32Field& f : kInt32Fields) {
        const QJsonValue v = object.value(QLatin1StringView(f.name));
        if (v.isUndefined() && !f.required) {
            continue;
        }
        const auto n = wholeNumber(v, std::numeric_limits<int32_t>::min(),
                                   std::numeric_limits<int32_t>::max());
        if (!n) {
            error = fieldError(index, f.name, "is not a 32-bit whole number");
            return std::nullopt;
        }
        row.*f.member = static_cast<int32_t>(*n);
    }
    for (const Int64Field& f : kInt64Fields) {
        const QJsonValue v = object.value(QLatin1StringView(f.name));
        if (v.isUndefined()) {
            continue;
        }
        // Beyond 2^53 a JSON number is no longer exact.
        const auto n = wholeNumber(v, 0, 9007199254740992.0);
        if (!n) {
            error = fieldError(index, f.name, "is not a whole number of 0 or more");
            return std::nullopt;
        }
        row.*f.member = *n;
    }
    for (const DoubleField& f : kDoubleFields) {
        const QJsonValue v = object.value(QLatin1StringView(f.name));
        if (v.isUndefined() && !f.required) {
            continue;
        }
        const double d = v.isDouble() ? v.toDouble() : std::nan("");
        if (!std::isfinite(d) || (f.limit == Limit::NotNegative && d < 0)) {
            error = fieldError(
                index, f.name,
                f.limit == Limit::NotNegative ? "is not a number of 0 or more" : "is not a number");
            return std::nullopt;
        }
        row.*f.member = d;
    }
    for (const auto& [name, member] : {std::pair{"LAT_NAME", &TExpDataRow::LAT_NAME},
                                       std::pair{"CAPTION", &TExpDataRow::CAPTION}}) {
        const QJsonValue v = object.value(QLatin1StringView(name));
        if (v.isUndefined()) {
            continue;
        }
        if (!v.isString()) {
            error = fieldError(index, name, "is not a text");
            return std::nullopt;
        }
        row.*member = v.toString();
    }
    if (row.LAT_NAME.size() > kMaxLatNameLength) {
        error = fieldError(index, "LAT_NAME", "is longer than 240 characters");
        return std::nullopt;
    }
    return row;
}

}  // namespace

QByteArray ExpDataToJson(const TExpDataTable& table) {
    QJsonArray rows;
    for (const TExpDataRow& row : table.rows()) {
        QJsonObject object;
        for (const Int32Field& f : kInt32Fields) {
            object.insert(QLatin1StringView(f.name), row.*f.member);
        }
        for (const Int64Field& f : kInt64Fields) {
            object.insert(QLatin1StringView(f.name), static_cast<qint64>(row.*f.member));
        }
        for (const DoubleField& f : kDoubleFields) {
            object.insert(QLatin1StringView(f.name), row.*f.member);
        }
        object.insert(QLatin1StringView("LAT_NAME"), row.LAT_NAME);
        object.insert(QLatin1StringView("CAPTION"), row.CAPTION);
        rows.append(object);
    }
    return QJsonDocument(QJsonObject{{QLatin1StringView("rows"), rows}}).toJson();
}

std::optional<TExpDataTable> ExpDataFromJson(const QByteArray& json, QString& aError) {
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(json, &parseError);
    if (parseError.error != QJsonParseError::NoError) {
        aError = parseError.errorString();
        return std::nullopt;
    }
    const QJsonValue rows = document.object().value(QLatin1StringView("rows"));
    if (!document.isObject() || !rows.isArray()) {
        aError = QStringLiteral("no array \"rows\"");
        return std::nullopt;
    }
    TExpDataTable table;
    std::set<int32_t> ids;
    int index = 0;
    for (const QJsonValue& value : rows.toArray()) {
        if (!value.isObject()) {
            aError = QStringLiteral("row %1 is not an object").arg(index);
            return std::nullopt;
        }
        auto row = rowFromJson(value.toObject(), index, aError);
        if (!row) {
            return std::nullopt;
        }
        if (!ids.insert(row->ID).second) {
            aError = fieldError(index, "ID", "is given twice");
            return std::nullopt;
        }
        table.append(std::move(*row));
        ++index;
    }
    return table;
}

}  // namespace tidora::stores
