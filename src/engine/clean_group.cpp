#include "engine/clean_group.h"

#include "catalog/catalog_texts.h"
#include "diagnostics/code_trace.h"
#include "diagnostics/level_checkpoints.h"
#include "engine/clean_group_worker.h"
#include "engine/other_clean_item.h"
#include "engine/reg_clean_item.h"
#include "engine/temp_files_clean_item.h"
#include "stores/sqlite_error.h"
#include "stores/working_database.h"

namespace tidora::engine {

namespace {

void trace(const char* command, const QString& text) {
    diagnostics::TraceCmd(QString::fromLatin1(command), text);
}

constexpr std::string_view wLVL_GR = "wLVL_GR";
constexpr std::string_view wLVL_GR_LA = "wLVL_GR_LA";
constexpr std::string_view wLVL_GR_CA = "wLVL_GR_CA";

}  // namespace

TCleanGroup::TCleanGroup(TCleanGroupContext context, const QString& aDFile, int32_t,
                         const QString& aLat_name)
    : ctx_(context), FLat_name(aLat_name), baseFileName(aDFile) {
    diagnostics::LevelMark(wLVL_GR, "create");
    Collectdata.cDataRegime = ctx_.database.dataRegime;
    Collectdata.cEvalRegime = 1;
    Collectdata.cErrorMsgProc = [this](const QString& text) {
        bool go = true;
        trErrMessage(0, 0, text, go);
    };
    ctx_.database.FDMemTable_Result.clear();
    ctx_.database.connectToSQLite(1, aDFile, true);
}

TCleanGroup::~TCleanGroup() {
    FCloseAppSign = 0;
    Collectdata.cExitFlag = true;
    FProcessEnabled = false;
    DoOperationEvent = nullptr;
    DoChangeStatusEvent = nullptr;
    DoChangedataEvent = nullptr;
    DoAfterEvent = nullptr;
    trKill(0);
    FCurrItem = nullptr;
    Params.clear();
}

std::unique_ptr<TbaseCleanItem> TCleanGroup::createItem(const catalog::TCleanItemParams& row) {
    std::unique_ptr<TbaseCleanItem> item;
    switch (row.TYPE) {
        case 1:
            item = std::make_unique<TtempFilesCleanItem>(ctx_.machine, ctx_.paths, row.ACTION_ID,
                                                         row.CAT_ID, row.ID, row.LAT_NAME);
            item->DataConnectionRef = &ctx_.database;
            break;
        case 2:
            item = std::make_unique<TRegCleanItem>(ctx_.machine, ctx_.paths, row.ACTION_ID,
                                                   row.CAT_ID, row.ID, row.LAT_NAME);
            item->DataConnectionRef = &ctx_.database;
            break;
        case 3:
            item = std::make_unique<TOtherCleanItem>(ctx_.machine, ctx_.clipboard, row.ACTION_ID,
                                                     row.CAT_ID, row.ID, row.LAT_NAME);
            break;
        default:
            return nullptr;
    }
    item->pCollectdata = &Collectdata;
    return item;
}

bool TCleanGroup::LoadItems() {
    diagnostics::LevelMark(wLVL_GR_LA, "LoadItems");
    catalog::TCleanItemsTable& paramsDS = ctx_.database.FDMemTable_Items;
    ctx_.database.LoadDefaultParams(0, paramsDS);
    ctx_.database.Loaddata(1);
    std::erase_if(paramsDS.rows(), [](const catalog::TCleanItemParams& r) { return r.SIGN != 1; });
    trace("note:",
          QStringLiteral("TCleanGroup.LoadItems - input, itemCount=%1").arg(paramsDS.size()));
    for (const catalog::TCleanItemParams& row : paramsDS.rows()) {
        std::unique_ptr<TbaseCleanItem> item = createItem(row);
        // Items with nothing to search on this machine are not offered.
        if (!item || (item->TypeID() != 3 && item->VarList.isEmpty())) {
            continue;
        }
        item->SetActiveFlag(row.ACTIVE);
        item->DoGroup_CleanOperationEvent =
            [this](TbaseCleanItem* i, int32_t code, const QString& text, double p, int64_t num,
                   int64_t count) { inner_OperationEvent(i, code, text, p, num, count); };
        item->DoGroup_CleanChangeActiveEvent = [this](TbaseCleanItem* i, bool& value) {
            inner_ChangeActiveEvent(i, value);
        };
        item->DoGroup_ChangeStatusEvent = [this](TbaseCleanItem* i, const QString& text) {
            inner_ChangeStatusEvent(i, text);
        };
        item->DoGroup_ChangeDataEvent = [this](TbaseCleanItem* i,
                                               const helpers::TwCleanRecord* record) {
            inner_ChangeDataEvent(i, record);
        };
        Params.push_back(std::move(item));
    }
    trace("note:",
          QStringLiteral("TCleanGroup.LoadItems - output, ParamsCount=%1").arg(GetCount()));
    FItemsState = GetActiveItemsState(QStringLiteral(","));
    return true;
}

void TCleanGroup::inner_ChangeActiveEvent(TbaseCleanItem* item, bool& aNewActive) {
    catalog::TCleanItemsTable& paramsDS = ctx_.database.FDMemTable_Items;
    const int index = paramsDS.indexOfLatName(item->Lat_name);
    if (index >= 0) {
        paramsDS.rows()[static_cast<size_t>(index)].ACTIVE = aNewActive;
        fcomm_Regime = catalog::DetectRegime(paramsDS);
    }
}

void TCleanGroup::inner_ChangeStatusEvent(TbaseCleanItem* item, const QString& text) {
    if (DoChangeStatusEvent) {
        DoChangeStatusEvent(this, item, text);
    }
}

void TCleanGroup::inner_ChangeDataEvent(TbaseCleanItem* item,
                                        const helpers::TwCleanRecord* record) {
    if (DoChangedataEvent) {
        DoChangedataEvent(this, item, record);
    }
}

QString TCleanGroup::GetActiveItemsState(const QString& aSepar) const {
    QStringList ids;
    for (const auto& item : Params) {
        if (item->GetActiveFlag()) {
            ids.append(QString::number(item->iD));
        }
    }
    return ids.join(aSepar);
}

bool TCleanGroup::ResetItemsState(const QString& aNewStr, const QString&) {
    QStringList parts = aNewStr.split(QLatin1Char(','));
    for (QString& part : parts) {
        part = part.trimmed();
    }
    for (const auto& item : Params) {
        item->SetActiveFlag(parts.contains(QString::number(item->iD)));
    }
    catalog::TCleanItemsTable& paramsDS = ctx_.database.FDMemTable_Items;
    for (catalog::TCleanItemParams& row : paramsDS.rows()) {
        if (const TbaseCleanItem* item = FindParamFromName(row.LAT_NAME)) {
            row.ACTIVE = item->GetActiveFlag();
        }
    }
    return true;
}

bool TCleanGroup::RenewActiveStatesFromRegime(int32_t aRegimeNum) {
    trace("enter:", QStringLiteral("TCleanGroup.RenewActiveStatesFromRegime"));
    trace("note:", QStringLiteral("RegimeNum%1").arg(aRegimeNum));
    if (aRegimeNum > 0) {
        const QString stored = ctx_.database.GetState(1);
        FItemsState = (aRegimeNum == 4 && !stored.isEmpty())
                          ? stored
                          : catalog::GetRegimeItemsText(aRegimeNum);
        trace("note:",
              QStringLiteral("Rg=4 State=") + FItemsState + QStringLiteral(" LS=") + stored);
        ResetItemsState(FItemsState, QStringLiteral(","));
    } else if (aRegimeNum == 0) {
        FItemsState = GetActiveItemsState(QStringLiteral(","));
        ctx_.database.SaveState(1, FItemsState);
        trace("note:", QStringLiteral("Rg<>4 State=") + FItemsState);
        ResetItemsState(FItemsState, QStringLiteral(","));
    }
    const catalog::TCleanItemsTable& paramsDS = ctx_.database.FDMemTable_Items;
    for (const auto& item : Params) {
        for (const catalog::TCleanItemParams& row : paramsDS.rows()) {
            if (row.ID == item->iD && row.CAT_ID == item->CatID) {
                if (row.ACTIVE != item->GetActiveFlag()) {
                    item->SetActiveFlag(row.ACTIVE);
                }
                break;
            }
        }
    }
    fcomm_Regime = aRegimeNum;
    trace("exit:", QStringLiteral("TCleanGroup.RenewActiveStatesFromRegime"));
    return true;
}

QString TCleanGroup::GetCommRegimeDesc(int32_t) const {
    switch (fcomm_Regime) {
        case 0:
        case 4:
            return QStringLiteral("Очистка по настройкам пользователя");
        case 1:
        case 2:
        case 3:
        case 10:
            return catalog::GetRegimeName(fcomm_Regime);
        default:
            return QString();
    }
}

QString TCleanGroup::GetCaptionFromName(const QString& ALat_name) const {
    const catalog::TCleanItemsTable& paramsDS = ctx_.database.FDMemTable_Items;
    const int index = paramsDS.indexOfLatName(ALat_name);
    return index < 0 ? QString() : paramsDS.rows()[static_cast<size_t>(index)].CAPTION;
}

QString TCleanGroup::GetDescFromName(const QString& ALat_name) const {
    const catalog::TCleanItemsTable& paramsDS = ctx_.database.FDMemTable_Items;
    const int index = paramsDS.indexOfLatName(ALat_name);
    return index < 0 ? QString() : paramsDS.rows()[static_cast<size_t>(index)].DESC;
}

QString TCleanGroup::GetCaptionFromID(int32_t aID) const {
    const catalog::TCleanItemsTable& paramsDS = ctx_.database.FDMemTable_Items;
    const int index = paramsDS.indexOfId(aID);
    return index < 0 ? QString() : paramsDS.rows()[static_cast<size_t>(index)].CAPTION;
}

QString TCleanGroup::GetCaptionAndType(const TbaseCleanItem* aObj, int32_t& aType) const {
    if (!aObj) {
        return QString();
    }
    aType = aObj->TypeID();
    return GetCaptionFromName(aObj->Lat_name);
}

QString TCleanGroup::GetItemsCaptions(int32_t aType, QChar aDelimeter, bool aonlyActive) const {
    QString text;
    int number = 0;
    for (const catalog::TCleanItemParams& row : ctx_.database.FDMemTable_Items.rows()) {
        if ((aonlyActive && !row.ACTIVE) || (aType != 0 && row.TYPE != aType)) {
            continue;
        }
        text += aDelimeter + QString::number(++number) + QStringLiteral(". ") + row.CAPTION +
                QStringLiteral(", id(") + QString::number(row.ID) + QLatin1Char(')');
    }
    if (text.size() > 1) {
        text.remove(0, 1);
    }
    return text;
}

TbaseCleanItem* TCleanGroup::GetItemFromCaption(int32_t acatID, const QString& Acapt) const {
    for (const catalog::TCleanItemParams& row : ctx_.database.FDMemTable_Items.rows()) {
        if (row.CAPTION == Acapt && (acatID == 0 || row.CAT_ID == acatID)) {
            return FindParamFromName(row.LAT_NAME);
        }
    }
    return nullptr;
}

TbaseCleanItem* TCleanGroup::FindParamFromName(const QString& aLat_name) const {
    for (const auto& item : Params) {
        if (item->Lat_name.compare(aLat_name, Qt::CaseInsensitive) == 0) {
            return item.get();
        }
    }
    return nullptr;
}

TbaseCleanItem* TCleanGroup::FindParamFromID(int32_t acatID, int32_t aID) const {
    for (const auto& item : Params) {
        if (item->iD == aID && (acatID == 0 || item->CatID == acatID)) {
            return item.get();
        }
    }
    return nullptr;
}

bool TCleanGroup::GetItemsInfo(int32_t ainfoRG, QStringList& AList) const {
    for (const auto& item : Params) {
        AList.append(item->GetInfo(ainfoRG));
    }
    return !Params.empty();
}

int32_t TCleanGroup::GetCurrentItemState() const {
    const TbaseCleanItem* item = FCurrItem.load();
    return item ? item->StateID() : -1;
}

bool TCleanGroup::IsRunExists(int32_t) const {
    trace("enter:", QStringLiteral("TCleanGroup.IsRunExists"));
    bool result = false;
    for (const auto& item : Params) {
        if (item->GetActiveFlag() && (item->TypeID() == 3 || item->RealCount() > 0)) {
            result = true;
            break;
        }
    }
    trace("exit:", QStringLiteral("TCleanGroup.IsRunExists"));
    return result;
}

QStringList TCleanGroup::ShowItemsDataReport(int32_t aRg) const {
    QStringList lines;
    for (const auto& item : Params) {
        lines.append(item->GetInfo(aRg));
        lines.append(QStringLiteral(" var:"));
        lines.append(item->VarList);
        lines.append(QStringLiteral(" except:"));
        lines.append(item->ExceptList);
        lines.append(QStringLiteral("---end>") + item->Lat_name);
        lines.append(QString());
    }
    return lines;
}

bool TCleanGroup::matchesAction(const TbaseCleanItem& item, int32_t actID) const {
    return actID == 0 || item.ActionID() == actID;
}

bool TCleanGroup::EvaluateCounts(int32_t actID, bool aRunFlag) {
    trace("enter:", QStringLiteral("TCleanGroup.EvaluateCounts"));
    FActiveItemsCount = 0;
    for (const auto& item : Params) {
        if (item->GetActiveFlag() && matchesAction(*item, actID)) {
            ++FActiveItemsCount;
        }
    }
    FCurrItemCount = 0;
    trace("note:", QStringLiteral("ActiveItems%1").arg(FActiveItemsCount));
    if (FActiveItemsCount > 0 && (aRunFlag || Collectdata.cEvalRegime == 2)) {
        for (const auto& item : Params) {
            if (item->GetActiveFlag() && matchesAction(*item, actID)) {
                item->EvaluateCount(Collectdata.cEvalRegime);
            }
        }
    }
    trace("exit:", QStringLiteral("TCleanGroup.EvaluateCounts"));
    return true;
}

bool TCleanGroup::SetConnectedDataBase(bool anerState) {
    if (Collectdata.cDataRegime != 0) {
        return false;
    }
    if (ctx_.database.IsConnected() != anerState) {
        if (anerState) {
            ctx_.database.ReconnectToBase(0);
            return ctx_.database.IsConnected();
        }
        ctx_.database.Disconnect();
    }
    return true;
}

bool TCleanGroup::execOnMainThread(const QString& sql, const char* traceWhere) {
    bool ok = false;
    mainThread_.run([&] {
        try {
            const auto lock = ctx_.database.LockConnection();
            lock.db().exec(sql);
            ok = true;
        } catch (const stores::SqliteError& e) {
            trace("err:", QString::fromLatin1(traceWhere) + e.message());
        }
    });
    return ok;
}

bool TCleanGroup::ClearQueries(int32_t clRegime) {
    if (clRegime == 0) {
        return true;
    }
    if (Collectdata.cDataRegime != 0 || !SetConnectedDataBase(true)) {
        return false;
    }
    return execOnMainThread(QStringLiteral("delete from Files_T; delete from Regs_T;"),
                            "TCleanGroup.ClearQueries:");
}

int32_t TCleanGroup::ClearNotRunItems(int32_t actID) {
    std::vector<int32_t> ids;
    for (const auto& item : Params) {
        if (!item->GetActiveFlag() && matchesAction(*item, actID)) {
            ids.push_back(item->iD);
        }
    }
    if (ids.empty()) {
        return 0;
    }
    if (!SetConnectedDataBase(true)) {
        return -1;
    }
    bool ok = false;
    mainThread_.run([&] {
        try {
            const auto lock = ctx_.database.LockConnection();
            for (const char* table : {"delete from Files_T where CLEAN_ID=?;",
                                      "delete from Regs_T where CLEAN_ID=?;"}) {
                auto statement = lock.db().prepare(QString::fromLatin1(table));
                for (int32_t id : ids) {
                    statement.bindInt64(1, id);
                    statement.step();
                    statement.reset();
                }
            }
            ok = true;
        } catch (const stores::SqliteError& e) {
            trace("err:", QStringLiteral("TCleanGroup.ClearNotRunItems,actID=%1:").arg(actID) +
                              e.message());
        }
    });
    return ok ? 0 : -1;
}

int32_t TCleanGroup::Analyze(int32_t actID) {
    diagnostics::LevelMark(wLVL_GR_CA, "Analyze");
    FProcessState = 1;
    FCurrActionID = actID;
    trace("enter:", QStringLiteral("TCleanGroup.Analyze"));
    FCurrItemCount = 0;
    EvaluateCounts(actID, false);
    if (!ClearQueries(1)) {
        FProcessState = -1;
        trace("err:", QStringLiteral("TCleanGroup.Analyze - ClearQueries=false!"));
        return -10;
    }
    FCurrItemCount = 0;
    Collectdata.cFilesID = 1;
    Collectdata.cRegsID = 1;
    inner_OperationEvent(nullptr, 0, QString(), 0, 0, 0);
    LastAnalizeItemsStr = QStringLiteral("0");
    int32_t code = -1;
    bool go = true;
    bool throughAll = true;
    for (const auto& item : Params) {
        if (!go || Collectdata.cExitFlag) {
            throughAll = false;
            break;
        }
        if (!item->GetActiveFlag() || !matchesAction(*item, actID)) {
            continue;
        }
        FCurrItem = item.get();
        LastAnalizeItemsStr += QLatin1Char(',') + QString::number(item->iD);
        if (item->AnalysisRun(1)) {
            code = 0;
            if (StepModeFlag) {
                trErrMessage(-1, item->iD,
                             QStringLiteral(" A ") + GetCaptionFromName(item->Lat_name) +
                                 QLatin1Char(' ') + item->Lat_name,
                             go);
            }
        }
        const bool cancelled = item->StateID() == kStateAnalysisCancelled;
        if (!cancelled) {
            inner_OperationEvent(item.get(), 9, QString(), -1, item->Count(), item->Count());
        }
        ++FCurrItemCount;
        if (cancelled) {
            throughAll = false;
            break;
        }
    }
    if (throughAll && go) {
        code = 1;
    }
    FProcessState = 0;
    if (!go) {
        Cancel();
    }
    trace("exit:", QStringLiteral("TCleanGroup.Analyze"));
    return code;
}

int32_t TCleanGroup::Run(int32_t actID) {
    diagnostics::LevelMark(wLVL_GR_CA, "Run");
    FProcessState = 2;
    ClearQueries(0);
    if (ClearNotRunItems(actID) < 0) {
        FProcessState = -2;
        trace("err:", QStringLiteral("TCleanGroup.Run - ClearNotRunItems<0 - no delete!"));
        return -10;
    }
    FCurrItemCount = 0;
    FCurrActionID = actID;
    trace("enter:", QStringLiteral("TCleanGroup.Run"));
    EvaluateCounts(actID, true);
    inner_OperationEvent(nullptr, 11, QString(), 0, 0, 0);
    bool go = true;
    bool ran = false;
    for (const auto& item : Params) {
        // A cancel that came before this item keeps it from deleting anything.
        if (!go || Collectdata.cExitFlag) {
            break;
        }
        if (!item->GetActiveFlag() || !matchesAction(*item, actID)) {
            continue;
        }
        FCurrItem = item.get();
        item->Run(1);
        if (StepModeFlag) {
            trErrMessage(-1, item->iD,
                         QStringLiteral(" R ") + GetCaptionFromName(item->Lat_name) +
                             QLatin1Char(' ') + item->Lat_name,
                         go);
        }
        inner_OperationEvent(item.get(), 19, QString(), -1, item->Count(), item->Count());
        ++FCurrItemCount;
        ran = true;
        if (item->StateID() == kStateCleaningCancelled) {
            break;
        }
    }
    FProcessState = 0;
    if (!go) {
        Cancel();
    }
    trace("exit:", QStringLiteral("TCleanGroup.Run"));
    return ran ? 0 : -1;
}

bool TCleanGroup::Cancel() {
    Collectdata.cExitFlag = true;
    TbaseCleanItem* item = FCurrItem.load();
    if (!item) {
        trace("warn:", QStringLiteral("TCleanGroup.cancel - CurrItem Not assigned!"));
        return false;
    }
    item->CancelOperation(0);
    trace("note:", QStringLiteral("TCleanGroup.cancel - CurrItem ") + item->GetNameStr());
    return true;
}

bool TCleanGroup::ReloadItems(int32_t aRR) {
    trace("enter:", QStringLiteral("CleanGroup.ReloadItems"));
    catalog::TCleanItemsTable& paramsDS = ctx_.database.FDMemTable_Items;
    if (aRR == 1) {
        for (catalog::TCleanItemParams& row : paramsDS.rows()) {
            row.ACTIVE = false;
        }
    } else if (aRR == 0) {
        ctx_.database.LoadDefaultParams(0, paramsDS);
    }
    if (!ctx_.database.Loaddata(1)) {
        ctx_.database.LoadDefaultParams(0, paramsDS);
    }
    trace("exit:", QStringLiteral("CleanGroup.ReloadItems"));
    return true;
}

void TCleanGroup::inner_OperationEvent(TbaseCleanItem* item, int32_t code, const QString& text,
                                       double p, int64_t, int64_t) {
    double position = 1;
    if (p >= 0 && FActiveItemsCount > 0) {
        position = (FCurrItemCount + p) / (FActiveItemsCount + f_FakeItemsCount);
    }
    if (item && p > 1) {
        trace("warn:", QStringLiteral("TCleanGroup.inner_OperationEvent ->") + item->Lat_name +
                           QStringLiteral("  APos=") + QString::number(p));
    }
    FCurrPosition = position;
    if (DoOperationEvent) {
        DoOperationEvent(this, item, code, text, position);
    }
}

}  // namespace tidora::engine
