#include "engine/base_clean_item.h"

#include "catalog/catalog_texts.h"
#include "diagnostics/code_trace.h"
#include "stores/sqlite_error.h"
#include "stores/working_database.h"

namespace tidora::engine {

TbaseCleanItem::TbaseCleanItem(platform::Machine& machine, int32_t actID, int32_t acatID,
                               int32_t aID, const QString& aLat_name)
    : iD(aID), CatID(acatID), Lat_name(aLat_name), machine_(machine), FActionID(actID) {}

QString TbaseCleanItem::GetNameStr() const {
    return QStringLiteral("%1:%2(%3)[%4]").arg(CatID).arg(iD).arg(Lat_name).arg(FTypeID);
}

void TbaseCleanItem::CancelOperation(int32_t) {
    setState(FStateID.load() > 4 ? kStateCleaningCancelled : kStateAnalysisCancelled);
}

bool TbaseCleanItem::IsAnalysisRegime() const {
    const int32_t state = FStateID.load();
    return state < kStateCleaning || state > kStateCleaned;
}

QString TbaseCleanItem::GetStateName() const {
    return catalog::GetItemStateText(FStateID.load());
}

QString TbaseCleanItem::GetInfo(int32_t) const {
    return QStringLiteral("%1|%2|%3|%4|%5|0")
        .arg(FActionID)
        .arg(FTypeID)
        .arg(iD)
        .arg(Lat_name)
        .arg(FCount);
}

void TbaseCleanItem::SetActiveFlag(bool Value) {
    if (Value == FActiveFlag) {
        return;
    }
    if (DoGroup_CleanChangeActiveEvent) {
        DoGroup_CleanChangeActiveEvent(this, Value);
    }
    FActiveFlag = Value;
}

bool TbaseCleanItem::ClearQueryData(const QString& aQname) {
    if (!tablesInUse()) {
        return false;
    }
    // Only the two tables items write; a table name is never spliced in from outside.
    if (!DataConnectionRef || (aQname.compare(QLatin1String("Files_T"), Qt::CaseInsensitive) != 0 &&
                               aQname.compare(QLatin1String("Regs_T"), Qt::CaseInsensitive) != 0)) {
        return true;
    }
    try {
        const auto lock = DataConnectionRef->LockConnection();
        auto statement =
            lock.db().prepare(QStringLiteral("delete from %1 where CLEAN_ID=?;").arg(aQname));
        statement.bindInt64(1, iD);
        statement.step();
    } catch (const stores::SqliteError& e) {
        diagnostics::TraceCmd(QStringLiteral("err:"), QString::fromUtf8(e.what()));
    }
    return true;
}

void TbaseCleanItem::sendOperation(int32_t code, const QString& desc, double pos, int64_t num,
                                   int64_t count) {
    if (DoGroup_CleanOperationEvent) {
        DoGroup_CleanOperationEvent(this, code, desc, pos, num, count);
    }
}

void TbaseCleanItem::sendOperation(int32_t code, double pos) {
    sendOperation(code, QString(), pos, FCount, FCount);
}

void TbaseCleanItem::sendState() {
    if (DoGroup_ChangeStatusEvent) {
        DoGroup_ChangeStatusEvent(this, GetStateName());
    }
}

void TbaseCleanItem::sendData(const helpers::TwCleanRecord* record) {
    if (DoGroup_ChangeDataEvent) {
        DoGroup_ChangeDataEvent(this, record);
    }
}

bool TbaseCleanItem::openRows(RowTable table) {
    rows_.reset();
    if (DataConnectionRef && tablesInUse()) {
        rows_ = std::make_unique<FoundRowsWriter>(*DataConnectionRef, table);
    }
    return rows_ != nullptr;
}

void TbaseCleanItem::closeRows() {
    rows_.reset();
}

bool TbaseCleanItem::storeRow(helpers::TwCleanRecord& record, int64_t* nextId) {
    if (!rows_) {
        return false;
    }
    switch (record.Regime) {
        case 1:
            record.id = nextId ? (*nextId)++ : 0;
            rows_->insert(record);
            ++FRealCount;
            return true;
        case 2:
        case 3:
            rows_->setState(record.id, record.CL_iD, record.Regime);
            if (FRealCount > 0) {
                --FRealCount;
            }
            return true;
        case 0:
            FRealCount = 0;
            return rows_->deleteItemRows(record.CL_iD);
        default:
            return false;
    }
}

}  // namespace tidora::engine
