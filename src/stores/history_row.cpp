#include "stores/history_row.h"

namespace tidora::stores {

THistoryRow ReadHistoryRow(const SqliteStatement& stmt) {
    const auto integer = [&stmt](const char* name) {
        return stmt.columnInt64(stmt.columnIndex(name));
    };
    const auto real = [&stmt](const char* name) {
        return stmt.columnDouble(stmt.columnIndex(name));
    };
    const auto text = [&stmt](const char* name) { return stmt.columnText(stmt.columnIndex(name)); };
    THistoryRow row;
    row.ID = integer("ID");
    row.NUM = integer("NUM");
    row.DT = text("DT");
    row.TM = text("TM");
    row.F_COUNT = integer("F_COUNT");
    row.R_COUNT = integer("R_COUNT");
    row.F_ERRS = integer("F_ERRS");
    row.R_ERRS = integer("R_ERRS");
    row.F_SIZE = real("F_SIZE");
    row.F_ERRSIZE = real("F_ERRSIZE");
    row.F_SIZESTR = text("F_SIZESTR");
    row.F_ERRSIZESTR = text("F_ERRSIZESTR");
    row.DELAYSTR = text("DELAYSTR");
    row.ACT_SIGN = integer("ACT_SIGN");
    row.ACT_DESC = text("ACT_DESC");
    row.RES_SIGN = integer("RES_SIGN");
    row.RES_DESC = text("RES_DESC");
    row.R_REGIME = integer("R_REGIME");
    row.R_REGIME_DESC = text("R_REGIME_DESC");
    const int allS = stmt.columnIndex("ALL_S");
    if (!stmt.isNull(allS)) {
        row.ALL_S = stmt.columnDouble(allS);
    }
    row.CS_SIGN = integer("CS_SIGN");
    row.APP_VERSION = text("APP_VERSION");
    row.SIGN = integer("SIGN");
    return row;
}

}  // namespace tidora::stores
