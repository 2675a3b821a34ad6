#include "stores/working_database.h"

#include <algorithm>
#include <string_view>

#include "stores/dm_diagnostics.h"
#include "stores/program_condition.h"
#include "stores/program_rows.h"
#include "stores/sqlite_error.h"

namespace tidora::stores {
namespace {

constexpr std::string_view wLVL_BD_ClearPrg = "wLVL_BD_ClearPrg";
constexpr std::string_view wLVL_BD_RefreshPrg = "wLVL_BD_RefreshPrg";
constexpr std::string_view wLVL_BD_AddPrg = "wLVL_BD_AddPrg";
constexpr std::string_view wLVL_BD_DelPrg = "wLVL_BD_DelPrg";
constexpr std::string_view wLVL_BD_GetPrg = "wLVL_BD_GetPrg";
constexpr std::string_view wLVL_BD_FindPrg = "wLVL_BD_FindPrg";
constexpr std::string_view wLVL_BD_SelPrg = "wLVL_BD_SelPrg";
constexpr std::string_view wLVL_BD_IcoPrg = "wLVL_BD_IcoPrg";

const QString kProgramUpdate = QStringLiteral(
    "update Programs_T set ProgName=:ProgName, ProgPublisher=:ProgPublisher,ProgSize=:ProgSize, "
    "ProgVersion=:ProgVersion, ProgCmd=:ProgCmd, ProgInstallDate=:ProgInstallDate, "
    "ProgIco=:ProgIco,ProgIcoSign=:ProgIcoSign,ProgSys=:ProgSys, ProgSizeStr=:ProgSizeStr, "
    "ProgSelect=:ProgSelect where (ProgID=:ProgID);");
const QString kProgramInsert = QStringLiteral(
    "insert into Programs_T values (:ProgID, :ProgName, :ProgPublisher, :ProgSize, :ProgVersion, "
    ":ProgCmd, :ProgInstallDate, :ProgIco, :ProgIcoSign, :ProgSys, :ProgSizeStr, :ProgSelect);");
const QString kProgramDeleteRow = QStringLiteral("DELETE FROM Programs_T WHERE (ProgID=:ProgID);");
}  // namespace

void TBasedata_DM::un_ClearData() {
    std::lock_guard lock(mutex_);
    LevelScope level(wLVL_BD_ClearPrg);
    if (!FDConnection1.isOpen()) {
        return;
    }
    try {
        FDConnection1.exec(QStringLiteral("Delete From Programs_T"));
        d_ProgIcoDict.clear();
    } catch (const SqliteError& error) {
        traceDmError("un_ClearData", error.message());
    }
}

void TBasedata_DM::loadProgramsView() {
    std::vector<TProgramRow> rows;
    SqliteStatement stmt = FDConnection1.prepare(QStringLiteral("SELECT * FROM Programs_T"));
    while (stmt.step()) {
        rows.push_back(ReadProgramRow(stmt));
    }
    FDMT_Programs.rows = std::move(rows);
    FDMT_Programs.open = true;
}

void TBasedata_DM::un_RefreshTable() {
    TNotifyEvent opened;
    {
        std::lock_guard lock(mutex_);
        LevelScope level(wLVL_BD_RefreshPrg);
        if (!FDConnection1.isOpen()) {
            return;
        }
        const bool wasOpen = FDMT_Programs.open;
        try {
            loadProgramsView();
        } catch (const SqliteError& error) {
            traceDmError("un_RefreshTable", error.message());
            return;
        }
        const int count = static_cast<int>(FDMT_Programs.rows.size());
        if (wasOpen) {
            FDMT_Programs.currentRow = count - 1;
        } else {
            FDMT_Programs.currentRow = count > 0 ? 0 : -1;
            opened = d_UninstallParameters.onOpenTable;
        }
    }
    if (opened) {
        opened();
    }
}

void TBasedata_DM::un_AddProgram(TProgram& LRec) {
    std::lock_guard lock(mutex_);
    LevelScope level(wLVL_BD_AddPrg);
    if (!FDConnection1.isOpen()) {
        return;
    }
    int64_t id = 0;
    const TSqlCondition lookup = ProgramNameCondition(LRec);
    if (!lookup.isEmpty()) {
        try {
            SqliteStatement stmt = FDConnection1.prepare(
                QStringLiteral("SELECT ProgID from Programs_T WHERE ") + lookup.text() + u';');
            lookup.bindTo(stmt);
            if (stmt.step() && !stmt.isNull(0)) {
                id = stmt.columnInt64(0);
            }
        } catch (const SqliteError& error) {
            traceDmError("un_AddProgram", error.message());
        }
    }
    try {
        const TProgramRow row = ProgramRowFromRecord(LRec);
        if (id > 0) {
            SqliteStatement stmt = FDConnection1.prepare(kProgramUpdate);
            BindProgramColumns(stmt, row);
            stmt.bindInt64(":ProgID", id);
            stmt.step();
            // An update refreshes an icon already shown; it never adds one.
            if (auto cached = d_ProgIcoDict.find(static_cast<int32_t>(id));
                cached != d_ProgIcoDict.end()) {
                cached->second = LRec.IconStreamRef;
            }
        } else {
            SqliteStatement stmt = FDConnection1.prepare(kProgramInsert);
            BindProgramColumns(stmt, row);
            stmt.bindNull(":ProgID");
            stmt.step();
            d_ProgIcoDict[static_cast<int32_t>(FDConnection1.lastInsertRowId())] =
                LRec.IconStreamRef;
        }
        LRec.dResult = true;
    } catch (const SqliteError& error) {
        traceDmError("un_AddProgram", error.message());
        LRec.dResult = false;
    }
}

void TBasedata_DM::un_DeleteProgram(TProgram& LRec) {
    std::lock_guard lock(mutex_);
    LevelScope level(wLVL_BD_DelPrg);
    const TSqlCondition condition = ProgramCondition(LRec);
    if (!FDConnection1.isOpen() || condition.isEmpty()) {
        return;
    }
    try {
        SqliteStatement stmt = FDConnection1.prepare(
            QStringLiteral("Delete From Programs_T WHERE ") + condition.text() + u';');
        condition.bindTo(stmt);
        stmt.step();
        d_ProgIcoDict.erase(LRec.Id);
    } catch (const SqliteError& error) {
        traceDmError("un_DeleteProgram", error.message());
    }
}

void TBasedata_DM::un_GetProgram(TProgram& LRec) {
    std::lock_guard lock(mutex_);
    LevelScope level(wLVL_BD_GetPrg);
    const TSqlCondition condition = ProgramCondition(LRec);
    if (!FDConnection1.isOpen() || condition.isEmpty()) {
        return;
    }
    try {
        SqliteStatement stmt = FDConnection1.prepare(
            QStringLiteral("Select * From Programs_T WHERE ") + condition.text() + u';');
        condition.bindTo(stmt);
        if (stmt.step()) {
            ReadProgramRecord(ReadProgramRow(stmt), LRec);
        }
    } catch (const SqliteError& error) {
        traceDmError("un_GetProgram", error.message());
    }
}

void TBasedata_DM::un_FindFirstProgram(const QString& AFieldNames, TProgram& ARec) {
    constexpr int32_t kSearchRequest = 10;
    std::lock_guard lock(mutex_);
    LevelScope level(wLVL_BD_FindPrg);
    if (ARec.dOperation != kSearchRequest || !FDConnection1.isOpen()) {
        return;
    }
    const TSqlCondition condition = ProgramSearchCondition(AFieldNames, ARec);
    if (condition.isEmpty()) {
        return;
    }
    ClearProgram(ARec);
    ARec.Id = -1;
    try {
        SqliteStatement stmt = FDConnection1.prepare(
            QStringLiteral("Select * From Programs_T WHERE ") + condition.text() + u';');
        condition.bindTo(stmt);
        if (stmt.step()) {
            ReadProgramRecord(ReadProgramRow(stmt), ARec);
        }
    } catch (const SqliteError& error) {
        traceDmError("un_FindFirstProgram", error.message());
    }
}

void TBasedata_DM::un_ResetEvents() {
    std::lock_guard lock(mutex_);
    d_UninstallParameters.onClearData = nullptr;
    d_UninstallParameters.onRefreshTable = nullptr;
    d_UninstallParameters.onAddRecord = nullptr;
    d_UninstallParameters.onGetRecord = nullptr;
    d_UninstallParameters.onDeleteRecord = nullptr;
    d_UninstallParameters.onFindFirstRecord = nullptr;
}

int32_t TBasedata_DM::un_GetSelectUninstallCount() {
    std::lock_guard lock(mutex_);
    LevelScope level(wLVL_BD_SelPrg);
    if (!FDConnection1.isOpen() || !FDMT_Programs.open || FDMT_Programs.rows.empty()) {
        return 0;
    }
    try {
        SqliteStatement stmt = FDConnection1.prepare(
            QStringLiteral("Select COUNT(*) From Programs_T WHERE (ProgSelect=1)"));
        if (stmt.step() && !stmt.isNull(0)) {
            return static_cast<int32_t>(stmt.columnInt64(0));
        }
    } catch (const SqliteError& error) {
        traceDmError("un_GetSelectUninstallCount", error.message());
    }
    return 0;
}

bool TBasedata_DM::GetProgIcoBlobData(int32_t aID, QByteArray& AMStr) {
    std::lock_guard lock(mutex_);
    LevelScope level(wLVL_BD_IcoPrg);
    AMStr.clear();
    if (aID <= 0) {
        return false;
    }
    const auto cached = d_ProgIcoDict.find(aID);
    if (cached == d_ProgIcoDict.end()) {
        return false;
    }
    AMStr = cached->second;
    return true;
}

TProgramsView TBasedata_DM::ProgramsView() const {
    std::lock_guard lock(mutex_);
    return FDMT_Programs;
}

bool TBasedata_DM::SetProgramSelect(int64_t progId, bool select) {
    std::lock_guard lock(mutex_);
    LevelScope level(wLVL_BD_SelPrg);
    const int index = FDMT_Programs.indexOfProgId(progId);
    if (!FDConnection1.isOpen() || !FDMT_Programs.open || index < 0) {
        return false;
    }
    TProgramRow row = FDMT_Programs.rows[index];
    row.ProgSelect = select ? 1 : 0;
    try {
        SqliteStatement stmt = FDConnection1.prepare(kProgramUpdate);
        BindProgramColumns(stmt, row);
        stmt.bindInt64(":ProgID", row.ProgID);
        stmt.step();
    } catch (const SqliteError& error) {
        traceDmError("SetProgramSelect", error.message());
        return false;
    }
    FDMT_Programs.rows[index] = row;
    return true;
}

bool TBasedata_DM::DeleteProgramRow(int64_t progId) {
    std::lock_guard lock(mutex_);
    LevelScope level(wLVL_BD_DelPrg);
    const int index = FDMT_Programs.indexOfProgId(progId);
    if (!FDConnection1.isOpen() || !FDMT_Programs.open || index < 0) {
        return false;
    }
    try {
        SqliteStatement stmt = FDConnection1.prepare(kProgramDeleteRow);
        stmt.bindInt64(":ProgID", progId);
        stmt.step();
    } catch (const SqliteError& error) {
        traceDmError("DeleteProgramRow", error.message());
        return false;
    }
    FDMT_Programs.rows.erase(FDMT_Programs.rows.begin() + index);
    const int count = static_cast<int>(FDMT_Programs.rows.size());
    FDMT_Programs.currentRow = std::min(FDMT_Programs.currentRow, count - 1);
    return true;
}

}  // namespace tidora::stores
