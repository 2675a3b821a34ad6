#pragma once

#include <QByteArray>
#include <QString>

#include <cstdint>

#include "stores/program_record.h"
#include "stores/sqlite_statement.h"

namespace tidora::stores {

// One row of Programs_T as it is stored.
struct TProgramRow {
    int64_t ProgID = 0;
    QString ProgName;
    QString ProgPublisher;
    int64_t ProgSize = 0;
    QString ProgVersion;
    QString ProgCmd;
    QString ProgInstallDate;  // locale text
    QByteArray ProgIco;       // PNG bytes; empty for NULL
    int64_t ProgIcoSign = 0;
    int64_t ProgSys = 0;
    QString ProgSizeStr;
    int64_t ProgSelect = 0;

    bool operator==(const TProgramRow&) const = default;
};

// The locale's short date and long time, as the user reads them; the date alone at midnight.
QString InstallDateToText(double days);
// 0 for a text that does not parse.
double InstallDateFromText(const QString& text);

// What storing the record writes: its Id as ProgID, ProgSelect 0, the icon bytes.
TProgramRow ProgramRowFromRecord(const TProgram& record);
// The current row of a statement that selects every column of Programs_T.
TProgramRow ReadProgramRow(const SqliteStatement& stmt);
// Copies a stored row into the record; the icon fields stay as they are.
void ReadProgramRecord(const TProgramRow& row, TProgram& record);
// Binds every column but ProgID to the parameter of the same name; an empty icon as NULL.
void BindProgramColumns(SqliteStatement& stmt, const TProgramRow& row);

}  // namespace tidora::stores
