#include "stores/program_rows.h"

#include <QLocale>

#include "diagnostics/date_time.h"
#include "frame/settings_value_text.h"

namespace tidora::stores {

QString InstallDateToText(double days) {
    const QDateTime dateTime = diagnostics::dateTimeFromDays(days);
    return dateTime.isValid() ? frame::formatDateTime(dateTime, QLocale()) : QString();
}

double InstallDateFromText(const QString& text) {
    const std::optional<QDateTime> dateTime = frame::parseDateTime(text, QLocale());
    return dateTime ? diagnostics::daysFromDateTime(*dateTime) : 0.0;
}

TProgramRow ProgramRowFromRecord(const TProgram& record) {
    TProgramRow row;
    row.ProgID = record.Id;
    row.ProgName = record.PrgName;
    row.ProgPublisher = record.Publisher;
    row.ProgSize = record.iSize;
    row.ProgVersion = record.PrgVersion;
    row.ProgCmd = record.Command;
    row.ProgInstallDate = InstallDateToText(record.InstallDate);
    row.ProgIco = record.IconStreamRef;
    row.ProgIcoSign = record.prgIconSign;
    row.ProgSys = record.prgSysComponent;
    row.ProgSizeStr = record.Size;
    row.ProgSelect = 0;
    return row;
}

TProgramRow ReadProgramRow(const SqliteStatement& stmt) {
    TProgramRow row;
    row.ProgID = stmt.columnInt64(stmt.columnIndex("ProgID"));
    row.ProgName = stmt.columnText(stmt.columnIndex("ProgName"));
    row.ProgPublisher = stmt.columnText(stmt.columnIndex("ProgPublisher"));
    row.ProgSize = stmt.columnInt64(stmt.columnIndex("ProgSize"));
    row.ProgVersion = stmt.columnText(stmt.columnIndex("ProgVersion"));
    row.ProgCmd = stmt.columnText(stmt.columnIndex("ProgCmd"));
    row.ProgInstallDate = stmt.columnText(stmt.columnIndex("ProgInstallDate"));
    row.ProgIco = stmt.columnBlob(stmt.columnIndex("ProgIco"));
    row.ProgIcoSign = stmt.columnInt64(stmt.columnIndex("ProgIcoSign"));
    row.ProgSys = stmt.columnInt64(stmt.columnIndex("ProgSys"));
    row.ProgSizeStr = stmt.columnText(stmt.columnIndex("ProgSizeStr"));
    row.ProgSelect = stmt.columnInt64(stmt.columnIndex("ProgSelect"));
    return row;
}

void ReadProgramRecord(const TProgramRow& row, TProgram& record) {
    record.Id = static_cast<int32_t>(row.ProgID);
    record.PrgName = row.ProgName;
    record.Publisher = row.ProgPublisher;
    record.Size = row.ProgSizeStr;
    record.PrgVersion = row.ProgVersion;
    record.Command = row.ProgCmd;
    record.InstallDate = InstallDateFromText(row.ProgInstallDate);
    record.prgIconSign = static_cast<int32_t>(row.ProgIcoSign);
    record.prgSysComponent = static_cast<int32_t>(row.ProgSys);
    record.iSize = row.ProgSize;
    record.dSelect = row.ProgSelect != 0;
}

void BindProgramColumns(SqliteStatement& stmt, const TProgramRow& row) {
    stmt.bindText(":ProgName", row.ProgName);
    stmt.bindText(":ProgPublisher", row.ProgPublisher);
    stmt.bindInt64(":ProgSize", row.ProgSize);
    stmt.bindText(":ProgVersion", row.ProgVersion);
    stmt.bindText(":ProgCmd", row.ProgCmd);
    stmt.bindText(":ProgInstallDate", row.ProgInstallDate);
    if (row.ProgIco.isEmpty()) {
        stmt.bindNull(":ProgIco");
    } else {
        stmt.bindBlob(":ProgIco", row.ProgIco);
    }
    stmt.bindInt64(":ProgIcoSign", row.ProgIcoSign);
    stmt.bindInt64(":ProgSys", row.ProgSys);
    stmt.bindText(":ProgSizeStr", row.ProgSizeStr);
    stmt.bindInt64(":ProgSelect", row.ProgSelect);
}

}  // namespace tidora::stores
