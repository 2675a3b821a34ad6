#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

#include "stores/statistics_table.h"

namespace tidora::stores {

// The statistics table as a JSON document: {"rows": [{"ID": 11, "K_P": 20, ...}, ...]} with one
// member per field of a row.
QByteArray ExpDataToJson(const TExpDataTable& table);

// Reads a document ExpDataToJson wrote, or one written by hand: each row needs ID, K_COUNT,
// K_SIZE and K_P; a missing other field keeps its default. nullopt, with the reason in aError,
// for a document that is not such a table: a wrong type, a number out of range, a negative
// weight, count or size, a name over 240 characters or an ID given twice.
std::optional<TExpDataTable> ExpDataFromJson(const QByteArray& json, QString& aError);

}  // namespace tidora::stores
