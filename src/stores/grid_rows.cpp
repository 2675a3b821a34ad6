#include "stores/grid_rows.h"

namespace tidora::stores {

TFileRow ReadFileRow(const SqliteStatement& stmt) {
    TFileRow row;
    row.ID = stmt.columnInt64(stmt.columnIndex("ID"));
    row.CLEAN_ID = stmt.columnInt64(stmt.columnIndex("CLEAN_ID"));
    row.NAME = stmt.columnText(stmt.columnIndex("NAME"));
    row.SIZE = stmt.columnInt64(stmt.columnIndex("SIZE"));
    row.DATE = stmt.columnDouble(stmt.columnIndex("DATE"));
    row.STATE = stmt.columnInt64(stmt.columnIndex("STATE"));
    row.ACTIVE = stmt.columnInt64(stmt.columnIndex("ACTIVE"));
    row.P_ID = stmt.columnInt64(stmt.columnIndex("P_ID"));
    row.SIZESTR = stmt.columnText(stmt.columnIndex("SIZESTR"));
    return row;
}

TRegRow ReadRegRow(const SqliteStatement& stmt) {
    TRegRow row;
    row.ID = stmt.columnInt64(stmt.columnIndex("ID"));
    row.CLEAN_ID = stmt.columnInt64(stmt.columnIndex("CLEAN_ID"));
    row.HOMEKEY = stmt.columnInt64(stmt.columnIndex("HOMEKEY"));
    row.NAME = stmt.columnText(stmt.columnIndex("NAME"));
    row.TYPE = stmt.columnInt64(stmt.columnIndex("TYPE"));
    row.VALUE = stmt.columnText(stmt.columnIndex("VALUE"));
    row.W_VALUE = stmt.columnInt64(stmt.columnIndex("W_VALUE"));
    row.STATE = stmt.columnInt64(stmt.columnIndex("STATE"));
    row.ACTIVE = stmt.columnInt64(stmt.columnIndex("ACTIVE"));
    row.P_ID = stmt.columnInt64(stmt.columnIndex("P_ID"));
    row.HKSTR = stmt.columnText(stmt.columnIndex("HKSTR"));
    return row;
}

}  // namespace tidora::stores
