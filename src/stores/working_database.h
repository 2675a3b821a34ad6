#pragma once

// Threads. The module keeps one SQLite connection and one std::recursive_mutex. Every public
// operation on the connection, the views or the icon cache holds the mutex while it runs, so the
// program list's store operations on its own thread, the main thread's view refreshes and icon
// lookups and the rows the clean group's worker writes never overlap. Code that runs statements of
// its own (the clean items) takes LockConnection(), which holds the mutex as long as the returned
// object lives, and batches its inserts in a SqliteTransaction under it. Such a hold stays short
// and never waits for another thread (a blocking call onto the main thread, say): that thread may
// be waiting for the mutex. Callbacks that leave the module (OnLoadItemRecord, OnSaveItemRecord and
// onOpenTable) run without the mutex. The parameter and result tables are the clean group's: it
// reads them on its worker only while a run goes, when nothing else changes them.
//
// The file is scratch, recreated at every start: WAL journal and synchronous=OFF. A committed
// write is visible to every connection at once; it is only not forced to disk.

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <functional>
#include <map>
#include <mutex>
#include <vector>

#include "catalog/clean_items_table.h"
#include "frame/user_dialogs.h"
#include "stores/connection_lock.h"
#include "stores/grid_rows.h"
#include "stores/program_record.h"
#include "stores/programs_view.h"
#include "stores/result_table.h"
#include "stores/sqlite_db.h"

namespace tidora::stores {

// Loads (sets aValue to the value stored under aname in configuration aConfigNum, or to aDefVal)
// or saves (stores aValue under aname) one item setting.
using TOnItemsRecord = std::function<void(int32_t aConfigNum, const QString& aname, QString& aValue,
                                          const QString& aDefVal)>;

// The working database: what the current analysis found (Files_T, Regs_T) and the installed
// programs (Programs_T) in a SQLite file, the clean-item parameter tables, the per-item results
// and the program icons.
class TBasedata_DM {
public:
    explicit TBasedata_DM(frame::UserDialogs& dialogs);
    ~TBasedata_DM();
    TBasedata_DM(const TBasedata_DM&) = delete;
    TBasedata_DM& operator=(const TBasedata_DM&) = delete;

    // connRg 1 deletes the file with its side files first (false, creating nothing, when that
    // fails) and creates the tables; otherwise they are created only for a new file. Failures to
    // connect or create are shown to the user and give false.
    bool connectToSQLite(int32_t connRg, const QString& aFName, bool AfterCloseFlag);
    // Opens the connection when closed; with aRregime >= 1 also the files and registry views.
    bool ReconnectToBase(int32_t aRregime);
    // Re-reads the open files and registry views.
    void RefreshSelTables();
    bool IsConnected() const;
    void Disconnect();

    // The catalog fills ADS with the default items; a copy is kept as the defaults.
    bool LoadDefaultParams(int32_t aloadRg, catalog::TCleanItemsTable& ADS);
    // Applies the stored item records; true when a row changed.
    bool Loaddata(int32_t aConfigNum);
    // Stores the record of every item that differs from its default ("0" for the others); true
    // when one differed.
    bool Savedata(int32_t aConfigNum);
    bool SaveState(int32_t aConfigNum, const QString& AStr);
    // Empty when nothing is stored.
    QString GetState(int32_t aConfigNum);
    // True when the item differs from its default, LRecStr then its record text; false with
    // LRecStr emptied when equal, and unchanged when the name is missing from a table.
    bool EqualRecords(int32_t aConfigNum, const QString& aLat_name, QString& LRecStr);

    // Program-list storage. Every one does nothing on a closed connection.
    void un_ClearData();
    void un_RefreshTable();
    // Updates the row of the same name and version, else inserts one; dResult tells the outcome.
    void un_AddProgram(TProgram& LRec);
    void un_DeleteProgram(TProgram& LRec);
    void un_GetProgram(TProgram& LRec);
    // Only for dOperation 10. Afterwards Id > 0: found and read; -1: nothing matched.
    void un_FindFirstProgram(const QString& AFieldNames, TProgram& ARec);
    void un_ResetEvents();
    int32_t un_GetSelectUninstallCount();
    // A copy of the program's cached icon bytes; false (AMStr emptied) when none is cached.
    bool GetProgIcoBlobData(int32_t aID, QByteArray& AMStr);

    // The files and registry grids: row count as of the last open or refresh, and pages of rows
    // in ID order (empty while the view is closed).
    bool IsFilesViewOpen() const;
    int64_t FilesViewRowCount() const;
    std::vector<TFileRow> FilesViewPage(int64_t offset, int64_t limit);
    bool IsRegsViewOpen() const;
    int64_t RegsViewRowCount() const;
    std::vector<TRegRow> RegsViewPage(int64_t offset, int64_t limit);

    // The programs grid (FDMT_Programs): a copy of its state.
    TProgramsView ProgramsView() const;
    // The grid's one writable column, written back to the stored row; false when the view has no
    // such row or the write failed.
    bool SetProgramSelect(int64_t progId, bool select);
    // Deletes the stored row and the view's row.
    bool DeleteProgramRow(int64_t progId);

    TConnectionLock LockConnection();

    int32_t dataRegime = 0;  // while not 0, connectToSQLite neither connects nor creates
    TUninstallParameters d_UninstallParameters;
    TOnItemsRecord OnLoadItemRecord;
    TOnItemsRecord OnSaveItemRecord;

    catalog::TCleanItemsTable FDMemTable_Items;
    catalog::TCleanItemsTable FDMemTable_ItemsDef;
    TCleanResultTable FDMemTable_Result;

private:
    struct TTableView {
        bool open = false;
        int64_t rowCount = 0;
    };

    void openConnection();
    void closeConnection();
    bool createTables();
    void refreshView(TTableView& view, const QString& countSql);
    void loadProgramsView();
    QString loadItemRecord(int32_t aConfigNum, const QString& name, const QString& defValue);
    void saveItemRecord(int32_t aConfigNum, const QString& name, const QString& value);

    frame::UserDialogs& dialogs_;
    mutable std::recursive_mutex mutex_;
    SqliteDb FDConnection1;
    QString databasePath_;
    bool d_InRefreshFlag = false;
    TTableView FDQuery_SELFiles;
    TTableView FDQuery_SELRegs;
    TProgramsView FDMT_Programs;
    std::map<int32_t, QByteArray> d_ProgIcoDict;
};

}  // namespace tidora::stores
