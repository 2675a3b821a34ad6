#pragma once

#include <QString>

#include <cstdint>

#include "stores/sqlite_statement.h"

namespace tidora::stores {

// One row of Files_T: a file a clean item found.
struct TFileRow {
    int64_t ID = 0;
    int64_t CLEAN_ID = 0;
    QString NAME;
    int64_t SIZE = 0;
    double DATE = 0;  // days since 1899-12-30
    int64_t STATE = 0;
    int64_t ACTIVE = 0;
    int64_t P_ID = 0;
    QString SIZESTR;

    bool operator==(const TFileRow&) const = default;
};

// One row of Regs_T: a registry entry a clean item found.
struct TRegRow {
    int64_t ID = 0;
    int64_t CLEAN_ID = 0;
    int64_t HOMEKEY = 0;
    QString NAME;
    int64_t TYPE = 0;
    QString VALUE;
    int64_t W_VALUE = 0;
    int64_t STATE = 0;
    int64_t ACTIVE = 0;
    int64_t P_ID = 0;
    QString HKSTR;

    bool operator==(const TRegRow&) const = default;
};

// The current row of a statement selecting every column of the table.
TFileRow ReadFileRow(const SqliteStatement& stmt);
TRegRow ReadRegRow(const SqliteStatement& stmt);

}  // namespace tidora::stores
