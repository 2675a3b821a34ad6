#pragma once

// Threads. The history lives on the main thread: every operation, the clean group's entry after a
// run included, is called there. Its connection is its own, apart from the working database's, so
// it takes no lock.
//
// The file persists from run to run, so it keeps SQLite's default rollback journal and full
// durability. Every operation has committed when it returns: between operations the file on disk
// is whole, which is what CopyBaseFileTo copies.

#include <QString>

#include <cstdint>
#include <vector>

#include "frame/user_dialogs.h"
#include "stores/clean_history_sink.h"
#include "stores/hist_exp_detail.h"
#include "stores/history_row.h"
#include "stores/sqlite_db.h"

namespace tidora::stores {

class SqliteError;

// The history of past cleanings (History_T) and the statistics snapshots with their per-item
// figures (HistExp_T, HistExp_DETAIL_T), in a SQLite file that persists from run to run.
class THistorybaseDM : public CleanHistorySink {
public:
    // History_T keeps the FmaxCount - 1 newest entries.
    static constexpr int32_t FmaxCount = 1000;

    explicit THistorybaseDM(frame::UserDialogs& dialogs);
    ~THistorybaseDM() override;
    THistorybaseDM(const THistorybaseDM&) = delete;
    THistorybaseDM& operator=(const THistorybaseDM&) = delete;

    // Opens the file (creating it when missing), creates the tables and opens the view. A file
    // SQLite finds damaged (not a database, corrupt) is renamed aside and a new history created in
    // its place. Any other failure (a locked or unreadable file, say) is shown and gives false
    // with the file left as it was.
    bool ConnectToFilename(const QString& cFilename);
    // Re-reads the history view; false when not connected or when reading failed (shown).
    bool ReConnectBase();
    // Largest (true) or smallest (false) ID of History_T, 0 when it is empty; -1 when not
    // connected or on failure.
    int64_t GetMinMaxID(bool aMaxFlag);
    // Rows of History_T; -1 when not connected or on failure.
    int64_t GetCount();
    // Adds the entry of a run with ID = largest ID + 1; once the table is full the oldest entry (by
    // DT, then ID) makes room. The new ID, or -1 (failures are shown, the table stays as it was).
    int32_t AddNewLine(const TCleanHistoryRecord& aHistoryRec) override;
    // Stores a statistics snapshot with the details of the items whose SIGN is above 0, all or
    // nothing. False when not connected or on failure (shown).
    bool AddAnalyseToExpTables(const std::vector<THistExpDetail>& aExpMDS, int32_t aType,
                               double aDate, double aPCC, double allS);
    // Deletes every entry and snapshot; true when done or when the history was never opened.
    bool ClearData();
    // Copies the history file to the path, replacing a file there only once the copy is whole.
    bool CopyBaseFileTo(const QString& targetPath);

    bool Connected() const { return FConnected; }
    const QString& Filename() const { return FFilename; }

    // The history grid: "select * from History_T" in ID order, as of the last (re-)read.
    bool IsHistoryViewOpen() const { return FDQuery_HExport.open; }
    const std::vector<THistoryRow>& HistoryViewRows() const { return FDQuery_HExport.rows; }

private:
    struct TView {
        bool open = false;
        std::vector<THistoryRow> rows;
    };

    void disconnect();
    void openChecked();
    bool replaceDamagedFile();
    void readView();
    void showFailure(const QString& text, const SqliteError& error, bool withMessage);

    frame::UserDialogs& dialogs_;
    SqliteDb FDConnectionH;
    bool FConnected = false;
    QString FFilename;
    TView FDQuery_HExport;
};

}  // namespace tidora::stores
