#pragma once

#include <QString>
#include <QStringList>

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>

#include "engine/clean_collect_data.h"
#include "engine/found_rows.h"
#include "helpers/clean_record.h"
#include "platform/machine.h"

namespace tidora::stores {
class TBasedata_DM;
}

namespace tidora::engine {

class TbaseCleanItem;

// Operation codes an item reports.
enum : int32_t {
    kOpAnalysisStart = 2,
    kOpSearchStart = 4,
    kOpFound = 5,
    kOpAnalysisEnd = 8,
    kOpProcessed = 15,
    kOpCleaningEnd = 18,
};

// Item states.
enum : int32_t {
    kStateNone = 0,
    kStateAnalysing = 1,
    kStateAnalysisCancelled = 2,
    kStateAnalysed = 3,
    kStateCleaning = 5,
    kStateCleaningCancelled = 6,
    kStateCleaned = 7,
};

using TCleanOperationEvent =
    std::function<void(TbaseCleanItem* aObj, int32_t acRegime, const QString& aDesc,
                       double aCurrPos, int64_t aCurrNum, int64_t aCount)>;
using TCleanChangeActiveEvent = std::function<void(TbaseCleanItem* aObj, bool& aNewActive)>;
using TCleanChangeStatusEvent =
    std::function<void(TbaseCleanItem* aObj, const QString& aStateDesc)>;
using TCleanChangeDataEvent =
    std::function<void(TbaseCleanItem* aObj, const helpers::TwCleanRecord* adataPtr)>;

// One selectable kind of junk: it finds what it stands for (analysis) and removes it (cleaning).
// Created on the main thread; analysis and cleaning run on the group's worker.
class TbaseCleanItem {
public:
    TbaseCleanItem(platform::Machine& machine, int32_t actID, int32_t acatID, int32_t aID,
                   const QString& aLat_name);
    virtual ~TbaseCleanItem() = default;
    TbaseCleanItem(const TbaseCleanItem&) = delete;
    TbaseCleanItem& operator=(const TbaseCleanItem&) = delete;

    virtual QString GetNameStr() const;
    virtual void CancelOperation(int32_t aclRegime);
    virtual bool EvaluateCount(int32_t acRg) = 0;
    virtual bool AnalysisRun(int32_t aRegime) = 0;
    virtual bool Run(int32_t aRegime) = 0;
    virtual bool IsAnalysisRegime() const;
    virtual QString GetStateName() const;
    virtual QString GetInfo(int32_t ainfoRg) const;

    bool GetActiveFlag() const { return FActiveFlag; }
    void SetActiveFlag(bool Value);
    // Deletes the item's rows from a table of the working database.
    bool ClearQueryData(const QString& aQname);

    int32_t ActionID() const { return FActionID; }
    int32_t TypeID() const { return FTypeID; }
    int32_t StateID() const { return FStateID.load(); }
    int64_t Count() const { return FCount; }
    int64_t CurrNum() const { return FCurrNum; }
    int64_t RealCount() const { return FRealCount; }

    const int32_t iD;
    const int32_t CatID;
    const QString Lat_name;
    QStringList VarList;
    QStringList ExceptList;
    double CleanSize = 0;
    TCleanCollectData* pCollectdata = nullptr;
    stores::TBasedata_DM* DataConnectionRef = nullptr;

    TCleanOperationEvent DoGroup_CleanOperationEvent;
    TCleanChangeActiveEvent DoGroup_CleanChangeActiveEvent;
    TCleanChangeStatusEvent DoGroup_ChangeStatusEvent;
    TCleanChangeDataEvent DoGroup_ChangeDataEvent;

protected:
    bool exitRequested() const { return pCollectdata && pCollectdata->cExitFlag.load(); }
    bool tablesInUse() const { return !pCollectdata || pCollectdata->cDataRegime == 0; }
    void sendOperation(int32_t code, const QString& desc, double pos, int64_t num, int64_t count);
    // Codes 2, 4, 8 and 18 carry the expected count twice.
    void sendOperation(int32_t code, double pos);
    void sendState();
    void sendData(const helpers::TwCleanRecord* record);
    void setState(int32_t state) { FStateID.store(state); }
    // Opens the row writer of a run on the item's table; false when no table is to be touched.
    bool openRows(RowTable table);
    // Writes what is gathered and ends the run's writer.
    void closeRows();
    // Runs the store operation the record's Regime names (1 insert with the next row ID taken
    // from nextId, 2 or 3 the outcome of a cleaning, 0 delete the item's rows).
    bool storeRow(helpers::TwCleanRecord& record, int64_t* nextId);

    platform::Machine& machine_;
    const int32_t FActionID;
    int64_t FCount = 0;
    int64_t FCurrNum = 0;
    int64_t FRealCount = 0;
    bool FActiveFlag = true;
    int32_t FTypeID = 0;
    std::atomic<int32_t> FStateID = kStateNone;
    std::unique_ptr<FoundRowsWriter> rows_;
};

}  // namespace tidora::engine
