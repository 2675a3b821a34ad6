#include "stores/history_database.h"

#include <sqlite3.h>

#include <QDateTime>
#include <QFile>
#include <QLatin1StringView>
#include <QSaveFile>
#include <filesystem>
#include <system_error>

#include "diagnostics/code_trace.h"
#include "stores/damaged_file_aside.h"
#include "stores/history_dates.h"
#include "stores/host_file.h"
#include "stores/sqlite_error.h"
#include "stores/sqlite_transaction.h"

namespace tidora::stores {
namespace {

const QString kCreateTables[] = {
    QStringLiteral(
        "CREATE TABLE IF NOT EXISTS History_T(ID INTEGER PRIMARY KEY, NUM INTEGER, DT DATETIME, "
        "TM DATETIME, F_COUNT INTEGER, R_COUNT INTEGER, F_ERRS INTEGER, R_ERRS INTEGER, F_SIZE "
        "REAL, F_ERRSIZE REAL,F_SIZESTR TEXT, F_ERRSIZESTR TEXT, DELAYSTR TEXT, ACT_SIGN INTEGER, "
        "ACT_DESC TEXT, RES_SIGN INTEGER, RES_DESC TEXT, R_REGIME INTEGER, R_REGIME_DESC TEXT, "
        "ALL_S REAL, CS_SIGN INTEGER, APP_VERSION TEXT, SIGN INTEGER);"),
    QStringLiteral(
        "CREATE TABLE IF NOT EXISTS HistExp_DETAIL_T (HID INTEGER, CTYPE INTEGER, CLEAN_ID "
        "INTEGER, RES_COUNT INTEGER, RES_SIZE REAL, SIGN INTEGER);"),
    QStringLiteral(
        "CREATE TABLE IF NOT EXISTS HistExp_T (HID INTEGER PRIMARY KEY AUTOINCREMENT, ATYPE "
        "INTEGER, DT DATETIME, PCC REAL, ADD_C REAL, ALL_S REAL, SIGN INTEGER);"),
};

void traceError(const char* operation, const QString& message) {
    diagnostics::TraceCmd(
        QStringLiteral("err:"),
        QStringLiteral("THistorybaseDM.%1: %2").arg(QLatin1StringView(operation), message));
}

// Only what SQLite itself reports as no database or a broken one; a file that is locked or that
// cannot be read is not damaged and must be left alone.
bool isDamaged(const SqliteError& error) {
    const int primary = error.code() & 0xff;
    return primary == SQLITE_NOTADB || primary == SQLITE_CORRUPT;
}

// Null on an empty table, which counts as 0.
int64_t singleValue(SqliteDb& db, const QString& sql) {
    SqliteStatement stmt = db.prepare(sql);
    return stmt.step() && !stmt.isNull(0) ? stmt.columnInt64(0) : 0;
}

void insertHistoryRow(SqliteDb& db, const TCleanHistoryRecord& rec, int64_t id, int64_t num,
                      int64_t sign) {
    SqliteStatement stmt = db.prepare(QStringLiteral(
        "insert into History_T values (:ID, :NUM, :DT, :TM, :F_COUNT, :R_COUNT, :F_ERRS, "
        ":R_ERRS, :F_SIZE, :F_ERRSIZE, :F_SIZESTR, :F_ERRSIZESTR, :DELAYSTR, :ACT_SIGN, "
        ":ACT_DESC, :RES_SIGN, :RES_DESC, :R_REGIME, :R_REGIME_DESC, :ALL_S, :CS_SIGN,  "
        ":APP_VERSION, :SIGN);"));
    stmt.bindInt64(":ID", id);
    stmt.bindInt64(":NUM", num);
    stmt.bindText(":DT", FormatHistoryDate(rec.Dt));
    stmt.bindText(":TM", FormatHistoryTime(rec.Tm));
    stmt.bindInt64(":F_COUNT", rec.FilesCount);
    stmt.bindInt64(":R_COUNT", rec.RegsCount);
    stmt.bindInt64(":F_ERRS", rec.FilesErrs);
    stmt.bindInt64(":R_ERRS", rec.RegsErrs);
    stmt.bindDouble(":F_SIZE", rec.FilesSize);
    stmt.bindDouble(":F_ERRSIZE", rec.FilesErrSize);
    stmt.bindText(":F_SIZESTR", rec.FilesSizeStr);
    stmt.bindText(":F_ERRSIZESTR", rec.FilesErrSizeStr);
    stmt.bindText(":DELAYSTR", rec.DelayStr);
    stmt.bindInt64(":ACT_SIGN", rec.actSign);
    stmt.bindText(":ACT_DESC", rec.actDesc);
    stmt.bindInt64(":RES_SIGN", rec.resSign);
    stmt.bindText(":RES_DESC", rec.resDesc);
    stmt.bindInt64(":R_REGIME", rec.cleanRegime);
    stmt.bindText(":R_REGIME_DESC", rec.cleanRegimeDesc);
    stmt.bindDouble(":ALL_S", rec.AllS);
    stmt.bindInt64(":CS_SIGN", 0);
    stmt.bindText(":APP_VERSION", rec.appVersion);
    stmt.bindInt64(":SIGN", sign);
    stmt.step();
}

bool sameFile(const QString& a, const QString& b) {
    std::error_code error;
    return std::filesystem::equivalent(hostPath(a), hostPath(b), error) && !error;
}

}  // namespace

THistorybaseDM::THistorybaseDM(frame::UserDialogs& dialogs) : dialogs_(dialogs) {}

THistorybaseDM::~THistorybaseDM() {
    disconnect();
}

void THistorybaseDM::disconnect() {
    FConnected = false;
    FDQuery_HExport = {};
    FDConnectionH.close();
}

void THistorybaseDM::showFailure(const QString& text, const SqliteError& error, bool withMessage) {
    QString shown = text + SqliteError::className();
    if (withMessage) {
        shown += QStringLiteral("\r\n") + error.message();
    }
    dialogs_.ShowError(shown);
}

// Opens the file and makes sure SQLite can read it as a database before the tables are created.
void THistorybaseDM::openChecked() {
    FDConnectionH.open(FFilename);
    {
        // SQLite reads nothing of the file until the first statement needs it.
        SqliteStatement check = FDConnectionH.prepare(
            QStringLiteral("select * from sqlite_master where type = 'table'"));
        while (check.step()) {
        }
    }
    // All three tables or no history: one missing would fail every later write.
    for (const QString& sql : kCreateTables) {
        FDConnectionH.exec(sql);
    }
}

bool THistorybaseDM::replaceDamagedFile() {
    const std::optional<QString> aside =
        MoveDamagedFileAside(FFilename, QDateTime::currentDateTime());
    if (!aside) {
        dialogs_.ShowError(QStringLiteral("Don't Renew History data File:\r\n") + FFilename);
        return false;
    }
    if (!aside->isEmpty()) {
        diagnostics::TraceCmd(QStringLiteral("warn:"),
                              QStringLiteral("THistorybaseDM: damaged history %1 moved to %2")
                                  .arg(FFilename, *aside));
    }
    try {
        openChecked();
    } catch (const SqliteError& error) {
        FDConnectionH.close();
        traceError("ConnectToFilename", error.message());
        dialogs_.ShowError(QStringLiteral("Don't Recreate new history data File:\r\n") + FFilename);
        return false;
    }
    return true;
}

bool THistorybaseDM::ConnectToFilename(const QString& cFilename) {
    disconnect();
    FFilename = cFilename;
    if (cFilename.isEmpty()) {
        // SQLite would open a private temporary database that is gone at the end of the run.
        traceError("ConnectToFilename", QStringLiteral("no history file name"));
        return false;
    }
    try {
        openChecked();
    } catch (const SqliteError& error) {
        FDConnectionH.close();
        traceError("ConnectToFilename", error.message());
        if (!isDamaged(error)) {
            dialogs_.ShowError(QStringLiteral(" HistoryBaseDM.ConnectToFilename: ") +
                               SqliteError::className() +
                               QStringLiteral(" ошибка с сообщением : ") + error.message());
            return false;
        }
        if (!replaceDamagedFile()) {
            return false;
        }
    }
    FConnected = FDConnectionH.isOpen();
    if (FConnected) {
        try {
            readView();
        } catch (const SqliteError& error) {
            traceError("ConnectToFilename", error.message());
            dialogs_.ShowWarning(QStringLiteral("Don't open/create history data!"));
        }
    }
    return FConnected;
}

void THistorybaseDM::readView() {
    std::vector<THistoryRow> rows;
    SqliteStatement stmt =
        FDConnectionH.prepare(QStringLiteral("select * from History_T order by ID"));
    while (stmt.step()) {
        rows.push_back(ReadHistoryRow(stmt));
    }
    FDQuery_HExport.rows = std::move(rows);
    FDQuery_HExport.open = true;
}

bool THistorybaseDM::ReConnectBase() {
    if (!FConnected) {
        return false;
    }
    try {
        readView();
        return true;
    } catch (const SqliteError& error) {
        traceError("ReConnectBase", error.message());
        dialogs_.ShowWarning(QStringLiteral("Don't refresh history data!"));
        return false;
    }
}

int64_t THistorybaseDM::GetMinMaxID(bool aMaxFlag) {
    if (!FConnected) {
        return -1;
    }
    try {
        return singleValue(FDConnectionH,
                           aMaxFlag ? QStringLiteral("select Max(ifnull(ID,0)) from History_T")
                                    : QStringLiteral("select Min(ifnull(ID,0)) from History_T"));
    } catch (const SqliteError& error) {
        traceError("GetMinMaxID", error.message());
        return -1;
    }
}

int64_t THistorybaseDM::GetCount() {
    if (!FConnected) {
        return -1;
    }
    try {
        return singleValue(FDConnectionH, QStringLiteral("select COUNT() from History_T"));
    } catch (const SqliteError& error) {
        traceError("GetCount", error.message());
        return -1;
    }
}

// A full table gives up its oldest entries, not its newest: the new entry is inserted with the
// next ID and SIGN 1, and NUM goes on counting the runs since the history was last cleared (the
// largest NUM + 1), so the grid's "№" stays the number of the run.
int32_t THistorybaseDM::AddNewLine(const TCleanHistoryRecord& aHistoryRec) {
    if (!FConnected) {
        return -1;
    }
    bool replacing = false;
    try {
        SqliteTransaction tx(FDConnectionH);
        const int64_t maxID =
            singleValue(FDConnectionH, QStringLiteral("select Max(ifnull(ID,0)) from History_T"));
        const int64_t count =
            singleValue(FDConnectionH, QStringLiteral("select COUNT() from History_T"));
        int64_t num = count + 1;
        replacing = count + 1 >= FmaxCount;
        if (replacing) {
            num = singleValue(FDConnectionH, QStringLiteral("select Max(NUM) from History_T")) + 1;
            SqliteStatement drop = FDConnectionH.prepare(QStringLiteral(
                "delete from History_T where ID in (select ID from History_T order by DT, ID "
                "limit :Surplus)"));
            drop.bindInt64(":Surplus", count - (FmaxCount - 2));
            drop.step();
        }
        insertHistoryRow(FDConnectionH, aHistoryRec, maxID + 1, num, replacing ? 1 : 0);
        tx.commit();
        return static_cast<int32_t>(maxID + 1);
    } catch (const SqliteError& error) {
        traceError("AddNewLine", error.message());
        showFailure(replacing ? QStringLiteral("THistoryBaseDM.AddNewLine_update\r\n")
                              : QStringLiteral("THistoryBaseDM.AddNewLine\r\n"),
                    error, true);
        return -1;
    }
}

bool THistorybaseDM::AddAnalyseToExpTables(const std::vector<THistExpDetail>& aExpMDS,
                                           int32_t aType, double aDate, double aPCC, double allS) {
    if (!FConnected) {
        return false;
    }
    bool inDetails = false;
    try {
        SqliteTransaction tx(FDConnectionH);
        SqliteStatement snapshot = FDConnectionH.prepare(QStringLiteral(
            "insert into HistExp_T values (NULL, :ATYPE, :DT, :PCC, :ADD_C, :ALL_S, :SIGN);"));
        snapshot.bindInt64(":ATYPE", aType);
        snapshot.bindText(":DT", FormatHistoryDate(aDate));
        snapshot.bindDouble(":PCC", aPCC);
        snapshot.bindDouble(":ADD_C", 0);
        snapshot.bindDouble(":ALL_S", allS);
        snapshot.bindInt64(":SIGN", 1);
        snapshot.step();
        // The key this very insert was given: the details must not land under another one.
        const int64_t hid = FDConnectionH.lastInsertRowId();
        inDetails = true;
        for (const THistExpDetail& row : aExpMDS) {
            if (row.SIGN <= 0) {
                continue;
            }
            SqliteStatement detail = FDConnectionH.prepare(QStringLiteral(
                "insert into HistExp_DETAIL_T values (:HID, :CTYPE, :CLEAN_ID, :RES_COUNT, "
                ":RES_SIZE, :SIGN);"));
            detail.bindInt64(":HID", hid);
            detail.bindInt64(":CTYPE", row.TYPE);
            detail.bindInt64(":CLEAN_ID", row.ID);
            detail.bindInt64(":RES_COUNT", row.RES_COUNT);
            detail.bindDouble(":RES_SIZE", row.RES_SIZE);
            detail.bindInt64(":SIGN", 1);
            detail.step();
        }
        tx.commit();
        return true;
    } catch (const SqliteError& error) {
        traceError("AddAnalyseToExpTables", error.message());
        if (inDetails) {
            showFailure(QStringLiteral("THistoryBaseDM.AddAnalyseToExpTables -> FDQuery_HExpDetail "
                                       "insert\r\n"),
                        error, true);
        } else {
            showFailure(
                QStringLiteral("THistoryBaseDM.AddAnalyseToExpTables -> FDQuery_HExp insert\r\n"),
                error, false);
        }
        return false;
    }
}

bool THistorybaseDM::ClearData() {
    if (!FConnected) {
        return true;
    }
    bool result = true;
    try {
        SqliteTransaction tx(FDConnectionH);
        FDConnectionH.exec(QStringLiteral(
            "DELETE FROM HistExp_DETAIL_T;  DELETE FROM HistExp_T; DELETE FROM History_T;"));
        tx.commit();
    } catch (const SqliteError& error) {
        traceError("ClearData", error.message());
        showFailure(QStringLiteral(" THistoryBaseDM.ClearData -> error in delete tables \r\n"),
                    error, false);
        result = false;
    }
    if (FDQuery_HExport.open) {
        ReConnectBase();
    }
    return result;
}

bool THistorybaseDM::CopyBaseFileTo(const QString& targetPath) {
    if (targetPath.isEmpty() || !pathExists(FFilename)) {
        return false;
    }
    // Replacing the open file itself would leave the connection writing to a file nobody sees.
    if (sameFile(FFilename, targetPath)) {
        traceError("CopyBaseFileTo",
                   QStringLiteral("%1 is the history file itself").arg(targetPath));
        return false;
    }
    QFile source(FFilename);
    if (!source.open(QIODevice::ReadOnly)) {
        traceError("CopyBaseFileTo", source.errorString());
        return false;
    }
    // The file at the target is replaced only by a complete copy.
    QSaveFile target(targetPath);
    if (!target.open(QIODevice::WriteOnly)) {
        traceError("CopyBaseFileTo", target.errorString());
        return false;
    }
    while (!source.atEnd()) {
        const QByteArray chunk = source.read(1 << 16);
        if (chunk.isEmpty() || target.write(chunk) != chunk.size()) {
            traceError("CopyBaseFileTo",
                       QStringLiteral("%1 / %2").arg(source.errorString(), target.errorString()));
            target.cancelWriting();
            return false;
        }
    }
    if (!target.commit()) {
        traceError("CopyBaseFileTo", target.errorString());
        return false;
    }
    return true;
}

}  // namespace tidora::stores
