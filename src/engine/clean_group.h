#pragma once

#include <QString>
#include <QStringList>

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <vector>

#include "catalog/clean_items_table.h"
#include "catalog/clean_paths.h"
#include "engine/base_clean_item.h"
#include "engine/clean_collect_data.h"
#include "engine/clean_result_record.h"
#include "engine/clipboard_access.h"
#include "frame/main_thread_calls.h"
#include "frame/user_dialogs.h"
#include "platform/machine.h"
#include "stores/clean_history_sink.h"

namespace tidora::stores {
class TBasedata_DM;
}

namespace tidora::engine {

class TCleanGroup;
class twThread;

using TCleanGroup_OperationEvent =
    std::function<void(TCleanGroup* aGroupObj, TbaseCleanItem* aItemObj, int32_t acRegime,
                       const QString& aDesc, double aCurrPos)>;
using TCleanGroup_ChangeStatusEvent = std::function<void(
    TCleanGroup* aGroupObj, TbaseCleanItem* aItemObj, const QString& aStateDesc)>;
using TCleanGroup_DataEvent = std::function<void(TCleanGroup* aGroupObj, TbaseCleanItem* aItemObj,
                                                 const helpers::TwCleanRecord* aPtr)>;
using TCleanGroup_AfterEvent = std::function<void(
    TCleanGroup* aGroupObj, bool aRunFlag, const QString& aResStateDesc, const QString& AInfoSize,
    const QString& AInfoCounts, const QString& ADeltaTimeStr)>;

// What the group works with: the machine it cleans, the working database, the paths record, the
// dialogs for questions and errors, the clipboard and the history (each may be missing but the
// first three).
struct TCleanGroupContext {
    platform::Machine& machine;
    stores::TBasedata_DM& database;
    frame::UserDialogs& dialogs;
    catalog::TCleanPaths_DM* paths = nullptr;
    ClipboardAccess* clipboard = nullptr;
    stores::CleanHistorySink* history = nullptr;
};

// The engine's single entry point: owns the clean items, keeps them in step with the parameter
// table, applies regimes and runs the analysis and cleaning passes on a worker thread.
class TCleanGroup {
public:
    // Recreates the working database file aDFile (left closed).
    TCleanGroup(TCleanGroupContext context, const QString& aDFile, int32_t aGroupID,
                const QString& aLat_name);
    virtual ~TCleanGroup();
    TCleanGroup(const TCleanGroup&) = delete;
    TCleanGroup& operator=(const TCleanGroup&) = delete;

    virtual void Step() { run_step = true; }
    virtual void SetParams(int32_t) {}
    virtual bool LoadItems();
    virtual bool SetConnectedDataBase(bool anerState);
    virtual bool ClearQueries(int32_t clRegime);
    virtual bool ReloadItems(int32_t aRR);
    virtual bool EvaluateCounts(int32_t actID, bool aRunFlag);
    virtual bool inner_CalcResult(bool aRunflag, int32_t actID);
    virtual QString FormatCalcResult(int32_t aFormatSign, bool aRunFlag, const QString& aAppVersion,
                                     QStringList* aResultList, int32_t aVisRegime);
    virtual int32_t SetCalcResultToHistory(bool aRunFlag, int32_t aCRegime, double aSum,
                                           const QString& aAppVersion);
    virtual bool Calc_AfterProcess(bool aRunFlag, int32_t actID);
    virtual int32_t ClearNotRunItems(int32_t actID);
    virtual int32_t Analyze(int32_t actID);
    virtual int32_t Run(int32_t actID);
    virtual bool Cancel();

    int64_t GetCount() const { return static_cast<int64_t>(Params.size()); }
    QString GetActiveItemsState(const QString& aSepar) const;
    bool ResetItemsState(const QString& aNewStr, const QString& aSEpar);
    bool RenewActiveStatesFromRegime(int32_t aRegimeNum);
    QString GetCommRegimeDesc(int32_t aDescRG) const;
    QString GetCaptionFromName(const QString& ALat_name) const;
    QString GetCaptionFromID(int32_t aID) const;
    QString GetCaptionAndType(const TbaseCleanItem* aObj, int32_t& aType) const;
    QString GetItemsCaptions(int32_t aType, QChar aDelimeter, bool aonlyActive) const;
    TbaseCleanItem* GetItemFromCaption(int32_t acatID, const QString& Acapt) const;
    QString GetDescFromName(const QString& ALat_name) const;
    TbaseCleanItem* FindParamFromName(const QString& aLat_name) const;
    TbaseCleanItem* FindParamFromID(int32_t acatID, int32_t aID) const;
    bool GetItemsInfo(int32_t ainfoRG, QStringList& AList) const;
    int32_t GetCurrentItemState() const;
    bool IsRunExists(int32_t acalcRegime) const;
    // The diagnostic list of every item with its search and exclusion lists.
    QStringList ShowItemsDataReport(int32_t aRg) const;

