#include "stores/working_database.h"

#include <QLatin1StringView>
#include <algorithm>
#include <filesystem>
#include <string_view>
#include <system_error>

#include "stores/dm_diagnostics.h"
#include "stores/host_file.h"
#include "stores/sqlite_error.h"

namespace tidora::stores {
namespace {

namespace fs = std::filesystem;

constexpr std::string_view wLVL_BD_CON = "wLVL_BD_CON";
constexpr std::string_view wLVL_BD_RECON = "wLVL_BD_RECON";
constexpr std::string_view wLVL_BD_REFRESH = "wLVL_BD_REFRESH";
constexpr std::string_view wLVL_BD_VIEW = "wLVL_BD_VIEW";

const QString kCreateFiles = QStringLiteral(
    "CREATE TABLE Files_T(ID INTEGER PRIMARY KEY, CLEAN_ID INTEGER, NAME TEXT, SIZE INTEGER, "
    "DATE DATETIME, STATE INTEGER, ACTIVE NUMERIC, P_ID INTEGER, SIZESTR TEXT);");
const QString kCreateRegs = QStringLiteral(
    "CREATE TABLE Regs_T(ID INTEGER PRIMARY KEY, CLEAN_ID INTEGER, HOMEKEY INTEGER, NAME TEXT, "
    "TYPE INTEGER, VALUE TEXT, W_VALUE INTEGER, STATE INTEGER, ACTIVE NUMERIC, P_ID INTEGER, "
    "HKSTR TEXT);");
const QString kCreatePrograms = QStringLiteral(
    "CREATE TABLE Programs_T(ProgID INTEGER PRIMARY KEY, ProgName TEXT, ProgPublisher TEXT, "
    "ProgSize  INTEGER, ProgVersion TEXT, ProgCmd TEXT, ProgInstallDate TEXT, ProgIco BLOB, "
    "ProgIcoSign INTEGER, ProgSys INTEGER, ProgSizeStr TEXT, ProgSelect INTEGER);");

// The side files go too, also when the file itself is missing: they belong to the old file, and
// one left behind would be taken for the new file's own.
bool deleteDatabaseFiles(const QString& path) {
    for (const char* suffix : {"", "-journal", "-wal", "-shm"}) {
        std::error_code error;
        fs::remove(hostPath(path + QLatin1StringView(suffix)), error);
        if (error) {
            traceDmError("connectToSQLite", QStringLiteral("cannot delete %1%2: %3")
                                                .arg(path, QLatin1StringView(suffix),
                                                     QString::fromLocal8Bit(error.message())));
            return false;
        }
    }
    return true;
}

template <typename Row>
std::vector<Row> readPage(SqliteDb& db, const QString& sql, int64_t offset, int64_t limit,
                          Row (*read)(const SqliteStatement&)) {
    std::vector<Row> rows;
    SqliteStatement stmt = db.prepare(sql);
    stmt.bindInt64(":Offset", std::max<int64_t>(offset, 0));
    stmt.bindInt64(":Limit", limit);
    while (stmt.step()) {
        rows.push_back(read(stmt));
    }
    return rows;
}

}  // namespace

TBasedata_DM::TBasedata_DM(frame::UserDialogs& dialogs) : dialogs_(dialogs) {
    d_UninstallParameters.sysFlag = true;
    d_UninstallParameters.onClearData = [this] { un_ClearData(); };
    d_UninstallParameters.onRefreshTable = [this] { un_RefreshTable(); };
    d_UninstallParameters.onAddRecord = [this](TProgram& rec) { un_AddProgram(rec); };
    d_UninstallParameters.onDeleteRecord = [this](TProgram& rec) { un_DeleteProgram(rec); };
    d_UninstallParameters.onGetRecord = [this](TProgram& rec) { un_GetProgram(rec); };
    d_UninstallParameters.onFindFirstRecord = [this](const QString& names, TProgram& rec) {
        un_FindFirstProgram(names, rec);
    };
}

TBasedata_DM::~TBasedata_DM() {
    un_ResetEvents();
    std::lock_guard lock(mutex_);
    closeConnection();
}

void TBasedata_DM::openConnection() {
    closeConnection();
    FDConnection1.open(databasePath_);
    try {
        FDConnection1.exec(QStringLiteral("PRAGMA journal_mode=WAL; PRAGMA synchronous=OFF;"));
    } catch (const SqliteError&) {
        FDConnection1.close();
        throw;
    }
}

void TBasedata_DM::closeConnection() {
    FDConnection1.close();
    FDQuery_SELFiles = {};
    FDQuery_SELRegs = {};
}

bool TBasedata_DM::createTables() {
    const struct {
        const QString& sql;
        QString errorText;
    } steps[] = {
        {kCreateFiles,
         QStringLiteral("Ошибка при создании таблицы для временного хранения записей файлов\r\n")},
        {kCreateRegs,
         QStringLiteral("Ошибка при создании таблицы для временного хранения записей реестра\r\n")},
        {kCreatePrograms,
         QStringLiteral("Ошибка при создании таблицы для временного хранения списка программ\r\n")},
    };
    for (const auto& step : steps) {
        try {
            FDConnection1.exec(step.sql);
        } catch (const SqliteError& error) {
            traceDmError("connectToSQLite", error.message());
            dialogs_.ShowError(step.errorText + error.message());
            return false;
        }
    }
    return true;
}

bool TBasedata_DM::connectToSQLite(int32_t connRg, const QString& aFName, bool AfterCloseFlag) {
    std::lock_guard lock(mutex_);
    LevelScope level(wLVL_BD_CON);
    if (aFName.isEmpty()) {
        // SQLite would open a private temporary database that nobody else can see.
        traceDmError("connectToSQLite", QStringLiteral("no database file name"));
        return false;
    }
    bool result = false;
    bool createNew = false;
    if (connRg == 1) {
        // What was read from the old file must not outlive it: the new file reuses its IDs.
        closeConnection();
        FDMT_Programs = {};
        d_ProgIcoDict.clear();
        if (!deleteDatabaseFiles(aFName)) {
            return false;
        }
        result = true;
        createNew = true;
    } else {
        createNew = !pathExists(aFName);
    }
    if (dataRegime != 0) {
        return result;
    }
    try {
        databasePath_ = aFName;
        openConnection();
    } catch (const SqliteError& error) {
        traceDmError("connectToSQLite", error.message());
        dialogs_.ShowError(SqliteError::className() + QStringLiteral(" ошибка с сообщением : ") +
                           error.message());
        // No usable database, whatever the deletion before it achieved.
        return false;
    }
    if (createNew && !createTables()) {
        closeConnection();
        return false;
    }
    result = FDConnection1.isOpen();
    if (AfterCloseFlag) {
        closeConnection();
    }
    return result;
}

void TBasedata_DM::refreshView(TTableView& view, const QString& countSql) {
    SqliteStatement stmt = FDConnection1.prepare(countSql);
    view.rowCount = stmt.step() ? stmt.columnInt64(0) : 0;
    view.open = true;
}

bool TBasedata_DM::ReconnectToBase(int32_t aRregime) {
    std::lock_guard lock(mutex_);
    LevelScope level(wLVL_BD_RECON);
    try {
        if (!FDConnection1.isOpen()) {
            if (databasePath_.isEmpty()) {
                return false;
            }
            openConnection();
        }
        if (aRregime < 1) {
            return false;
        }
        refreshView(FDQuery_SELFiles, QStringLiteral("Select count(*) from FILES_T"));
        refreshView(FDQuery_SELRegs, QStringLiteral("Select count(*) from REGS_T"));
        return true;
    } catch (const SqliteError& error) {
        traceDmError("ReconnectToBase", error.message());
        return false;
    }
}

bool TBasedata_DM::IsConnected() const {
    std::lock_guard lock(mutex_);
    return FDConnection1.isOpen();
}

void TBasedata_DM::Disconnect() {
    std::lock_guard lock(mutex_);
    closeConnection();
}

void TBasedata_DM::RefreshSelTables() {
    std::lock_guard lock(mutex_);
    LevelScope level(wLVL_BD_REFRESH);
    if (d_InRefreshFlag || !FDConnection1.isOpen()) {
        return;
    }
    d_InRefreshFlag = true;
    struct FlagReset {
        bool& flag;
        ~FlagReset() { flag = false; }
    } reset{d_InRefreshFlag};
    const struct {
        TTableView& view;
        QString countSql;
    } views[] = {
        {FDQuery_SELFiles, QStringLiteral("Select count(*) from FILES_T")},
        {FDQuery_SELRegs, QStringLiteral("Select count(*) from REGS_T")},
    };
    for (const auto& entry : views) {
        if (!entry.view.open) {
            continue;
        }
        try {
            refreshView(entry.view, entry.countSql);
        } catch (const SqliteError& error) {
            traceDmError("RefreshSelTables", error.message());
        }
    }
}

bool TBasedata_DM::IsFilesViewOpen() const {
    std::lock_guard lock(mutex_);
    return FDQuery_SELFiles.open;
}

int64_t TBasedata_DM::FilesViewRowCount() const {
    std::lock_guard lock(mutex_);
    return FDQuery_SELFiles.rowCount;
}

std::vector<TFileRow> TBasedata_DM::FilesViewPage(int64_t offset, int64_t limit) {
    std::lock_guard lock(mutex_);
    LevelScope level(wLVL_BD_VIEW);
    if (!FDQuery_SELFiles.open || limit <= 0) {
        return {};
    }
    try {
        return readPage(FDConnection1,
                        QStringLiteral("Select * from FILES_T order by ID limit :Limit offset "
                                       ":Offset"),
                        offset, limit, &ReadFileRow);
    } catch (const SqliteError& error) {
        traceDmError("FilesViewPage", error.message());
        return {};
    }
}

bool TBasedata_DM::IsRegsViewOpen() const {
    std::lock_guard lock(mutex_);
    return FDQuery_SELRegs.open;
}

int64_t TBasedata_DM::RegsViewRowCount() const {
    std::lock_guard lock(mutex_);
    return FDQuery_SELRegs.rowCount;
}

std::vector<TRegRow> TBasedata_DM::RegsViewPage(int64_t offset, int64_t limit) {
    std::lock_guard lock(mutex_);
    LevelScope level(wLVL_BD_VIEW);
    if (!FDQuery_SELRegs.open || limit <= 0) {
        return {};
    }
    try {
        return readPage(FDConnection1,
                        QStringLiteral("Select * from REGS_T order by ID limit :Limit offset "
                                       ":Offset"),
                        offset, limit, &ReadRegRow);
    } catch (const SqliteError& error) {
        traceDmError("RegsViewPage", error.message());
        return {};
    }
}

TConnectionLock TBasedata_DM::LockConnection() {
    return TConnectionLock(mutex_, FDConnection1);
}

}  // namespace tidora::stores
