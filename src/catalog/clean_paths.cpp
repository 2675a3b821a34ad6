#include "catalog/clean_paths.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>

#include <algorithm>
#include <stdexcept>

namespace tidora::catalog {

namespace {

constexpr int kMaxTextLength = 32767;
constexpr qint64 kMaxFileSize = 64 * 1024 * 1024;

QJsonObject rowToJson(const TCleanPathRow& row) {
    QJsonObject o;
    o[QStringLiteral("ID")] = static_cast<qint64>(row.ID);
    o[QStringLiteral("EX_FLAG")] = row.EX_FLAG;
    o[QStringLiteral("SYS_CODE")] = row.SYS_CODE;
    o[QStringLiteral("CAT_ID")] = row.CAT_ID;
    o[QStringLiteral("CLEAN_ID")] = static_cast<qint64>(row.CLEAN_ID);
    o[QStringLiteral("NAME")] = row.NAME;
    o[QStringLiteral("VALUE")] = row.VALUE;
    o[QStringLiteral("COMMAND")] = row.COMMAND;
    o[QStringLiteral("CAPTION")] = row.CAPTION;
    o[QStringLiteral("ACTIVE")] = row.ACTIVE;
    o[QStringLiteral("STATE")] = row.STATE;
    return o;
}

// Integers are stored as JSON numbers, which hold them exactly up to 2^53.
bool readInteger(const QJsonObject& o, const char* key, int64_t min, int64_t max, int64_t& out) {
    const QJsonValue v = o.value(QLatin1String(key));
    if (!v.isDouble()) {
        return false;
    }
    const double d = v.toDouble();
    if (d != static_cast<double>(static_cast<int64_t>(d)) || d < static_cast<double>(min) ||
        d > static_cast<double>(max)) {
        return false;
    }
    out = static_cast<int64_t>(d);
    return true;
}

bool readText(const QJsonObject& o, const char* key, QString& out) {
    const QJsonValue v = o.value(QLatin1String(key));
    if (!v.isString() || v.toString().size() > kMaxTextLength) {
        return false;
    }
    out = v.toString();
    return true;
}

bool readBool(const QJsonObject& o, const char* key, bool& out) {
    const QJsonValue v = o.value(QLatin1String(key));
    if (!v.isBool()) {
        return false;
    }
    out = v.toBool();
    return true;
}

bool rowFromJson(const QJsonValue& value, TCleanPathRow& row) {
    if (!value.isObject()) {
        return false;
    }
    const QJsonObject o = value.toObject();
    constexpr int64_t kInt32Min = INT32_MIN;
    constexpr int64_t kInt32Max = INT32_MAX;
    constexpr int64_t kExact = int64_t{1} << 53;
    int64_t sysCode = 0;
    int64_t catId = 0;
    int64_t state = 0;
    if (!readInteger(o, "ID", -kExact, kExact, row.ID) ||
        !readInteger(o, "SYS_CODE", kInt32Min, kInt32Max, sysCode) ||
        !readInteger(o, "CAT_ID", kInt32Min, kInt32Max, catId) ||
        !readInteger(o, "CLEAN_ID", -kExact, kExact, row.CLEAN_ID) ||
        !readInteger(o, "STATE", kInt32Min, kInt32Max, state) ||
        !readBool(o, "EX_FLAG", row.EX_FLAG) || !readBool(o, "ACTIVE", row.ACTIVE) ||
        !readText(o, "NAME", row.NAME) || !readText(o, "VALUE", row.VALUE) ||
        !readText(o, "COMMAND", row.COMMAND) || !readText(o, "CAPTION", row.CAPTION)) {
        return false;
    }
    row.SYS_CODE = static_cast<int32_t>(sysCode);
    row.CAT_ID = static_cast<int32_t>(catId);
    row.STATE = static_cast<int32_t>(state);
    return true;
}

}  // namespace

TCleanPaths_DM::TCleanPaths_DM() {
    InitDataset(0);
}

bool TCleanPaths_DM::InitDataset(int) {
    rows_.clear();
    return true;
}

bool TCleanPaths_DM::SetPathToDataset(int, int aSysCode, int acatID, int aID, bool aExcludeFlag,
                                      const QString& apath) {
    if (apath.isEmpty()) {
        return false;
    }
    auto it = std::find_if(rows_.begin(), rows_.end(), [&](const TCleanPathRow& row) {
        return row.CAT_ID == acatID && row.CLEAN_ID == aID && row.EX_FLAG == aExcludeFlag &&
               row.VALUE == apath;
    });
    if (it == rows_.end()) {
        TCleanPathRow row;
        row.ID = static_cast<int64_t>(rows_.size()) + 1;
        rows_.push_back(row);
        it = rows_.end() - 1;
    }
    it->CAT_ID = acatID;
    it->CLEAN_ID = aID;
    it->SYS_CODE = aSysCode;
    it->VALUE = apath;
    it->EX_FLAG = aExcludeFlag;
    d_currID = it->ID;
    return true;
}

bool TCleanPaths_DM::SetPathStateLast(int, int aNewState) {
    auto it = std::find_if(rows_.begin(), rows_.end(),
                           [this](const TCleanPathRow& row) { return row.ID == d_currID; });
    if (it == rows_.end()) {
        throw std::logic_error("TCleanPaths_DM.SetPathStateLast - not Locate d_currID=" +
                               std::to_string(d_currID));
    }
    it->STATE = aNewState;
    return true;
}

bool TCleanPaths_DM::SetPathState(int, int, int acatID, int aID, bool, const QString& apath,
                                  int aNewState) {
    if (apath.isEmpty()) {
        return false;
    }
    auto it = std::find_if(rows_.begin(), rows_.end(), [&](const TCleanPathRow& row) {
        return row.CAT_ID == acatID && row.CLEAN_ID == aID;
    });
    if (it == rows_.end()) {
        return false;
    }
    it->STATE = aNewState;
    return true;
}

bool TCleanPaths_DM::SetNametoDataset(int acatID, int aID, const QString& aname) {
    for (TCleanPathRow& row : rows_) {
        if (row.CLEAN_ID == aID && row.CAT_ID == acatID) {
            row.NAME = aname;
        }
    }
    return true;
}

bool TCleanPaths_DM::LoadFromFile(const QString& aFilename) {
    QFile file(aFilename);
    if (!file.exists() || !file.open(QIODevice::ReadOnly) || file.size() > kMaxFileSize) {
        return false;
    }
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(file.read(kMaxFileSize), &error);
    if (error.error != QJsonParseError::NoError || !document.isObject()) {
        return false;
    }
    const QJsonValue rowsValue = document.object().value(QStringLiteral("rows"));
    if (!rowsValue.isArray()) {
        return false;
    }
    std::vector<TCleanPathRow> loaded;
    for (const QJsonValue& value : rowsValue.toArray()) {
        TCleanPathRow row;
        if (!rowFromJson(value, row)) {
            return false;
        }
        loaded.push_back(std::move(row));
    }
    rows_ = std::move(loaded);
    return true;
}

bool TCleanPaths_DM::SaveToFile(const QString& aFilename) const {
    QJsonArray rows;
    for (const TCleanPathRow& row : rows_) {
        rows.append(rowToJson(row));
    }
    QJsonObject root;
    root[QStringLiteral("rows")] = rows;
    QSaveFile file(aFilename);
    if (!file.open(QIODevice::WriteOnly)) {
        return false;
    }
    const QByteArray bytes = QJsonDocument(root).toJson(QJsonDocument::Indented);
    return file.write(bytes) == bytes.size() && file.commit();
}

std::vector<TCleanPathRow> TCleanPaths_DM::RowsByCleanId() const {
    std::vector<TCleanPathRow> sorted = rows_;
    std::stable_sort(
        sorted.begin(), sorted.end(),
        [](const TCleanPathRow& a, const TCleanPathRow& b) { return a.CLEAN_ID < b.CLEAN_ID; });
    return sorted;
}

}  // namespace tidora::catalog