    // Background operations: each returns at once, the pass runs on a worker thread.
    bool trAnalyze(int32_t actID);
    bool trRun(int32_t actID);
    // Stops the worker and waits for it to end, running its calls onto the main thread meanwhile.
    void trKill(int32_t aLogRegime);
    // From the worker: a question or message on the main thread; the answer in aContinueFlag.
    void trErrMessage(int32_t rg, int32_t aerrCode, const QString& aErrStr, bool& aContinueFlag);
    bool trCancel(int32_t aRegime);
    // The worker has ended (or none was started).
    bool IsWorkerDone() const;

    bool inner_FillResultDataFromDB(int32_t arg);
    QString GetItemsResultdata(bool aRunFlag, int32_t aType, QChar aDelimeter,
                               int32_t aVisRegime) const;
    QString GetDeltaTimeString(int32_t aRG);

    const std::vector<std::unique_ptr<TbaseCleanItem>>& Items() const { return Params; }
    int32_t ProcessState() const { return FProcessState.load(); }
    int32_t RunProcessFlag() const { return FRunProcessFlag.load(); }
    int32_t CommRegime() const { return fcomm_Regime; }
    bool ProcessEnabled() const { return FProcessEnabled.load(); }
    int32_t ProcessThreadCount() const { return FProcessThreadCount; }
    double CurrPosition() const { return FCurrPosition.load(); }
    int32_t CurrItemCount() const { return FCurrItemCount; }
    int32_t ActiveItemsCount() const { return FActiveItemsCount; }
    TbaseCleanItem* CurrItem() const { return FCurrItem.load(); }
    const TCleanResultRecord& AnalyzeResult() const { return FAnalyzeResult; }
    const TCleanResultRecord& RunResult() const { return FRunresult; }
    const QString& DeltaTimeStr() const { return FDeltaTimeStr; }
    int64_t DeltaTimeMSec() const { return FDeltaTimeMSec; }
    TCleanCollectData& CollectData() { return Collectdata; }

    bool StepModeFlag = false;
    TCleanGroup_OperationEvent DoOperationEvent;
    TCleanGroup_ChangeStatusEvent DoChangeStatusEvent;
    TCleanGroup_DataEvent DoChangedataEvent;
    TCleanGroup_AfterEvent DoAfterEvent;

private:
    friend class twThread;

    void inner_OperationEvent(TbaseCleanItem* item, int32_t code, const QString& text, double p,
                              int64_t currNum, int64_t count);
    void inner_ChangeActiveEvent(TbaseCleanItem* item, bool& aNewActive);
    void inner_ChangeStatusEvent(TbaseCleanItem* item, const QString& text);
    void inner_ChangeDataEvent(TbaseCleanItem* item, const helpers::TwCleanRecord* record);
    std::unique_ptr<TbaseCleanItem> createItem(const catalog::TCleanItemParams& row);
    bool matchesAction(const TbaseCleanItem& item, int32_t actID) const;
    bool startWorker(int32_t grRegime, int32_t actID, int32_t killRegime);
    // Runs a statement text of the group's own on the main thread while the worker waits.
    bool execOnMainThread(const QString& sql, const char* traceWhere);
    // A monotonic millisecond count, for the duration of a run.
    int64_t tickCount() const;

    TCleanGroupContext ctx_;
    frame::MainThreadCalls mainThread_;
    std::atomic<int32_t> FCloseAppSign = 1;
    int32_t FGroupID = 0;
    QString FLat_name;
    int32_t FProcessThreadCount = 0;
    std::atomic<bool> FProcessEnabled = true;
    std::atomic<int32_t> FProcessState = 0;
    std::atomic<int32_t> FRunProcessFlag = 0;
    QString FItemsState;
    int32_t fcomm_Regime = 0;
    std::unique_ptr<twThread> FProcessThread;
    int32_t FCurrItemCount = 0;
    int32_t FActiveItemsCount = 0;
    std::atomic<double> FCurrPosition = 0;
    int32_t FCurrActionID = 0;
    TCleanResultRecord FAnalyzeResult;
    TCleanResultRecord FRunresult;
    int64_t FDeltaTimeMSec = 0;
    QString FDeltaTimeStr;
    TCleanCollectData Collectdata;
    int32_t f_FakeItemsCount = 0;
    bool run_step = true;
    QString baseFileName;
    int64_t f_time_Start = 0;
    int64_t f_time_End = 0;
    std::vector<std::unique_ptr<TbaseCleanItem>> Params;
    QString LastAnalizeItemsStr;
    std::atomic<TbaseCleanItem*> FCurrItem = nullptr;
};

}  // namespace tidora::engine
