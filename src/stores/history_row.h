#pragma once

#include <QString>

#include <cstdint>
#include <optional>

#include "stores/sqlite_statement.h"

namespace tidora::stores {

// One row of History_T: one cleaning run.
struct THistoryRow {
    int64_t ID = 0;
    int64_t NUM = 0;
    QString DT;  // yyyy-mm-dd hh:nn:ss.zzz
    QString TM;  // hh:nn:ss.zzz
    int64_t F_COUNT = 0;
    int64_t R_COUNT = 0;
    int64_t F_ERRS = 0;
    int64_t R_ERRS = 0;
    double F_SIZE = 0;
    double F_ERRSIZE = 0;
    QString F_SIZESTR;
    QString F_ERRSIZESTR;
    QString DELAYSTR;
    int64_t ACT_SIGN = 0;
    QString ACT_DESC;
    int64_t RES_SIGN = 0;
    QString RES_DESC;
    int64_t R_REGIME = 0;
    QString R_REGIME_DESC;
    std::optional<double> ALL_S;
    int64_t CS_SIGN = 0;
    QString APP_VERSION;
    int64_t SIGN = 0;

    bool operator==(const THistoryRow&) const = default;
};

// The current row of a statement selecting every column of History_T.
THistoryRow ReadHistoryRow(const SqliteStatement& stmt);

}  // namespace tidora::stores
